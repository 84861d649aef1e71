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
#include "forms/ProgressUi.h"
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
    std::string value;  // the last one

    // "position/max" of the bar, as its control holds them.
    std::string BarValue() const {
        if (bar == nullptr) {
            return "no bar";
        }
        return std::to_string(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0)) + "/" +
               std::to_string(SendMessageW(bar->Handle(), PBM_GETRANGE, FALSE, 0));
    }
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
        value = std::to_string(completed) + "/" + std::to_string(total);
        log.push_back(value);
        if (value != BarValue()) {
            faults.push_back("the bar shows " + BarValue() + ", not " + value);
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
    bool barShown;      // the button shows the bar's value, if it shows one
    std::vector<std::string> buttons;
};

// Yes to the questions, OK to the rest; what each box showed.
struct BoxAnswers {
    explicit BoxAnswers(const FakeTaskbarList& taskbar) : list(&taskbar) {}
    std::vector<SeenBox> seen;
    const FakeTaskbarList* list;
    // Runs as a box with this caption comes, before the answer.
    std::function<void(const std::string& caption)> onBox;
};
BoxAnswers* g_answers = nullptr;

BOOL CALLBACK FindShownBox(HWND window, LPARAM result) {
    if (ClassOf(window) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindMessageBox();
    if (box == nullptr || g_answers == nullptr) {
        return;
    }
    const std::string caption = TextOf(box);
    const FakeTaskbarList& list = *g_answers->list;
    g_answers->seen.push_back({caption, list.state,
                               list.state == "None" || list.value == list.BarValue(),
                               TaskbarWindows()});
    if (g_answers->onBox) {
        g_answers->onBox(caption);
    }
    PostMessageW(box, WM_COMMAND, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK, 0);
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
        EXPECT_TRUE(box.barShown) << box.caption;
    }
    return result;
}

// Whether the button showed the bar anywhere but at its start.
bool MovedOnTheButton(const std::vector<std::string>& log) {
    return std::any_of(log.begin(), log.end(), [](const std::string& entry) {
        return entry.find('/') != std::string::npos && entry != "0/100";
    });
}

bool BackAtTheMenu(const Form* progress) {
    return fmMenu->Visible() && !progress->Visible() && !fmInstallProgress->EngineRunning &&
           !fmUninstallProgress->EngineRunning;
}

const int kFlowTimeoutMs = 20000;
// Where the shortcut on the desktop goes.
const int kDesktopFolder = 0x19;

// The setup program's windows on the fake system, the task-bar list of the test
// instead of the shell's, every message box answered.
class TaskbarProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, fmMenu->Handle()) << "no windows without a display";
        app.Taskbar().UseList(&list);
    }

    FakeMedium medium{false};
    Application& app = medium.app;
    FakeTaskbarList list{medium.app.Window()};
    BoxAnswers answers{list};
    const BoxAnswerer answerer{answers};
};

TEST_F(TaskbarProgressTest, OneButtonThroughAnInstallationAndAnUninstallationWithTheBarOnIt) {
    medium.system.shellFolders[kDesktopFolder] = "C:\\Users\\Public\\Desktop";
    medium.system.AddFolder("C:\\Users\\Public\\Desktop");
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
    EXPECT_TRUE(MovedOnTheButton(list.log));
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
    EXPECT_EQ(std::vector<std::string>{}, list.faults);
    EXPECT_EQ(kOneButton, TaskbarWindows()) << "at the menu after the uninstallation";
}

DWORD g_now = 0;
DWORD WINAPI Now() {
    return g_now;
}

TEST_F(TaskbarProgressTest, TheButtonFollowsTheBarWithTheRepaintsAndAtEveryMessageBox) {
    ProgressBar& bar = fmInstallProgress->pbBar;
    list.bar = &bar;
    g_now = 1000;
    ProgressUi ui(app, fmInstallProgress->lbStatus, bar, Now);
    ui.FollowOnTaskbar(true);
    ui.PumpMessages();  // the first pump repaints, with nothing new
    ui.SetBarPosition(10);
    g_now += ProgressUi::kRepaintIntervalMs - 1;
    ui.PumpMessages();  // too soon
    g_now += 1;
    ui.PumpMessages();
    ui.SetBarMax(200);
    ui.SetBarPosition(50);
    ui.ShowMessage("フォルダを作成します.", "メッセージ", MessageButtons::Ok, MessageIcon::None);
    ui.SetBarPosition(60);
    EXPECT_TRUE(
        ui.ShowMessage("続行しますか？", "エラー", MessageButtons::YesNo, MessageIcon::None));
    ui.FollowOnTaskbar(false);
    ui.SetBarPosition(70);
    g_now += 1000;
    ui.PumpMessages();
    EXPECT_EQ((std::vector<std::string>{"Normal", "0/100", "10/100", "50/200", "Paused", "60/200",
                                        "Normal", "None"}),
              list.log);
    EXPECT_EQ((std::vector<std::string>{"メッセージ Normal", "エラー Paused"}),
              CaptionsAndStates(answers.seen));
    EXPECT_EQ(std::vector<std::string>{}, list.faults);
}

TEST_F(TaskbarProgressTest, ACancelTakesTheProgressOffTheButtonAtOnce) {
    InstallFromTheMenu();
    list.bar = &fmInstallProgress->pbBar;
    // Cancel, clicked as the notice about the new folder is answered: the engine
    // sees it at its next step.
    answers.onBox = [](const std::string& caption) {
        if (caption == "メッセージ") {
            Button& cancel = fmInstallProgress->btCancel;
            PostMessageW(fmInstallProgress->Handle(), WM_COMMAND,
                         MAKEWPARAM(cancel.Id(), BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel.Handle()));
        }
    };
    fmBrouse->btNext.Click();
    ASSERT_TRUE(PumpUntil(
        app, [] { return BackAtTheMenu(fmInstallProgress); }, kFlowTimeoutMs));
    // The engine went on to its cancel point and said so, then reset its bar: none of
    // it on the button.
    EXPECT_EQ((std::vector<std::string>{"Normal", "0/100", "None"}), list.log);
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
