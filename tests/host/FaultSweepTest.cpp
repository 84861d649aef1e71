// Fault injection over both engines. A clean run counts the operations it makes on
// the fake system; then, for each of them, a run in which that one operation fails,
// and for every write a run in which the disk fills up in the middle of it. Each run
// must end with one of the engine's messages, touch nothing but what the
// installation makes, leave the source alone and no cut-off file behind, and a
// rerun without faults must complete.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "install/FileCopy.h"
#include "install/FolderScan.h"
#include "install/InstallEngine.h"
#include "install/InstallRecord.h"
#include "install/RegistryRecords.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedUi.h"
#include "uninstall/UninstallEngine.h"

namespace {

using Root = FakeSystem::Root;

// "ソ" and "表" end in the byte of '\'.
const std::string kDst = "C:\\Program Files\\ソフト表";
const std::string kSrc = "D:\\SETUP";
const std::string kDesktop = "C:\\Users\\Public\\Desktop";
const std::string kPrograms = "C:\\Users\\me\\Start Menu\\Programs";
const std::string kShortcutFolder = "ソフト\\表";
const std::string kUninstallerData = "MZ uninstaller";

const std::string kInstalled =
    MessageEvent("成功", MessageButtons::Ok, "インストールが正常に終了しました.");
const std::string kUninstalled =
    MessageEvent("成功", MessageButtons::Ok, "アンインストールが正常に終了しました.");
const std::string kNotInstalled =
    MessageEvent("警告", MessageButtons::Ok, "ソフトがインストールされていません.");
const std::string kMissingRecord =
    MessageEvent("エラー", MessageButtons::OkCancel,
                 "インストール情報ファイルが見つかりません."
                 "\nインストールしたファイルは既に削除されている可能性が"
                 "あります.\nショートカットとレジストリ情報のみ削除を試みますか？");

// The messages with which a run of each engine may end.
const std::set<std::string> kInstallEndings = {
    kInstalled,
    MessageEvent("警告", MessageButtons::Ok,
                 "ユーザーの要求によりインストールが中断しました.\n再びインストールを行う場合は、"
                 "最初からやり直してください."),
    MessageEvent("エラー", MessageButtons::Ok,
                 "フォルダの作成に失敗しました.\nディスクやファイルが書込み可能かどうか確認した"
                 "上で最初からやり直してください."),
    MessageEvent("エラー", MessageButtons::Ok,
                 "インストール情報ファイルの作成に失敗しました.\nディスクやファイルが書込み可能"
                 "かどうか確認した上で最初からやり直してください."),
    MessageEvent("エラー", MessageButtons::Ok,
                 "インストール情報ファイルの作成に失敗しました.\n既にインストールが行われている"
                 "可能性があります."),
    MessageEvent("エラー", MessageButtons::Ok,
                 "レジストリの書込みに失敗しました.\n最初からやり直してください."),
};
const std::set<std::string> kUninstallEndings = {
    kUninstalled,
    kNotInstalled,
    MessageEvent("警告", MessageButtons::Ok,
                 "ユーザーの要求によりアンインストールが中断しました.\nアンインストールを完了する"
                 "には、最初からやり直してください."),
    MessageEvent("エラー", MessageButtons::Ok,
                 "レジストリの削除に失敗しました.\n最初からやり直してください."),
    MessageEvent("エラー", MessageButtons::Ok,
                 "インストール情報ファイルの読み込みに失敗しました.\n最初からやり直してください."),
};

// Every file, folder, registry key and value, by a name that tells them apart, with
// its contents.
using Snapshot = std::map<std::string, std::string>;

Snapshot Take(const FakeSystem& system) {
    Snapshot snapshot;
    for (const std::string& entry : system.Tree()) {
        snapshot["file " + system.Key(entry)] =
            entry.back() == '\\'
                ? "(folder)"
                : (system.IsReadOnly(entry) ? "(read-only) " : "") + system.FileData(entry);
    }
    for (const Root root : {Root::User, Root::Machine}) {
        const std::string hive = root == Root::User ? "reg HKCU\\" : "reg HKLM\\";
        for (const std::string& key : system.Keys(root)) {
            snapshot[hive + key] = "(key)";
            for (const std::string& name : system.ValueNames(root, key)) {
                snapshot[hive + key + "|" + name] = system.Value(root, key, name);
            }
        }
    }
    return snapshot;
}

// The entries that differ between two snapshots: added, removed or changed.
std::set<std::string> Changed(const Snapshot& before, const Snapshot& after) {
    std::set<std::string> changed;
    for (const auto& [name, contents] : before) {
        auto other = after.find(name);
        if (other == after.end() || other->second != contents) {
            changed.insert(name);
        }
    }
    for (const auto& [name, contents] : after) {
        if (before.count(name) == 0) {
            changed.insert(name);
        }
    }
    return changed;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// A source file of `size` bytes that is not one byte repeated, so a cut shows.
std::string Pattern(size_t size) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    }
    return data;
}

struct Outcome {
    std::vector<std::string> events;
    std::vector<std::string> messages;

    std::string LastMessage() const { return messages.empty() ? "(none)" : messages.back(); }
};

// Answers every message box: `okCancel` to the OK/Cancel questions and `yesNo` to the
// failure prompts, OK to every notice.
void AnswerEveryMessage(ScriptedUi& ui, bool okCancel, bool yesNo) {
    ui.onMessage = [&ui, okCancel, yesNo] {
        const std::string& event = ui.events.back();
        if (event.find("|OKCancel|") != std::string::npos) {
            ui.answers.push_back(okCancel);
        } else if (event.find("|YesNo|") != std::string::npos) {
            ui.answers.push_back(yesNo);
        } else {
            ui.answers.push_back(true);
        }
    };
}

// The last message is one of `endings`, and only the reset of the label and the bar
// follows it.
void ExpectEnding(const Outcome& outcome, const std::set<std::string>& endings) {
    ASSERT_FALSE(outcome.messages.empty());
    EXPECT_EQ(1u, endings.count(outcome.messages.back())) << outcome.messages.back();
    const std::vector<std::string> reset = {"status ", "max 100", "pos 0"};
    auto last = std::find(outcome.events.rbegin(), outcome.events.rend(), outcome.messages.back());
    const std::vector<std::string> after(last.base(), outcome.events.end());
    EXPECT_TRUE(after.empty() || after == reset) << after.size() << " events after the message";
}

class FaultSweepTest : public ::testing::Test {
protected:
    void SetUp() override {
        medium.shellFolders[0x19] = kDesktop;
        medium.shellFolders[0x02] = kPrograms;
        medium.AddFolder(kDesktop);
        medium.AddFolder(kPrograms);
        // What others put there, which no run may touch.
        medium.AddFile(kDesktop + "\\other.lnk", "LNK other");
        medium.AddFile(kPrograms + "\\ソフト\\other.lnk", "LNK other");
        medium.AddFile("C:\\Program Files\\Other\\keep.txt", "someone else's");
        medium.SetValue(Root::User, "Software\\Other", "Keep", "1");
        medium.SetValue(Root::Machine, UninstallKeyPath("other"), "DisplayName", "other");
        if (existingDestination) {
            medium.AddFile(kDst + "\\keep.txt", "the user's");
        }

        medium.AddFile(kSrc + "\\a.txt", Pattern(100));
        medium.AddFile(kSrc + "\\ソ\\b.bin", Pattern(CopyChunkSize + 1000));  // two chunks
        medium.AddFile(kSrc + "\\ソ\\empty.txt");
        medium.AddFolder(kSrc + "\\ソ\\deep");
        medium.AddFile("D:\\_uninst.exe", kUninstallerData);

        settings.SoftName = "表計算";
        settings.ExecFile = "a.txt";
        settings.SrcFolder = kSrc;
        settings.DstFolder = kDst;
        settings.ShortcutDesktop = true;
        settings.ShortcutPrograms = true;
        settings.ShortcutFolder = kShortcutFolder;
        settings.ExShortcutDesktop = true;
        settings.ExShortcutPrograms = true;
        settings.ExShortcutFile = "ソ\\b.bin";
        settings.ExShortcutName = "extra";
        ScanFolderTree(medium, kSrc, settings.SrcFolderList, settings.SrcFileList,
                       &settings.TotalSize);
        MapToDestination(kSrc, kDst, settings.SrcFolderList, settings.SrcFileList, dstFolders,
                         dstFiles);
        medium.operationCount = 0;
        medium.operationLog.clear();
        initial = Take(medium);

        // The clean installation, noting where each write starts on the disk.
        installed = medium;
        constexpr int64_t kPlenty = int64_t{1} << 40;
        installed.diskSpaceLeft = kPlenty;
        installed.failIf = [this](FakeOperation operation, const std::string&) {
            if (operation == FakeOperation::Write) {
                writeStarts.push_back(kPlenty - installed.diskSpaceLeft);
            }
            return false;
        };
        ASSERT_EQ(kInstalled, Install(installed, true).LastMessage());
        writeStarts.push_back(kPlenty - installed.diskSpaceLeft);  // where the last one ended
        installOperations = installed.operationLog;
        installed.failIf = nullptr;
        installed.diskSpaceLeft = -1;
        installed.operationCount = 0;
        installed.operationLog.clear();
        ExpectInstalled(installed);
        installedSnapshot = Take(installed);
        installChanges = Changed(initial, installedSnapshot);

        uninstalled = installed;
        ASSERT_EQ(kUninstalled, Uninstall(uninstalled, true).LastMessage());
        uninstallOperations = uninstalled.operationLog;
        uninstalledSnapshot = Take(uninstalled);
        uninstallChanges = Changed(installedSnapshot, uninstalledSnapshot);
        // The clean uninstallation takes back all the installation made but the empty
        // keys above the product key.
        for (const std::string& entry : Changed(initial, uninstalledSnapshot)) {
            EXPECT_TRUE(StartsWith(entry, "reg HKCU\\software\\quillfen") &&
                        uninstalledSnapshot[entry] == "(key)")
                << entry;
        }
    }

    Outcome Install(FakeSystem& system, bool yes) {
        ScriptedUi ui;
        AnswerEveryMessage(ui, true, yes);
        TSetupSettings run = settings;
        bool cancel = false;
        RunInstall(cancel, run, Medium("D:\\Setup.exe"), system, ui);
        return {ui.events, ui.Messages()};
    }

    Outcome Uninstall(FakeSystem& system, bool ok) {
        ScriptedUi ui;
        AnswerEveryMessage(ui, ok, true);
        TSetupSettings run = settings;
        bool cancel = false;
        RunUninstall(cancel, run, system, ui);
        return {ui.events, ui.Messages()};
    }

    // The whole installation is there: the files whole, the folders, a record that
    // lists them, the uninstaller it names, the registry values and the shortcuts.
    void ExpectInstalled(const FakeSystem& system) {
        for (size_t i = 0; i < dstFiles.size(); ++i) {
            EXPECT_TRUE(system.HasFile(dstFiles[i])) << dstFiles[i];
            EXPECT_EQ(medium.FileData(settings.SrcFileList[i]), system.FileData(dstFiles[i]));
        }
        for (const std::string& folder : dstFolders) {
            EXPECT_TRUE(system.HasFolder(folder)) << folder;
        }
        const std::string key = MakeProductKeyPath(settings.SoftName);
        EXPECT_EQ(kDst + "\\a.txt", system.Value(Root::User, key, "Path"));
        const std::string record = system.Value(Root::User, key, "LogFile");
        FakeSystem reader = system;
        PathList files;
        PathList folders;
        ASSERT_TRUE(reader.HasFile(record)) << record;
        ASSERT_TRUE(LoadInstallRecord(reader, record, files, folders));
        ASSERT_GE(files.size(), 2u);
        EXPECT_EQ(record, files[files.size() - 2]);
        const std::string uninstaller = files.back();
        EXPECT_TRUE(system.HasFile(uninstaller)) << uninstaller;
        EXPECT_EQ(kUninstallerData, system.FileData(uninstaller));
        EXPECT_EQ(
            "\"" + uninstaller + "\" @" + EncodeKeyName(settings.SoftName),
            system.Value(Root::Machine, UninstallKeyPath(settings.SoftName), "UninstallString"));
        for (const std::string& file : dstFiles) {
            EXPECT_NE(files.end(), std::find(files.begin(), files.end(), file)) << file;
        }
        for (const std::string& folder : dstFolders) {
            EXPECT_NE(folders.end(), std::find(folders.begin(), folders.end(), folder)) << folder;
        }
        const std::pair<std::string, std::string> links[] = {
            {kDesktop + "\\表計算.lnk", kDst + "\\a.txt"},
            {kDesktop + "\\extra.lnk", kDst + "\\ソ\\b.bin"},
            {kPrograms + "\\" + kShortcutFolder + "\\表計算.lnk", kDst + "\\a.txt"},
            {kPrograms + "\\" + kShortcutFolder + "\\extra.lnk", kDst + "\\ソ\\b.bin"},
        };
        for (const auto& [link, target] : links) {
            auto written = system.links.find(link);
            EXPECT_TRUE(system.HasFile(link) && written != system.links.end() &&
                        written->second.target == target)
                << link;
        }
    }

    // What an installation may change: what the clean one did, and what was not in
    // the destination folder before (a rerun takes names with more underscores).
    bool InstallMayChange(const std::string& entry) const {
        return installChanges.count(entry) != 0 ||
               (StartsWith(entry, "file " + medium.Key(kDst) + "\\") && initial.count(entry) == 0);
    }

    void ExpectOnlyInstallationTouched(const Snapshot& after) {
        for (const std::string& entry : Changed(initial, after)) {
            EXPECT_TRUE(InstallMayChange(entry)) << "touched: " << entry;
            EXPECT_FALSE(StartsWith(entry, "file d:")) << "source changed: " << entry;
        }
    }

    // Every file in the destination is whole: as the clean installation left it, or
    // as it was before.
    void ExpectNoCutOffFile(const Snapshot& after) {
        const std::string destination = "file " + medium.Key(kDst) + "\\";
        for (const auto& [entry, contents] : after) {
            if (!StartsWith(entry, destination)) {
                continue;
            }
            const Snapshot& expected = initial.count(entry) != 0 ? initial : installedSnapshot;
            auto clean = expected.find(entry);
            EXPECT_TRUE(clean != expected.end() && clean->second == contents)
                << "not as installed: " << entry << " (" << contents.size() << " bytes)";
        }
    }

    // One installation with a fault, then a rerun without.
    void CheckFaultyInstall(FakeSystem system, bool yes) {
        const Outcome outcome = Install(system, yes);
        ExpectEnding(outcome, kInstallEndings);
        const Snapshot after = Take(system);
        ExpectOnlyInstallationTouched(after);
        ExpectNoCutOffFile(after);

        system.failAtOperation = 0;
        system.failIf = nullptr;
        system.diskSpaceLeft = -1;
        const Outcome rerun = Install(system, true);
        EXPECT_EQ(kInstalled, rerun.LastMessage());
        ExpectInstalled(system);
        ExpectOnlyInstallationTouched(Take(system));
        ++runs;
    }

    // Whether `entry`, left behind by an uninstallation that reported success, is
    // what the one failed operation kept from being removed (the removal is best
    // effort): its own target with the folders above it, everything in the
    // installation's folder when it could not be held, the shortcuts of a location that could not
    // be found, the Uninstall entry, or everything the record lists when the user agreed to go on
    // without the record.
    bool KeptByTheFault(const std::string& entry, const std::string& operation,
                        bool recordPassedOver) const {
        const size_t space = operation.find(' ');
        const std::string name = operation.substr(0, space);
        const std::string path = operation.substr(space + 1);
        if (recordPassedOver && StartsWith(entry, "file " + medium.Key(kDst))) {
            return true;
        }
        if (name == "RemoveFile" || name == "RemoveEmptyFolder") {
            const std::string key = "file " + medium.Key(path);
            return entry == key || StartsWith(key, entry + "\\");
        }
        if (name == "HoldFolder") {
            // Every line is passed over: the folder and all in it stay.
            const std::string key = "file " + medium.Key(path);
            return entry == key || StartsWith(entry, key + "\\");
        }
        if (name == "ShellFolderPath") {
            const std::string folder = path == "25" ? kDesktop : kPrograms;
            return StartsWith(entry, "file " + medium.Key(folder) + "\\");
        }
        if (name == "DeleteMachineKey") {
            return StartsWith(entry, "reg HKLM\\" + Lower(path));
        }
        return false;
    }

    // One uninstallation with operation `failing` failing, then a rerun without.
    void CheckFaultyUninstall(FakeSystem system, bool ok, const std::string& failing) {
        const Outcome outcome = Uninstall(system, ok);
        ExpectEnding(outcome, kUninstallEndings);
        const Snapshot after = Take(system);
        for (const std::string& entry : Changed(installedSnapshot, after)) {
            EXPECT_EQ(1u, uninstallChanges.count(entry)) << "touched: " << entry;
        }
        const bool reportedSuccess = outcome.LastMessage() == kUninstalled;
        // The product key goes last: until success the software counts as installed.
        EXPECT_EQ(!reportedSuccess,
                  !system.Value(Root::User, MakeProductKeyPath(settings.SoftName), "Path").empty());

        system.failAtOperation = 0;
        const Outcome rerun = Uninstall(system, true);
        if (!reportedSuccess) {
            EXPECT_EQ(kUninstalled, rerun.LastMessage());
            EXPECT_EQ(std::set<std::string>(), Changed(uninstalledSnapshot, Take(system)));
        } else {
            EXPECT_EQ(kNotInstalled, rerun.LastMessage());
            const bool recordPassedOver =
                ok && std::find(outcome.messages.begin(), outcome.messages.end(), kMissingRecord) !=
                          outcome.messages.end();
            for (const std::string& entry : Changed(uninstalledSnapshot, Take(system))) {
                EXPECT_TRUE(KeptByTheFault(entry, failing, recordPassedOver)) << "left: " << entry;
            }
        }
        ++runs;
    }

    void SweepInstallOperations() {
        const int count = static_cast<int>(installOperations.size());
        ASSERT_GT(count, 50);
        for (const bool yes : {true, false}) {
            for (int i = 1; i <= count; ++i) {
                SCOPED_TRACE(std::string(yes ? "Yes" : "No") + " at prompts, failing operation " +
                             std::to_string(i) + ": " + installOperations[i - 1]);
                FakeSystem system = medium;
                system.failAtOperation = i;
                CheckFaultyInstall(system, yes);
            }
        }
        RecordProperty("operations_swept", count);
        std::printf("fault sweep: installation, %d operations, %d runs\n", count, runs);
    }

    void SweepInstallDiskFull() {
        const int writes = static_cast<int>(writeStarts.size()) - 1;
        ASSERT_GT(writes, 3);
        for (const bool yes : {true, false}) {
            for (int k = 0; k < writes; ++k) {
                const int64_t size = writeStarts[k + 1] - writeStarts[k];
                SCOPED_TRACE(std::string(yes ? "Yes" : "No") + " at prompts, disk full in write " +
                             std::to_string(k + 1) + " of " + std::to_string(size) + " bytes");
                FakeSystem system = medium;
                system.diskSpaceLeft = writeStarts[k] + size / 2;
                CheckFaultyInstall(system, yes);
            }
        }
        RecordProperty("writes_swept", writes);
        std::printf("fault sweep: installation, disk full in each of %d writes, %d runs\n", writes,
                    runs);
    }

    void SweepUninstallOperations() {
        const int count = static_cast<int>(uninstallOperations.size());
        ASSERT_GT(count, 10);
        for (const bool ok : {true, false}) {
            for (int i = 1; i <= count; ++i) {
                SCOPED_TRACE(std::string(ok ? "OK" : "Cancel") + " without the record, failing " +
                             "operation " + std::to_string(i) + ": " + uninstallOperations[i - 1]);
                FakeSystem system = installed;
                system.failAtOperation = i;
                CheckFaultyUninstall(system, ok, uninstallOperations[i - 1]);
            }
        }
        RecordProperty("operations_swept", count);
        std::printf("fault sweep: uninstallation, %d operations, %d runs\n", count, runs);
    }

    bool existingDestination = false;
    FakeSystem medium;
    TSetupSettings settings;
    PathList dstFolders;
    PathList dstFiles;
    Snapshot initial;
    FakeSystem installed;
    std::vector<int64_t> writeStarts;
    std::vector<std::string> installOperations;
    Snapshot installedSnapshot;
    std::set<std::string> installChanges;
    FakeSystem uninstalled;
    std::vector<std::string> uninstallOperations;
    Snapshot uninstalledSnapshot;
    std::set<std::string> uninstallChanges;
    int runs = 0;
};

TEST_F(FaultSweepTest, InstallationWithEachOperationFailing) {
    SweepInstallOperations();
}

TEST_F(FaultSweepTest, InstallationWithTheDiskFillingUpInEachWrite) {
    SweepInstallDiskFull();
}

TEST_F(FaultSweepTest, UninstallationWithEachOperationFailing) {
    SweepUninstallOperations();
}

// The same into a folder that exists and holds files that are not the installation's.
class FaultSweepIntoAnExistingFolderTest : public FaultSweepTest {
protected:
    void SetUp() override {
        existingDestination = true;
        FaultSweepTest::SetUp();
    }
};

TEST_F(FaultSweepIntoAnExistingFolderTest, InstallationWithEachOperationFailing) {
    SweepInstallOperations();
}

TEST_F(FaultSweepIntoAnExistingFolderTest, InstallationWithTheDiskFillingUpInEachWrite) {
    SweepInstallDiskFull();
}

TEST_F(FaultSweepIntoAnExistingFolderTest, UninstallationWithEachOperationFailing) {
    SweepUninstallOperations();
}

}  // namespace
