// The stand-alone uninstaller's window: the uninstall progress window's looks as the
// main window of its own program, whose every close requests a cancel and ends it.
#include <windows.h>
// Needs windows.h first.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "forms/Forms.h"
#include "resources/Layouts.h"
#include "system/win32/Encoding.h"
#include "system/win32/Win32System.h"
#include "uninstall/unStandAloneUninstall.h"

namespace {

std::string TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return ToCodePage(text);
}

TEST(StandAloneUninstallWindow, LooksLikeTheUninstallProgressWindow) {
    Application app(kUninstallProgressLayout.caption);
    Win32System system;
    TfmStandAloneUninstall& window = app.CreateForm(fmStandAloneUninstall, system);
    EXPECT_EQ("進行状況", TextOf(window.Handle()));
    RECT client;
    GetClientRect(window.Handle(), &client);
    EXPECT_EQ(271, client.right);
    EXPECT_EQ(90, client.bottom);
    EXPECT_NE(0, GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ("アンインストールを開始します.", TextOf(window.lbStatus.Handle()));
    EXPECT_EQ("キャンセル", TextOf(window.btCancel.Handle()));
}

TEST(StandAloneUninstallWindow, EveryCloseRequestsACancelAndEndsTheProgram) {
    struct Case {
        const char* how;
        std::function<void(TfmStandAloneUninstall&)> close;
    } cases[] = {
        {"close box", [](TfmStandAloneUninstall& w) { SendMessageW(w.Handle(), WM_CLOSE, 0, 0); }},
        {"Cancel", [](TfmStandAloneUninstall& w) { w.btCancel.Click(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Application app(kUninstallProgressLayout.caption);
        Win32System system;
        TfmStandAloneUninstall& window = app.CreateForm(fmStandAloneUninstall, system);
        window.Show();
        EXPECT_TRUE(window.tmStart.Enabled());
        c.close(window);
        EXPECT_TRUE(window.CancelRequested);
        EXPECT_FALSE(window.tmStart.Enabled());  // the engine never starts
        EXPECT_FALSE(IsWindowVisible(window.Handle()));
        EXPECT_TRUE(app.Terminated());
    }
}

}  // namespace
