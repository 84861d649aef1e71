// The destination dialog: the destination folder, the space needed and free, and
// the hand-over to the install progress window.
#pragma once

#include "setup/Forms.h"
#include "system/System.h"

class TfmBrouse : public Form {
public:
    TfmBrouse(Application& application, System& system);

    Button& btNext;
    Button& btBrouse;
    Button& btBefore;
    Edit& edDstFolderName;
    Button& btCancel;
    StaticText& StaticText1;
    Label& lbNeedSize;
    Label& lbFreeSize;
    Bevel& Bevel1;

private:
    System& system_;
};

extern TfmBrouse* fmBrouse;
