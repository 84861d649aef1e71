#include "uninstall/unUninstallProgress.h"

#include "config/SetupSettings.h"
#include "menu/unMenu.h"
#include "resources/Layouts.h"
#include "uninstall/UninstallEngine.h"

TfmUninstallProgress* fmUninstallProgress = nullptr;

TfmUninstallProgress::TfmUninstallProgress(Application& application, System& system)
    : ProgressForm(application, kUninstallProgressLayout), system_(system) {}

void TfmUninstallProgress::RunEngine(Ui& ui) {
    RunUninstall(CancelRequested, SetupSettings, system_, ui);
}

void TfmUninstallProgress::AfterClose() {
    fmMenu->Show();
}
