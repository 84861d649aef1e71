// The entry point of the stand-alone uninstaller: one progress window, created
// hidden, shown only by the copy that runs the uninstall engine. The exit code is 0.
#include <windows.h>

#include <exception>

#include "config/SetupSettings.h"
#include "forms/Forms.h"
#include "forms/MessageBox.h"
#include "forms/ProgressUi.h"
#include "resources/Layouts.h"
#include "system/win32/DllLoading.h"
#include "system/win32/RedirectionGuard.h"
#include "system/win32/Win32Processes.h"
#include "system/win32/Win32System.h"
#include "uninstall/UninstallerRun.h"
#include "uninstall/unStandAloneUninstall.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllLoading();
    GuardAgainstUntrustedJunctions();
    // The window's caption is the name the system shows for the program.
    const char* const title = kUninstallProgressLayout.caption;
    Win32System system;
    Win32Processes processes;
    try {
        Application application(title);
        TfmStandAloneUninstall& window = application.CreateForm(fmStandAloneUninstall, system);
        ProgressUi ui(application, window.lbStatus, window.pbBar);
        RunStandAloneUninstaller(system, processes, ui, [&](TSetupSettings& settings) {
            SetupSettings = settings;
            application.Run();
        });
    } catch (const std::exception& error) {
        ShowExceptionMessage(title, error.what());
    }
    return 0;
}
