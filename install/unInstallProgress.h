// The install progress window, which runs the install engine.
#pragma once

#include "setup/Forms.h"
#include "system/System.h"

class TfmInstallProgress : public Form {
public:
    TfmInstallProgress(Application& application, System& system);

    Label& lbStatus;
    ProgressBar& pbBar;
    Button& btCancel;
    Timer& tmStart;

private:
    System& system_;
};

extern TfmInstallProgress* fmInstallProgress;
