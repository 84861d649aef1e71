#include "forms/ProgressUi.h"

#include "forms/MessageBox.h"

bool ProgressUi::ShowMessage(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) {
    return ShowMessageBox(text, caption, buttons, icon);
}

void ProgressUi::PumpMessages() {
    const DWORD now = clock_();
    const bool paint = now - lastPaint_ >= kRepaintIntervalMs;
    if (paint) {
        lastPaint_ = now;
    }
    application_.ProcessMessages(paint);
}
