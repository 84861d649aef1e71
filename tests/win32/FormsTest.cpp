// The seven windows and the form runtime, for real under Wine: layouts read back
// from the windows, keys, closing, message boxes, exceptions, the idle handler.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/Medium.h"
#include "config/SetupSettings.h"
#include "forms/Forms.h"
#include "forms/MessageBox.h"
#include "forms/ProgressUi.h"
#include "install/unBrouse.h"
#include "install/unInstallBack.h"
#include "install/unInstallInfo.h"
#include "install/unInstallProgress.h"
#include "install/unInstallReadyMsg.h"
#include "menu/unMenu.h"
#include "resources/Layouts.h"
#include "setup/WindowSet.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/win32/WindowTesting.h"
#include "uninstall/unUninstallProgress.h"

namespace {

const char* const kPGothic = "ＭＳ Ｐゴシック";
const char* const kGothic = "ＭＳ ゴシック";

RECT ClientBoundsOf(HWND child) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE ClientSizeOf(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW font = {};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_NE(nullptr, handle);
    GetObjectW(handle, sizeof(font), &font);
    return font;
}

LONG StyleOf(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}
LONG ExStyleOf(HWND window) {
    return GetWindowLongW(window, GWL_EXSTYLE);
}

// The size of each line drawn with the window's font, measured independently of
// the runtime: the widest line by the sum of the heights.
SIZE TextExtentOf(HWND window, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE total = {0, 0};
    size_t start = 0;
    while (true) {
        const size_t end = text.find(L'\n', start);
        const std::wstring line = text.substr(start, end == std::wstring::npos ? end : end - start);
        SIZE size;
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        total.cx = std::max(total.cx, size.cx);
        total.cy += size.cy;
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return total;
}

// ---- Answering message boxes from a timer that runs inside their modal loop ----

struct SeenBox {
    bool seen = false;
    std::string caption;
    std::string text;
    bool icon = false;
    bool topmost = false;
    std::vector<int> buttons;
    std::vector<HWND> enabledWindows;  // windows of ours still enabled behind the box
};

SeenBox g_box;
int g_answer = IDOK;
std::vector<HWND> g_watchedWindows;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    if (ClassOf(window) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
    if (ClassOf(child) == L"Static" && (StyleOf(child) & SS_TYPEMASK) == SS_ICON &&
        IsWindowVisible(child) && SendMessageW(child, STM_GETICON, 0, 0) != 0) {
        *reinterpret_cast<bool*>(found) = true;
    }
    return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    g_box.seen = true;
    g_box.caption = TextOf(box);
    g_box.text = TextOf(GetDlgItem(box, 0xFFFF));
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&g_box.icon));
    g_box.topmost = (ExStyleOf(box) & WS_EX_TOPMOST) != 0;
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && IsWindowVisible(button)) {
            g_box.buttons.push_back(id);
        }
    }
    for (HWND window : g_watchedWindows) {
        if (IsWindowEnabled(window)) {
            g_box.enabledWindows.push_back(window);
        }
    }
    PostMessageW(box, WM_COMMAND, g_answer, 0);
}

// Arms the answer for the next message box of this thread.
void AnswerNextBox(int answer, std::vector<HWND> watched = {}) {
    g_box = SeenBox();
    g_answer = answer;
    g_watchedWindows = std::move(watched);
    SetTimer(nullptr, 0, 50, AnswerBox);
}

// ---- The window set, created as the program creates it ----

class WindowSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateWindowSet(app, system, medium);
        for (Form* form : Forms()) {
            ASSERT_NE(nullptr, form->Handle()) << "no windows without a display";
        }
        // The progress windows' engines are not under test here: on a slow machine
        // their start tick came with a test's pump and stopped it at an engine's box.
        for (Timer* start : {&fmInstallProgress->tmStart, &fmUninstallProgress->tmStart}) {
            start->OnTimer = [start] { start->SetEnabled(false); };
        }
    }

    std::vector<Form*> Forms() const {
        return {
            fmMenu,        fmBrouse,     fmInstallReadyMsg, fmInstallProgress, fmUninstallProgress,
            fmInstallBack, fmInstallInfo};
    }

    HWND Child(Form* form, const char* name) const {
        return GetDlgItem(form->Handle(), ControlId(form->Layout(), name));
    }

    Win32System system;
    const Medium medium{system.ExecutablePath()};
    Application app{"Setup"};
};

enum class Frame { None, Dialog, DialogWithoutButtons };

TEST_F(WindowSetTest, WindowsHaveTheirClassCaptionClientSizeAndFrame) {
    struct Case {
        Form* form;
        const wchar_t* className;
        std::string caption;
        int width, height;
        Frame frame;
        bool stayOnTop;
    };
    const Case cases[] = {
        {fmMenu, L"TfmMenu", "Setup", 241, 154, Frame::None, false},
        {fmBrouse, L"TfmBrouse", "インストール先", 352, 213, Frame::Dialog, true},
        {fmInstallReadyMsg, L"TfmInstallReadyMsg", "状況", 240, 57, Frame::DialogWithoutButtons,
         true},
        {fmInstallProgress, L"TfmInstallProgress", "進行状況", 272, 103, Frame::Dialog, true},
        {fmUninstallProgress, L"TfmUninstallProgress", "進行状況", 271, 90, Frame::Dialog, true},
        {fmInstallBack, L"TfmInstallBack", "", 250, 132, Frame::None, false},
        {fmInstallInfo, L"TfmInstallInfo", "インフォメーション", 352, 213, Frame::Dialog, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToCodePage(c.className));
        const HWND window = c.form->Handle();
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(c.className, ClassOf(window));
        EXPECT_EQ(c.caption, TextOf(window));
        const SIZE client = ClientSizeOf(window);
        EXPECT_EQ(c.width, client.cx);
        EXPECT_EQ(c.height, client.cy);
        EXPECT_FALSE(IsWindowVisible(window));

        const LONG style = StyleOf(window);
        EXPECT_TRUE(style & WS_POPUP);
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        EXPECT_EQ(c.frame != Frame::None, (style & WS_CAPTION) == WS_CAPTION);
        EXPECT_EQ(c.frame != Frame::None, (ExStyleOf(window) & WS_EX_DLGMODALFRAME) != 0);
        EXPECT_EQ(c.frame == Frame::None, (style & (WS_BORDER | WS_DLGFRAME)) == 0);
        EXPECT_EQ(c.frame == Frame::Dialog, (style & WS_SYSMENU) != 0);
        EXPECT_EQ(c.stayOnTop, (ExStyleOf(window) & WS_EX_TOPMOST) != 0);
        // The application's window owns them all and alone has a task-bar button.
        EXPECT_EQ(app.Window(), GetWindow(window, GW_OWNER));
    }
}

TEST_F(WindowSetTest, ControlsHaveTheirGeometryTextFontAndStyles) {
    struct Case {
        Form* form;
        const char* name;
        const wchar_t* windowClass;
        int left, top, width, height;  // width 0: sized to its text
        std::string text;
        const char* face;
        int size;
        bool bold, italic;
        LONG styles;  // bits that must be set
    };
    const LONG tab = WS_TABSTOP;
    const Case cases[] = {
        {fmMenu, "imMain", L"SetupImage", 2, 2, 237, 150, "", kPGothic, 12, false, false, 0},
        {fmMenu, "Panel1", L"SetupPanel", 0, 0, 241, 154, "", kPGothic, 12, false, false, 0},

        {fmBrouse, "StaticText1", L"Static", 24, 20, 301, 16,
         "インストール先を指定して[開始]をクリックしてください.", kPGothic, 12, true, false,
         SS_CENTER},
        {fmBrouse, "edDstFolderName", L"Edit", 20, 84, 253, 20, "", kPGothic, 12, false, false,
         tab | ES_AUTOHSCROLL},
        {fmBrouse, "btBrouse", L"Button", 272, 84, 61, 21, "参照...(&B)", kPGothic, 12, false,
         false, tab},
        {fmBrouse, "lbNeedSize", L"SetupLabel", 48, 120, 0, 0, "", kGothic, 12, false, false, 0},
        {fmBrouse, "lbFreeSize", L"SetupLabel", 48, 140, 0, 0, "", kGothic, 12, false, false, 0},
        {fmBrouse, "Bevel1", L"SetupBevel", 4, 172, 345, 9, "", kPGothic, 12, false, false, 0},
        {fmBrouse, "btBefore", L"Button", 92, 184, 81, 21, "< 戻る(&P)", kPGothic, 12, false, false,
         tab},
        {fmBrouse, "btNext", L"Button", 172, 184, 83, 21, "開始(&S)", kPGothic, 12, false, false,
         tab | BS_DEFPUSHBUTTON},
        {fmBrouse, "btCancel", L"Button", 268, 184, 75, 21, "キャンセル", kPGothic, 12, false,
         false, tab},

        {fmInstallReadyMsg, "StaticText1", L"Static", 24, 20, 185, 16,
         "インストールの準備をしています.", kPGothic, 12, true, false, 0},

        {fmInstallProgress, "lbStatus", L"SetupLabel", 12, 12, 249, 33, "インストールを開始します.",
         kPGothic, 12, true, false, SS_CENTER},
        {fmInstallProgress, "pbBar", L"msctls_progress32", 8, 48, 253, 16, "", kPGothic, 12, false,
         false, PBS_SMOOTH},
        {fmInstallProgress, "btCancel", L"Button", 100, 76, 77, 21, "キャンセル", kPGothic, 12,
         false, false, tab},

        {fmUninstallProgress, "lbStatus", L"SetupLabel", 8, 12, 253, 12,
         "アンインストールを開始します.", kPGothic, 12, true, false, SS_CENTER},
        {fmUninstallProgress, "pbBar", L"msctls_progress32", 8, 32, 253, 16, "", kPGothic, 12,
         false, false, PBS_SMOOTH},
        {fmUninstallProgress, "btCancel", L"Button", 100, 60, 77, 21, "キャンセル", kPGothic, 12,
         false, false, tab},

        {fmInstallBack, "imBack", L"SetupImage", 0, 0, 250, 132, "", kPGothic, 12, false, false, 0},
        {fmInstallBack, "lbTitleShadow", L"SetupLabel", 30, 30, 0, 0, "", kPGothic, 29, true, true,
         0},
        {fmInstallBack, "lbTitle", L"SetupLabel", 28, 28, 0, 0, "", kPGothic, 29, true, true, 0},

        {fmInstallInfo, "lbInfo", L"SetupLabel", 24, 8, 0, 0, "", kPGothic, 12, false, false, 0},
        {fmInstallInfo, "mmInfo", L"Edit", 20, 44, 309, 117, "", kPGothic, 12, false, false,
         tab | WS_VSCROLL | ES_MULTILINE | ES_READONLY},
        {fmInstallInfo, "Bevel1", L"SetupBevel", 4, 172, 345, 9, "", kPGothic, 12, false, false, 0},
        {fmInstallInfo, "btBefore", L"Button", 92, 184, 81, 21, "< 戻る(&P)", kPGothic, 12, false,
         false, tab},
        {fmInstallInfo, "btNext", L"Button", 172, 184, 83, 21, "次へ(&N) >", kPGothic, 12, false,
         false, tab | BS_DEFPUSHBUTTON},
        {fmInstallInfo, "btCancel", L"Button", 268, 184, 75, 21, "キャンセル", kPGothic, 12, false,
         false, tab},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form->Layout().className) + "." + c.name);
        const HWND window = Child(c.form, c.name);
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(c.windowClass, ClassOf(window));
        EXPECT_TRUE(IsWindowVisible(window) || !IsWindowVisible(c.form->Handle()));
        EXPECT_EQ(c.text, TextOf(window));
        const RECT bounds = ClientBoundsOf(window);
        EXPECT_EQ(c.left, bounds.left);
        EXPECT_EQ(c.top, bounds.top);
        SIZE expected = {c.width, c.height};
        if (c.width == 0) {
            expected = TextExtentOf(window, c.text.empty() ? L" " : ToWide(c.text));
        }
        EXPECT_EQ(expected.cx, bounds.right - bounds.left);
        EXPECT_EQ(expected.cy, bounds.bottom - bounds.top);

        const LOGFONTW font = FontOf(window);
        EXPECT_EQ(c.face, ToCodePage(font.lfFaceName));
        EXPECT_EQ(-c.size, font.lfHeight);
        EXPECT_EQ(c.bold ? FW_BOLD : FW_NORMAL, font.lfWeight);
        EXPECT_EQ(c.italic, font.lfItalic != 0);
        EXPECT_EQ(SHIFTJIS_CHARSET, font.lfCharSet);
        EXPECT_EQ(c.styles, StyleOf(window) & c.styles);
        if ((c.styles & WS_TABSTOP) == 0) {
            EXPECT_FALSE(StyleOf(window) & WS_TABSTOP);
        }
        if (ClassOf(window) == L"Button" && (c.styles & BS_DEFPUSHBUTTON) == 0) {
            EXPECT_EQ(BS_PUSHBUTTON, StyleOf(window) & BS_TYPEMASK);
        }
    }
}

TEST_F(WindowSetTest, LabelsProgressBarsAndTimersStartAsLaidOut) {
    EXPECT_EQ(kColorWhite, fmInstallBack->lbTitle.FontColor());
    EXPECT_EQ(kColorBlack, fmInstallBack->lbTitleShadow.FontColor());
    EXPECT_EQ(kColorWindowText, fmBrouse->lbNeedSize.FontColor());
    for (ProgressBar* bar : {&fmInstallProgress->pbBar, &fmUninstallProgress->pbBar}) {
        EXPECT_EQ(100, bar->Max());
        EXPECT_EQ(0, bar->Position());
    }
    for (Timer* timer : {&fmInstallProgress->tmStart, &fmUninstallProgress->tmStart}) {
        EXPECT_FALSE(timer->Enabled());
        EXPECT_EQ(500, timer->Layout().value);
    }
}

TEST_F(WindowSetTest, EditLabelSitsThreePixelsAboveTheEdit) {
    const HWND label = fmBrouse->edDstFolderName.LabelHandle();
    ASSERT_NE(nullptr, label);
    EXPECT_EQ("インストール先フォルダ名", TextOf(label));
    EXPECT_EQ(ToCodePage(L"ＭＳ Ｐゴシック"), ToCodePage(FontOf(label).lfFaceName));
    const RECT bounds = ClientBoundsOf(label);
    const SIZE extent = TextExtentOf(label, ToWide(TextOf(label)));
    EXPECT_EQ(20, bounds.left);
    EXPECT_EQ(84 - 3, bounds.bottom);
    EXPECT_EQ(extent.cx, bounds.right - bounds.left);
    EXPECT_EQ(extent.cy, bounds.bottom - bounds.top);
}

TEST_F(WindowSetTest, LabelSizedToItsTextFollowsEveryLine) {
    const std::string text =
        "インストールを開始します.\n他のアプリケーションをすべて終了させてください.";
    fmInstallInfo->lbInfo.SetText(text);
    const HWND window = fmInstallInfo->lbInfo.Handle();
    EXPECT_EQ(text, TextOf(window));
    const SIZE extent = TextExtentOf(window, ToWide(text));
    const RECT bounds = ClientBoundsOf(window);
    EXPECT_EQ(24, bounds.left);
    EXPECT_EQ(8, bounds.top);
    EXPECT_EQ(extent.cx, bounds.right - bounds.left);
    EXPECT_EQ(extent.cy, bounds.bottom - bounds.top);
    EXPECT_GT(extent.cy, TextExtentOf(window, L"x").cy);  // two lines

    fmInstallInfo->mmInfo.SetLines({"一行目", "", "三行目"});
    EXPECT_EQ("一行目\r\n\r\n三行目", fmInstallInfo->mmInfo.Text());
}

TEST_F(WindowSetTest, TabStopsFollowTheTabOrder) {
    struct Case {
        Form* form;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {fmBrouse, {"btNext", "btBrouse", "btBefore", "edDstFolderName", "btCancel"}},
        {fmInstallInfo, {"btNext", "btBefore", "btCancel", "mmInfo"}},
        {fmInstallProgress, {"btCancel"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form->Layout().className);
        std::vector<std::string> order;
        for (HWND child = GetWindow(c.form->Handle(), GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if ((StyleOf(child) & WS_TABSTOP) != 0) {
                order.push_back(c.form->ControlOf(child)->Layout().name);
            }
        }
        EXPECT_EQ(c.order, order);
    }
}

TEST_F(WindowSetTest, TabMovesTheFocusAlongTheTabOrder) {
    fmBrouse->Show();
    const std::vector<const char*> order = {"btBrouse", "btBefore", "edDstFolderName", "btCancel",
                                            "btNext"};
    ASSERT_EQ(Child(fmBrouse, "btNext"), GetFocus());
    for (const char* name : order) {
        SCOPED_TRACE(name);
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        app.ProcessMessages();
        EXPECT_EQ(Child(fmBrouse, name), GetFocus());
    }
}

TEST_F(WindowSetTest, ShowCentresTheDialogAfterItsShowHandler) {
    bool visibleInHandler = true;
    fmBrouse->OnShow = [&] { visibleInHandler = IsWindowVisible(fmBrouse->Handle()); };
    fmBrouse->Show();
    EXPECT_FALSE(visibleInHandler);
    EXPECT_TRUE(IsWindowVisible(fmBrouse->Handle()));
    EXPECT_TRUE(fmBrouse->Visible());
    RECT rect;
    GetWindowRect(fmBrouse->Handle(), &rect);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2, rect.top);
    EXPECT_EQ(352, ClientSizeOf(fmBrouse->Handle()).cx);

    fmInstallBack->Show();
    GetWindowRect(fmInstallBack->Handle(), &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rect.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rect.bottom);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), ClientSizeOf(fmInstallBack->Handle()).cx);
    EXPECT_EQ(rect.right, ClientBoundsOf(fmInstallBack->imBack.Handle()).right);
}

TEST_F(WindowSetTest, FormClosedByItsShowHandlerStaysHidden) {
    int closes = 0;
    fmInstallInfo->OnClose = [&] { ++closes; };
    fmInstallInfo->OnShow = [&] { fmInstallInfo->Close(); };
    fmInstallInfo->Show();
    EXPECT_EQ(1, closes);
    EXPECT_FALSE(IsWindowVisible(fmInstallInfo->Handle()));
    EXPECT_FALSE(app.Terminated());
}

TEST_F(WindowSetTest, ClosingADialogHidesItAndClosingTheMenuEndsTheLoop) {
    struct Case {
        Form* form;
        const char* how;
        UINT message;
        WPARAM wParam;
    };
    const Case cases[] = {
        {fmBrouse, "close box", WM_CLOSE, 0},
        {fmInstallReadyMsg, "close box", WM_CLOSE, 0},
        {fmInstallProgress, "close box", WM_CLOSE, 0},
        {fmUninstallProgress, "close box", WM_CLOSE, 0},
        {fmInstallBack, "close box", WM_CLOSE, 0},
        {fmInstallInfo, "close box", WM_CLOSE, 0},
        {fmBrouse, "Alt+F4", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form->Layout().className) + " " + c.how);
        int closes = 0;
        c.form->OnClose = [&] { ++closes; };
        c.form->Show();
        SendMessageW(c.form->Handle(), c.message, c.wParam, 0);
        EXPECT_EQ(1, closes);
        EXPECT_FALSE(IsWindowVisible(c.form->Handle()));
        EXPECT_FALSE(c.form->Visible());
        EXPECT_TRUE(IsWindow(c.form->Handle()));
        EXPECT_FALSE(app.Terminated());
        c.form->OnClose = nullptr;
    }
    SendMessageW(fmMenu->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.Terminated());
}

TEST_F(WindowSetTest, MenuWithoutSettingsFileReportsItAndEndsTheProgram) {
    // The test program's folder has no Setup.INI.
    ASSERT_TRUE(fmMenu->IniMissing);
    AnswerNextBox(IDOK);
    fmMenu->Show();
    EXPECT_TRUE(g_box.seen);
    EXPECT_EQ("エラー", g_box.caption);
    EXPECT_EQ("Setup.iniが見つかりません.", g_box.text);
    EXPECT_FALSE(g_box.icon);
    EXPECT_EQ(std::vector<int>{IDOK}, g_box.buttons);
    EXPECT_FALSE(IsWindowVisible(fmMenu->Handle()));
    EXPECT_TRUE(app.Terminated());
}

// Records the clicks of a dialog's buttons and the exit of its edit.
class DialogKeysTest : public WindowSetTest {
protected:
    void SetUp() override {
        WindowSetTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        for (Button* button :
             {&fmBrouse->btNext, &fmBrouse->btBrouse, &fmBrouse->btBefore, &fmBrouse->btCancel}) {
            button->OnClick = [this, button] { events.push_back(button->Layout().name); };
        }
        fmBrouse->edDstFolderName.OnExit = [this] { events.push_back("exit"); };
        fmBrouse->Show();
    }

    void Press(UINT message, WPARAM key) {
        PostMessageW(GetFocus(), message, key, 0);
        app.ProcessMessages();
    }

    std::vector<std::string> events;
};

TEST_F(DialogKeysTest, EnterClicksTheDefaultButtonAfterLeavingTheEdit) {
    SetFocus(fmBrouse->edDstFolderName.Handle());
    Press(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ((std::vector<std::string>{"exit", "btNext"}), events);
    EXPECT_EQ(fmBrouse->btNext.Handle(), GetFocus());
}

TEST_F(DialogKeysTest, EnterClicksTheFocusedButton) {
    SetFocus(fmBrouse->btBrouse.Handle());
    Press(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(std::vector<std::string>{"btBrouse"}, events);
    EXPECT_EQ(BS_DEFPUSHBUTTON, StyleOf(fmBrouse->btBrouse.Handle()) & BS_TYPEMASK);
    EXPECT_EQ(BS_PUSHBUTTON, StyleOf(fmBrouse->btNext.Handle()) & BS_TYPEMASK);
}

TEST_F(DialogKeysTest, EscapeClicksTheCancelButton) {
    SetFocus(fmBrouse->edDstFolderName.Handle());
    Press(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ((std::vector<std::string>{"exit", "btCancel"}), events);
}

TEST_F(DialogKeysTest, MnemonicsClickTheirButtons) {
    Press(WM_SYSCHAR, 'p');  // Alt+P
    EXPECT_EQ(std::vector<std::string>{"btBefore"}, events);
    events.clear();
    Press(WM_CHAR, 'b');  // a button has the focus
    EXPECT_EQ(std::vector<std::string>{"btBrouse"}, events);
    events.clear();
    fmBrouse->edDstFolderName.SetText("");  // its show put the destination there
    SetFocus(fmBrouse->edDstFolderName.Handle());
    Press(WM_CHAR, 's');  // typed into the edit
    EXPECT_TRUE(events.empty());
    EXPECT_EQ("s", fmBrouse->edDstFolderName.Text());
}

// ---- The way through the install dialogs, on a medium of the fake system ----

// The visible windows of the set, each as its class, in a fixed order.
std::vector<std::string> VisibleForms() {
    std::vector<std::string> shown;
    for (Form* form :
         {static_cast<Form*>(fmMenu), static_cast<Form*>(fmInstallBack),
          static_cast<Form*>(fmInstallInfo), static_cast<Form*>(fmBrouse),
          static_cast<Form*>(fmInstallReadyMsg), static_cast<Form*>(fmInstallProgress)}) {
        EXPECT_EQ(form->Visible(), IsWindowVisible(form->Handle()) != FALSE)
            << form->Layout().className;
        if (form->Visible()) {
            shown.push_back(form->Layout().className);
        }
    }
    return shown;
}

using Shown = std::vector<std::string>;
const Shown kAtMenu = {"TfmMenu"};
const Shown kAtInfo = {"TfmInstallBack", "TfmInstallInfo"};
const Shown kAtDestination = {"TfmInstallBack", "TfmBrouse"};

TEST(WindowFlowTest, BackNextCancelAndCloseLeadBetweenTheDialogsAndTheMenu) {
    struct Step {
        std::function<void()> act;
        Shown shown;
    };
    struct Case {
        const char* name;
        bool messageFile;
        Shown first;  // after Install in the menu
        std::vector<Step> steps;
        int infoShows;  // of the information dialog, all told
    };
    const auto infoNext = [] { fmInstallInfo->btNext.Click(); };
    const Case cases[] = {
        {"information: next, back, next, cancel",
         true,
         kAtInfo,
         {{infoNext, kAtDestination},
          {[] { fmBrouse->btBefore.Click(); }, kAtInfo},
          {infoNext, kAtDestination},
          {[] { fmBrouse->btCancel.Click(); }, kAtMenu}},
         2},
        {"information: back",
         true,
         kAtInfo,
         {{[] { fmInstallInfo->btBefore.Click(); }, kAtMenu}},
         1},
        {"information: cancel",
         true,
         kAtInfo,
         {{[] { fmInstallInfo->btCancel.Click(); }, kAtMenu}},
         1},
        {"information: close box",
         true,
         kAtInfo,
         {{[] { SendMessageW(fmInstallInfo->Handle(), WM_CLOSE, 0, 0); }, kAtMenu}},
         1},
        {"destination: Alt+F4",
         true,
         kAtInfo,
         {{infoNext, kAtDestination},
          {[] { SendMessageW(fmBrouse->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }, kAtMenu}},
         1},
        {"no message file: back",
         false,
         kAtDestination,
         {{[] { fmBrouse->btBefore.Click(); }, kAtMenu}},
         0},
        {"no message file: cancel, install again",
         false,
         kAtDestination,
         {{[] { fmBrouse->btCancel.Click(); }, kAtMenu}, {InstallFromTheMenu, kAtDestination}},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMedium medium(c.messageFile);
        ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
        ASSERT_EQ(kAtMenu, VisibleForms());
        int infoShows = 0;
        const std::function<void()> show = fmInstallInfo->OnShow;
        fmInstallInfo->OnShow = [&] {
            ++infoShows;
            show();
        };
        InstallFromTheMenu();
        EXPECT_EQ(c.first, VisibleForms());
        int number = 0;
        for (const Step& step : c.steps) {
            SCOPED_TRACE("step " + std::to_string(++number));
            step.act();
            medium.app.ProcessMessages();
            EXPECT_EQ(step.shown, VisibleForms());
        }
        EXPECT_EQ(c.infoShows, infoShows);
        EXPECT_FALSE(medium.app.Terminated());
    }
}

TEST(WindowFlowTest, StartOnAFullDiskIsRefusedAndTheDialogStays) {
    FakeMedium medium(false);
    ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
    medium.system.freeBytes['C'] = 1024;  // 1 KB of the 1,037 KB needed
    InstallFromTheMenu();
    ASSERT_EQ(kAtDestination, VisibleForms());
    EXPECT_EQ("C:\\流れ試験", fmBrouse->edDstFolderName.Text());
    EXPECT_EQ("必要容量：  " + std::string(20, ' ') + "1,037 KB", fmBrouse->lbNeedSize.Text());
    EXPECT_EQ("空き容量：  " + std::string(24, ' ') + "1 KB", fmBrouse->lbFreeSize.Text());
    EXPECT_EQ(kColorRed, fmBrouse->lbNeedSize.FontColor());
    EXPECT_EQ(kColorRed, fmBrouse->lbFreeSize.FontColor());

    AnswerNextBox(IDOK);
    fmBrouse->btNext.Click();
    EXPECT_TRUE(g_box.seen);
    EXPECT_EQ("エラー", g_box.caption);
    EXPECT_EQ("ディスクの空き容量が足りません.", g_box.text);
    EXPECT_EQ(std::vector<int>{IDOK}, g_box.buttons);
    EXPECT_EQ(kAtDestination, VisibleForms());
    EXPECT_FALSE(medium.system.HasFolder("C:\\流れ試験"));
}

TEST_F(WindowSetTest, EscapeWhileWorkPumpsMessagesClicksCancelOfTheProgressWindow) {
    for (Form* form :
         {static_cast<Form*>(fmInstallProgress), static_cast<Form*>(fmUninstallProgress)}) {
        SCOPED_TRACE(form->Layout().className);
        Button& cancel = form->Find<Button>("btCancel");
        int clicks = 0;
        cancel.OnClick = [&] { ++clicks; };
        form->Show();
        ProgressUi ui(app, form->Find<Label>("lbStatus"), form->Find<ProgressBar>("pbBar"));
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        ui.PumpMessages();
        EXPECT_EQ(1, clicks);
        // Also with the focus on the window itself.
        SetFocus(form->Handle());
        PostMessageW(form->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
        ui.PumpMessages();
        EXPECT_EQ(2, clicks);
        form->Hide();
    }
}

TEST_F(WindowSetTest, ProgressUiShowsStatusAndBar) {
    ProgressUi ui(app, fmInstallProgress->lbStatus, fmInstallProgress->pbBar);
    ui.SetStatus("ファイルをコピーしています...");
    ui.SetBarMax(250);
    ui.SetBarPosition(42);
    EXPECT_EQ("ファイルをコピーしています...", TextOf(fmInstallProgress->lbStatus.Handle()));
    EXPECT_EQ(250, SendMessageW(fmInstallProgress->pbBar.Handle(), PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ(42, SendMessageW(fmInstallProgress->pbBar.Handle(), PBM_GETPOS, 0, 0));
    // The label keeps its fixed size.
    const RECT bounds = ClientBoundsOf(fmInstallProgress->lbStatus.Handle());
    EXPECT_EQ(249, bounds.right - bounds.left);
    EXPECT_EQ(33, bounds.bottom - bounds.top);

    AnswerNextBox(IDCANCEL);
    EXPECT_FALSE(
        ui.ShowMessage("中止しますか？", "確認", MessageButtons::OkCancel, MessageIcon::None));
    EXPECT_EQ("確認", g_box.caption);
    EXPECT_EQ("中止しますか？", g_box.text);
}

DWORD g_fakeNow = 0;
DWORD WINAPI FakeClock() {
    return g_fakeNow;
}

bool WaitsForPaint(HWND window) {
    return GetUpdateRect(window, nullptr, FALSE) != 0;
}

TEST_F(WindowSetTest, ProgressUiRepaintsAtMostOncePerIntervalButTakesInputAtEveryPump) {
    Form* form = fmInstallProgress;
    const HWND window = form->Handle();
    int clicks = 0;
    form->Find<Button>("btCancel").OnClick = [&] { ++clicks; };
    form->Show();
    g_fakeNow = 5000;
    ProgressUi ui(app, fmInstallProgress->lbStatus, fmInstallProgress->pbBar, FakeClock);
    ui.SetStatus("a.dat をコピー中");
    ui.PumpMessages();  // the first pump repaints
    EXPECT_FALSE(WaitsForPaint(window));
    // The same text again leaves the window as it is.
    ui.SetStatus("a.dat をコピー中");
    EXPECT_FALSE(WaitsForPaint(window));

    ui.SetStatus("b.dat をコピー中");
    g_fakeNow += ProgressUi::kRepaintIntervalMs - 1;
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    ui.PumpMessages();
    EXPECT_TRUE(WaitsForPaint(window));
    EXPECT_EQ(1, clicks);
    g_fakeNow += 1;
    ui.PumpMessages();
    EXPECT_FALSE(WaitsForPaint(window));
    EXPECT_EQ("b.dat をコピー中", TextOf(fmInstallProgress->lbStatus.Handle()));
    form->Hide();
}

TEST_F(WindowSetTest, TimerFiresAfterItsIntervalWhileEnabled) {
    Timer& timer = fmInstallProgress->tmStart;
    int ticks = 0;
    timer.OnTimer = [&] {
        ++ticks;
        timer.SetEnabled(false);
    };
    const auto start = std::chrono::steady_clock::now();
    timer.SetEnabled(true);
    ASSERT_TRUE(PumpUntil(app, [&] { return ticks > 0; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));
    PumpUntil(
        app, [] { return false; }, 700);
    EXPECT_EQ(1, ticks);
    EXPECT_FALSE(timer.Enabled());
}

TEST_F(WindowSetTest, ImageReportsMousePointsInItsOwnCoordinates) {
    std::vector<std::string> events;
    fmMenu->imMain.OnMouseMove = [&](int x, int y) {
        events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    fmMenu->imMain.OnMouseDown = [&](int x, int y) {
        events.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    };
    const HWND image = fmMenu->imMain.Handle();
    PostMessageW(image, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    PostMessageW(image, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(119, 89));
    PostMessageW(image, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0));
    app.ProcessMessages();
    EXPECT_EQ((std::vector<std::string>{"move 10,20", "down 119,89", "down 0,0"}), events);
}

TEST_F(WindowSetTest, ClientSizeIsExactAndThePanelFollowsIt) {
    fmMenu->SetClientSize(324, 244);
    const SIZE client = ClientSizeOf(fmMenu->Handle());
    EXPECT_EQ(324, client.cx);
    EXPECT_EQ(244, client.cy);
    const RECT panel = ClientBoundsOf(fmMenu->Panel1.Handle());
    EXPECT_EQ(0, panel.left);
    EXPECT_EQ(0, panel.top);
    EXPECT_EQ(324, panel.right);
    EXPECT_EQ(244, panel.bottom);
}

// The pixel at a point of a window's client area, as drawn.
COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

TEST_F(WindowSetTest, TransparentTitleShowsThePictureAndItsShadowBeneath) {
    TfmInstallBack& back = *fmInstallBack;
    back.Show();
    Image& image = back.imBack;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    Bitmap& picture = image.Picture();
    ASSERT_TRUE(picture.Allocate(width, height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.Pixel(x, y)[2] = 0xFF;  // red
        }
    }
    image.Changed();
    back.lbTitleShadow.SetText("Software ");
    back.lbTitle.SetText("Software ");
    UpdateWindow(back.Handle());
    RedrawWindow(back.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

    const HWND title = back.lbTitle.Handle();
    const RECT bounds = ClientBoundsOf(title);
    int white = 0, black = 0, red = 0;
    for (int y = bounds.top; y < bounds.bottom; ++y) {
        for (int x = bounds.left; x < bounds.right; ++x) {
            const COLORREF color = PixelAt(back.Handle(), x, y);
            white += color == RGB(255, 255, 255);
            black += color == RGB(0, 0, 0);
            red += color == RGB(255, 0, 0);
        }
    }
    EXPECT_GT(white, 0);            // the title
    EXPECT_GT(black, 0);            // its shadow, seen through the title's background
    EXPECT_GT(red, white + black);  // the picture around the letters
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(back.Handle(), bounds.left, bounds.top));
    EXPECT_EQ(RGB(255, 0, 0), PixelAt(back.Handle(), width - 1, height - 1));
}

TEST(MessageBoxTest, ShowsTextCaptionButtonsAndIconAboveTheWindows) {
    struct Case {
        MessageButtons buttons;
        MessageIcon icon;
        int answer;
        std::vector<int> expectedButtons;
        bool expectedResult;
    };
    const Case cases[] = {
        {MessageButtons::Ok, MessageIcon::None, IDOK, {IDOK}, true},
        {MessageButtons::OkCancel, MessageIcon::Exclamation, IDOK, {IDOK, IDCANCEL}, true},
        {MessageButtons::OkCancel, MessageIcon::None, IDCANCEL, {IDOK, IDCANCEL}, false},
        {MessageButtons::YesNo, MessageIcon::Stop, IDYES, {IDYES, IDNO}, true},
        {MessageButtons::YesNo, MessageIcon::None, IDNO, {IDYES, IDNO}, false},
    };
    Win32System system;
    const Medium medium(system.ExecutablePath());
    Application app("Setup");
    TfmInstallProgress* progress = nullptr;
    Form* main = nullptr;
    app.CreateForm(main, kInstallReadyMsgLayout);
    app.CreateForm(progress, system, medium);
    ASSERT_NE(nullptr, progress->Handle()) << "no windows without a display";
    progress->Show();
    // Its engine is not under test: on a busy machine its start tick would come
    // while a box is up and show boxes of its own.
    progress->tmStart.SetEnabled(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        AnswerNextBox(c.answer, {main->Handle(), progress->Handle()});
        EXPECT_EQ(c.expectedResult, ShowMessageBox("ソフトを削除してよろしいですか？\n二行目",
                                                   "確認", c.buttons, c.icon));
        ASSERT_TRUE(g_box.seen);
        EXPECT_EQ("確認", g_box.caption);
        EXPECT_EQ("ソフトを削除してよろしいですか？\n二行目", g_box.text);
        EXPECT_EQ(c.expectedButtons, g_box.buttons);
        EXPECT_EQ(c.icon != MessageIcon::None, g_box.icon);
        EXPECT_TRUE(g_box.topmost);
        EXPECT_TRUE(g_box.enabledWindows.empty());  // application-modal
        EXPECT_TRUE(IsWindowEnabled(progress->Handle()));
    }
}

TEST_F(WindowSetTest, ExceptionInAHandlerIsShownAndTheLoopGoesOn) {
    struct Case {
        std::string message;
        std::string shown;
    };
    const Case cases[] = {
        {"out of memory", "out of memory."},
        {"already a sentence.", "already a sentence."},
        {"", "."},
    };
    Button& next = fmBrouse->btNext;
    fmBrouse->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        next.OnClick = [&] { throw std::runtime_error(c.message); };
        AnswerNextBox(IDOK);
        SendMessageW(fmBrouse->Handle(), WM_COMMAND, MAKEWPARAM(next.Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(next.Handle()));
        ASSERT_TRUE(g_box.seen);
        EXPECT_EQ("Setup", g_box.caption);
        EXPECT_EQ(c.shown, g_box.text);
        EXPECT_TRUE(g_box.icon);
        EXPECT_EQ(std::vector<int>{IDOK}, g_box.buttons);
    }
    // Raised from the message loop's own key handling.
    next.OnClick = [] { throw std::runtime_error("from a key"); };
    AnswerNextBox(IDOK);
    SetFocus(next.Handle());
    PostMessageW(next.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    app.ProcessMessages();
    EXPECT_TRUE(g_box.seen);
    EXPECT_EQ("from a key.", g_box.text);

    int clicks = 0;
    next.OnClick = [&] { ++clicks; };
    PostMessageW(next.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    app.ProcessMessages();
    EXPECT_EQ(1, clicks);
    EXPECT_FALSE(app.Terminated());
}

// ---- An engine or a menu action that raises an exception ----

// The real system, where listing a folder or asking for one runs out of memory.
class ThrowingSystem : public Win32System {
public:
    bool FindFiles(const std::string&, std::vector<FindEntry>&) override { throw std::bad_alloc(); }
    bool FolderExists(const std::string&) override { throw std::bad_alloc(); }
};

class ThrowingWindowSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
        folder_ = std::wstring(temp) + L"FormsTest" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        const std::string settings =
            "[Identification]\r\nID=SolvaneInstaller\r\n"
            "[BasicOption]\r\nSoftName=例外の試験" +
            std::to_string(GetCurrentProcessId()) + "\r\n";
        FileHandle file(CreateFileW((folder_ + L"\\Setup.INI").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), settings.data(), static_cast<DWORD>(settings.size()),
                              &written, nullptr));
        file.Reset();
        // A setup program in a folder of its own, with the settings of a software that
        // is not installed.
        medium.emplace(ToCodePage(folder_ + L"\\Setup.exe"));
        CreateWindowSet(app, system, *medium);
        ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
        ASSERT_FALSE(fmMenu->IniMissing);
        fmMenu->Show();
        ASSERT_TRUE(fmMenu->Visible());
    }
    void TearDown() override {
        DeleteFileW((folder_ + L"\\Setup.INI").c_str());
        RemoveDirectoryW(folder_.c_str());
        SetupSettings = TSetupSettings();
    }

    void PressOnMenu(WPARAM key) {
        PostMessageW(fmMenu->Handle(), WM_KEYDOWN, key, 0);
        app.ProcessMessages();
    }
    // The exception's display came, and the menu alone takes input again: Esc leaves.
    void ExpectShownAndMenuBack() {
        EXPECT_TRUE(g_box.seen);
        EXPECT_EQ("Setup", g_box.caption);
        EXPECT_EQ(std::string(std::bad_alloc().what()) + ".", g_box.text);
        EXPECT_TRUE(g_box.icon);
        EXPECT_FALSE(fmMenu->Busy);
        EXPECT_FALSE(fmInstallProgress->EngineRunning);
        for (Form* form : {static_cast<Form*>(fmInstallReadyMsg), static_cast<Form*>(fmInstallBack),
                           static_cast<Form*>(fmInstallProgress), static_cast<Form*>(fmBrouse)}) {
            SCOPED_TRACE(form->Layout().className);
            EXPECT_FALSE(form->Visible());
            EXPECT_FALSE(IsWindowVisible(form->Handle()));
        }
        EXPECT_TRUE(fmMenu->Visible());
        PressOnMenu(VK_ESCAPE);
        EXPECT_TRUE(PumpUntil(app, [this] { return app.Terminated(); }));
    }

    std::wstring folder_;
    ThrowingSystem system;
    std::optional<Medium> medium;
    Application app{"Setup"};
};

TEST_F(ThrowingWindowSetTest, AMenuActionThatThrowsHandsBackToTheMenu) {
    AnswerNextBox(IDOK);
    PressOnMenu(VK_RETURN);  // highlights Install
    PressOnMenu(VK_RETURN);  // whose source scan throws
    ExpectShownAndMenuBack();
}

TEST_F(ThrowingWindowSetTest, AnEngineThatThrowsClosesItsWindowAndHandsBackToTheMenu) {
    fmMenu->Hide();
    fmInstallBack->Show();
    fmInstallProgress->Show();
    AnswerNextBox(IDOK);
    EXPECT_TRUE(PumpUntil(app, [] { return g_box.seen && !fmInstallProgress->Visible(); }));
    ExpectShownAndMenuBack();
}

// ---- The main loop and its idle handler, on a window of its own ----

const ControlLayout kProbeControls[] = {
    {"btGo", ControlKind::Button, 10, 10, 75, 21, "Go", kDefault, {}, kColorWindowText, 0},
};
const FormLayout kProbeLayout = {"TestProbe",    "Probe", 200,   100,  FormBorder::Dialog,
                                 false,          true,    false, true, {kPGothic, 12, false, false},
                                 kProbeControls, 1};

Form* g_probe = nullptr;

void CALLBACK CloseProbe(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_probe->Close();
}

TEST(ApplicationTest, IdleHandlerRunsOnceFromTheMainLoopAfterPendingMessages) {
    Application app("Setup");
    Form* probe = nullptr;
    app.CreateForm(probe, kProbeLayout);
    ASSERT_NE(nullptr, probe->Handle()) << "no windows without a display";
    g_probe = probe;
    std::vector<std::string> events;
    Button& go = probe->Find<Button>("btGo");
    go.OnClick = [&] { events.push_back("click"); };
    app.SetIdleHandler([&] {
        events.push_back("idle");
        // Later idle moments must not run it again.
        SetTimer(nullptr, 0, 300, CloseProbe);
    });
    PostMessageW(probe->Handle(), WM_NULL, 0, 0);
    app.ProcessMessages();  // long work pumping never runs it
    EXPECT_TRUE(events.empty());

    probe->OnShow = [&] {
        events.push_back("show");
        PostMessageW(probe->Handle(), WM_COMMAND, MAKEWPARAM(go.Id(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(go.Handle()));
    };
    app.Run();
    EXPECT_EQ((std::vector<std::string>{"show", "click", "idle"}), events);
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(IsWindowVisible(probe->Handle()));
}

}  // namespace
