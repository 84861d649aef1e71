#include "forms/ProgressUi.h"

#include "forms/MessageBox.h"

bool ProgressUi::ShowMessage(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) {
    const bool question = buttons != MessageButtons::Ok;
    if (following_ && question) {
        ShowOnTaskbar(TaskbarProgress::Paused);
    }
    const bool answer = ShowMessageBox(text, caption, buttons, icon);
    if (following_ && question) {
        ShowOnTaskbar(TaskbarProgress::Normal);
    }
    return answer;
}

void ProgressUi::SetBarMax(int max) {
    bar_.SetMax(max);
    if (following_) {
        ShowOnTaskbar(TaskbarProgress::Normal);
    }
}

void ProgressUi::SetBarPosition(int position) {
    bar_.SetPosition(position);
    if (following_) {
        ShowOnTaskbar(TaskbarProgress::Normal);
    }
}

void ProgressUi::FollowOnTaskbar(bool follow) {
    following_ = follow;
    ShowOnTaskbar(follow ? TaskbarProgress::Normal : TaskbarProgress::None);
}

void ProgressUi::ShowOnTaskbar(TaskbarProgress state) {
    application_.Taskbar().Show(state, bar_.Position(), bar_.Max());
}

void ProgressUi::PumpMessages() {
    const DWORD now = clock_();
    const bool paint = now - lastPaint_ >= kRepaintIntervalMs;
    if (paint) {
        lastPaint_ = now;
    }
    application_.ProcessMessages(paint);
}
