#include "forms/ProgressUi.h"

#include "forms/MessageBox.h"

bool ProgressUi::ShowMessage(const std::string& text, const std::string& caption,
                             MessageButtons buttons, MessageIcon icon) {
    // The button shows the bar as the box finds it, paused while a question waits.
    const bool question = buttons != MessageButtons::Ok;
    if (following_) {
        ShowOnTaskbar(question ? TaskbarProgress::Paused : TaskbarProgress::Normal);
    }
    const bool answer = ShowMessageBox(text, caption, buttons, icon);
    if (following_ && question) {
        ShowOnTaskbar(TaskbarProgress::Normal);
    }
    return answer;
}

void ProgressUi::SetBarMax(int max) {
    bar_.SetMax(max);
    taskbarBehind_ = following_;
}

void ProgressUi::SetBarPosition(int position) {
    bar_.SetPosition(position);
    taskbarBehind_ = following_;
}

void ProgressUi::FollowOnTaskbar(bool follow) {
    following_ = follow;
    ShowOnTaskbar(follow ? TaskbarProgress::Normal : TaskbarProgress::None);
}

void ProgressUi::ShowOnTaskbar(TaskbarProgress state) {
    application_.Taskbar().Show(state, bar_.Position(), bar_.Max());
    taskbarBehind_ = false;
}

void ProgressUi::PumpMessages() {
    const DWORD now = clock_();
    const bool paint = now - lastPaint_ >= kRepaintIntervalMs;
    if (paint) {
        lastPaint_ = now;
        // The button is repainted with the window: the shell hears of a copy of
        // thousands of small files as often as the user sees it.
        if (taskbarBehind_) {
            ShowOnTaskbar(TaskbarProgress::Normal);
        }
    }
    application_.ProcessMessages(paint);
}
