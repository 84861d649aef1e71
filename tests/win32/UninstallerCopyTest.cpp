// The stand-alone uninstaller's start on the real system under Wine: the copy of
// itself that it makes in its private folder is held, sharing reading only, until that
// copy has started, and it starts all the same.
#include <windows.h>
// Needs windows.h first.
#include <gtest/gtest.h>

#include <string>

#include "install/RegistryRecords.h"
#include "system/Paths.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32Processes.h"
#include "system/win32/Win32System.h"
#include "tests/fakes/ScriptedUi.h"
#include "uninstall/UninstallerRun.h"

namespace {

const char kSoftName[] = "保持試験";

// The real processes, but the command line of a start from the list of installed
// programs, and a start that first tries what someone else could do to the copy.
class CheckingProcesses : public Win32Processes {
public:
    std::string commandLine;
    std::string started;
    DWORD writeError = 0;
    DWORD deleteError = 0;

    std::string CommandLine() override { return commandLine; }
    bool StartProcess(const std::string& program, const std::string&,
                      const std::string& workingFolder) override {
        const std::wstring path = ToWide(program);
        const DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        writeError = Refusal(
            CreateFileW(path.c_str(), GENERIC_WRITE, everyone, nullptr, OPEN_EXISTING, 0, nullptr));
        deleteError = Refusal(
            CreateFileW(path.c_str(), DELETE, everyone, nullptr, OPEN_EXISTING, 0, nullptr));
        // The copy is this test program: listing its tests ends it at once.
        if (!Win32Processes::StartProcess(program, "--gtest_list_tests", workingFolder)) {
            return false;
        }
        started = program;
        return true;
    }

private:
    // 0 when the open succeeded, else its error.
    static DWORD Refusal(HANDLE opened) {
        const DWORD error = GetLastError();
        FileHandle file(opened);
        return file ? 0 : error;
    }
};

TEST(UninstallerCopy, TheCopyIsHeldUntilItHasStarted) {
    Win32System system;
    const std::string key = MakeProductKeyPath(kSoftName);
    ASSERT_TRUE(system.WriteUserString(key, "Path", "C:\\held\\app.exe"));
    CheckingProcesses processes;
    processes.commandLine = "\"" + system.ExecutablePath() + "\" @" + EncodeKeyName(kSoftName);
    ScriptedUi ui;
    ui.answers = {true};
    bool engineRan = false;
    RunStandAloneUninstaller(system, processes, ui, [&](TSetupSettings&) { engineRan = true; });
    system.DeleteUserKey(key);

    EXPECT_EQ(std::vector<std::string>{MessageEvent("確認", MessageButtons::YesNo,
                                                    "保持試験 を削除してよろしいですか？")},
              ui.events);
    EXPECT_FALSE(engineRan);
    ASSERT_FALSE(processes.started.empty());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), processes.writeError);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), processes.deleteError);
    // Held no longer: the copy goes once it has ended.
    const std::wstring copy = ToWide(processes.started);
    bool removed = false;
    for (int wait = 0; wait < 300 && !removed; ++wait) {
        removed = DeleteFileW(copy.c_str()) != 0;
        if (!removed) {
            Sleep(100);
        }
    }
    EXPECT_TRUE(removed);
    EXPECT_TRUE(RemoveDirectoryW(
        ToWide(RemoveTrailingSeparator(ExtractFolderPart(processes.started))).c_str()));
}

}  // namespace
