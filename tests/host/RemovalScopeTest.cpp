#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uninstall/RemovalScope.h"

namespace {

// "ソ" and "表" end in the byte of '\', "ー" (0x81 0x5B) does not.
const std::string kSo = "ソ";
const std::string kHyo = "表";
const std::string kRoot = "C:\\Program Files\\" + kHyo + "\\";

TEST(RemovalScope, RecordPathIsADrivePathToASetupLog) {
    ASSERT_EQ("\x95\x5C", kHyo);
    struct Case {
        std::string path;
        bool valid;
    } cases[] = {
        {kRoot + "_setup.log", true},
        // A record at a drive's root would make the whole drive the installation.
        {"C:\\_setup.log", false},
        {"D:/_setup.log", false},
        {"D:\\\\_setup.log", false},
        {"D:\\" + kHyo + "\\_setup.log", true},
        {"d:/App/_setup.log", true},
        {kRoot + "__________setup.log", true},    // nine more "_"
        {kRoot + "___________setup.log", false},  // ten more
        {kRoot + "x_setup.log", false},
        {kRoot + "_setup.log.txt", false},
        {kRoot + "_SETUP.LOG", false},
        {kRoot + "setup.log", false},
        {kRoot + "_setup.log\\", false},
        {kRoot + kSo + "_setup.log", false},
        {"", false},
        {"_setup.log", false},
        {"App\\_setup.log", false},
        {"\\App\\_setup.log", false},
        {"C:_setup.log", false},
        {"C:App\\_setup.log", false},
        {"\\\\server\\share\\_setup.log", false},
        {"\\\\?\\C:\\App\\_setup.log", false},
        {"\\\\.\\C:\\App\\_setup.log", false},
        {"//server/share/_setup.log", false},
        {"C:\\App\\..\\_setup.log", false},
        {"C:\\App\\.\\_setup.log", false},
        {"C:\\App.\\_setup.log", false},
        {"C:\\App \\_setup.log", false},
        {"C:\\App\\_setup.log.", false},
        {"C:\\App\\x:y\\_setup.log", false},
        {"C:\\App\\_setup.log:stream", false},
        {"C:\\App\\\t\\_setup.log", false},
        {"1:\\App\\_setup.log", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.valid, IsInstallRecordPath(c.path));
    }
}

TEST(RemovalScope, LinesInsideTheRoot) {
    const std::string rootFolder = "C:\\Program Files\\" + kHyo;
    struct Case {
        std::string line;
        RecordLine kind;
        bool inside;
    } cases[] = {
        {kRoot + "a.txt", RecordLine::File, true},
        {kRoot + "_setup.log", RecordLine::File, true},
        {kRoot + kSo + "\\b.bin", RecordLine::File, true},
        {kRoot + kSo + "\\" + kHyo + "\\c", RecordLine::File, true},
        {kRoot + "a\\\\b", RecordLine::File, true},
        {kRoot + kSo + "\\", RecordLine::Folder, true},
        {kRoot + kSo + "\\deep\\", RecordLine::Folder, true},
        {kRoot + kSo, RecordLine::Folder, true},
        // The destination line: the root, with or without its separator.
        {rootFolder, RecordLine::Folder, true},
        {kRoot, RecordLine::Folder, true},
        {kRoot + "\\", RecordLine::Folder, true},
        {rootFolder, RecordLine::File, false},
        {kRoot, RecordLine::File, false},
        {kRoot + "\\", RecordLine::File, false},
        // Out of the root.
        {"C:\\Program Files\\other.txt", RecordLine::File, false},
        {"C:\\Program Files\\", RecordLine::Folder, false},
        {"C:\\Program Files", RecordLine::Folder, false},
        {rootFolder + "x\\a.txt", RecordLine::File, false},  // a sibling sharing the start
        {"C:\\Windows\\system32\\kernel32.dll", RecordLine::File, false},
        {"D:\\Program Files\\" + kHyo + "\\a.txt", RecordLine::File, false},
        {kRoot + "..\\other.txt", RecordLine::File, false},
        {kRoot + "sub\\..\\..\\other.txt", RecordLine::File, false},
        {kRoot + "..", RecordLine::Folder, false},
        {kRoot + ".\\a.txt", RecordLine::File, false},
        {kRoot + "sub.\\a.txt", RecordLine::File, false},
        {kRoot + "sub \\a.txt", RecordLine::File, false},
        {kRoot + "a.txt.", RecordLine::File, false},
        {kRoot + "a.txt ", RecordLine::File, false},
        {kRoot + "a.txt:$DATA", RecordLine::File, false},
        {kRoot + "a\x01.txt", RecordLine::File, false},
        {"\\\\?\\" + kRoot + "a.txt", RecordLine::File, false},
        {"\\\\.\\" + kRoot + "a.txt", RecordLine::File, false},
        {"\\\\server\\share\\a.txt", RecordLine::File, false},
        {"\\Program Files\\" + kHyo + "\\a.txt", RecordLine::File, false},
        {"Program Files\\" + kHyo + "\\a.txt", RecordLine::File, false},
        {"a.txt", RecordLine::File, false},
        {"", RecordLine::File, false},
        {"", RecordLine::Folder, false},
        // Bytes are compared, as the installation wrote them.
        {"c:\\program files\\" + kHyo + "\\a.txt", RecordLine::File, false},
        {"C:/Program Files/" + kHyo + "/a.txt", RecordLine::File, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line + (c.kind == RecordLine::File ? " as a file" : " as a folder"));
        EXPECT_EQ(c.inside, LiesInsideRoot(kRoot, c.line, c.kind));
    }
}

TEST(RemovalScope, RootsOfEveryShape) {
    struct Case {
        std::string root;
        std::string line;
        RecordLine kind;
        bool inside;
    } cases[] = {
        {"C:\\", "C:\\a.txt", RecordLine::File, true},
        {"C:\\", "C:\\", RecordLine::Folder, true},
        {"C:\\", "D:\\a.txt", RecordLine::File, false},
        {"C:\\App/", "C:\\App/a.txt", RecordLine::File, true},
        {"C:\\App/", "C:\\App", RecordLine::Folder, true},
        // A root whose last character ends in the byte of '\' has no separator there.
        {"C:\\" + kSo, "C:\\" + kSo + "a.txt", RecordLine::File, false},
        {"", "C:\\a.txt", RecordLine::File, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root + " | " + c.line);
        EXPECT_EQ(c.inside, LiesInsideRoot(c.root, c.line, c.kind));
    }
}

}  // namespace
