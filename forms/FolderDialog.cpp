#include "forms/FolderDialog.h"

#include <windows.h>
// After windows.h.
#include <shlobj.h>

#include <vector>

#include "system/Folders.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"

namespace {

// Disables the program's enabled top-level windows while it lives, as a message box
// without an owner does, and enables them again.
class ApplicationModality {
public:
    ApplicationModality() {
        EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(this));
    }
    ~ApplicationModality() {
        for (HWND window : disabled_) {
            EnableWindow(window, TRUE);
        }
    }
    ApplicationModality(const ApplicationModality&) = delete;
    ApplicationModality& operator=(const ApplicationModality&) = delete;

private:
    static BOOL CALLBACK DisableWindow(HWND window, LPARAM self) {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            reinterpret_cast<ApplicationModality*>(self)->disabled_.push_back(window);
        }
        return TRUE;
    }

    std::vector<HWND> disabled_;
};

// The system's error mode for the calling process while it lives.
class ErrorModeScope {
public:
    explicit ErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
    ~ErrorModeScope() { SetErrorMode(previous_); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    UINT previous_;
};

}  // namespace

std::string BrowseForFolder(HWND owner, const std::string& title, System& system) {
    const ComInitialization com;
    const std::wstring wideTitle = ToWide(title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = {};
    // Owned, so that it stays above an owner that stays on top.
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the desktop
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;

    TaskMemory<ITEMIDLIST> chosen;
    {
        const ErrorModeScope noPopUps(SEM_FAILCRITICALERRORS);
        const ApplicationModality modality;
        chosen.reset(SHBrowseForFolderW(&info));
    }
    if (IsWindowVisible(owner)) {
        SetActiveWindow(owner);
    }
    wchar_t path[MAX_PATH] = {};
    if (!chosen || !SHGetPathFromIDListW(chosen.get(), path)) {
        return std::string();
    }
    const std::wstring wide = path;
    return HeldPath(system, std::u16string(wide.begin(), wide.end()));
}
