#include "system/win32/DllLoading.h"

#include <commctrl.h>

void RestrictDllLoading() {
    // Looked up: Windows 7 has it only with update KB2533623.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories == nullptr ||
        !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Without it, at least the current folder leaves the search.
        SetDllDirectoryW(L"");
    }
    // SearchPath, which some system DLLs use to find files, looks in the current
    // folder only after the system folders.
    SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

void InitCommonControlsFromSystem(DWORD classes) {
    // By name, not by full path: the manifest's dependency maps the name to version 6
    // in the side-by-side store, which a path to the system folder would bypass. The
    // restricted search then finds the library's own imports in the system folder.
    // Kept loaded for the life of the process: the controls' classes live in it.
    const HMODULE library = LoadLibraryW(L"comctl32.dll");
    if (library == nullptr) {
        return;
    }
    using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initCommonControlsEx = reinterpret_cast<InitCommonControlsExFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (initCommonControlsEx != nullptr) {
        const INITCOMMONCONTROLSEX controls = {sizeof(controls), classes};
        initCommonControlsEx(&controls);
    }
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH) {
        return nullptr;
    }
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
