// The small status window shown while the source tree is measured.
#pragma once

#include "forms/Forms.h"

class TfmInstallReadyMsg : public Form {
public:
    explicit TfmInstallReadyMsg(Application& application);

    StaticText& StaticText1;
};

extern TfmInstallReadyMsg* fmInstallReadyMsg;
