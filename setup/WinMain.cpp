// The entry point: creates the seven windows, the menu first, and runs the message
// loop until the menu closes. The command line is not read; the exit code is 0.
#include <windows.h>

#include <exception>

#include "install/unBrouse.h"
#include "install/unInstallBack.h"
#include "install/unInstallInfo.h"
#include "install/unInstallProgress.h"
#include "install/unInstallReadyMsg.h"
#include "menu/unMenu.h"
#include "setup/DllLoading.h"
#include "setup/Forms.h"
#include "setup/MessageBox.h"
#include "system/win32/Win32System.h"
#include "uninstall/unUninstallProgress.h"

namespace {

const char* const kApplicationTitle = "Setup";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllLoading();
    Win32System system;
    try {
        Application application(kApplicationTitle);
        application.CreateForm(fmMenu, system);
        application.CreateForm(fmBrouse, system);
        application.CreateForm(fmInstallReadyMsg);
        application.CreateForm(fmInstallProgress, system);
        application.CreateForm(fmUninstallProgress, system);
        application.CreateForm(fmInstallBack, system);
        application.CreateForm(fmInstallInfo, system);
        application.Run();
    } catch (const std::exception& error) {
        ShowExceptionMessage(kApplicationTitle, error.what());
    }
    return 0;
}
