// The planting test's control: loads each DLL named on the command line by its bare
// name, as a program without the setup program's restricted DLL search (and the
// system's DLLs inside it) would. Exit code: how many could not be loaded.
#include <windows.h>

#include <shellapi.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    int failed = 0;
    for (int i = 1; i < count; ++i) {
        if (LoadLibraryW(arguments[i]) == nullptr) {
            ++failed;
        }
    }
    LocalFree(arguments);
    return failed;
}
