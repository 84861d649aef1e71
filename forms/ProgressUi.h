// The user interface that engines report through, on a progress window: its status
// label and progress bar, application message boxes and the message pump. While it
// follows the run on the task bar, the application's button shows the bar too,
// repainted with the window and at every message box, paused while a question
// waits for its answer.
#pragma once

#include "forms/Controls.h"
#include "forms/Forms.h"
#include "system/Ui.h"

class ProgressUi : public Ui {
public:
    using Clock = DWORD(WINAPI*)();
    // `clock` gives milliseconds; tests pass their own.
    ProgressUi(Application& application, Label& status, ProgressBar& bar,
               Clock clock = GetTickCount)
        : application_(application),
          status_(status),
          bar_(bar),
          clock_(clock),
          lastPaint_(clock() - kRepaintIntervalMs) {}

    bool ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                     MessageIcon icon) override;
    // Input is handled at every call; the window is repainted at most every
    // kRepaintIntervalMs, as an engine may report thousands of times a second.
    void PumpMessages() override;
    void SetStatus(const std::string& text) override { status_.SetText(text); }
    void SetBarMax(int max) override;
    void SetBarPosition(int position) override;

    // From the start of a run to its end or its cancel.
    void FollowOnTaskbar(bool follow);

    static constexpr unsigned kRepaintIntervalMs = 40;

private:
    // The bar's own value, as the control holds it, on the task-bar button.
    void ShowOnTaskbar(TaskbarProgress state);

    Application& application_;
    Label& status_;
    ProgressBar& bar_;
    Clock clock_;
    DWORD lastPaint_;  // of the last call that repainted; the first call repaints
    bool following_ = false;
    bool taskbarBehind_ = false;  // the bar has changed since the button last showed it
};
