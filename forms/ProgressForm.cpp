#include "forms/ProgressForm.h"

ProgressForm::ProgressForm(Application& application, const FormLayout& layout)
    : Form(application, layout),
      lbStatus(Find<Label>("lbStatus")),
      pbBar(Find<ProgressBar>("pbBar")),
      btCancel(Find<Button>("btCancel")),
      tmStart(Find<Timer>("tmStart")) {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    btCancel.OnClick = [this] { btCancelClick(); };
    tmStart.OnTimer = [this] { tmStartTimer(); };
}

void ProgressForm::FormShow() {
    tmStart.SetEnabled(true);
}

void ProgressForm::tmStartTimer() {
    tmStart.SetEnabled(false);
    ProgressUi ui(App(), lbStatus, pbBar);
    running_ = &ui;
    ui.FollowOnTaskbar(true);
    EngineRunning = true;
    // An exception out of the engine (no memory for a huge record, say) is shown like
    // any other; the window then closes all the same, which hands back to the menu.
    App().Guard([this, &ui] { RunEngine(ui); });
    EngineRunning = false;
    EndTaskbarProgress();
    running_ = nullptr;
    Close();
}

void ProgressForm::btCancelClick() {
    Close();
}

void ProgressForm::FormClose() {
    // A close before the start tick means the engine never starts.
    tmStart.SetEnabled(false);
    CancelRequested = true;
    // The engine goes on to its next cancel point, no longer shown anywhere.
    EndTaskbarProgress();
    AfterClose();
}

void ProgressForm::EndTaskbarProgress() {
    if (running_ != nullptr) {
        running_->FollowOnTaskbar(false);
    }
}
