#include "install/unInstallProgress.h"

#include "config/SetupSettings.h"
#include "install/InstallEngine.h"
#include "install/unInstallBack.h"
#include "menu/unMenu.h"
#include "setup/ProgressUi.h"

TfmInstallProgress* fmInstallProgress = nullptr;

TfmInstallProgress::TfmInstallProgress(Application& application, System& system)
    : Form(application, kInstallProgressLayout),
      lbStatus(Find<Label>("lbStatus")),
      pbBar(Find<ProgressBar>("pbBar")),
      btCancel(Find<Button>("btCancel")),
      tmStart(Find<Timer>("tmStart")),
      system_(system) {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    btCancel.OnClick = [this] { btCancelClick(); };
    tmStart.OnTimer = [this] { tmStartTimer(); };
}

void TfmInstallProgress::FormShow() {
    tmStart.SetEnabled(true);
}

// Runs once per show, 500 ms after it, so that the window is drawn first.
void TfmInstallProgress::tmStartTimer() {
    tmStart.SetEnabled(false);
    ProgressUi ui(App(), lbStatus, pbBar);
    EngineRunning = true;
    RunInstall(CancelRequested, SetupSettings, system_, ui);
    OfferAfterOpen(SetupSettings, system_, ui);
    EngineRunning = false;
    Close();
}

void TfmInstallProgress::btCancelClick() {
    Close();
}

void TfmInstallProgress::FormClose() {
    // A close before the start tick means the engine never starts.
    tmStart.SetEnabled(false);
    CancelRequested = true;
    fmMenu->Show();
    fmInstallBack->Hide();
}
