#include "uninstall/unUninstallProgress.h"

#include "config/SetupSettings.h"
#include "menu/unMenu.h"
#include "setup/ProgressUi.h"
#include "uninstall/UninstallEngine.h"

TfmUninstallProgress* fmUninstallProgress = nullptr;

TfmUninstallProgress::TfmUninstallProgress(Application& application, System& system)
    : Form(application, kUninstallProgressLayout),
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

void TfmUninstallProgress::FormShow() {
    tmStart.SetEnabled(true);
}

// Runs once per show, 500 ms after it, so that the window is drawn first.
void TfmUninstallProgress::tmStartTimer() {
    tmStart.SetEnabled(false);
    ProgressUi ui(App(), lbStatus, pbBar);
    EngineRunning = true;
    RunUninstall(CancelRequested, SetupSettings, system_, ui);
    EngineRunning = false;
    Close();
}

void TfmUninstallProgress::btCancelClick() {
    Close();
}

void TfmUninstallProgress::FormClose() {
    // A close before the start tick means the engine never starts.
    tmStart.SetEnabled(false);
    CancelRequested = true;
    fmMenu->Show();
}
