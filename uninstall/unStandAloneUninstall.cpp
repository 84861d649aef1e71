#include "uninstall/unStandAloneUninstall.h"

#include "config/SetupSettings.h"
#include "setup/ProgressUi.h"
#include "uninstall/UninstallEngine.h"

TfmStandAloneUninstall* fmStandAloneUninstall = nullptr;

TfmStandAloneUninstall::TfmStandAloneUninstall(Application& application, System& system)
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

void TfmStandAloneUninstall::FormShow() {
    tmStart.SetEnabled(true);
}

// Runs once, 500 ms after the show, so that the window is drawn first.
void TfmStandAloneUninstall::tmStartTimer() {
    tmStart.SetEnabled(false);
    ProgressUi ui(App(), lbStatus, pbBar);
    RunUninstall(CancelRequested, SetupSettings, system_, ui);
    Close();
}

void TfmStandAloneUninstall::btCancelClick() {
    Close();
}

void TfmStandAloneUninstall::FormClose() {
    // A close before the start tick means the engine never starts.
    tmStart.SetEnabled(false);
    CancelRequested = true;
}
