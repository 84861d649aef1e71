// Unix symbolic links made from a test under Wine, which makes no links of its own
// (no junctions, nothing from CreateSymbolicLink): Wine starts a Unix program such as
// `ln` through CreateProcess. Wine shows such a link to a folder as a reparse point
// whose tag it does not tell, and follows it when it opens the name.
#pragma once

#include <windows.h>

#include <string>

// The Unix path of a Windows path as Wine maps it (its last name need not exist);
// empty outside Wine.
inline std::wstring UnixPath(const std::wstring& path) {
    using ToUnixFunction = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnixFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unixPath = toUnix != nullptr ? toUnix(path.c_str()) : nullptr;
    if (unixPath == nullptr) {
        return std::wstring();
    }
    // Unix paths are UTF-8 in the test prefixes' locales.
    const int length = MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, wide.data(), length);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return wide;
}

// Starts /bin/`name` with `arguments`; Wine does not wait for it or tell its exit code.
inline bool StartUnixProgram(const std::wstring& name, const std::wstring& arguments) {
    // Wine runs a Unix program through start.exe, which stays behind waiting for it;
    // a process whose display driver first loads after that can hang or fail to make
    // windows, so the driver is loaded first.
    static const bool displayLoaded = [] { return ReleaseDC(nullptr, GetDC(nullptr)) != 0; }();
    (void)displayLoaded;
    std::wstring command = name + L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW((L"Z:\\bin\\" + name).c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Waits until `path` exists, or with `gone` until it does not; false after 5 s.
inline bool WaitForPath(const std::wstring& path, bool gone = false) {
    for (int wait = 0; wait < 500; ++wait) {
        if ((GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) == gone) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

// Makes `link` a symbolic link to `target` (an existing file or folder), as a
// standard user may where the system lets them; true once the link is there. Wine
// reports no exit code of a Unix program, so the link's appearance is waited for.
inline bool MakeUnixLink(const std::wstring& link, const std::wstring& target) {
    const std::wstring unixLink = UnixPath(link);
    const std::wstring unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty()) {
        return false;
    }
    return StartUnixProgram(L"ln", L"-s -n \"" + unixTarget + L"\" \"" + unixLink + L"\"") &&
           WaitForPath(link);
}

// Removes a folder with everything in it, links as links, as Wine cannot: it deletes
// what a link leads to and never sees a link whose target is gone.
inline bool RemoveUnixTree(const std::wstring& folder) {
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return true;  // nothing to wait for
    }
    const std::wstring unixFolder = UnixPath(folder);
    return !unixFolder.empty() && StartUnixProgram(L"rm", L"-rf \"" + unixFolder + L"\"") &&
           WaitForPath(folder, true);
}
