#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "system/ReparseTags.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedUi.h"
#include "uninstall/UninstallEngine.h"

namespace {

using Root = FakeSystem::Root;

const std::string kProductKey = "Software\\Quillfen\\SolvanInstallerMaker\\GBGCGD";  // "abc"
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\GBGCGD";
const std::string kDesktop = "C:\\Users\\Public\\Desktop";
const std::string kPrograms = "C:\\Users\\me\\Start Menu\\Programs";
const std::string kRecord = "C:\\Top\\_setup.log";

const std::string kCancel = MessageEvent(
    "警告", MessageButtons::Ok,
    "ユーザーの要求によりアンインストールが中断しました.\nアンインストールを完了するには、最初から"
    "やり直してください.");
const std::string kSuccess =
    MessageEvent("成功", MessageButtons::Ok, "アンインストールが正常に終了しました.");
const std::string kMissingRecord =
    MessageEvent("エラー", MessageButtons::OkCancel,
                 "インストール情報ファイルが見つかりません."
                 "\nインストールしたファイルは既に削除されている可能性が"
                 "あります.\nショートカットとレジストリ情報のみ削除を試みますか？");

// An installation of "abc" in C:\Top\App with the five-line record of two files, a sub
// folder and the destination, a desktop shortcut and an Uninstall entry.
class UninstallEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        system.shellFolders[0x19] = kDesktop;
        system.shellFolders[0x02] = kPrograms;
        system.AddFile("C:\\Top\\App\\a.txt", "a");
        system.AddFile("C:\\Top\\App\\b.txt", "b");
        system.AddFolder("C:\\Top\\App\\sub");
        WriteRecord(
            "C:\\Top\\App\\a.txt\r\nC:\\Top\\App\\b.txt\r\n.\r\nC:\\Top\\App\\sub\\\r\nC:"
            "\\Top\\App\\\r\n");
        system.AddFile(kDesktop + "\\abc.lnk", "LNK");
        system.SetValue(Root::User, kProductKey, "LogFile", kRecord);
        system.SetValue(Root::User, kProductKey, "Path", "C:\\Top\\App\\a.txt");
        system.SetValue(Root::Machine, kUninstallKey, "DisplayName", "abc");
        s.SoftName = "abc";
        s.ExecFile = "a.txt";
    }

    // The record of an installation into C:\Top: it lies outside C:\Top\App, so the
    // folder steps can empty C:\Top\App.
    void WriteRecord(const std::string& text) {
        system.AddFile(kRecord, text);
        system.SetValue(Root::User, kProductKey, "LogFile", kRecord);
    }

    void Uninstall() { RunUninstall(cancel, s, system, ui); }

    // Uninstalls from a copy of the system, the question answered Yes; the messages shown.
    std::vector<std::string> UninstallConfirmed(FakeSystem& on) {
        ScriptedUi run;
        run.answers = {true};
        TSetupSettings settings = s;
        bool flag = false;
        RunUninstall(flag, settings, on, run);
        return run.Messages();
    }

    FakeSystem system;
    ScriptedUi ui;
    TSetupSettings s;
    bool cancel = true;  // the engine clears it
};

TEST_F(UninstallEngineTest, FiveLineRecord) {
    ui.answers = {true};
    Uninstall();
    EXPECT_EQ(Join({{"status アンインストールの準備をしています..."},
                    Bar(0),
                    Bar(50),
                    Bar(100),
                    {"status ファイルを削除しています...", "max 2", "pos 0",
                     "status ファイルを削除しています... (50％)", "pos 1",
                     "status ファイルを削除しています... (100％)", "pos 2",
                     "status フォルダを削除しています...", "max 2", "pos 0", "pos 1", "pos 2",
                     "status ショートカットを削除しています..."},
                    Bar(0),
                    Bar(50),
                    Bar(100),
                    {"status レジストリを削除しています..."},
                    Bar(0),
                    Bar(100),
                    Reset(),
                    {kSuccess},
                    Reset()}),
              ui.events);
    EXPECT_FALSE(system.HasFile("C:\\Top\\App\\a.txt"));
    EXPECT_FALSE(system.HasFolder("C:\\Top\\App"));
    EXPECT_FALSE(system.HasFile(kDesktop + "\\abc.lnk"));
    EXPECT_FALSE(system.HasKey(Root::User, kProductKey));
    EXPECT_FALSE(system.HasKey(Root::Machine, kUninstallKey));
    EXPECT_TRUE(system.HasKey(Root::User, "Software\\Quillfen\\SolvanInstallerMaker"));
    EXPECT_FALSE(cancel);
}

TEST_F(UninstallEngineTest, NotInstalledTouchesNothing) {
    system.SetValue(Root::User, kProductKey, "Path", "");
    ui.answers = {true};
    Uninstall();
    EXPECT_EQ(
        (Events{MessageEvent("警告", MessageButtons::Ok, "ソフトがインストールされていません.")}),
        ui.events);
    EXPECT_TRUE(system.HasFile("C:\\Top\\App\\a.txt"));
    EXPECT_TRUE(cancel);  // not even cleared
}

// Without a name the product key would be the key shared by every product, where
// anyone may have left values.
TEST_F(UninstallEngineTest, AnEmptySoftwareNameTouchesNothing) {
    const std::string sharedKey = "Software\\Quillfen\\SolvanInstallerMaker\\";
    system.SetValue(Root::User, sharedKey, "LogFile", kRecord);
    system.SetValue(Root::User, sharedKey, "Path", "C:\\Top\\App\\a.txt");
    s.SoftName.clear();
    const std::vector<std::string> tree = system.Tree();
    ui.answers = {true, true};
    Uninstall();
    EXPECT_EQ(
        (Events{MessageEvent("エラー", MessageButtons::Ok, "インストーラの設定に誤りがあります.")}),
        ui.events);
    EXPECT_EQ(tree, system.Tree());
    EXPECT_TRUE(system.HasKey(Root::User, kProductKey));
    EXPECT_EQ("C:\\Top\\App\\a.txt", system.Value(Root::User, sharedKey, "Path"));
    EXPECT_TRUE(cancel);  // not even cleared
}

TEST_F(UninstallEngineTest, RecordLinesAreTakenAsTheyStand) {
    struct Case {
        std::string name;
        std::string record;
        std::vector<std::string> gone;
        std::vector<std::string> kept;
    } cases[] = {
        {"no separator line: every line a file",
         "C:\\Top\\App\\a.txt\r\nC:\\Top\\App\\sub\\\r\n",
         {"C:\\Top\\App\\a.txt"},
         {"C:\\Top\\App\\sub\\", "C:\\Top\\App\\b.txt"}},
        {"a folder before its sub folder stays",
         "C:\\Top\\App\\a.txt\r\nC:\\Top\\App\\b.txt\r\n.\r\nC:\\Top\\App\\\r\nC:"
         "\\Top\\App\\sub\\\r\n",
         {"C:\\Top\\App\\sub\\"},
         {"C:\\Top\\App\\"}},
        {"relative lines are passed over",
         "a.txt\r\n\\App\\b.txt\r\n.\r\nsub\\\r\n",
         {},
         {"C:\\Top\\App\\a.txt", "C:\\Top\\App\\b.txt", "C:\\Windows\\system32\\a.txt",
          "C:\\Windows\\system32\\sub\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        fresh.AddFile("C:\\Windows\\system32\\a.txt", "system file");
        fresh.AddFolder("C:\\Windows\\system32\\sub");
        fresh.AddFile(kRecord, c.record);
        EXPECT_EQ(kSuccess, UninstallConfirmed(fresh).back());
        for (const std::string& path : c.gone) {
            EXPECT_FALSE(fresh.HasFile(path) || fresh.HasFolder(path)) << path;
        }
        for (const std::string& path : c.kept) {
            EXPECT_TRUE(fresh.HasFile(path) || fresh.HasFolder(path)) << path;
        }
    }
}

// A record in C:\Top\App as the installation writes it, with one line more that reaches
// out of C:\Top\App: that line is passed over, the genuine ones still go.
TEST_F(UninstallEngineTest, LinesOutsideTheInstallationArePassedOver) {
    const std::string kernel = "C:\\Windows\\system32\\kernel32.dll";
    struct Case {
        std::string name;
        std::string fileLine;    // added to the files, or
        std::string folderLine;  // to the folders
        std::string outside;     // what the line reaches, which stays
    } cases[] = {
        {"a file of another folder", kernel, "", kernel},
        {"a file on another drive", "D:\\data.txt", "", "D:\\data.txt"},
        {"a file reached by ..", "C:\\Top\\App\\..\\Windows\\system32\\kernel32.dll", "", kernel},
        {"a file reached by . and ..",
         "C:\\Top\\App\\.\\sub\\..\\..\\Windows\\system32\\kernel32.dll", "", kernel},
        {"a file named in the \\\\?\\ form", "\\\\?\\" + kernel, "", kernel},
        {"a file named in the \\\\.\\ form", "\\\\.\\" + kernel, "", kernel},
        {"a file through a junction", "C:\\Top\\App\\sub\\link\\kernel32.dll", "", kernel},
        {"a file of a folder whose name begins like the root's", "C:\\Top\\Applink\\kernel32.dll",
         "", kernel},
        {"a folder of another folder", "", "C:\\Empty\\", "C:\\Empty"},
        {"a folder reached by ..", "", "C:\\Top\\App\\sub\\..\\..\\Empty\\", "C:\\Empty"},
        {"a folder through a junction", "", "C:\\Top\\App\\sub\\link\\deep\\",
         "C:\\Windows\\system32\\deep"},
        {"the folder above the root", "", "C:\\Top\\App\\..\\Empty", "C:\\Empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        fresh.AddFile(kernel, "system file");
        fresh.AddFolder("C:\\Windows\\system32\\deep");
        fresh.AddFile("D:\\data.txt", "data");
        fresh.AddFolder("C:\\Empty");
        fresh.AddJunction("C:\\Top\\App\\sub\\link", "C:\\Windows\\system32");
        fresh.AddJunction("C:\\Top\\Applink", "C:\\Windows\\system32");
        const std::string record = "C:\\Top\\App\\_setup.log";
        fresh.AddFile(record, "C:\\Top\\App\\a.txt\r\n" + c.fileLine +
                                  "\r\nC:\\Top\\App\\b.txt\r\n" + record + "\r\n.\r\n" +
                                  c.folderLine + "\r\nC:\\Top\\App\\sub\\\r\n");
        fresh.SetValue(Root::User, kProductKey, "LogFile", record);
        EXPECT_EQ(std::vector<std::string>{kSuccess}, UninstallConfirmed(fresh));
        EXPECT_TRUE(fresh.HasFile(c.outside) || fresh.HasFolder(c.outside)) << c.outside;
        for (const std::string& gone :
             {std::string("C:\\Top\\App\\a.txt"), std::string("C:\\Top\\App\\b.txt"), record}) {
            EXPECT_FALSE(fresh.HasFile(gone)) << gone;
        }
    }
}

// A junction as the root or on the way passes over the lines behind it, even those the
// installation wrote.
TEST_F(UninstallEngineTest, NothingIsDeletedThroughAJunction) {
    const std::string record = "C:\\Top\\App\\_setup.log";
    const std::string text =
        "C:\\Top\\App\\sub\\x.dll\r\n" + record + "\r\n.\r\nC:\\Top\\App\\sub\\\r\n";
    struct Case {
        std::string name;
        std::string junction;
        std::vector<std::string> kept;
        std::vector<std::string> gone;
    } cases[] = {
        {"none", "", {"C:\\Windows\\x.dll"}, {"C:\\Top\\App\\sub\\x.dll", record}},
        {"the root", "C:\\Top\\App", {"C:\\Windows\\sub\\x.dll", "C:\\Windows\\_setup.log"}, {}},
        {"a sub folder", "C:\\Top\\App\\sub", {"C:\\Windows\\x.dll"}, {record}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        fresh.AddFile("C:\\Windows\\x.dll", "system");
        fresh.AddFile("C:\\Windows\\sub\\x.dll", "system");
        if (!c.junction.empty()) {
            // What the junction's target holds where the installation's files would be.
            fresh.AddJunction(c.junction, "C:\\Windows");
        }
        fresh.AddFile(record, text);
        if (c.junction.empty()) {
            fresh.AddFile("C:\\Top\\App\\sub\\x.dll", "ours");
        }
        fresh.SetValue(Root::User, kProductKey, "LogFile", record);
        EXPECT_EQ(std::vector<std::string>{kSuccess}, UninstallConfirmed(fresh));
        for (const std::string& path : c.kept) {
            EXPECT_TRUE(fresh.HasFile(path)) << path;
        }
        for (const std::string& path : c.gone) {
            EXPECT_FALSE(fresh.HasFile(path)) << path;
        }
    }
}

// A line whose file or folder carries a link's reparse tag is passed over, and so is
// every line when the root carries one; any other tag marks an ordinary file or folder.
TEST_F(UninstallEngineTest, OnlyALinkTagKeepsALine) {
    const std::string record = "C:\\App\\_setup.log";
    const struct {
        const char* name;
        uint32_t tag;
    } tags[] = {
        {"junction", 0xA0000003},      {"symbolic link", 0xA000000C}, {"cloud files", 0x9000001A},
        {"deduplication", 0x80000013}, {"unknown", 0x00001234},
    };
    for (const auto& t : tags) {
        for (const std::string& tagged :
             {std::string("C:\\App"), std::string("C:\\App\\sub"), std::string("C:\\App\\a.txt")}) {
            SCOPED_TRACE(std::string(t.name) + " on " + tagged);
            FakeSystem fresh = system;
            fresh.AddFile("C:\\App\\a.txt", "a");
            fresh.AddFolder("C:\\App\\sub");
            fresh.AddFile(record, "C:\\App\\a.txt\r\n" + record + "\r\n.\r\nC:\\App\\sub\\\r\n");
            fresh.SetValue(Root::User, kProductKey, "LogFile", record);
            fresh.SetReparseTag(tagged, t.tag);
            EXPECT_EQ(std::vector<std::string>{kSuccess}, UninstallConfirmed(fresh));
            const bool kept = IsLinkTag(t.tag);
            const bool rootKept = kept && tagged == "C:\\App";
            EXPECT_EQ(kept && tagged != "C:\\App\\sub", fresh.HasFile("C:\\App\\a.txt"));
            EXPECT_EQ(kept && tagged != "C:\\App\\a.txt", fresh.HasFolder("C:\\App\\sub"));
            EXPECT_EQ(rootKept, fresh.HasFile(record));
        }
    }
}

// A product key that names anything but an install record is taken as a record that
// cannot be read: nothing is removed, and the path is not even looked at.
TEST_F(UninstallEngineTest, ARecordPathThatIsNoRecordRemovesNothing) {
    const std::string unreadable = MessageEvent(
        "エラー", MessageButtons::Ok,
        "インストール情報ファイルの読み込みに失敗しました.\n最初からやり直してください.");
    for (const std::string& logFile :
         {std::string("C:\\Windows\\system32\\list.txt"),
          std::string("C:\\Top\\App\\..\\_setup.log"), std::string("\\\\?\\C:\\_setup.log"),
          std::string("\\\\server\\share\\_setup.log"),
          // At a drive's root the whole drive would be the installation's folder.
          std::string("C:\\_setup.log"), std::string("D:/_setup.log"), std::string("_setup.log"),
          std::string("C:\\_setup.log:x"), std::string("C:\\Top\\App\\a.txt")}) {
        SCOPED_TRACE(logFile);
        FakeSystem fresh = system;
        // Each of them would read as a record of C:\Top\App's files.
        for (const std::string& file :
             {std::string("C:\\Windows\\system32\\list.txt"),
              std::string("C:\\Windows\\system32\\_setup.log"), std::string("C:\\_setup.log")}) {
            fresh.AddFile(file, fresh.FileData(kRecord));
        }
        fresh.SetValue(Root::User, kProductKey, "LogFile", logFile);
        EXPECT_EQ(std::vector<std::string>{unreadable}, UninstallConfirmed(fresh));
        EXPECT_TRUE(fresh.HasFile("C:\\Top\\App\\a.txt"));
        EXPECT_TRUE(fresh.HasFile(kDesktop + "\\abc.lnk"));
        EXPECT_TRUE(fresh.HasKey(Root::User, kProductKey));
        for (const std::string& operation : fresh.operationLog) {
            EXPECT_EQ(std::string::npos, operation.find(logFile)) << operation;
        }
    }
}

TEST_F(UninstallEngineTest, MissingRecord) {
    system.RemoveFile(kRecord);
    ui.answers = {true, true};
    Uninstall();
    EXPECT_EQ((Events{kMissingRecord, kSuccess}), ui.Messages());
    EXPECT_EQ(ui.events.end(),
              std::find(ui.events.begin(), ui.events.end(), "status ファイルを削除しています..."));
    EXPECT_TRUE(system.HasFile("C:\\Top\\App\\a.txt"));
    EXPECT_FALSE(system.HasFile(kDesktop + "\\abc.lnk"));
    EXPECT_FALSE(system.HasKey(Root::User, kProductKey));
}

TEST_F(UninstallEngineTest, MissingRecordCancelled) {
    system.SetValue(Root::User, kProductKey, "LogFile", "");
    ui.answers = {false, true};
    Uninstall();
    EXPECT_EQ((Events{kMissingRecord, kCancel}), ui.Messages());
    EXPECT_EQ(Reset(), Events(ui.events.end() - 3, ui.events.end()));
    EXPECT_TRUE(system.HasFile(kDesktop + "\\abc.lnk"));
    EXPECT_TRUE(system.HasKey(Root::User, kProductKey));
}

// A record that cannot be opened, or that is not a file in its own right.
TEST_F(UninstallEngineTest, UnreadableRecordRemovesNothing) {
    struct Case {
        std::string name;
        std::function<void(FakeSystem&)> change;
    } cases[] = {
        {"cannot be opened",
         [](FakeSystem& on) {
             on.failIf = [](FakeOperation op, const std::string& path) {
                 return op == FakeOperation::OpenPlainFileForRead && path == kRecord;
             };
         }},
        {"a hard link", [](FakeSystem& on) { on.SetFileLinks(kRecord, 2); }},
        {"a symbolic link", [](FakeSystem& on) { on.SetFileLinks(kRecord, 1, 0xA000000C); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem fresh = system;
        c.change(fresh);
        EXPECT_EQ((Events{MessageEvent("エラー", MessageButtons::Ok,
                                       "インストール情報ファイルの読み込みに失敗しました.\n最初から"
                                       "やり直してください.")}),
                  UninstallConfirmed(fresh));
        EXPECT_TRUE(fresh.HasFile("C:\\Top\\App\\a.txt"));
        EXPECT_TRUE(fresh.HasFile(kDesktop + "\\abc.lnk"));
        EXPECT_TRUE(fresh.HasKey(Root::User, kProductKey));
    }
}

TEST_F(UninstallEngineTest, FailedProductKeyDeletionKeepsTheSoftwareInstalled) {
    system.failIf = [](FakeOperation op, const std::string&) {
        return op == FakeOperation::DeleteUserKey;
    };
    ui.answers = {true};
    Uninstall();
    EXPECT_EQ(
        (Events{MessageEvent("エラー", MessageButtons::Ok,
                             "レジストリの削除に失敗しました.\n最初からやり直してください.")}),
        ui.Messages());
    EXPECT_FALSE(system.HasFile("C:\\Top\\App\\a.txt"));
    EXPECT_TRUE(system.HasKey(Root::User, kProductKey));
    EXPECT_TRUE(system.HasKey(Root::Machine, kUninstallKey));
}

TEST_F(UninstallEngineTest, UninstallEntryIsLeftAloneWithoutTheStandAloneUninstaller) {
    s.StandAloneUninstUse = false;
    ui.answers = {true};
    Uninstall();
    EXPECT_EQ(kSuccess, ui.Messages().back());
    EXPECT_TRUE(system.HasKey(Root::Machine, kUninstallKey));
    for (const std::string& operation : system.operationLog) {
        EXPECT_EQ(std::string::npos, operation.find("Machine")) << operation;
    }
}

TEST_F(UninstallEngineTest, ShortcutsOfTheCurrentSettings) {
    s.ShortcutDesktop = false;
    s.ExShortcutPrograms = true;
    s.ExShortcutName = "extra";
    s.ShortcutFolder = "A\\B";
    system.AddFile(kPrograms + "\\A\\B\\extra.lnk", "LNK");
    ui.answers = {true};
    Uninstall();
    EXPECT_TRUE(system.HasFile(kDesktop + "\\abc.lnk"));  // its flag is off now
    EXPECT_FALSE(system.HasFile(kPrograms + "\\A\\B\\extra.lnk"));
    EXPECT_FALSE(system.HasFolder(kPrograms + "\\A\\B"));
    EXPECT_TRUE(system.HasFolder(kPrograms + "\\A"));
}

TEST_F(UninstallEngineTest, NoShortcutStepWithoutFlags) {
    s.ShortcutDesktop = false;
    ui.answers = {true};
    Uninstall();
    EXPECT_EQ(ui.events.end(), std::find(ui.events.begin(), ui.events.end(),
                                         "status ショートカットを削除しています..."));
}

// The interrupted-run table: a cancel at any pump before the registry step stops with
// the cancel message, the keys still there; a second run completes the job.
TEST_F(UninstallEngineTest, CancelAtEveryPumpThenRunAgain) {
    ui.answers = {true};
    FakeSystem pristine = system;
    Uninstall();
    const int pumps = ui.pumps;
    for (int at = 1; at <= pumps; ++at) {
        SCOPED_TRACE("cancel at pump " + std::to_string(at));
        FakeSystem fresh = pristine;
        ScriptedUi run;
        run.answers = {true};
        bool flag = false;
        bool duringRegistryStep = false;
        run.onPump = [&] {
            if (run.pumps == at) {
                flag = true;
                duringRegistryStep =
                    run.events.end() != std::find(run.events.begin(), run.events.end(),
                                                  "status レジストリを削除しています...");
            }
        };
        TSetupSettings settings = s;
        RunUninstall(flag, settings, fresh, run);
        const std::vector<std::string> messages = run.Messages();
        if (duringRegistryStep) {
            // The registry step has no cancel point: it runs to its end.
            EXPECT_EQ(kSuccess, messages.back());
            continue;
        }
        EXPECT_EQ(kCancel, messages.back());
        EXPECT_TRUE(fresh.HasKey(Root::User, kProductKey));
        EXPECT_TRUE(fresh.HasKey(Root::Machine, kUninstallKey));

        ScriptedUi again;
        again.answers = {true, true};
        RunUninstall(flag, settings, fresh, again);
        EXPECT_EQ(kSuccess, again.Messages().back());
        EXPECT_FALSE(fresh.HasFolder("C:\\Top\\App"));
        EXPECT_FALSE(fresh.HasKey(Root::User, kProductKey));
    }
}

}  // namespace
