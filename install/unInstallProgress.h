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

    // Set by every close; the engine clears it at its start and stops at its next
    // cancel point when it is set.
    bool CancelRequested = false;
    // True while the engine runs, which goes on after a close until its next cancel
    // point; the menu takes no input meanwhile, so that no second flow starts.
    bool EngineRunning = false;

private:
    void FormShow();
    void FormClose();
    void btCancelClick();
    void tmStartTimer();

    System& system_;
};

extern TfmInstallProgress* fmInstallProgress;
