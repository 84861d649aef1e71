// The entry point: creates the seven windows, the menu first, and runs the message
// loop until the menu closes. The command line is not read; the exit code is 0.
#include <windows.h>

#include <exception>

#include "config/Medium.h"
#include "forms/Forms.h"
#include "forms/MessageBox.h"
#include "setup/WindowSet.h"
#include "system/win32/DllLoading.h"
#include "system/win32/RedirectionGuard.h"
#include "system/win32/Win32System.h"

namespace {

const char* const kApplicationTitle = "Setup";

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllLoading();
    GuardAgainstUntrustedJunctions();
    Win32System system;
    try {
        const Medium medium(system.ExecutablePath());
        Application application(kApplicationTitle);
        CreateWindowSet(application, system, medium);
        application.Run();
    } catch (const std::exception& error) {
        ShowExceptionMessage(kApplicationTitle, error.what());
    }
    return 0;
}
