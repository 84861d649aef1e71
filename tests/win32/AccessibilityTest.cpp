// What a screen reader learns of the windows, asked the way it asks, through the
// system's accessibility library under Wine: the menu's drawn buttons as push
// buttons with their labels, states, places and focus, whose default action does
// what a click does; the standard controls of the dialogs, progress windows and
// message boxes named by their texts, the bar with its value.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <oleacc.h>

#include <string>
#include <vector>

#include "forms/MessageBox.h"
#include "install/unBrouse.h"
#include "install/unInstallBack.h"
#include "install/unInstallInfo.h"
#include "install/unInstallProgress.h"
#include "install/unInstallReadyMsg.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"
#include "tests/win32/WindowTesting.h"
#include "uninstall/unUninstallProgress.h"

namespace {

ComPtr<IAccessible> ClientObject(HWND window) {
    ComPtr<IAccessible> object;
    EXPECT_EQ(S_OK, AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                               __uuidof(IAccessible), object.ReceiveVoid()));
    return object;
}

VARIANT Child(LONG id) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A text property; empty when there is none.
std::string TextProperty(IAccessible* object, LONG child,
                         HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    const HRESULT result = (object->*property)(Child(child), &text);
    EXPECT_TRUE(SUCCEEDED(result)) << std::hex << result;
    const std::wstring wide = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return ToCodePage(wide);
}

std::string NameOf(IAccessible* object, LONG child = CHILDID_SELF) {
    return TextProperty(object, child, &IAccessible::get_accName);
}

LONG NumberProperty(IAccessible* object, LONG child,
                    HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*)) {
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(S_OK, (object->*property)(Child(child), &value));
    EXPECT_EQ(VT_I4, value.vt);
    return value.vt == VT_I4 ? value.lVal : -1;
}

LONG RoleOf(IAccessible* object, LONG child = CHILDID_SELF) {
    return NumberProperty(object, child, &IAccessible::get_accRole);
}

LONG StateOf(IAccessible* object, LONG child) {
    return NumberProperty(object, child, &IAccessible::get_accState);
}

// The focused child, CHILDID_SELF for the object itself, -1 for none.
LONG FocusOf(IAccessible* object) {
    VARIANT focus;
    VariantInit(&focus);
    object->get_accFocus(&focus);
    return focus.vt == VT_I4 ? focus.lVal : -1;
}

RECT LocationOf(IAccessible* object, LONG child) {
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(S_OK, object->accLocation(&left, &top, &width, &height, Child(child)));
    return {left, top, left + width, top + height};
}

// A caption as the clients name it: without the '&' that marks its access key.
std::string WithoutMnemonic(std::string text) {
    const size_t mark = text.find('&');
    if (mark != std::string::npos) {
        text.erase(mark, 1);
    }
    return text;
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// A slot's rectangle on the screen, measured from the picture control.
RECT SlotOnScreen(int32_t slot) {
    RECT picture;
    GetWindowRect(fmMenu->imMain.Handle(), &picture);
    const ButtonRect& rect = SetupSettings.ButtonRects[slot];
    return {picture.left + rect.left, picture.top + rect.top, picture.left + rect.right,
            picture.top + rect.bottom};
}

// ---- The menu ----

TEST(MenuAccessibilityTest, SlotsArePushButtonsWithTheLabelsStatesAndPlacesShown) {
    FakeMedium medium(false);
    ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
    ASSERT_TRUE(fmMenu->Visible());
    ASSERT_FALSE(fmMenu->Installed);
    const ComPtr<IAccessible> menu = ClientObject(fmMenu->Handle());
    ASSERT_TRUE(menu);
    LONG count = 0;
    EXPECT_EQ(S_OK, menu->get_accChildCount(&count));
    EXPECT_EQ(3, count);

    struct Case {
        LONG child;
        int32_t slot;
        const char* name;
        bool dimmed;
    };
    const Case cases[] = {
        {1, kSlotInstall, "Install", false},
        {2, kSlotUninstall, "Uninstall", true},
        {3, kSlotExit, "Exit", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.name, NameOf(menu.Get(), c.child));
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, RoleOf(menu.Get(), c.child));
        const LONG state = StateOf(menu.Get(), c.child);
        EXPECT_EQ(c.dimmed, (state & STATE_SYSTEM_UNAVAILABLE) != 0);
        EXPECT_EQ(0, state & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_INVISIBLE));
        const RECT expected = SlotOnScreen(c.slot);
        EXPECT_TRUE(expected == LocationOf(menu.Get(), c.child))
            << Describe(expected) << " vs " << Describe(LocationOf(menu.Get(), c.child));
        VARIANT hit;
        VariantInit(&hit);
        EXPECT_EQ(S_OK, menu->accHitTest((expected.left + expected.right) / 2,
                                         (expected.top + expected.bottom) / 2, &hit));
        EXPECT_EQ(VT_I4, hit.vt);
        EXPECT_EQ(c.child, hit.lVal);
    }
    VARIANT beyond = Child(4);
    BSTR name = nullptr;
    EXPECT_EQ(E_INVALIDARG, menu->get_accName(beyond, &name));
}

std::vector<LONG> g_focusEvents;
HWND g_watched = nullptr;

void CALLBACK RecordFocus(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    if (event == EVENT_OBJECT_FOCUS && window == g_watched && object == OBJID_CLIENT &&
        child != CHILDID_SELF) {
        g_focusEvents.push_back(child);
    }
}

TEST(MenuAccessibilityTest, KeysAndTheMouseMoveTheFocusAndReportIt) {
    FakeMedium medium(false);
    ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
    const HWND window = fmMenu->Handle();
    const ComPtr<IAccessible> menu = ClientObject(window);
    ASSERT_TRUE(menu);
    g_focusEvents.clear();
    g_watched = window;
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, RecordFocus,
                        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    ASSERT_EQ(window, GetFocus());
    EXPECT_EQ(CHILDID_SELF, FocusOf(menu.Get()));  // nothing highlighted

    struct Step {
        const char* what;
        std::function<void()> act;
        LONG focused;
    };
    const RECT install = SlotOnScreen(kSlotInstall);
    POINT middle = {(install.left + install.right) / 2, (install.top + install.bottom) / 2};
    ScreenToClient(fmMenu->imMain.Handle(), &middle);
    const Step steps[] = {
        {"Down", [window] { PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0); }, 1},
        {"Down again", [window] { PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0); }, 3},
        {"the mouse onto Install",
         [middle] {
             PostMessageW(fmMenu->imMain.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(middle.x, middle.y));
         },
         1},
    };
    std::vector<LONG> expectedEvents;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        medium.app.ProcessMessages();
        EXPECT_EQ(step.focused, FocusOf(menu.Get()));
        for (LONG child = 1; child <= 3; ++child) {
            EXPECT_EQ(child == step.focused,
                      (StateOf(menu.Get(), child) & STATE_SYSTEM_FOCUSED) != 0);
        }
        expectedEvents.push_back(step.focused);
        EXPECT_TRUE(PumpUntil(
            medium.app, [&] { return g_focusEvents == expectedEvents; }, 1000));
    }
    EXPECT_EQ(expectedEvents, g_focusEvents);
    UnhookWinEvent(hook);
}

// What the menu's windows show after a slot is used, and whether the program ends.
std::string Outcome() {
    std::string shown;
    for (Form* form : {static_cast<Form*>(fmMenu), static_cast<Form*>(fmInstallBack),
                       static_cast<Form*>(fmBrouse), static_cast<Form*>(fmInstallProgress),
                       static_cast<Form*>(fmUninstallProgress)}) {
        if (form->Visible()) {
            shown += std::string(form->Layout().className) + " ";
        }
    }
    return shown + (fmMenu->App().Terminated() ? "ended" : "running");
}

TEST(MenuAccessibilityTest, TheDefaultActionDoesWhatAClickDoes) {
    struct Case {
        LONG child;
        int32_t slot;
        HRESULT action;
        const char* outcome;
    };
    const Case cases[] = {
        {1, kSlotInstall, S_OK, "TfmInstallBack TfmBrouse running"},
        {2, kSlotUninstall, E_FAIL, "TfmMenu running"},  // dimmed
        {3, kSlotExit, S_OK, "ended"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kSlotLabels[c.slot]);
        std::string byClick;
        {
            FakeMedium medium(false);
            ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
            const RECT slot = SlotOnScreen(c.slot);
            POINT middle = {(slot.left + slot.right) / 2, (slot.top + slot.bottom) / 2};
            ScreenToClient(fmMenu->imMain.Handle(), &middle);
            PostMessageW(fmMenu->imMain.Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                         MAKELPARAM(middle.x, middle.y));
            medium.app.ProcessMessages();
            byClick = Outcome();
        }
        FakeMedium medium(false);
        const ComPtr<IAccessible> menu = ClientObject(fmMenu->Handle());
        ASSERT_TRUE(menu);
        EXPECT_EQ(c.action, menu->accDoDefaultAction(Child(c.child)));
        EXPECT_EQ("TfmMenu running", Outcome()) << "ran inside the client's call";
        medium.app.ProcessMessages();
        EXPECT_EQ(c.outcome, Outcome());
        EXPECT_EQ(byClick, Outcome());
    }
}

// ---- The standard controls ----

bool IsNamedByItsText(HWND control) {
    const std::wstring kind = ClassOf(control);
    return kind == L"Button" || kind == L"Static" || kind == L"SetupLabel";
}

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> ChildrenOf(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// Every label and button of the window: its text as its name. The number checked.
int ExpectNamedByTheirTexts(HWND window) {
    int checked = 0;
    for (HWND control : ChildrenOf(window)) {
        if (!IsNamedByItsText(control)) {
            continue;
        }
        const std::string text = TextOf(control);
        SCOPED_TRACE(text);
        const ComPtr<IAccessible> object = ClientObject(control);
        if (!object) {
            continue;
        }
        EXPECT_EQ(WithoutMnemonic(text), NameOf(object.Get()));
        checked += text.empty() ? 0 : 1;
    }
    return checked;
}

// The setup program's windows, as it creates them.
class StandardControlsAccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateWindowSet(app, system, medium);
        ASSERT_NE(nullptr, fmBrouse->Handle()) << "no windows without a display";
    }

    Win32System system;
    const Medium medium{system.ExecutablePath()};
    Application app{"Setup"};
};

TEST_F(StandardControlsAccessibilityTest, LabelsAndButtonsAreNamedByTheirTexts) {
    fmInstallInfo->lbInfo.SetText("インストールを開始します.");
    fmBrouse->lbNeedSize.SetText("必要容量：  1,037 KB");
    fmInstallProgress->lbStatus.SetText("prog.exe をコピー中\n(50％)");
    struct Case {
        Form* form;
        int named;  // labels and buttons with a text
    };
    const Case cases[] = {
        {fmBrouse, 7},          {fmInstallInfo, 4},       {fmInstallReadyMsg, 1},
        {fmInstallProgress, 2}, {fmUninstallProgress, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form->Layout().className);
        EXPECT_EQ(c.named, ExpectNamedByTheirTexts(c.form->Handle()));
    }
}

TEST_F(StandardControlsAccessibilityTest, TheProgressBarIsOneWithItsValue) {
    for (ProgressBar* bar : {&fmInstallProgress->pbBar, &fmUninstallProgress->pbBar}) {
        bar->SetMax(200);
        bar->SetPosition(50);
        const ComPtr<IAccessible> object = ClientObject(bar->Handle());
        ASSERT_TRUE(object);
        EXPECT_EQ(ROLE_SYSTEM_PROGRESSBAR, RoleOf(object.Get()));
        EXPECT_EQ("25%", TextProperty(object.Get(), CHILDID_SELF, &IAccessible::get_accValue));
    }
}

struct BoxCheck {
    bool seen = false;
    int named = 0;
};
BoxCheck g_boxCheck;

void CALLBACK CheckAndAnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    for (HWND window : {GetActiveWindow(), GetForegroundWindow()}) {
        if (window == nullptr || ClassOf(window) != L"#32770") {
            continue;
        }
        KillTimer(nullptr, timer);
        g_boxCheck.seen = true;
        g_boxCheck.named = ExpectNamedByTheirTexts(window);
        PostMessageW(window, WM_COMMAND, IDNO, 0);
        return;
    }
}

TEST_F(StandardControlsAccessibilityTest, MessageBoxTextAndButtonsAreNamedByTheirTexts) {
    g_boxCheck = BoxCheck();
    SetTimer(nullptr, 0, 50, CheckAndAnswerBox);
    EXPECT_FALSE(ShowMessageBox("ソフトを削除してよろしいですか？", "確認", MessageButtons::YesNo));
    EXPECT_TRUE(g_boxCheck.seen);
    EXPECT_EQ(3, g_boxCheck.named);  // the text, Yes and No
}

}  // namespace
