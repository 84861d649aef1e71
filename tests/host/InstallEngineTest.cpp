#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/FolderScan.h"
#include "install/InstallEngine.h"
#include "system/FileBytes.h"
#include "system/ReparseTags.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedUi.h"

namespace {

using Root = FakeSystem::Root;

const std::string kDst = "C:\\Program Files\\App";
const std::string kProductKey = "Software\\Quillfen\\SolvanInstallerMaker\\GBGCGD";  // "abc"
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\GBGCGD";
const std::string kDesktop = "C:\\Users\\Public\\Desktop";
const std::string kPrograms = "C:\\Users\\me\\Start Menu\\Programs";

const std::string kCancel = MessageEvent(
    "警告", MessageButtons::Ok,
    "ユーザーの要求によりインストールが中断しました.\n再びインストールを行う場合は、最初から"
    "やり直してください.");
const std::string kCreated =
    MessageEvent("メッセージ", MessageButtons::Ok,
                 "フォルダ " + kDst + " がありません.\nこのフォルダを新規に作成します.");
const std::string kExists =
    MessageEvent("確認", MessageButtons::OkCancel,
                 "フォルダ " + kDst +
                     " は既に存在します.\nこのフォルダのファイルは上書きされる可能性があります."
                     "\n続行しますか？");
const std::string kFolderFailed = MessageEvent(
    "エラー", MessageButtons::Ok,
    "フォルダの作成に失敗しました.\nディスクやファイルが書込み可能かどうか確認した上で最初からやり"
    "直してください.");
const std::string kRegistryFailed = MessageEvent(
    "エラー", MessageButtons::Ok, "レジストリの書込みに失敗しました.\n最初からやり直してください.");
const std::string kSuccess =
    MessageEvent("成功", MessageButtons::Ok, "インストールが正常に終了しました.");
const std::string kShortcutFailed =
    MessageEvent("エラー", MessageButtons::Ok, "ショートカットの作成に失敗しました.");

Events Copying(const std::string& name, int percent) {
    return {"status " + name + " をコピー中\n(" + std::to_string(percent) + "％)",
            "pos " + std::to_string(percent)};
}

// A medium on D: with a small tree, installed into C:\Program Files\App.
class InstallEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.shellFolders[0x19] = kDesktop;
        system.shellFolders[0x02] = kPrograms;
        system.AddFolder(kDesktop);
        system.AddFolder(kPrograms);
        system.AddFolder("C:\\Program Files");
        system.AddFile("D:\\SETUP\\a.txt", std::string(100, 'a'));
        system.AddFile("D:\\SETUP\\sub\\b.bin", std::string(300, 'b'));
        system.AddFolder("D:\\SETUP\\sub\\deep");
        system.AddFile("D:\\_uninst.exe", "MZ uninstaller");
        s.SoftName = "abc";
        s.ExecFile = "a.txt";
        s.SrcFolder = "D:\\SETUP";
        s.DstFolder = kDst;
        ScanFolderTree(system, s.SrcFolder, s.SrcFolderList, s.SrcFileList, &s.TotalSize);
    }

    void Install() { RunInstall(cancel, s, medium, system, ui); }

    std::vector<std::string> Messages() const { return ui.Messages(); }

    // The record's part after the files: the folders the installation made.
    std::string RecordedFolders() const {
        const std::string record = system.FileData(kDst + "\\_setup.log");
        return record.substr(record.find(".\r\n"));
    }
    const std::string kSubFoldersOnly =
        ".\r\nC:\\Program Files\\App\\sub\\deep\\\r\nC:\\Program Files\\App\\sub\\\r\n";

    // The whole observable sequence of a successful installation into a new folder.
    Events FullRun() const {
        return Join({{kCreated, "status フォルダを作成しています...", "max 2", "pos 0", "pos 1",
                      "pos 2", "status ファイルをコピーしています...", "max 100", "pos 0"},
                     Copying("a.txt", 0),
                     Copying("a.txt", 25),
                     Copying("b.bin", 25),
                     Copying("b.bin", 100),
                     {"status アンインストーラを登録しています..."},
                     Bar(0),
                     Bar(100),
                     {"status インストール情報を保存しています..."},
                     Bar(0),
                     Bar(50),
                     Bar(100),
                     {"status ショートカットの作成しています..."},
                     Bar(0),
                     Bar(50),
                     Bar(100),
                     {"status レジストリに書込みをしています..."},
                     Bar(0),
                     Bar(50),
                     Bar(100),
                     Reset(),
                     {kSuccess}});
    }

    // The setup program and its uninstaller on D:.
    const Medium medium{"D:\\Setup.exe"};
    FakeSystem system;
    ScriptedUi ui;
    TSetupSettings s;
    bool cancel = true;  // the engine clears it
};

TEST_F(InstallEngineTest, FullInstallationIntoANewFolder) {
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(FullRun(), ui.events);

    EXPECT_EQ(std::string(100, 'a'), system.FileData(kDst + "\\a.txt"));
    EXPECT_EQ(std::string(300, 'b'), system.FileData(kDst + "\\sub\\b.bin"));
    EXPECT_TRUE(system.HasFolder(kDst + "\\sub\\deep"));
    EXPECT_EQ("MZ uninstaller", system.FileData(kDst + "\\_uninst.exe"));
    EXPECT_EQ(
        "C:\\Program Files\\App\\a.txt\r\n"
        "C:\\Program Files\\App\\sub\\b.bin\r\n"
        "C:\\Program Files\\App\\_setup.log\r\n"
        "C:\\Program Files\\App\\_uninst.exe\r\n"
        ".\r\n"
        "C:\\Program Files\\App\\sub\\deep\\\r\n"
        "C:\\Program Files\\App\\sub\\\r\n"
        "C:\\Program Files\\App\r\n",
        system.FileData(kDst + "\\_setup.log"));

    EXPECT_EQ((std::vector<std::string>{"LogFile", "Path", "ShortcutDesktop", "ShortcutPrograms",
                                        "ShortcutFolder", "ExShortcutDesktop", "ExShortcutPrograms",
                                        "ExShortcutName"}),
              system.ValueNames(Root::User, kProductKey));
    EXPECT_EQ(kDst + "\\_setup.log", system.Value(Root::User, kProductKey, "LogFile"));
    EXPECT_EQ(kDst + "\\a.txt", system.Value(Root::User, kProductKey, "Path"));
    EXPECT_EQ("1", system.Value(Root::User, kProductKey, "ShortcutDesktop"));
    EXPECT_EQ("0", system.Value(Root::User, kProductKey, "ShortcutPrograms"));
    EXPECT_EQ((std::vector<std::string>{"DisplayName", "DisplayIcon", "UninstallString"}),
              system.ValueNames(Root::Machine, kUninstallKey));
    EXPECT_EQ("abc", system.Value(Root::Machine, kUninstallKey, "DisplayName"));
    EXPECT_EQ(kDst + "\\a.txt", system.Value(Root::Machine, kUninstallKey, "DisplayIcon"));
    EXPECT_EQ("\"" + kDst + "\\_uninst.exe\" @GBGCGD",
              system.Value(Root::Machine, kUninstallKey, "UninstallString"));

    const auto link = system.links.find(kDesktop + "\\abc.lnk");
    ASSERT_NE(system.links.end(), link);
    EXPECT_EQ(kDst + "\\a.txt", link->second.target);
    EXPECT_EQ(kDst, link->second.workingFolder);
    EXPECT_EQ(10, link->second.showCommand);
    EXPECT_FALSE(cancel);
}

// A tree so large that its record could not be read by an uninstallation stops the
// installation before it makes or copies anything.
TEST_F(InstallEngineTest, ATreeWhoseRecordWouldBeTooLargeIsNotInstalled) {
    const std::string name(200, 'n');
    while (static_cast<int64_t>(s.SrcFileList.size()) * 200 <= kMaxWholeFileBytes) {
        s.SrcFileList.push_back("D:\\SETUP\\" + name + std::to_string(s.SrcFileList.size()));
    }
    const std::vector<std::string> tree = system.Tree();
    ui.answers = {true, true};
    Install();
    EXPECT_EQ((Events{MessageEvent("エラー", MessageButtons::Ok,
                                   "インストール情報ファイルの作成に失敗しました.\n"
                                   "ディスクやファイルが書込み可能かどうか確認した上で最初からやり"
                                   "直してください."),
                      "status ", "max 100", "pos 0"}),
              ui.events);
    EXPECT_EQ(tree, system.Tree());
    EXPECT_FALSE(system.HasKey(Root::User, kProductKey));
}

TEST_F(InstallEngineTest, AnEmptySoftwareNameWritesNothing) {
    // What settings that name no software give: the destination is the base folder.
    s.SoftName.clear();
    s.DstFolder = "C:\\Program Files\\";
    const std::vector<std::string> tree = system.Tree();
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(
        (Events{MessageEvent("エラー", MessageButtons::Ok, "インストーラの設定に誤りがあります.")}),
        ui.events);
    EXPECT_EQ(tree, system.Tree());
    EXPECT_TRUE(system.Keys(Root::User).empty());
    EXPECT_TRUE(system.Keys(Root::Machine).empty());
    EXPECT_TRUE(system.links.empty());
}

TEST_F(InstallEngineTest, ExistingFolderIsAskedAboutAndNotRecorded) {
    system.AddFolder(kDst);
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(kExists, ui.events.front());
    EXPECT_EQ(kSuccess, ui.events.back());
    EXPECT_EQ(kSubFoldersOnly, RecordedFolders());
}

// A check that misses the existing folder leads to the new-folder notice, but the
// record must not claim the folder: an uninstallation would remove it.
TEST_F(InstallEngineTest, AnExistingFolderMissedByTheCheckIsNotRecorded) {
    system.AddFolder(kDst);
    system.failIf = [](FakeOperation operation, const std::string& path) {
        return operation == FakeOperation::FolderExists && path == kDst;
    };
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(kCreated, ui.events.front());
    EXPECT_EQ(kSuccess, ui.events.back());
    EXPECT_EQ(kSubFoldersOnly, RecordedFolders());
}

TEST_F(InstallEngineTest, ExistingFolderCancelledCreatesNothing) {
    system.AddFolder(kDst);
    const std::vector<std::string> before = system.Tree();
    ui.answers = {false, true};
    Install();
    EXPECT_EQ(Join({{kExists, kCancel}, Reset()}), ui.events);
    EXPECT_EQ(before, system.Tree());
    EXPECT_TRUE(system.Keys(Root::User).empty());
}

// A destination or a folder of the tree that is a junction stops the installation
// before anything is made through it.
TEST_F(InstallEngineTest, AJunctionInTheDestinationStopsTheInstallation) {
    struct Case {
        std::string name;
        std::string junction;
        std::string missed;  // a folder whose existence check fails
        Events messages;
    } cases[] = {
        {"the destination", kDst, "", {kExists, kFolderFailed}},
        {"the destination, missed by the check", kDst, kDst, {kCreated, kFolderFailed}},
        {"a sub folder", kDst + "\\sub", "", {kExists, kFolderFailed}},
        {"the deepest folder", kDst + "\\sub\\deep", "", {kExists, kFolderFailed}},
        {"the deepest folder, missed by the check",
         kDst + "\\sub\\deep",
         kDst + "\\sub\\deep\\",
         {kExists, kFolderFailed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        fresh.AddFolder("C:\\Windows\\system32");
        fresh.AddJunction(c.junction, "C:\\Windows");
        fresh.failIf = [&c](FakeOperation operation, const std::string& path) {
            return operation == FakeOperation::FolderExists && path == c.missed;
        };
        const std::vector<std::string> before = fresh.Tree();
        ScriptedUi run;
        run.answers = {true, true};
        TSetupSettings settings = s;
        bool flag = false;
        RunInstall(flag, settings, medium, fresh, run);
        EXPECT_EQ(c.messages, run.Messages());
        EXPECT_EQ(before, fresh.Tree());
        EXPECT_TRUE(fresh.Keys(Root::User).empty());
    }
}

// Only a reparse point that leads elsewhere stops the installation: a folder kept by
// a cloud-sync client or deduplicated is an ordinary folder.
TEST_F(InstallEngineTest, OnlyALinkTagMakesTheDestinationNoPlainFolder) {
    const struct {
        const char* name;
        uint32_t tag;
        Events messages;
    } cases[] = {
        {"junction", 0xA0000003, {kExists, kFolderFailed}},
        {"symbolic link", 0xA000000C, {kExists, kFolderFailed}},
        {"cloud files", 0x9000001A, {kExists, kSuccess}},
        {"deduplication", 0x80000013, {kExists, kSuccess}},
        {"unknown", 0x00001234, {kExists, kSuccess}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        if (IsLinkTag(c.tag)) {
            fresh.AddJunction(kDst, "C:\\Windows", c.tag);
        } else {
            fresh.AddFolder(kDst + "\\sub");
            fresh.SetReparseTag(kDst, c.tag);
            fresh.SetReparseTag(kDst + "\\sub", c.tag);
        }
        ScriptedUi run;
        run.answers = {true, true};
        TSetupSettings settings = s;
        bool flag = false;
        RunInstall(flag, settings, medium, fresh, run);
        EXPECT_EQ(c.messages, run.Messages());
        EXPECT_EQ(!IsLinkTag(c.tag), fresh.HasFile(kDst + "\\sub\\b.bin"));
        EXPECT_FALSE(fresh.HasFile("C:\\Windows\\sub\\b.bin"));
    }
}

// Every pump of a full run is a point where the user may close the window. Up to the
// record step that stops the installation: a partial copy is deleted, no record and no
// registry value exist; a request during the shortcuts or the registry is not seen.
TEST_F(InstallEngineTest, CancelAtEveryPumpOfTheRun) {
    ui.answers = {true, true};
    Install();
    const int pumps = ui.pumps;
    ASSERT_GT(pumps, 10);
    for (int at = 1; at <= pumps; ++at) {
        SCOPED_TRACE("cancel at pump " + std::to_string(at));
        FakeSystem fresh = system;
        for (const std::string& entry : system.Tree()) {
            if (entry.compare(0, kDst.size(), kDst) == 0) {
                fresh.Forget(entry);
            }
        }
        fresh.links.clear();
        fresh.DeleteUserKey(kProductKey);
        fresh.DeleteMachineKey(kUninstallKey);
        ScriptedUi run;
        run.answers = {true, true};
        bool flag = false;
        run.onPump = [&] {
            if (run.pumps == at) {
                flag = true;
            }
        };
        TSetupSettings settings = s;
        RunInstall(flag, settings, medium, fresh, run);
        const std::vector<std::string> messages = run.Messages();
        const bool recordWritten = fresh.HasFile(kDst + "\\_setup.log");
        const bool lateRequest = messages.back() == kSuccess;
        if (lateRequest) {
            EXPECT_TRUE(fresh.HasKey(Root::User, kProductKey));
            continue;
        }
        EXPECT_EQ(kCancel, messages.back());
        EXPECT_EQ(Reset(), Events(run.events.end() - 3, run.events.end()));
        EXPECT_FALSE(fresh.HasKey(Root::User, kProductKey));
        // Whatever was copied is whole.
        if (fresh.HasFile(kDst + "\\sub\\b.bin")) {
            EXPECT_EQ(std::string(300, 'b'), fresh.FileData(kDst + "\\sub\\b.bin"));
        }
        if (!recordWritten) {
            EXPECT_FALSE(fresh.HasFile(kDst + "\\__setup.log"));
        }
    }
}

TEST_F(InstallEngineTest, CancelInTheMiddleOfALargeFileDeletesItsPartialCopy) {
    system.AddFile("D:\\SETUP\\sub\\b.bin", std::string(3 << 19, 'b'));  // three chunks
    s.SrcFolderList.clear();
    s.SrcFileList.clear();
    s.TotalSize = 0;
    ScanFolderTree(system, s.SrcFolder, s.SrcFolderList, s.SrcFileList, &s.TotalSize);
    ui.answers = {true, true};
    ui.onPump = [&] {
        if (ui.events.size() >= 2 &&
            ui.events[ui.events.size() - 2].find("b.bin をコピー中\n(33％)") != std::string::npos) {
            cancel = true;
        }
    };
    Install();
    EXPECT_EQ(kCancel, ui.Messages().back());
    EXPECT_TRUE(system.HasFile(kDst + "\\a.txt"));
    EXPECT_FALSE(system.HasFile(kDst + "\\sub\\b.bin"));
    EXPECT_FALSE(system.HasFile(kDst + "\\_setup.log"));
    EXPECT_TRUE(system.Keys(Root::User).empty());
}

TEST_F(InstallEngineTest, FailuresStopWithTheirMessage) {
    struct Case {
        std::string name;
        FakeOperation failingOperation;
        std::string failingPath;
        std::vector<bool> answers;
        std::string lastMessage;
        bool recordWritten;
    } cases[] = {
        {"destination", FakeOperation::CreateFolderTree, kDst, {true, true}, kFolderFailed, false},
        {"sub folder",
         FakeOperation::CreateFolderTree,
         kDst + "\\sub\\",
         {true, true},
         kFolderFailed,
         false},
        {"source file, No",
         FakeOperation::OpenForRead,
         "D:\\SETUP\\sub\\b.bin",
         {true, false, true},
         kCancel,
         false},
        {"target file, No",
         FakeOperation::CreateNewForWrite,
         kDst + "\\a.txt",
         {true, false, true},
         kCancel,
         false},
        {"uninstaller source, No",
         FakeOperation::OpenForRead,
         "D:\\_uninst.exe",
         {true, false, true},
         kCancel,
         false},
        {"record",
         FakeOperation::CreateNewForWrite,
         kDst + "\\_setup.log",
         {true, true},
         MessageEvent(
             "エラー", MessageButtons::Ok,
             "インストール情報ファイルの作成に失敗しました.\nディスクやファイルが書込み可能"
             "かどうか確認した上で最初からやり直してください."),
         false},
        {"first registry value",
         FakeOperation::WriteUserString,
         kProductKey + "\\LogFile",
         {true, true},
         kRegistryFailed,
         true},
        {"Uninstall entry",
         FakeOperation::WriteMachineString,
         kUninstallKey + "\\DisplayIcon",
         {true, true},
         kRegistryFailed,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        fresh.failIf = [&](FakeOperation op, const std::string& path) {
            return op == c.failingOperation && path == c.failingPath;
        };
        ScriptedUi run;
        run.answers.assign(c.answers.begin(), c.answers.end());
        TSetupSettings settings = s;
        bool flag = false;
        RunInstall(flag, settings, medium, fresh, run);
        EXPECT_EQ(c.lastMessage, run.Messages().back());
        EXPECT_EQ(Reset(), Events(run.events.end() - 3, run.events.end()));
        EXPECT_EQ(c.recordWritten, fresh.HasFile(kDst + "\\_setup.log"));
        EXPECT_TRUE(run.answers.empty());
    }
}

TEST_F(InstallEngineTest, ValuesWrittenBeforeAFailedRegistryWriteStay) {
    system.failIf = [](FakeOperation op, const std::string& path) {
        return op == FakeOperation::WriteUserString && path == kProductKey + "\\ShortcutFolder";
    };
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(kRegistryFailed, ui.Messages().back());
    EXPECT_EQ((std::vector<std::string>{"LogFile", "Path", "ShortcutDesktop", "ShortcutPrograms"}),
              system.ValueNames(Root::User, kProductKey));
    EXPECT_FALSE(system.HasKey(Root::Machine, kUninstallKey));
}

TEST_F(InstallEngineTest, SkippedFilesAfterYes) {
    system.failIf = [](FakeOperation op, const std::string& path) {
        return (op == FakeOperation::OpenForRead && path == "D:\\SETUP\\a.txt") ||
               (op == FakeOperation::CreateNewForWrite && path == kDst + "\\sub\\b.bin");
    };
    ui.answers = {true, true, true, true};
    Install();
    const std::vector<std::string> messages = ui.Messages();
    ASSERT_EQ(4u, messages.size());
    EXPECT_EQ(MessageEvent("エラー", MessageButtons::YesNo,
                           "ファイル D:\\SETUP\\a.txt の読み込みに失敗しました.\n続行しますか？"),
              messages[1]);
    EXPECT_EQ(
        MessageEvent("エラー", MessageButtons::YesNo,
                     "ファイル " + kDst + "\\sub\\b.bin の書き込みに失敗しました.\n続行しますか？"),
        messages[2]);
    EXPECT_EQ(kSuccess, messages[3]);
    // The unreadable file never counts; the unwritable one counts its size.
    EXPECT_NE(ui.events.end(),
              std::find(ui.events.begin(), ui.events.end(), "status b.bin をコピー中\n(75％)"));
    EXPECT_FALSE(system.HasFile(kDst + "\\a.txt"));
    EXPECT_FALSE(system.HasFile(kDst + "\\sub\\b.bin"));
}

TEST_F(InstallEngineTest, AMissingUninstallerIsSkippedAfterYesButStillNamed) {
    system.RemoveFile("D:\\_uninst.exe");
    ui.answers = {true, true, true};
    Install();
    EXPECT_EQ(kSuccess, ui.Messages().back());
    EXPECT_FALSE(system.HasFile(kDst + "\\_uninst.exe"));
    EXPECT_NE(std::string::npos,
              system.FileData(kDst + "\\_setup.log").find("\\_uninst.exe\r\n.\r\n"));
    EXPECT_EQ("\"" + kDst + "\\_uninst.exe\" @GBGCGD",
              system.Value(Root::Machine, kUninstallKey, "UninstallString"));
}

TEST_F(InstallEngineTest, WithoutTheStandAloneUninstaller) {
    s.StandAloneUninstUse = false;
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(kSuccess, ui.Messages().back());
    EXPECT_EQ(ui.events.end(), std::find(ui.events.begin(), ui.events.end(),
                                         "status アンインストーラを登録しています..."));
    EXPECT_FALSE(system.HasFile(kDst + "\\_uninst.exe"));
    EXPECT_NE(std::string::npos,
              system.FileData(kDst + "\\_setup.log").find("_setup.log\r\n\r\n.\r\n"));
    EXPECT_EQ(8u, system.ValueNames(Root::User, kProductKey).size());
    EXPECT_FALSE(system.HasKey(Root::Machine, kUninstallKey));
}

TEST_F(InstallEngineTest, TakenNamesGetOneMoreUnderscore) {
    system.AddFile(kDst + "\\_uninst.exe", "old");
    system.AddFile(kDst + "\\_setup.log", "old");
    ui.answers = {true, true};
    Install();
    EXPECT_EQ("MZ uninstaller", system.FileData(kDst + "\\__uninst.exe"));
    EXPECT_EQ("old", system.FileData(kDst + "\\_uninst.exe"));
    EXPECT_EQ(kDst + "\\__setup.log", system.Value(Root::User, kProductKey, "LogFile"));
    EXPECT_EQ("\"" + kDst + "\\__uninst.exe\" @GBGCGD",
              system.Value(Root::Machine, kUninstallKey, "UninstallString"));
}

TEST_F(InstallEngineTest, AllTenRecordNamesTaken) {
    for (std::string prefix; prefix.size() <= 9; prefix += '_') {
        system.AddFile(kDst + "\\" + prefix + "_setup.log");
    }
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(MessageEvent("エラー", MessageButtons::Ok,
                           "インストール情報ファイルの作成に失敗しました.\n既にインストールが行わ"
                           "れている可能性があります."),
              ui.Messages().back());
    EXPECT_TRUE(system.HasFile(kDst + "\\sub\\b.bin"));
    EXPECT_TRUE(system.Keys(Root::User).empty());
}

TEST_F(InstallEngineTest, AllTenUninstallerNamesTakenAsksWithAnEmptyName) {
    for (std::string prefix; prefix.size() <= 9; prefix += '_') {
        system.AddFile(kDst + "\\" + prefix + "_uninst.exe");
    }
    ui.answers = {true, true, true};
    Install();
    const std::vector<std::string> messages = ui.Messages();
    EXPECT_EQ(MessageEvent("エラー", MessageButtons::YesNo,
                           "ファイル  の書き込みに失敗しました.\n続行しますか？"),
              messages[1]);
    EXPECT_EQ(kSuccess, messages.back());
    EXPECT_NE(std::string::npos, system.FileData(kDst + "\\_setup.log").find("_setup.log\r\n\r\n"));
    EXPECT_FALSE(system.HasKey(Root::Machine, kUninstallKey));
}

TEST_F(InstallEngineTest, AFailedShortcutDoesNotStopTheInstallation) {
    s.ShortcutPrograms = true;
    s.ShortcutFolder = "A\\B";
    system.shellFolders.erase(0x19);
    ui.answers = {true, true, true};
    Install();
    EXPECT_EQ((std::vector<std::string>{kCreated, kShortcutFailed, kSuccess}), ui.Messages());
    EXPECT_EQ(1u, system.links.count(kPrograms + "\\A\\B\\abc.lnk"));
}

TEST_F(InstallEngineTest, NoShortcutStepWithoutFlags) {
    s.ShortcutDesktop = false;
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(ui.events.end(), std::find(ui.events.begin(), ui.events.end(),
                                         "status ショートカットの作成しています..."));
    EXPECT_TRUE(system.links.empty());
}

TEST_F(InstallEngineTest, EmptyTreeStillWritesTheRecord) {
    s.SrcFolderList.clear();
    s.SrcFileList.clear();
    s.TotalSize = 0;
    ui.answers = {true, true};
    Install();
    EXPECT_EQ(kSuccess, ui.Messages().back());
    EXPECT_NE(ui.events.end(), std::find(ui.events.begin(), ui.events.end(), "max 0"));
    EXPECT_EQ(
        "C:\\Program Files\\App\\_setup.log\r\nC:\\Program Files\\App\\_uninst.exe\r\n.\r\n"
        "C:\\Program Files\\App\r\n",
        system.FileData(kDst + "\\_setup.log"));
}

class AfterOpenTest : public InstallEngineTest {
protected:
    void SetUp() override {
        InstallEngineTest::SetUp();
        system.SetValue(Root::User, kProductKey, "Path", kDst + "\\a.txt");
        system.AddFile("D:\\docs\\readme.txt", "read me");
        s.AfterOpen = "docs\\readme.txt";
    }
};

TEST_F(AfterOpenTest, OpensQuestionsOrReports) {
    const std::string notFound =
        MessageEvent("エラー", MessageButtons::Ok,
                     "missing.txt が見つかりません.\nインストーラの設定に誤りがあります.");
    struct Case {
        std::string name;
        bool dialog;
        std::string dialogMessage;
        std::string afterOpen;
        std::vector<bool> answers;
        Events messages;
        bool opened;
    } cases[] = {
        {"no question", false, "", "docs\\readme.txt", {}, {}, true},
        {"built-in question, OK",
         true,
         "",
         "docs\\readme.txt",
         {true},
         {MessageEvent("確認", MessageButtons::OkCancel, "readme.txt を開きますか？")},
         true},
        {"own question, Cancel",
         true,
         "説明書を読みますか？",
         "docs\\readme.txt",
         {false},
         {MessageEvent("確認", MessageButtons::OkCancel, "説明書を読みますか？")},
         false},
        {"missing file", false, "", "docs\\missing.txt", {true}, {notFound}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        ScriptedUi run;
        run.answers.assign(c.answers.begin(), c.answers.end());
        TSetupSettings settings = s;
        settings.AfterOpenDialog = c.dialog;
        settings.AfterOpenDialogMsg = c.dialogMessage;
        settings.AfterOpen = c.afterOpen;
        OfferAfterOpen(settings, medium, fresh, run);
        EXPECT_EQ(c.messages, run.Messages());
        ASSERT_EQ(c.opened ? 1u : 0u, fresh.shellOpens.size());
        if (c.opened) {
            EXPECT_EQ("D:\\docs\\readme.txt", fresh.shellOpens[0].file);
            EXPECT_EQ("D:\\docs\\", fresh.shellOpens[0].workingFolder);
        }
    }
}

TEST_F(AfterOpenTest, NothingWhenNotInstalledOrNothingToOpen) {
    s.AfterOpenDialog = true;
    system.DeleteUserKey(kProductKey);
    OfferAfterOpen(s, medium, system, ui);
    system.SetValue(Root::User, kProductKey, "Path", kDst + "\\a.txt");
    s.AfterOpen.clear();
    OfferAfterOpen(s, medium, system, ui);
    EXPECT_TRUE(ui.events.empty());
    EXPECT_TRUE(system.shellOpens.empty());
}

TEST_F(AfterOpenTest, AShellFailureIsReportedWithAnExclamation) {
    system.failIf = [](FakeOperation op, const std::string&) {
        return op == FakeOperation::ShellOpen;
    };
    ui.answers = {true};
    OfferAfterOpen(s, medium, system, ui);
    EXPECT_EQ((Events{MessageEvent("エラー", MessageButtons::Ok,
                                   "D:\\docs\\readme.txtを開くのに失敗しました.",
                                   MessageIcon::Exclamation)}),
              ui.Messages());
}

}  // namespace
