// The program's one task-bar button under Wine: listed alone, with the application
// title, through the dialogs, the progress windows and the message boxes of an
// installation and an uninstallation; the progress a task-bar list of our own hears
// follows the bar of the window that runs the engine.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h.
#include <commctrl.h>
#include <shobjidl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "forms/MessageBox.h"
#include "install/unBrouse.h"
#include "install/unInstallProgress.h"
#include "resources/Layouts.h"
#include "system/win32/Win32System.h"
#include "tests/win32/WindowTesting.h"
#include "uninstall/unStandAloneUninstall.h"
#include "uninstall/unUninstallProgress.h"

namespace {

const std::vector<std::string> kOneButton = {"Setup"};

// Records what the program reports about its button: each state ("Normal",
// "Paused", "None") and each value ("42/100"), and whatever differs from the bar of
// `bar` or from the one task-bar button at that moment.
class FakeTaskbarList : public ITaskbarList3 {
public:
    explicit FakeTaskbarList(HWND window) : window_(window) {}

    std::vector<std::string> log;
    std::vector<std::string> faults;
    ProgressBar* bar = nullptr;
    std::string state = "None";
    // Runs at each value, after it is recorded.
    std::function<void(ULONGLONG completed, ULONGLONG total)> onValue;

    std::vector<std::string> States() const {
        std::vector<std::string> states;
        for (const std::string& entry : log) {
            if (entry.find('/') == std::string::npos) {
                states.push_back(entry);
            }
        }
        return states;
    }

    HRESULT STDMETHODCALLTYPE SetProgressState(HWND window, TBPFLAG flags) override {
        Check(window);
        state = flags == TBPF_NORMAL       ? "Normal"
                : flags == TBPF_PAUSED     ? "Paused"
                : flags == TBPF_NOPROGRESS ? "None"
                                           : "other " + std::to_string(flags);
        log.push_back(state);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND window, ULONGLONG completed,
                                               ULONGLONG total) override {
        Check(window);
        const std::string value = std::to_string(completed) + "/" + std::to_string(total);
        log.push_back(value);
        if (bar == nullptr) {
            faults.push_back("a value without a bar: " + value);
        } else if (static_cast<ULONGLONG>(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0)) !=
                       completed ||
                   static_cast<ULONGLONG>(SendMessageW(bar->Handle(), PBM_GETRANGE, FALSE, 0)) !=
                       total) {
            faults.push_back("the bar does not show " + value);
        }
        if (onValue) {
            onValue(completed, total);
        }
        return S_OK;
    }

    // ---- The rest of the interface, which the program does not use ----
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_ITaskbarList || iid == IID_ITaskbarList2 ||
            iid == IID_ITaskbarList3) {
            *object = static_cast<ITaskbarList3*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE HrInit() override { return Unused("HrInit"); }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return Unused("AddTab"); }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return Unused("DeleteTab"); }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return Unused("ActivateTab"); }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return Unused("SetActiveAlt"); }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override {
        return Unused("MarkFullscreenWindow");
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return Unused("RegisterTab"); }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return Unused("UnregisterTab"); }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return Unused("SetTabOrder"); }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override {
        return Unused("SetTabActive");
    }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override {
        return Unused("ThumbBarAddButtons");
    }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override {
        return Unused("ThumbBarUpdateButtons");
    }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override {
        return Unused("ThumbBarSetImageList");
    }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override {
        return Unused("SetOverlayIcon");
    }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override {
        return Unused("SetThumbnailTooltip");
    }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override {
        return Unused("SetThumbnailClip");
    }

private:
    void Check(HWND window) {
        if (window != window_) {
            faults.push_back("a report for another window");
        }
        if (TaskbarWindows() != kOneButton) {
            faults.push_back("not one button at a report");
        }
    }
    HRESULT Unused(const char* method) {
        faults.push_back(std::string("called ") + method);
        return E_NOTIMPL;
    }

    HWND window_;
};

// ---- Message boxes answered from a timer inside their modal loop, all of them ----

struct SeenBox {
    std::string caption;
    std::string state;  // the task-bar state meanwhile
    std::vector<std::string> buttons;
};

struct BoxAnswers {
    std::vector<SeenBox> seen;
    const FakeTaskbarList* list = nullptr;
    // Yes to the questions, OK to the rest; a caption here gets No instead.
    std::string noTo;
};
BoxAnswers* g_answers = nullptr;

HWND FindMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            if (ClassOf(window) == L"#32770" && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindMessageBox();
    if (box == nullptr || g_answers == nullptr) {
        return;
    }
    const std::string caption = TextOf(box);
    g_answers->seen.push_back({caption, g_answers->list->state, TaskbarWindows()});
    int answer = IDOK;
    if (GetDlgItem(box, IDYES) != nullptr) {
        answer = caption == g_answers->noTo ? IDNO : IDYES;
    }
    PostMessageW(box, WM_COMMAND, answer, 0);
}

// Answers every box while it lives.
class BoxAnswerer {
public:
    explicit BoxAnswerer(BoxAnswers& answers) : timer_(SetTimer(nullptr, 0, 50, AnswerBoxes)) {
        g_answers = &answers;
    }
    ~BoxAnswerer() {
        KillTimer(nullptr, timer_);
        g_answers = nullptr;
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

private:
    UINT_PTR timer_;
};

std::vector<std::string> CaptionsAndStates(const std::vector<SeenBox>& seen) {
    std::vector<std::string> result;
    for (const SeenBox& box : seen) {
        result.push_back(box.caption + " " + box.state);
        EXPECT_EQ(kOneButton, box.buttons) << box.caption;
    }
    return result;
}

bool BackAtTheMenu(const Form* progress) {
    return fmMenu->Visible() && !progress->Visible() && !fmInstallProgress->EngineRunning &&
           !fmUninstallProgress->EngineRunning;
}

const int kFlowTimeoutMs = 20000;
// Where the shortcut on the desktop goes.
const int kDesktopFolder = 0x19;

TEST(TaskbarTest, OneButtonThroughAnInstallationAndAnUninstallationWithTheBarOnIt) {
    FakeMedium medium(false);
    ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
    medium.system.shellFolders[kDesktopFolder] = "C:\\Users\\Public\\Desktop";
    medium.system.AddFolder("C:\\Users\\Public\\Desktop");
    Application& app = medium.app;
    FakeTaskbarList list(app.Window());
    app.Taskbar().UseList(&list);
    BoxAnswers answers;
    answers.list = &list;
    const BoxAnswerer answerer(answers);
    EXPECT_EQ(kOneButton, TaskbarWindows()) << "at the menu";

    InstallFromTheMenu();
    ASSERT_TRUE(fmBrouse->Visible());
    EXPECT_EQ(kOneButton, TaskbarWindows()) << "at the destination dialog";
    list.bar = &fmInstallProgress->pbBar;
    fmBrouse->btNext.Click();
    ASSERT_TRUE(fmInstallProgress->Visible());
    EXPECT_EQ(kOneButton, TaskbarWindows()) << "at the progress window";
    ASSERT_TRUE(PumpUntil(
        app, [] { return BackAtTheMenu(fmInstallProgress); }, kFlowTimeoutMs));
    EXPECT_EQ(kOneButton, TaskbarWindows()) << "back at the menu";
    ASSERT_TRUE(fmMenu->Installed);

    // The folder notice, the question about the uninstaller that the medium lacks
    // (which waits paused), the success.
    EXPECT_EQ((std::vector<std::string>{"メッセージ Normal", "エラー Paused", "成功 Normal"}),
              CaptionsAndStates(answers.seen));
    EXPECT_EQ((std::vector<std::string>{"Normal", "Paused", "Normal", "None"}), list.States());
    EXPECT_EQ("0/100", list.log.at(1));  // the bar as the run starts
    EXPECT_NE(std::find(list.log.begin(), list.log.end(), "100/100"), list.log.end());
    EXPECT_EQ("None", list.log.back());
    EXPECT_EQ(std::vector<std::string>{}, list.faults);

    list.log.clear();
    answers.seen.clear();
    list.bar = &fmUninstallProgress->pbBar;
    fmMenu->OnKeyDown(VK_UP);  // Exit, the home slot of an installed software
    fmMenu->OnKeyDown(VK_UP);  // Uninstall
    fmMenu->OnKeyDown(VK_RETURN);
    ASSERT_TRUE(PumpUntil(
        app, [] { return BackAtTheMenu(fmUninstallProgress); }, kFlowTimeoutMs));
    EXPECT_FALSE(fmMenu->Installed);
    EXPECT_EQ((std::vector<std::string>{"確認 None", "成功 Normal"}),
              CaptionsAndStates(answers.seen));
    EXPECT_EQ((std::vector<std::string>{"Normal", "None"}), list.States());
    EXPECT_NE(std::find(list.log.begin(), list.log.end(), "100/100"), list.log.end());
    EXPECT_EQ(std::vector<std::string>{}, list.faults);
    EXPECT_EQ(kOneButton, TaskbarWindows()) << "at the menu after the uninstallation";
}

TEST(TaskbarTest, ACancelTakesTheProgressOffTheButtonAtOnce) {
    FakeMedium medium(false);
    ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
    Application& app = medium.app;
    FakeTaskbarList list(app.Window());
    app.Taskbar().UseList(&list);
    BoxAnswers answers;
    answers.list = &list;
    const BoxAnswerer answerer(answers);
    InstallFromTheMenu();
    list.bar = &fmInstallProgress->pbBar;
    // Cancel clicked once the copy has begun.
    bool clicked = false;
    size_t calls = 0;
    list.onValue = [&](ULONGLONG, ULONGLONG total) {
        if (total == 100 && list.log.size() > 2 && !clicked) {
            Button& cancel = fmInstallProgress->btCancel;
            PostMessageW(fmInstallProgress->Handle(), WM_COMMAND,
                         MAKEWPARAM(cancel.Id(), BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel.Handle()));
            clicked = true;
            calls = list.log.size();
        }
    };
    fmBrouse->btNext.Click();
    ASSERT_TRUE(PumpUntil(
        app, [] { return BackAtTheMenu(fmInstallProgress); }, kFlowTimeoutMs));
    ASSERT_TRUE(clicked);
    // The engine went on to its cancel point, reset its bar and said so, unseen on
    // the button.
    EXPECT_GE(list.log.size(), calls + 1);
    EXPECT_EQ((std::vector<std::string>{"Normal", "None"}), list.States());
    EXPECT_EQ("None", list.log.back());
    EXPECT_EQ((std::vector<std::string>{"メッセージ Normal", "警告 None"}),
              CaptionsAndStates(answers.seen));
    EXPECT_EQ(std::vector<std::string>{}, list.faults);
}

TEST(TaskbarTest, ActivatingTheApplicationBringsBackTheWindowThatWasActive) {
    FakeMedium medium(false);
    ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
    Application& app = medium.app;
    for (Form* form : {static_cast<Form*>(fmMenu), static_cast<Form*>(fmBrouse)}) {
        SCOPED_TRACE(form->Layout().className);
        if (form == fmBrouse) {
            InstallFromTheMenu();
        }
        ASSERT_TRUE(form->Visible());
        SetActiveWindow(app.Window());
        EXPECT_TRUE(PumpUntil(app, [form] { return GetActiveWindow() == form->Handle(); }));
    }
}

TEST(TaskbarTest, TheStandAloneUninstallerKeepsOneButtonWithItsWindowsTitle) {
    Application app(kUninstallProgressLayout.caption);
    Win32System system;
    TfmStandAloneUninstall& window = app.CreateForm(fmStandAloneUninstall, system);
    ASSERT_NE(nullptr, window.Handle()) << "no windows without a display";
    const std::vector<std::string> button = {"進行状況"};
    EXPECT_EQ(button, TaskbarWindows());
    window.Show();
    window.tmStart.SetEnabled(false);  // its engine is not under test
    EXPECT_EQ(button, TaskbarWindows());
    EXPECT_EQ(app.Window(), GetWindow(window.Handle(), GW_OWNER));
}

}  // namespace
