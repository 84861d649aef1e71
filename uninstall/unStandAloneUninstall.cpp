#include "uninstall/unStandAloneUninstall.h"

#include "config/SetupSettings.h"
#include "resources/Layouts.h"
#include "uninstall/UninstallEngine.h"

TfmStandAloneUninstall* fmStandAloneUninstall = nullptr;

TfmStandAloneUninstall::TfmStandAloneUninstall(Application& application, System& system)
    : ProgressForm(application, kUninstallProgressLayout), system_(system) {}

void TfmStandAloneUninstall::RunEngine(Ui& ui) {
    RunUninstall(CancelRequested, SetupSettings, system_, ui);
}
