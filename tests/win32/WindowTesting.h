// What the window tests share: reading windows back, pumping until a condition holds,
// and the setup program's window set on a medium of the fake system.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "config/Medium.h"
#include "config/SetupSettings.h"
#include "forms/Forms.h"
#include "menu/unMenu.h"
#include "setup/WindowSet.h"
#include "system/win32/Encoding.h"
#include "tests/fakes/FakeSystem.h"

inline std::string TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return ToCodePage(text);
}

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Dispatches messages until `done` holds or the time is up.
inline bool PumpUntil(Application& app, const std::function<bool()>& done, int timeoutMs = 3000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        app.ProcessMessages();
    }
    return true;
}

// A medium in D:\ with a settings file, a 1 MiB program and, if asked, a message
// file, the destination below the root of the Windows drive; its window set with the
// menu shown.
struct FakeMedium {
    explicit FakeMedium(bool messageFile) {
        system.AddFile("D:\\Setup.INI",
                       "[Identification]\r\nID=SolvaneInstaller\r\n[BasicOption]\r\n"
                       "ExecFile=bin\\prog.exe\r\nSoftName=流れ試験\r\n[AdvanceOption]\r\n"
                       "DstSubFolder=流れ試験\r\nDstFolderID=1\r\nStandAloneUninstUse=1\r\n");
        system.AddFile("D:\\SETUP\\bin\\prog.exe", std::string(1 << 20, 'p'));
        if (messageFile) {
            system.AddFile("D:\\Setup.MSG", "一行目\r\n");
        }
        // Away from where the menu comes up, so that its slots start without highlight
        // whatever an earlier test left under the pointer.
        SetCursorPos(0, 0);
        CreateWindowSet(app, system, setupMedium);
        if (fmMenu->Handle() != nullptr && !fmMenu->IniMissing) {
            fmMenu->Show();
        }
    }
    // The settings outlive the windows; the window set's tests start without any.
    ~FakeMedium() { SetupSettings = TSetupSettings(); }

    FakeSystem system;
    const Medium setupMedium{"D:\\Setup.exe"};
    Application app{"Setup"};
};

// Install, as the keys choose it while the software is not installed: Up leads there
// from no highlight and from any other slot that the pointer may have highlighted.
inline void InstallFromTheMenu() {
    fmMenu->OnKeyDown(VK_UP);
    fmMenu->OnKeyDown(VK_RETURN);
}

inline BOOL CALLBACK AddListedWindow(HWND window, LPARAM found) {
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    const bool listed =
        (GetWindow(window, GW_OWNER) == nullptr && (exStyle & WS_EX_TOOLWINDOW) == 0) ||
        (exStyle & WS_EX_APPWINDOW) != 0;
    if (IsWindowVisible(window) && listed) {
        reinterpret_cast<std::vector<std::string>*>(found)->push_back(TextOf(window));
    }
    return TRUE;
}

// The titles of this thread's windows that the task bar lists: shown, and either
// unowned and no tool window, or marked as an application's window.
inline std::vector<std::string> TaskbarWindows() {
    std::vector<std::string> titles;
    EnumThreadWindows(GetCurrentThreadId(), AddListedWindow, reinterpret_cast<LPARAM>(&titles));
    return titles;
}
