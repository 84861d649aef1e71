// The user interface that engines report through, on a progress window: its status
// label and progress bar, application message boxes and the message pump.
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
    void SetBarMax(int max) override { bar_.SetMax(max); }
    void SetBarPosition(int position) override { bar_.SetPosition(position); }

    static constexpr unsigned kRepaintIntervalMs = 40;

private:
    Application& application_;
    Label& status_;
    ProgressBar& bar_;
    Clock clock_;
    DWORD lastPaint_;  // of the last call that repainted; the first call repaints
};
