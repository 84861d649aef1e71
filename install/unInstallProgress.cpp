#include "install/unInstallProgress.h"

#include "config/SetupSettings.h"
#include "install/InstallEngine.h"
#include "install/unInstallBack.h"
#include "resources/Layouts.h"

TfmInstallProgress* fmInstallProgress = nullptr;

TfmInstallProgress::TfmInstallProgress(Application& application, System& system)
    : ProgressForm(application, kInstallProgressLayout), system_(system) {}

void TfmInstallProgress::RunEngine(Ui& ui) {
    RunInstall(CancelRequested, SetupSettings, system_, ui);
    OfferAfterOpen(SetupSettings, system_, ui);
}

void TfmInstallProgress::AfterClose() {
    ReturnToMenu();
}
