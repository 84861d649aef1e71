#include "install/unInstallProgress.h"

#include "config/SetupSettings.h"
#include "install/InstallEngine.h"
#include "install/unInstallBack.h"
#include "resources/Layouts.h"

TfmInstallProgress* fmInstallProgress = nullptr;

TfmInstallProgress::TfmInstallProgress(Application& application, System& system,
                                       const Medium& medium)
    : ProgressForm(application, kInstallProgressLayout), system_(system), medium_(medium) {}

void TfmInstallProgress::RunEngine(Ui& ui) {
    RunInstall(CancelRequested, SetupSettings, medium_, system_, ui);
    EndTaskbarProgress();
    OfferAfterOpen(SetupSettings, medium_, system_, ui);
}

void TfmInstallProgress::AfterClose() {
    ReturnToMenu();
}
