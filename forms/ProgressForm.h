// A progress window: a status label, a bar, a Cancel button and a start timer that
// runs the window's engine once per show, 500 ms after it, so that the window is
// drawn first. Every close requests a cancel. The application's task-bar button
// shows the bar from the engine's start to its end or the close.
#pragma once

#include "forms/Forms.h"
#include "forms/ProgressUi.h"
#include "system/Ui.h"

class ProgressForm : public Form {
public:
    ProgressForm(Application& application, const FormLayout& layout);

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

protected:
    // The work of the start tick, reported through `ui`.
    virtual void RunEngine(Ui& ui) = 0;
    // What a close does besides requesting the cancel.
    virtual void AfterClose() {}
    // The run's progress leaves the task-bar button before the end of the engine's
    // work, for what follows an installation.
    void EndTaskbarProgress();

private:
    void FormShow();
    void FormClose();
    void btCancelClick();
    void tmStartTimer();

    ProgressUi* running_ = nullptr;  // the engine's, while it runs
};
