// The progress window of the stand-alone uninstaller: the layout and texts of the
// uninstall progress window, as the main window of a program of its own. Closing it
// requests a cancel and ends the program once the engine has stopped.
#pragma once

#include "setup/Forms.h"
#include "system/System.h"

class TfmStandAloneUninstall : public Form {
public:
    TfmStandAloneUninstall(Application& application, System& system);

    Label& lbStatus;
    ProgressBar& pbBar;
    Button& btCancel;
    Timer& tmStart;

    // Set by every close; the engine clears it at its start and stops at its next
    // cancel point when it is set.
    bool CancelRequested = false;

private:
    void FormShow();
    void FormClose();
    void btCancelClick();
    void tmStartTimer();

    System& system_;
};

extern TfmStandAloneUninstall* fmStandAloneUninstall;
