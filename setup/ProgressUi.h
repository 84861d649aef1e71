// The user interface that engines report through, on a progress window: its status
// label and progress bar, application message boxes and the message pump.
#pragma once

#include "setup/Controls.h"
#include "setup/Forms.h"
#include "system/Ui.h"

class ProgressUi : public Ui {
public:
    ProgressUi(Application& application, Label& status, ProgressBar& bar)
        : application_(application), status_(status), bar_(bar) {}

    bool ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                     MessageIcon icon) override;
    void PumpMessages() override { application_.ProcessMessages(); }
    void SetStatus(const std::string& text) override { status_.SetText(text); }
    void SetBarMax(int max) override { bar_.SetMax(max); }
    void SetBarPosition(int position) override { bar_.SetPosition(position); }

private:
    Application& application_;
    Label& status_;
    ProgressBar& bar_;
};
