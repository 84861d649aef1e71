// The uninstall progress window, which runs the uninstall engine.
#pragma once

#include "setup/Forms.h"
#include "system/System.h"

class TfmUninstallProgress : public Form {
public:
    TfmUninstallProgress(Application& application, System& system);

    Label& lbStatus;
    ProgressBar& pbBar;
    Button& btCancel;
    Timer& tmStart;

private:
    System& system_;
};

extern TfmUninstallProgress* fmUninstallProgress;
