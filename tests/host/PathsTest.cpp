#include <gtest/gtest.h>

#include "system/Paths.h"

namespace {

// "ソ" is 0x83 0x5C in code page 932: its second byte is the code of '\'.
const std::string kSo = "ソ";
const std::string kHyo = "表";

TEST(Paths, TrailByteIsNeverASeparator) {
    ASSERT_EQ(kSo, "\x83\x5C");
    struct Case {
        std::string text;
        bool ends;
        size_t length;
    } cases[] = {
        {"", false, 0},        {"C:\\A\\", true, 5}, {"C:/A/", true, 5},
        {"C:\\A", false, 4},   {kSo, false, 2},      {"A\\" + kSo, false, 4},
        {kSo + "\\", true, 3}, {"\x83", false, 1},  // a lone lead byte at the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        size_t length = 99;
        EXPECT_EQ(c.ends, EndsWithSeparator(c.text, &length));
        EXPECT_EQ(c.length, length);
    }
}

TEST(Paths, AddAndRemoveTrailingSeparator) {
    struct Case {
        std::string text, added, removed;
    } cases[] = {
        {"", "\\", ""},
        {"C:\\A\\", "C:\\A\\", "C:\\A"},
        {"C:/A/", "C:/A/", "C:/A"},
        {"C:\\A", "C:\\A\\", "C:\\A"},
        {"C:\\", "C:\\", "C:\\"},
        {"\\", "\\", "\\"},
        {"D:\\" + kSo, "D:\\" + kSo + "\\", "D:\\" + kSo},
        {"\\\\server\\share\\", "\\\\server\\share\\", "\\\\server\\share"},
        {"\\\\server\\", "\\\\server\\", "\\\\server"},
        // A lone lead byte would take an appended separator as its second byte: it goes.
        {"C:\\A\x83", "C:\\A\\", "C:\\A\x83"},
        // A second byte 0x3A is no drive colon.
        {"C:\\\x83:\\", "C:\\\x83:\\", "C:\\\x83:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.added, AddTrailingSeparator(c.text));
        EXPECT_EQ(c.removed, RemoveTrailingSeparator(c.text));
    }
}

TEST(Paths, ExtractNameAndFolderParts) {
    struct Case {
        std::string text, folder, name;
    } cases[] = {
        {"", "", ""},
        {"a.txt", "", "a.txt"},
        {"C:\\A\\", "C:\\A\\", ""},
        {"C:\\A\\b.exe", "C:\\A\\", "b.exe"},
        {"C:/A/b.exe", "C:/A/", "b.exe"},
        {"C:\\" + kSo + "b", "C:\\", kSo + "b"},
        {kSo + kSo, "", kSo + kSo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.folder, ExtractFolderPart(c.text));
        EXPECT_EQ(c.name, ExtractNamePart(c.text));
    }
}

TEST(Paths, RootOfAPath) {
    using R = PathRoot;
    struct Case {
        std::string path;
        size_t length;
        PathRoot kind;
        bool absolute;
    } cases[] = {
        {"", 0, R::None, false},
        {"a\\b", 0, R::None, false},
        {"\\a", 1, R::Separator, false},
        {"/a", 1, R::Separator, false},
        {"C:\\x", 3, R::Drive, true},
        {"c:/x", 3, R::Drive, true},
        {"c:", 2, R::DriveRelative, false},
        {"C:x", 2, R::DriveRelative, false},
        // Only a letter names a drive, and a colon that is a second byte is none.
        {"1:\\x", 0, R::None, false},
        {"\x83:\\x", 0, R::None, false},
        {"\\\\server\\share\\x", 15, R::Share, true},
        {"\\\\server\\share", 14, R::Share, true},
        {"\\\\server\\", 9, R::Share, true},
        {"\\\\server", 8, R::Share, true},
        {"\\\\", 2, R::Share, true},
        {"//server/share/x", 15, R::Share, false},
        // A second byte 0x5C inside the server's or the share's name ends neither.
        {"\\\\" + kSo + "\\" + kSo + "\\x", 8, R::Share, true},
        {"\\\\?\\C:\\x", 7, R::Device, true},
        {"\\\\.\\C:\\x", 7, R::Device, true},
        {"//?/C:/x", 7, R::Device, false},
        {"\\\\?x\\y", 6, R::Share, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PathRoot kind = R::Device;
        EXPECT_EQ(c.length, RootLength(c.path, &kind));
        EXPECT_EQ(c.kind, kind);
        EXPECT_EQ(c.kind, RootKind(c.path));
        EXPECT_EQ(c.absolute, IsAbsolutePath(c.path));
    }
}

TEST(Paths, ReplaceExtensionOfTheNamePartOnly) {
    EXPECT_EQ("D:\\Setup.INI", ReplaceExtension("D:\\Setup.exe", ".INI"));
    EXPECT_EQ("D:\\a.b\\Setup.MSG", ReplaceExtension("D:\\a.b\\Setup", ".MSG"));
    EXPECT_EQ("D:\\x.y.MSG", ReplaceExtension("D:\\x.y.z", ".MSG"));
}

TEST(Paths, ARootAndNothingMore) {
    struct Case {
        std::string path;
        bool rootOnly;
    } cases[] = {
        {"C:\\", true},
        {"D:/", true},
        {"d:\\\\", true},
        {"C:", true},
        {"\\", true},
        {"\\\\server\\share\\", true},
        {"\\\\server\\share", true},
        {"//server/share/", true},
        {"\\\\?\\C:\\", true},
        {"C:\\App", false},
        {"C:\\App\\", false},
        {"D:\\" + kHyo, false},  // the second byte of "表" is no separator
        {"D:" + kHyo, false},
        {"\\\\server\\share\\App", false},
        {"App", false},
        {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.rootOnly, IsRootOnly(c.path));
    }
}

TEST(Paths, ShortcutFoldersAndNamesStayInTheirFolder) {
    struct Case {
        std::string text;
        bool stays;
    } cases[] = {
        {"", true},
        {"ソフト", true},
        {"会社\\" + kSo + "\\" + kHyo, true},
        {kSo + "\\", true},
        {"A\\B", true},
        {"A/B", true},
        {"v1.0", true},
        {"..x", true},
        {"x..", true},
        {"..", false},
        {".", false},
        {"...", false},
        {".. ", false},
        {" ..", false},
        {"A\\..\\..\\..\\Startup", false},
        {"A/../B", false},
        {"..\\Startup", false},
        {"A\\..", false},
        {"\\Windows", false},
        {"/Windows", false},
        {"\\\\server\\share", false},
        {"C:\\Windows", false},
        {"C:Windows", false},
        {"z:", false},
        {"A\nB", false},
        {std::string("A\0B", 3), false},
        {"\x7F", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.stays, StaysInsideFolder(c.text));
    }
}

TEST(Paths, AShortcutNameIsOneName) {
    struct Case {
        std::string name;
        bool single;
    } cases[] = {
        {"abc", true},
        {"表計算ソフト", true},  // "ソ" and "表" end in the byte of '\'
        {"ソフト 1.0 (体験版)", true},
        {"..", true},  // only a name: the shortcut becomes "...lnk"
        {"a\\b", false},
        {"..\\..\\Windows\\x", false},
        {"a/b", false},
        {"\\", false},
        {"a\tb", false},
        {"a\rb", false},
        {std::string("a\0b", 3), false},
        {"\x1F", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.single, IsSingleName(c.name));
    }
}

}  // namespace
