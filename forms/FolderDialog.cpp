#include "forms/FolderDialog.h"

#include <windows.h>
// After windows.h.
#include <shlobj.h>

#include "forms/ApplicationModality.h"
#include "system/Folders.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"

namespace {

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
        const ApplicationModality modality(owner);
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
