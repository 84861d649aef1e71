#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "install/FolderScan.h"
#include "install/InstallEngine.h"
#include "install/RegistryRecords.h"
#include "system/Paths.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedUi.h"
#include "uninstall/UninstallEngine.h"
#include "uninstall/UninstallerRun.h"

namespace {

using Root = FakeSystem::Root;

const std::string kSoftName = "表計算ソフト";
const std::string kDesktop = "C:\\Users\\Public\\Desktop";
const std::string kUninstaller = "C:\\App\\_uninst.exe";
const std::string kUninstallerBytes = "MZ the uninstaller";
const std::string kPrivateFolder = "C:\\Temp\\private1";
const std::string kCopy = kPrivateFolder + "\\_uninst.exe";

const std::string kNoSoftware =
    MessageEvent("エラー", MessageButtons::Ok, "アンインストールするソフトが指定されていません.");
const std::string kBadName = MessageEvent("エラー", MessageButtons::Ok,
                                          "アンインストールするソフトの名前が正しくありません.");
const std::string kNotInstalled =
    MessageEvent("警告", MessageButtons::Ok, "ソフトがインストールされていません.");
const std::string kQuestion =
    MessageEvent("確認", MessageButtons::YesNo, "表計算ソフト を削除してよろしいですか？");
const std::string kPrepareFailed =
    MessageEvent("エラー", MessageButtons::Ok,
                 "アンインストールの準備に失敗しました.\n最初からやり直してください.");
const std::string kSuccess =
    MessageEvent("成功", MessageButtons::Ok, "アンインストールが正常に終了しました.");

// The processes of the fake Windows. As Windows does, the file system refuses to delete
// the file of a running program and to remove the folder it runs in or from.
class FakeProcesses : public Processes {
public:
    struct Process {
        std::string program;
        std::string arguments;
        std::string folder;
        bool running = true;
    };

    explicit FakeProcesses(FakeSystem& system) : system_(system) {
        system_.failIf = [this](FakeOperation operation, const std::string& path) {
            return InUse(operation, path) || (alsoFail && alsoFail(operation, path));
        };
    }

    // Every process so far; the first is the one started from the list of programs,
    // `current` the one that runs the code under test.
    std::vector<Process> processes;
    size_t current = 0;
    std::vector<std::string> deletedAtRestart;
    std::vector<std::string> waits;
    bool folderFails = false;
    bool startFails = false;
    std::function<bool(FakeOperation operation, const std::string& path)> alsoFail;

    void Start(const std::string& program, const std::string& arguments,
               const std::string& folder) {
        processes.push_back({program, arguments, folder});
        current = processes.size() - 1;
        system_.executablePath = program;
    }

    // A token names the process by its index.
    static std::string TokenOf(size_t index) { return "T" + std::to_string(index); }

    bool InUse(FakeOperation operation, const std::string& path) const {
        const std::string key = system_.Key(path);
        for (const Process& process : processes) {
            if (!process.running) {
                continue;
            }
            if ((operation == FakeOperation::RemoveFile && key == system_.Key(process.program)) ||
                (operation == FakeOperation::RemoveEmptyFolder &&
                 (key == system_.Key(process.folder) ||
                  key == system_.Key(ExtractFolderPart(process.program))))) {
                return true;
            }
        }
        return false;
    }

    std::string CommandLine() override {
        const Process& process = processes[current];
        return "\"" + process.program + "\"" +
               (process.arguments.empty() ? "" : " " + process.arguments);
    }
    std::string CreatePrivateTempFolder() override {
        if (folderFails) {
            return std::string();
        }
        system_.AddFolder(kPrivateFolder);
        return kPrivateFolder;
    }
    std::string WaitToken() override { return TokenOf(current); }
    bool StartProcess(const std::string& program, const std::string& arguments,
                      const std::string& workingFolder) override {
        if (startFails) {
            return false;
        }
        processes.push_back({program, arguments, workingFolder});
        return true;
    }
    bool WaitForProcess(const std::string& token) override {
        waits.push_back(token);
        for (size_t i = 0; i < processes.size(); ++i) {
            if (TokenOf(i) == token && i != current) {
                processes[i].running = false;
                return true;
            }
        }
        return false;
    }
    bool DeleteAtRestart(const std::string& path) override {
        deletedAtRestart.push_back(path);
        return true;
    }

private:
    FakeSystem& system_;
};

// An installation of "表計算ソフト" in C:\App that created C:\App, with the uninstaller
// registered in the list of installed programs and a desktop shortcut. Its uninstaller
// runs from C:\App, as when opened from its folder.
class UninstallerRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.shellFolders[0x19] = kDesktop;
        system.shellFolders[0x02] = "C:\\Users\\me\\Programs";
        system.AddFolder("C:\\Temp");
        system.AddFile("C:\\App\\app.exe", "app");
        system.AddFile("C:\\App\\sub\\data.txt", "data");
        system.AddFile(kUninstaller, kUninstallerBytes);
        system.AddFile("C:\\App\\_setup.log",
                       "C:\\App\\app.exe\r\nC:\\App\\sub\\data.txt\r\nC:\\App\\_setup.log\r\n" +
                           kUninstaller + "\r\n.\r\nC:\\App\\sub\\\r\nC:\\App\r\n");
        system.AddFile(kDesktop + "\\" + kSoftName + ".lnk", "LNK");
        system.AddFile("C:\\Other\\keep.txt", "keep");
        const std::pair<const char*, const char*> values[] = {
            {"LogFile", "C:\\App\\_setup.log"},
            {"Path", "C:\\App\\app.exe"},
            {"ShortcutDesktop", "1"},
            {"ShortcutPrograms", "0"},
            {"ShortcutFolder", ""},
            {"ExShortcutDesktop", "0"},
            {"ExShortcutPrograms", "0"},
            {"ExShortcutName", ""},
        };
        for (const auto& [name, text] : values) {
            system.SetValue(Root::User, MakeProductKeyPath(kSoftName), name, text);
        }
        system.SetValue(Root::Machine, UninstallKeyPath(kSoftName), "UninstallString",
                        MakeUninstallCommand(kUninstaller, EncodeKeyName(kSoftName)));
        processes.Start(kUninstaller, "@" + EncodeKeyName(kSoftName), "C:\\App");
    }

    void Run() {
        RunStandAloneUninstaller(system, processes, ui, [this](TSetupSettings& settings) {
            ++engineRuns;
            RunUninstall(cancel, settings, system, ui);
        });
    }

    // Runs the starter and then, when it started one, the copy.
    void RunBoth() {
        Run();
        BecomeTheCopy();
        Run();
    }

    // The starter has started its copy; what runs next is the copy.
    void BecomeTheCopy() {
        ASSERT_EQ(2u, processes.processes.size());
        processes.current = 1;
        system.executablePath = processes.processes[1].program;
    }

    // What a run must leave alone when it stops before the engine.
    struct Snapshot {
        std::vector<std::string> tree;
        std::vector<std::string> userKeys;
        std::vector<std::string> machineKeys;
        bool operator==(const Snapshot& other) const {
            return tree == other.tree && userKeys == other.userKeys &&
                   machineKeys == other.machineKeys;
        }
    };
    Snapshot Take() const {
        return {system.Tree(), system.Keys(Root::User), system.Keys(Root::Machine)};
    }

    FakeSystem system;
    FakeProcesses processes{system};
    ScriptedUi ui;
    bool cancel = false;
    int engineRuns = 0;
};

TEST_F(UninstallerRunTest, RemovesTheInstallationFromACopyOfItself) {
    ui.answers = {true};
    Run();
    EXPECT_EQ(std::vector<std::string>{kQuestion}, ui.events);
    EXPECT_EQ(0, engineRuns);
    ASSERT_EQ(2u, processes.processes.size());
    const FakeProcesses::Process& copy = processes.processes[1];
    EXPECT_EQ(kCopy, copy.program);
    EXPECT_EQ("/wait:T0 @" + EncodeKeyName(kSoftName), copy.arguments);
    EXPECT_EQ(kPrivateFolder, copy.folder);
    EXPECT_EQ(kUninstallerBytes, system.FileData(kCopy));
    // Written, then held open while it is started.
    const std::vector<std::string>& log = system.operationLog;
    const auto written = std::find(log.begin(), log.end(), "CreateNewForWrite " + kCopy);
    EXPECT_NE(log.end(), std::find(written, log.end(), "OpenForRead " + kCopy));
    EXPECT_TRUE(system.HasFile(kUninstaller));
    // The starter still runs: its file and folder cannot go yet.
    EXPECT_TRUE(processes.InUse(FakeOperation::RemoveFile, kUninstaller));

    ui.events.clear();
    ui.answers = {true};
    BecomeTheCopy();
    Run();
    EXPECT_EQ(std::vector<std::string>{"T0"}, processes.waits);
    EXPECT_EQ(1, engineRuns);
    EXPECT_EQ(std::vector<std::string>{kSuccess}, ui.Messages());
    EXPECT_EQ((std::vector<std::string>{"C:\\", "C:\\Other\\", "C:\\Other\\keep.txt", "C:\\Temp\\",
                                        kPrivateFolder + "\\", kCopy, "C:\\Users\\",
                                        "C:\\Users\\Public\\", kDesktop + "\\", "D:\\"}),
              system.Tree());
    EXPECT_FALSE(system.HasKey(Root::User, MakeProductKeyPath(kSoftName)));
    EXPECT_FALSE(system.HasKey(Root::Machine, UninstallKeyPath(kSoftName)));
    // The file before its folder, which must be empty by then.
    EXPECT_EQ((std::vector<std::string>{kCopy, kPrivateFolder}), processes.deletedAtRestart);
}

TEST_F(UninstallerRunTest, ADestinationThatWasThereBeforeStaysWithWhatTheUserPutThere) {
    system.AddFile("C:\\App\\_setup.log",
                   "C:\\App\\app.exe\r\nC:\\App\\sub\\data.txt\r\nC:\\App\\_setup.log\r\n" +
                       kUninstaller + "\r\n.\r\nC:\\App\\sub\\\r\n");
    system.AddFile("C:\\App\\sub\\notes.txt", "mine");
    ui.answers = {true, true};
    RunBoth();
    EXPECT_EQ(std::vector<std::string>({kQuestion, kSuccess}), ui.Messages());
    EXPECT_FALSE(system.HasFile(kUninstaller));
    EXPECT_FALSE(system.HasFile("C:\\App\\sub\\data.txt"));
    EXPECT_TRUE(system.HasFile("C:\\App\\sub\\notes.txt"));
}

TEST_F(UninstallerRunTest, BadInputTouchesNothing) {
    const std::string entry = EncodeKeyName(kSoftName);
    struct Case {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"", kNoSoftware},
        {entry, kNoSoftware},
        {"@", kNoSoftware},
        {"@" + entry.substr(1), kBadName},  // odd length
        {"@GBGQ", kBadName},
        {"@gbgc", kBadName},
        {"@" + EncodeKeyName("表計算"), kNotInstalled},
        // No settings file holds a NUL, even when a product key of the name is there.
        {"@" + EncodeKeyName(std::string("表計算\0ソフト", 13)), kBadName},
        // Only the copy's own form names a process to wait for.
        {"/wait:T0@" + entry, kNoSoftware},
    };
    system.SetValue(Root::User, MakeProductKeyPath(std::string("表計算\0ソフト", 13)), "Path",
                    "C:\\App\\app.exe");
    const Snapshot before = Take();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ui.events.clear();
        processes.processes[0].arguments = c.arguments;
        ui.answers = {true};
        Run();
        EXPECT_EQ(std::vector<std::string>{c.message}, ui.events);
        EXPECT_TRUE(before == Take());
        EXPECT_EQ(1u, processes.processes.size());
        EXPECT_TRUE(processes.waits.empty());
        EXPECT_TRUE(processes.deletedAtRestart.empty());
        EXPECT_EQ(0, engineRuns);
    }
}

// The installation takes any name: one that cannot name a shortcut file is still
// removed, its shortcuts passed over, and nothing a shortcut's path would reach goes.
TEST_F(UninstallerRunTest, AnyNameTheInstallationTookIsRemoved) {
    for (const std::string& name : {std::string("..\\..\\Windows\\x"), std::string("表計算/ソフト"),
                                    std::string("表計算\tソフト")}) {
        SCOPED_TRACE(name);
        // The installation and the starter of SetUp, for each name anew; the last copy
        // is gone as at the system's next start.
        processes.processes.clear();
        system.Forget(kCopy);
        SetUp();
        const std::string key = MakeProductKeyPath(name);
        for (const char* value : {"LogFile", "Path", "ShortcutDesktop"}) {
            system.SetValue(Root::User, key, value,
                            system.Value(Root::User, MakeProductKeyPath(kSoftName), value));
        }
        system.SetValue(Root::Machine, UninstallKeyPath(name), "DisplayName", name);
        // Where the desktop shortcut's path would lead.
        const std::string reached = kDesktop + "\\" + name + ".lnk";
        system.AddFile(reached, "not ours");
        processes.processes[0].arguments = "@" + EncodeKeyName(name);
        ui.events.clear();
        ui.answers = {true, true};
        RunBoth();
        EXPECT_EQ(std::vector<std::string>({MessageEvent("確認", MessageButtons::YesNo,
                                                         name + " を削除してよろしいですか？"),
                                            kSuccess}),
                  ui.Messages());
        EXPECT_FALSE(system.HasFile(kUninstaller));
        EXPECT_FALSE(system.HasKey(Root::User, key));
        EXPECT_FALSE(system.HasKey(Root::Machine, UninstallKeyPath(name)));
        EXPECT_EQ("not ours", system.FileData(reached));
    }
}

TEST_F(UninstallerRunTest, NoToTheQuestionTouchesNothing) {
    const Snapshot before = Take();
    ui.answers = {false};
    Run();
    EXPECT_EQ(std::vector<std::string>{kQuestion}, ui.events);
    EXPECT_TRUE(before == Take());
    EXPECT_EQ(1u, processes.processes.size());
}

TEST_F(UninstallerRunTest, AWaitOptionInsideTheProgramPathIsNotTheCopys) {
    processes.processes[0].program = "C:\\x /wait:T0 @GB\\_uninst.exe";
    ui.answers = {false};
    Run();
    EXPECT_EQ(std::vector<std::string>{kQuestion}, ui.events);
    EXPECT_TRUE(processes.waits.empty());
}

TEST_F(UninstallerRunTest, ACopyThatCannotBeStartedLeavesNothingBehind) {
    struct Case {
        const char* label;
        bool folderFails;
        std::optional<FakeOperation> failingOperation;
        bool startFails;
    } cases[] = {
        {"no private folder", true, std::nullopt, false},
        {"the copy cannot be written", false, FakeOperation::Write, false},
        {"the copy cannot be created", false, FakeOperation::CreateNewForWrite, false},
        {"the copy cannot be started", false, std::nullopt, true},
        {"the copy cannot be held while it starts", false, FakeOperation::OpenForRead, false},
    };
    const Snapshot before = Take();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ui.events.clear();
        processes.folderFails = c.folderFails;
        processes.startFails = c.startFails;
        const std::optional<FakeOperation> failing = c.failingOperation;
        processes.alsoFail = [failing](FakeOperation operation, const std::string& path) {
            return operation == failing && path == kCopy;
        };
        ui.answers = {true, true};
        Run();
        EXPECT_EQ(std::vector<std::string>({kQuestion, kPrepareFailed}), ui.events);
        EXPECT_TRUE(before == Take());
        EXPECT_EQ(1u, processes.processes.size());
    }
}

TEST_F(UninstallerRunTest, ACopyThatCannotWaitTouchesNothing) {
    processes.Start(kCopy, "/wait:T7 @" + EncodeKeyName(kSoftName), kPrivateFolder);
    const Snapshot before = Take();
    ui.answers = {true};
    Run();
    EXPECT_EQ(std::vector<std::string>{kPrepareFailed}, ui.events);
    EXPECT_TRUE(before == Take());
    EXPECT_EQ(0, engineRuns);
    EXPECT_TRUE(processes.deletedAtRestart.empty());
}

TEST_F(UninstallerRunTest, ACopyThatFindsTheSoftwareGoneStillGoesItself) {
    ui.answers = {true};
    Run();
    system.DeleteUserKey(MakeProductKeyPath(kSoftName));
    ui.events.clear();
    ui.answers = {true};
    BecomeTheCopy();
    Run();
    EXPECT_EQ(std::vector<std::string>{kNotInstalled}, ui.events);
    EXPECT_EQ(0, engineRuns);
    EXPECT_TRUE(system.HasFile(kUninstaller));
    EXPECT_EQ((std::vector<std::string>{kCopy, kPrivateFolder}), processes.deletedAtRestart);
}

// Install, then remove, by the setup program's own uninstallation or by the
// stand-alone uninstaller from the list of installed programs: nothing of the
// installation is left but the outer levels of a two-level ShortcutFolder, which the
// uninstallation leaves by design, and the uninstaller's copy, which goes when the
// system next starts.
TEST(RoundTrip, EveryInstallationIsRemovedByBothUninstallations) {
    struct Case {
        std::string softName;
        std::string dstFolder;
        std::string shortcutFolder;
        std::string outerShortcutLevel;
    } cases[] = {
        {"AC/DC", "D:\\表", "\\Vendor\\App", "Vendor"},
        {"表計算ソフト", "C:\\App\\", "A\\B", "A"},
        {"AC/DC", "C:\\App\\", "A\\B", "A"},
        {"表計算ソフト", "D:\\表", "\\Vendor\\App", "Vendor"},
    };
    const std::string programs = "C:\\Users\\me\\Programs";
    for (const Case& c : cases) {
        for (const bool standAlone : {false, true}) {
            SCOPED_TRACE(c.softName + " " + c.dstFolder + " " + c.shortcutFolder +
                         (standAlone ? " _uninst.exe" : " Setup.exe"));
            FakeSystem system;
            system.AddDrive('E');
            system.shellFolders[0x19] = kDesktop;
            system.shellFolders[0x02] = programs;
            system.AddFolder(kDesktop);
            system.AddFolder(programs);
            system.AddFolder("C:\\Temp");
            system.AddFile("E:\\SETUP\\app.exe", "MZ app");
            system.AddFile("E:\\SETUP\\表\\説明書.txt", "manual");
            system.AddFolder("E:\\SETUP\\空");
            system.AddFile("E:\\_uninst.exe", kUninstallerBytes);
            const Medium medium("E:\\Setup.exe");
            std::vector<std::string> before = system.Tree();
            before.push_back(programs + "\\" + c.outerShortcutLevel + "\\");
            std::sort(before.begin(), before.end());

            TSetupSettings settings;
            settings.SoftName = c.softName;
            settings.ExecFile = "app.exe";
            settings.SrcFolder = "E:\\SETUP";
            settings.DstFolder = c.dstFolder;
            settings.ShortcutDesktop = true;
            settings.ShortcutPrograms = true;
            settings.ShortcutFolder = c.shortcutFolder;
            settings.ExShortcutDesktop = true;
            settings.ExShortcutPrograms = true;
            settings.ExShortcutFile = "表\\説明書.txt";
            settings.ExShortcutName = "説明書";
            ScanFolderTree(system, settings.SrcFolder, settings.SrcFolderList, settings.SrcFileList,
                           &settings.TotalSize);
            ScriptedUi ui;
            ui.answers = std::deque<bool>(8, true);
            bool cancel = false;
            TSetupSettings installed = settings;
            RunInstall(cancel, installed, medium, system, ui);
            const std::vector<std::string> messages = ui.Messages();
            ASSERT_EQ(MessageEvent("成功", MessageButtons::Ok, "インストールが正常に終了しました."),
                      messages.back());
            // A name with a separator names no shortcut file: those two are not made, and
            // each says so.
            const bool namesAFile = c.softName.find('/') == std::string::npos;
            EXPECT_EQ(namesAFile, system.HasFile(kDesktop + "\\" + c.softName + ".lnk"));
            EXPECT_EQ(namesAFile ? 0 : 2,
                      std::count(messages.begin(), messages.end(),
                                 MessageEvent("エラー", MessageButtons::Ok,
                                              "ショートカットの作成に失敗しました.")));
            const std::string folder =
                c.shortcutFolder[0] == '\\' ? c.shortcutFolder.substr(1) : c.shortcutFolder;
            EXPECT_TRUE(system.HasFile(programs + "\\" + folder + "\\説明書.lnk"));

            ScriptedUi removal;
            removal.answers = std::deque<bool>(4, true);
            if (standAlone) {
                // As the list of installed programs starts it.
                const std::string command = system.Value(
                    FakeSystem::Root::Machine, UninstallKeyPath(c.softName), "UninstallString");
                const size_t quote = command.find('"', 1);
                ASSERT_NE(std::string::npos, quote);
                const std::string program = command.substr(1, quote - 1);
                FakeProcesses processes(system);
                processes.Start(program, command.substr(quote + 2), ExtractFolderPart(program));
                const auto run = [&] {
                    RunStandAloneUninstaller(system, processes, removal,
                                             [&](TSetupSettings& loaded) {
                                                 bool stop = false;
                                                 RunUninstall(stop, loaded, system, removal);
                                             });
                };
                run();
                ASSERT_EQ(2u, processes.processes.size());
                processes.current = 1;
                system.executablePath = processes.processes[1].program;
                run();
                // The copy goes at the next start of the system.
                EXPECT_EQ((std::vector<std::string>{kCopy, kPrivateFolder}),
                          processes.deletedAtRestart);
                system.Forget(kCopy);
                system.Forget(kPrivateFolder);
            } else {
                TSetupSettings again = settings;
                RunUninstall(cancel, again, system, removal);
            }
            EXPECT_EQ(kSuccess, removal.Messages().back());
            EXPECT_EQ(before, system.Tree());
            EXPECT_FALSE(system.HasKey(FakeSystem::Root::User, MakeProductKeyPath(c.softName)));
            EXPECT_FALSE(system.HasKey(FakeSystem::Root::Machine, UninstallKeyPath(c.softName)));
        }
    }
}

}  // namespace
