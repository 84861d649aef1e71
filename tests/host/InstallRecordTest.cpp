#include <gtest/gtest.h>

#include <functional>

#include "install/FolderScan.h"
#include "install/InstallRecord.h"
#include "system/FileBytes.h"
#include "tests/fakes/FakeSystem.h"

namespace {

// "ソ" is 0x83 0x5C and "表" 0x95 0x5C in code page 932: second bytes equal to '\'.
const std::string kRoot = "C:\\ソフト表\\";
const std::string kRecordPath = kRoot + "_setup.log";

TEST(InstallRecord, WritesEveryLineWithCrLfAndReadsItBack) {
    struct Case {
        std::string name;
        PathList files;
        std::string uninstaller;
        PathList folders;
        bool dstFolderCreated;
        std::string bytes;
    } cases[] = {
        {"full",
         {kRoot + "ソ.exe", kRoot + "表\\a.txt"},
         kRoot + "_uninst.exe",
         {kRoot + "表\\ソ\\", kRoot + "表\\"},
         true,
         kRoot + "ソ.exe\r\n" + kRoot + "表\\a.txt\r\n" + kRecordPath + "\r\n" + kRoot +
             "_uninst.exe\r\n.\r\n" + kRoot + "表\\ソ\\\r\n" + kRoot + "表\\\r\n" +
             "C:\\ソフト表\r\n"},
        {"existing destination, no uninstaller",
         {kRoot + "a.txt"},
         "",
         {kRoot + "sub\\"},
         false,
         kRoot + "a.txt\r\n" + kRecordPath + "\r\n\r\n.\r\n" + kRoot + "sub\\\r\n"},
        {"empty tree",
         {},
         kRoot + "_uninst.exe",
         {},
         false,
         kRecordPath + "\r\n" + kRoot + "_uninst.exe\r\n.\r\n"},
        {"empty tree, created destination",
         {},
         kRoot + "_uninst.exe",
         {},
         true,
         kRecordPath + "\r\n" + kRoot + "_uninst.exe\r\n.\r\nC:\\ソフト表\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFolder(kRoot);
        // The destination folder is written as the settings hold it.
        ASSERT_TRUE(WriteInstallRecord(system, kRecordPath, c.files, c.uninstaller, c.folders,
                                       "C:\\ソフト表", c.dstFolderCreated));
        EXPECT_TRUE(system.FileData(kRecordPath) == c.bytes);

        PathList files;
        PathList folders;
        ASSERT_TRUE(LoadInstallRecord(system, kRecordPath, files, folders));
        PathList expectedFiles = c.files;
        expectedFiles.push_back(kRecordPath);
        expectedFiles.push_back(c.uninstaller);
        PathList expectedFolders = c.folders;
        if (c.dstFolderCreated) {
            expectedFolders.push_back("C:\\ソフト表");
        }
        EXPECT_EQ(files, expectedFiles);
        EXPECT_EQ(folders, expectedFolders);
    }
}

TEST(InstallRecord, ReadsAnyLineEndAndStopsAtANul) {
    struct Case {
        std::string name;
        std::string text;
        PathList files;
        PathList folders;
    } cases[] = {
        {"LF without a final break", "a\nb\n.\nd\\", {"a", "b"}, {"d\\"}},
        {"CR only", "a\r.\rd\\\r", {"a"}, {"d\\"}},
        {"mixed", "a\r\nb\n\r.\r\nd\\\r\n", {"a", "b", ""}, {"d\\"}},
        {"empty lines stay", "\r\na\r\n\r\n.\r\n\r\nd\\\r\n", {"", "a", ""}, {"", "d\\"}},
        {"a NUL ends the text", std::string("a\r\n.\r\nd\\\0e\\\r\n", 13), {"a"}, {"d\\"}},
        {"no separator line", "a\r\nb\r\n", {"a", "b"}, {}},
        {"separator at the end", "a\r\n.\r\n", {"a"}, {}},
        {"later dots are folders", "a\r\n.\r\n.\r\nd\\\r\n.", {"a"}, {".", "d\\", "."}},
        {"only an exact dot separates", " .\r\n. \r\n.\r\n", {" .", ". "}, {}},
        {"empty file", "", {}, {}},
        {"one line break", "\r\n", {""}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFile("C:\\App\\_setup.log", c.text);
        PathList files{"kept"};
        PathList folders{"kept\\"};
        ASSERT_TRUE(LoadInstallRecord(system, "C:\\App\\_setup.log", files, folders));
        // Appended to what the lists held.
        PathList expectedFiles{"kept"};
        expectedFiles.insert(expectedFiles.end(), c.files.begin(), c.files.end());
        PathList expectedFolders{"kept\\"};
        expectedFolders.insert(expectedFolders.end(), c.folders.begin(), c.folders.end());
        EXPECT_EQ(files, expectedFiles);
        EXPECT_EQ(folders, expectedFolders);
    }
}

TEST(InstallRecord, AReadFailureLeavesTheListsAlone) {
    struct Case {
        std::string name;
        FakeOperation failingOperation;
    } cases[] = {{"cannot be opened", FakeOperation::OpenPlainFileForRead},
                 {"cannot be read", FakeOperation::Read}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFile("C:\\App\\_setup.log", "a\r\n.\r\nd\\\r\n");
        system.failIf = [&c](FakeOperation op, const std::string&) {
            return op == c.failingOperation;
        };
        PathList files;
        PathList folders;
        EXPECT_FALSE(LoadInstallRecord(system, "C:\\App\\_setup.log", files, folders));
        EXPECT_TRUE(files.empty());
        EXPECT_TRUE(folders.empty());
    }
    FakeSystem system;
    PathList files;
    PathList folders;
    EXPECT_FALSE(LoadInstallRecord(system, "C:\\App\\_setup.log", files, folders));
}

// A record that is a link, or a file with further names, could be another file's
// bytes: only a file in its own right is read. Reparse points that are no links (a
// cloud client's file, deduplicated data, a tag unknown here) are files like others.
TEST(InstallRecord, OnlyAFileInItsOwnRightIsRead) {
    struct Case {
        std::string name;
        uint32_t linkCount;
        uint32_t reparseTag;
        bool read;
    } cases[] = {
        {"a plain file", 1, 0, true},
        {"a hard link", 2, 0, false},
        {"one of many hard links", 5, 0, false},
        {"a symbolic link", 1, 0xA000000C, false},
        {"a junction", 1, 0xA0000003, false},
        {"a cloud file", 1, 0x9000001A, true},
        {"deduplicated data", 1, 0x80000013, true},
        {"an unknown tag", 1, 0x0000BEEF, true},
        {"an unknown name surrogate", 1, 0x2000BEEF, false},
        {"a cloud file with a second name", 2, 0x9000001A, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFile("C:\\App\\_setup.log", "C:\\App\\a\r\n.\r\nC:\\App\\d\\\r\n");
        system.SetFileLinks("C:\\App\\_setup.log", c.linkCount, c.reparseTag);
        PathList files;
        PathList folders;
        EXPECT_EQ(c.read, LoadInstallRecord(system, "C:\\App\\_setup.log", files, folders));
        EXPECT_EQ(c.read ? PathList{"C:\\App\\a"} : PathList{}, files);
        EXPECT_EQ(c.read ? PathList{"C:\\App\\d\\"} : PathList{}, folders);
    }
}

TEST(InstallRecord, ARecordBeyondTheSizeLimitCannotBeRead) {
    const std::string line = "C:\\App\\a.txt\r\n";
    std::string record;
    while (static_cast<int64_t>(record.size() + line.size()) <= kMaxWholeFileBytes) {
        record += line;
    }
    for (const bool beyond : {false, true}) {
        SCOPED_TRACE(beyond);
        FakeSystem system;
        system.AddFile(
            "C:\\App\\_setup.log",
            beyond ? record + std::string(
                                  static_cast<size_t>(kMaxWholeFileBytes) - record.size() + 1, '\n')
                   : record);
        PathList files;
        PathList folders;
        EXPECT_EQ(LoadInstallRecord(system, "C:\\App\\_setup.log", files, folders), !beyond);
        EXPECT_EQ(files.size(), beyond ? 0 : record.size() / line.size());
    }
}

// Settings whose largest record is the most a record may hold plus `extra` bytes: a
// long destination and scanned entries of about 200 bytes, the last one cut to fit.
TSetupSettings SettingsOfARecordOf(int64_t extra, bool standAloneUninstUse) {
    TSetupSettings s;
    s.SrcFolder = "D:\\SETUP";
    s.DstFolder = "C:\\" + std::string(120, 'x') + "\\表計算ソフト";
    s.StandAloneUninstUse = standAloneUninstUse;
    for (int i = 0; i < 10; ++i) {
        s.SrcFolderList.push_back("D:\\SETUP\\ソ" + std::to_string(i) + "\\");
    }
    const std::string name(200, 'n');
    const int64_t target = kMaxWholeFileBytes + extra;
    while (target - LargestInstallRecordSize(s) > 2 * 400) {
        s.SrcFileList.push_back("D:\\SETUP\\ソ0\\" + name + std::to_string(s.SrcFileList.size()));
    }
    const int64_t lineBytes = target - LargestInstallRecordSize(s);
    const int64_t rest = lineBytes - static_cast<int64_t>(s.DstFolder.size()) - 1 - 2;
    s.SrcFileList.push_back("D:\\SETUP\\" + std::string(static_cast<size_t>(rest), 'z'));
    return s;
}

// Whatever the installation writes, the uninstallation reads: the largest record
// allowed, with the record and uninstaller under their longest names and the
// destination's own line, is read back whole; one byte more could not be.
TEST(InstallRecord, TheLargestRecordAllowedIsReadBack) {
    struct Case {
        std::string name;
        int64_t extra;
        bool standAloneUninstUse;
    } cases[] = {
        {"at the limit", 0, true},
        {"at the limit without the uninstaller", 0, false},
        {"one byte beyond", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSetupSettings s = SettingsOfARecordOf(c.extra, c.standAloneUninstUse);
        ASSERT_EQ(kMaxWholeFileBytes + c.extra, LargestInstallRecordSize(s));
        MapToDestination(s.SrcFolder, s.DstFolder, s.SrcFolderList, s.SrcFileList, s.DstFolderList,
                         s.DstFileList);
        const std::string root = s.DstFolder + "\\" + std::string(kMaxNamePrefix, '_');
        const std::string recordPath = root + kInstallRecordName;
        const std::string uninstaller = c.standAloneUninstUse ? root + "_uninst.exe" : "";
        FakeSystem system;
        system.AddFolder(s.DstFolder);
        ASSERT_TRUE(WriteInstallRecord(system, recordPath, s.DstFileList, uninstaller,
                                       s.DstFolderList, s.DstFolder, true));
        EXPECT_EQ(kMaxWholeFileBytes + c.extra,
                  static_cast<int64_t>(system.FileData(recordPath).size()));
        PathList files;
        PathList folders;
        EXPECT_EQ(c.extra == 0, LoadInstallRecord(system, recordPath, files, folders));
        if (c.extra == 0) {
            EXPECT_EQ(s.DstFileList.size() + 2, files.size());
            EXPECT_EQ(s.DstFileList.back(), files[s.DstFileList.size() - 1]);
            EXPECT_EQ(uninstaller, files.back());
            EXPECT_EQ(s.DstFolder, folders.back());
        }
    }
}

TEST(InstallRecord, AWriteFailureIsReportedAndLeavesNoPartRecord) {
    struct Case {
        std::string name;
        std::function<void(FakeSystem&)> fault;
    } cases[] = {
        {"cannot be created",
         [](FakeSystem& s) {
             s.failIf = [](FakeOperation op, const std::string&) {
                 return op == FakeOperation::CreateNewForWrite;
             };
         }},
        {"folder missing", [](FakeSystem& s) { s.RemoveEmptyFolder("C:\\App"); }},
        {"write fails",
         [](FakeSystem& s) {
             s.failIf = [](FakeOperation op, const std::string&) {
                 return op == FakeOperation::Write;
             };
         }},
        {"disk full", [](FakeSystem& s) { s.diskSpaceLeft = 10; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddFolder("C:\\App");
        c.fault(system);
        EXPECT_FALSE(WriteInstallRecord(system, "C:\\App\\_setup.log",
                                        {"C:\\App\\a.txt", "C:\\App\\b.txt"}, "", {}, "C:\\App",
                                        true));
        EXPECT_FALSE(system.HasFile("C:\\App\\_setup.log"));
    }
}

// The search for a free name may be misled (a file whose existence cannot be read);
// the record of an earlier installation must still survive.
TEST(InstallRecord, AnExistingRecordIsNeverOverwritten) {
    FakeSystem system;
    system.AddFile("C:\\App\\_setup.log", "C:\\App\\old.txt\r\n");
    EXPECT_FALSE(WriteInstallRecord(system, "C:\\App\\_setup.log", {"C:\\App\\new.txt"}, "", {},
                                    "C:\\App", false));
    EXPECT_EQ("C:\\App\\old.txt\r\n", system.FileData("C:\\App\\_setup.log"));
}

}  // namespace
