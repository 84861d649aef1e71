#include <gtest/gtest.h>

#include <functional>

#include "install/RegistryRecords.h"
#include "menu/MenuFlow.h"
#include "tests/fakes/FakeSystem.h"

namespace {

using Root = FakeSystem::Root;

const char kSoftName[] = "表計算ソフト";

// A medium on D: with a small source tree.
FakeSystem Medium() {
    FakeSystem system;
    system.AddFile("D:\\SETUP\\a.txt", "abc");
    system.AddFile("D:\\SETUP\\bin\\app.exe", "12345678");
    system.AddFolder("D:\\SETUP\\data\\empty");
    return system;
}

// Settings that still hold the lists of an earlier scan.
TSetupSettings ScannedBefore() {
    TSetupSettings settings;
    settings.SoftName = kSoftName;
    settings.SrcFolder = "D:\\SETUP\\";
    settings.SrcFolderList = {"D:\\OLD\\"};
    settings.SrcFileList = {"D:\\OLD\\gone.txt"};
    settings.TotalSize = 999;
    return settings;
}

void RecordPath(FakeSystem& system, const std::string& path, bool isString = true) {
    system.SetValue(Root::User, MakeProductKeyPath(kSoftName), "Path", path, isString);
}

TEST(PrepareInstall, ReplacesTheListsAndTheTotalWithTheSourceTree) {
    struct Case {
        const char* name;
        std::function<void(FakeSystem&)> registry;
    } cases[] = {
        {"no product key", [](FakeSystem&) {}},
        {"empty Path", [](FakeSystem& s) { RecordPath(s, ""); }},
        {"Path not a string", [](FakeSystem& s) { RecordPath(s, "C:\\x", false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system = Medium();
        c.registry(system);
        TSetupSettings settings = ScannedBefore();
        EXPECT_TRUE(PrepareInstall(settings, system));
        EXPECT_EQ(settings.SrcFolderList,
                  (PathList{"D:\\SETUP\\bin\\", "D:\\SETUP\\data\\empty\\", "D:\\SETUP\\data\\"}));
        EXPECT_EQ(settings.SrcFileList, (PathList{"D:\\SETUP\\a.txt", "D:\\SETUP\\bin\\app.exe"}));
        EXPECT_EQ(settings.TotalSize, 11);
    }
}

TEST(PrepareInstall, AMissingSourceFolderLeavesEmptyListsAndNoSize) {
    FakeSystem system = Medium();
    TSetupSettings settings = ScannedBefore();
    settings.SrcFolder = "D:\\NONE\\";
    EXPECT_TRUE(PrepareInstall(settings, system));
    EXPECT_TRUE(settings.SrcFolderList.empty());
    EXPECT_TRUE(settings.SrcFileList.empty());
    EXPECT_EQ(settings.TotalSize, 0);
}

TEST(PrepareInstall, InstalledByNowLeavesEverythingAndScansNothing) {
    FakeSystem system = Medium();
    RecordPath(system, "C:\\Program Files\\App\\app.exe");
    TSetupSettings settings = ScannedBefore();
    EXPECT_FALSE(PrepareInstall(settings, system));
    EXPECT_EQ(settings.SrcFolderList, PathList{"D:\\OLD\\"});
    EXPECT_EQ(settings.SrcFileList, PathList{"D:\\OLD\\gone.txt"});
    EXPECT_EQ(settings.TotalSize, 999);
    for (const std::string& operation : system.operationLog) {
        EXPECT_NE(operation.compare(0, 10, "FindFiles "), 0) << operation;
    }
}

TEST(VanishedProgram, OnlyARecordedProgramFileThatIsGoneCounts) {
    FakeSystem system;
    system.AddFile("C:\\App\\app.exe");
    system.AddFolder("C:\\App\\ソ");
    struct Case {
        std::string path;
        bool missing;
    } cases[] = {
        {"", false},                  // not installed
        {"C:\\App\\app.exe", false},  // still there
        {"C:\\App\\gone.exe", true},  // deleted by hand
        {"C:\\Gone\\app.exe", true},  // its whole folder deleted
        {"C:\\App\\", false},         // no ExecFile: the folder was recorded
        {"C:\\App/", false},          // ... with either separator
        {"C:\\Gone\\", false},        // ... even when that folder is gone
        {"C:\\App\\ソ", true},        // its last byte is that of '\', but it names a folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.missing, IsInstalledProgramMissing(system, c.path));
    }
}

}  // namespace
