#include "setup/WindowSet.h"

#include "forms/Forms.h"
#include "install/unBrouse.h"
#include "install/unInstallBack.h"
#include "install/unInstallInfo.h"
#include "install/unInstallProgress.h"
#include "install/unInstallReadyMsg.h"
#include "menu/unMenu.h"
#include "uninstall/unUninstallProgress.h"

void CreateWindowSet(Application& application, System& system) {
    application.CreateForm(fmMenu, system);
    application.CreateForm(fmBrouse, system);
    application.CreateForm(fmInstallReadyMsg);
    application.CreateForm(fmInstallProgress, system);
    application.CreateForm(fmUninstallProgress, system);
    application.CreateForm(fmInstallBack, system);
    application.CreateForm(fmInstallInfo, system);
}
