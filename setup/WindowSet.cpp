#include "setup/WindowSet.h"

#include "forms/Forms.h"
#include "install/unBrouse.h"
#include "install/unInstallBack.h"
#include "install/unInstallInfo.h"
#include "install/unInstallProgress.h"
#include "install/unInstallReadyMsg.h"
#include "menu/unMenu.h"
#include "uninstall/unUninstallProgress.h"

void CreateWindowSet(Application& application, System& system, const Medium& medium) {
    application.CreateForm(fmMenu, system, medium);
    application.CreateForm(fmBrouse, system, medium);
    application.CreateForm(fmInstallReadyMsg);
    application.CreateForm(fmInstallProgress, system, medium);
    application.CreateForm(fmUninstallProgress, system);
    application.CreateForm(fmInstallBack, system, medium);
    application.CreateForm(fmInstallInfo, system, medium);
}
