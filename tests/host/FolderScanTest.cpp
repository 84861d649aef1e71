#include <gtest/gtest.h>

#include "install/FolderScan.h"
#include "tests/fakes/FakeSystem.h"

namespace {

// "ソ" is 0x83 0x5C in code page 932: its second byte is the code of '\'.
const std::string kSo = "ソ";

// A source tree with nested folders, an empty folder and a read-only file.
FakeSystem SourceTree() {
    FakeSystem system;
    system.AddFile("D:\\SETUP\\a.txt", "abc", /*readOnly=*/true);
    system.AddFile("D:\\SETUP\\A\\b.txt", "bb");
    system.AddFile("D:\\SETUP\\A\\B\\C\\c.bin", "ccccc");
    system.AddFolder("D:\\SETUP\\E");
    return system;
}

TEST(FolderScan, ListsFoldersDeepestFirstAndFilesWithTheirSizes) {
    FakeSystem system = SourceTree();
    PathList folders;
    PathList files;
    int64_t total = 0;
    ScanFolderTree(system, "D:\\SETUP", folders, files, &total);

    EXPECT_EQ(folders, (PathList{"D:\\SETUP\\A\\B\\C\\", "D:\\SETUP\\A\\B\\", "D:\\SETUP\\A\\",
                                 "D:\\SETUP\\E\\"}));
    EXPECT_EQ(files,
              (PathList{"D:\\SETUP\\A\\B\\C\\c.bin", "D:\\SETUP\\A\\b.txt", "D:\\SETUP\\a.txt"}));
    EXPECT_EQ(total, 10);
    // The sizes come from the listing: no file is opened.
    for (const std::string& operation : system.operationLog) {
        EXPECT_EQ(operation.compare(0, 10, "FindFiles "), 0) << operation;
    }
    EXPECT_EQ(system.operationLog.front(), "FindFiles D:\\SETUP\\*.*");
}

TEST(FolderScan, AppendsToTheListsAndTheTotal) {
    FakeSystem system = SourceTree();
    PathList folders{"x\\"};
    PathList files{"y"};
    int64_t total = 7;
    ScanFolderTree(system, "D:\\SETUP\\A\\B\\", folders, files, &total);
    EXPECT_EQ(folders, (PathList{"x\\", "D:\\SETUP\\A\\B\\C\\"}));
    EXPECT_EQ(files, (PathList{"y", "D:\\SETUP\\A\\B\\C\\c.bin"}));
    EXPECT_EQ(total, 12);

    ScanFolderTree(system, "D:\\SETUP\\A\\B", folders, files);  // no total to add to
    EXPECT_EQ(files.size(), 3u);
}

TEST(FolderScan, NothingIsListedFromAFolderThatCannotBeEnumerated) {
    struct Case {
        std::string name;
        std::string folder;
        std::string failingPattern;
        PathList folders;
        PathList files;
        int64_t total;
    } cases[] = {
        {"empty path", "", "", {}, {}, 0},
        {"missing folder", "D:\\NONE", "", {}, {}, 0},
        {"failing root", "D:\\SETUP", "D:\\SETUP\\*.*", {}, {}, 0},
        // The folder itself is still listed, so that it is created at the destination.
        {"failing sub folder",
         "D:\\SETUP",
         "D:\\SETUP\\A\\*.*",
         {"D:\\SETUP\\A\\", "D:\\SETUP\\E\\"},
         {"D:\\SETUP\\a.txt"},
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system = SourceTree();
        system.failIf = [&c](FakeOperation op, const std::string& path) {
            return op == FakeOperation::FindFiles && path == c.failingPattern;
        };
        PathList folders;
        PathList files;
        int64_t total = 0;
        ScanFolderTree(system, c.folder, folders, files, &total);
        EXPECT_EQ(folders, c.folders);
        EXPECT_EQ(files, c.files);
        EXPECT_EQ(total, c.total);
    }
}

TEST(FolderScan, ARootEndingInATrailByte5CGetsASeparator) {
    FakeSystem system;
    system.AddFile("D:\\" + kSo + "\\a.txt", "12");
    system.AddFolder("D:\\" + kSo + "\\b");
    PathList folders;
    PathList files;
    int64_t total = 0;
    ScanFolderTree(system, "D:\\" + kSo, folders, files, &total);
    EXPECT_EQ(folders, PathList{"D:\\" + kSo + "\\b\\"});
    EXPECT_EQ(files, PathList{"D:\\" + kSo + "\\a.txt"});
    EXPECT_EQ(total, 2);
}

// Files larger than 4 GiB, as the listing reports them.
class LargeFileSystem : public FakeSystem {
public:
    bool FindFiles(const std::string& pattern, std::vector<FindEntry>& entries) override {
        const bool found = FakeSystem::FindFiles(pattern, entries);
        for (FindEntry& entry : entries) {
            if (!entry.isFolder) {
                entry.size = int64_t{5} << 30;
            }
        }
        return found;
    }
};

TEST(FolderScan, SizesAddUpIn64Bits) {
    LargeFileSystem system;
    system.AddFile("D:\\SETUP\\one.bin");
    system.AddFile("D:\\SETUP\\two.bin");
    PathList folders;
    PathList files;
    int64_t total = 0;
    ScanFolderTree(system, "D:\\SETUP", folders, files, &total);
    EXPECT_EQ(total, int64_t{10} << 30);
}

TEST(MapToDestination, MovesEveryEntryToTheDestinationRoot) {
    struct Case {
        std::string sourceRoot;
        std::string destinationRoot;
    } cases[] = {
        {"D:\\SETUP", "C:\\Program Files\\App"},
        {"D:\\SETUP\\", "C:\\Program Files\\App\\"},
        {"D:\\SETUP", "C:\\Program Files\\App/"},
    };
    const PathList sourceFolders{"D:\\SETUP\\A\\B\\", "D:\\SETUP\\A\\", "D:\\SETUP\\" + kSo + "\\"};
    const PathList sourceFiles{"D:\\SETUP\\A\\B\\c.bin", "D:\\SETUP\\a.txt", "D:\\SETUP\\a.txt"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sourceRoot + " -> " + c.destinationRoot);
        const std::string root =
            c.destinationRoot.back() == '/' ? c.destinationRoot : "C:\\Program Files\\App\\";
        PathList folders{"old\\"};
        PathList files{"old"};
        MapToDestination(c.sourceRoot, c.destinationRoot, sourceFolders, sourceFiles, folders,
                         files);
        EXPECT_EQ(folders, (PathList{root + "A\\B\\", root + "A\\", root + kSo + "\\"}));
        EXPECT_EQ(files, (PathList{root + "A\\B\\c.bin", root + "a.txt", root + "a.txt"}));
    }
}

TEST(MapToDestination, ADestinationEndingInATrailByte5CGetsASeparator) {
    PathList folders;
    PathList files;
    MapToDestination("D:\\SETUP", "C:\\" + kSo, {}, {"D:\\SETUP\\a.txt"}, folders, files);
    EXPECT_EQ(files, PathList{"C:\\" + kSo + "\\a.txt"});
    EXPECT_TRUE(folders.empty());
}

}  // namespace
