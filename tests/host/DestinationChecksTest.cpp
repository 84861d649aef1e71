#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "install/DestinationChecks.h"
#include "tests/fakes/FakeSystem.h"

namespace {

std::string Spaces(size_t n) {
    return std::string(n, ' ');
}

TEST(DestinationChecks, FormatGroupedNumber) {
    struct Case {
        int64_t value;
        std::string text;
    } cases[] = {
        {0, Spaces(24) + "0"},
        {7, Spaces(24) + "7"},
        {999, Spaces(22) + "999"},
        {1000, Spaces(20) + "1,000"},
        {1234, Spaces(20) + "1,234"},
        {1234567, Spaces(16) + "1,234,567"},
        {123456789012, Spaces(10) + "123,456,789,012"},
        {INT64_MAX, "9,223,372,036,854,775,807"},
        {-1, Spaces(24) + "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.text, FormatGroupedNumber(c.value));
        EXPECT_EQ(25u, FormatGroupedNumber(c.value).size());
    }
}

TEST(DestinationChecks, IsValidInstallPath) {
    struct Case {
        std::string path;
        bool valid;
    } cases[] = {
        {"C:\\Program Files\\Foo", true},
        {"C:/Program Files/Foo", true},
        {"c:\\foo\\", true},
        {"C:\\", true},
        {"", true},
        {"\\Foo", true},
        {"Foo", true},
        {"C:\\Foo.1", false},  // no full stop anywhere
        {"C:Foo", false},      // no separator after the colon
        {"1:\\Foo", false},    // no letter before the colon
        {"C:\\\\Foo", false},  // double separator
        {"C:\\Foo/\\Bar", false},
        {"\\\\server\\share\\Foo", false},
        {"C:\\Foo|", false},
        {"C:\\a*", false},
        {"C:\\a?", false},  // also what a character outside the code page becomes
        {"C:\\\"a\"", false},
        {"C:\\<a>", false},
        {"C:\\a:b", false},
        {"::\\a", false},
        // Trail bytes 0x5C ('\') and 0x7C ('|') of double-byte characters are not
        // taken for what they look like.
        {"C:\\ソ\\Foo", true},
        {"C:\\ソ", true},
        {"C:\\ポ", true},
        {"C:\\表示\\データ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.valid, IsValidInstallPath(c.path));
    }
}

TEST(DestinationChecks, SizeCheckVerdicts) {
    constexpr int64_t kMiB = 1048576;
    struct Case {
        std::string path;
        int64_t total;
        int32_t state;
        bool red;
        std::string freeFigure;
    } cases[] = {
        {"C:\\Foo", kMiB, kSpaceEnough, false, "5,120"},          // C: has 5 MiB
        {"c:\\foo", kMiB, kSpaceEnough, false, "5,120"},          // lower-case letter
        {"D:\\Foo", kMiB, kSpaceEnough, false, "1,024"},          // exactly enough
        {"E:\\Foo", kMiB, kSpaceShort, true, "1,023"},            // one byte short
        {"F:\\Foo", kMiB, kSpaceNone, true, "0"},                 // a CD: nothing free
        {"F:\\Foo", 0, kSpaceEnough, false, "0"},                 // nothing to install
        {"Q:\\Foo", kMiB, kSpaceShort, true, "0"},                // no such drive: -1
        {"\\\\server\\share\\Foo", kMiB, kSpaceNone, true, "0"},  // network path
        {"\\Foo", kMiB, kSpaceNone, true, "0"},                   // no drive
        {"Foo", 1, kSpaceNone, true, "0"},
        {"", 1, kSpaceNone, true, "0"},
        {"1:\\Foo", 1, kSpaceNone, true, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.total));
        FakeSystem system;
        for (char drive : {'C', 'D', 'E', 'F'}) {
            system.AddDrive(drive);
        }
        system.freeBytes['C'] = 5 * kMiB;
        system.freeBytes['D'] = kMiB;
        system.freeBytes['E'] = kMiB - 1;
        system.freeBytes['F'] = 0;
        const DestinationSpace space = CheckDestinationSpace(system, c.path, c.total, false);
        EXPECT_EQ(c.state, space.SpaceState);
        EXPECT_EQ(c.red, space.Red);
        EXPECT_EQ("空き容量：  " + Spaces(25 - c.freeFigure.size()) + c.freeFigure + " KB",
                  space.FreeText);
    }
}

TEST(DestinationChecks, AsksForTheRootOfTheDrive) {
    FakeSystem system;
    system.AddDrive('D');
    CheckDestinationSpace(system, "d:\\Games\\Foo", 1, false);
    EXPECT_NE(
        system.operationLog.end(),
        std::find(system.operationLog.begin(), system.operationLog.end(), "DiskFreeBytes d:\\"));
}

TEST(DestinationChecks, FailedQueryShowsZeroFreeAndIsShort) {
    FakeSystem system;
    system.AddDrive('C');
    system.failIf = [](FakeOperation op, const std::string&) {
        return op == FakeOperation::DiskFreeBytes;
    };
    const DestinationSpace space = CheckDestinationSpace(system, "C:\\Foo", 1, false);
    EXPECT_EQ(kSpaceShort, space.SpaceState);
    EXPECT_TRUE(space.Red);
    EXPECT_EQ("空き容量：  " + Spaces(24) + "0 KB", space.FreeText);
}

TEST(DestinationChecks, UninstallerAddsThirteenKilobytesToTheShownNeedOnly) {
    FakeSystem system;
    system.AddDrive('C');
    system.freeBytes['C'] = 1048576;  // exactly TotalSize: enough, though 13 KB more are shown
    const DestinationSpace with = CheckDestinationSpace(system, "C:\\Foo", 1048576, true);
    EXPECT_EQ("必要容量：  " + Spaces(20) + "1,037 KB", with.NeedText);
    EXPECT_EQ(kSpaceEnough, with.SpaceState);
    EXPECT_FALSE(with.Red);
    const DestinationSpace without = CheckDestinationSpace(system, "C:\\Foo", 1048576, false);
    EXPECT_EQ("必要容量：  " + Spaces(20) + "1,024 KB", without.NeedText);
}

TEST(DestinationChecks, StartChecks) {
    const std::string space = "ディスクの空き容量が足りません.";
    const std::string drive = "書込み不可能なドライブか有効なドライブではありません.";
    const std::string path = "有効なパスではありません..";
    const std::string longest = "C:\\" + std::string(235, 'a');
    std::string wideLongest = "C:\\";
    for (int i = 0; i < 235; ++i) {
        wideLongest += "表";  // its second byte is that of a backslash
    }
    struct Case {
        int32_t state;
        std::string folder;
        std::string message;
    } cases[] = {
        {kSpaceEnough, "C:\\Program Files\\Foo", ""},
        {kSpaceEnough, "c:/foo", ""},
        {kSpaceEnough, "D:\\表", ""},
        {kSpaceEnough, "C:\\App\\", ""},
        {kSpaceEnough, "C:\\ソフト 1", ""},
        // A drive or share root would make the whole drive the installation's folder.
        {kSpaceEnough, "C:\\", path},
        {kSpaceEnough, "D:/", path},
        {kSpaceEnough, "\\\\server\\share\\", path},
        // The system drops a blank at a name's end: the record would name another folder.
        {kSpaceEnough, "C:\\App ", path},
        {kSpaceEnough, "C:\\App \\", path},
        {kSpaceEnough, "C:\\App \\Sub", path},
        // Space first, whatever the path.
        {kSpaceShort, "C:\\Foo", space},
        {kSpaceShort, "C:\\Foo.1", space},
        {kSpaceNone, "\\\\server\\share\\Foo", drive},
        {kSpaceNone, "C:\\Foo", drive},
        {kSpaceEnough, "C:\\Foo.1", path},
        {kSpaceEnough, "C:\\\\Foo", path},
        // Without a drive only an empty source passes the space check: still refused,
        // since an uninstallation could not find the folder again.
        {kSpaceEnough, "\\Foo", path},
        {kSpaceEnough, "Foo", path},
        {kSpaceEnough, "", path},
        // Room for "\\" and the longest uninstaller name, 20 characters, in 259; a
        // double-byte character counts once.
        {kSpaceEnough, longest, ""},
        {kSpaceEnough, longest + "\\", ""},
        {kSpaceEnough, longest + "x", path},
        {kSpaceEnough, wideLongest, ""},
        {kSpaceEnough, wideLongest + "表", path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.state) + " " + c.folder);
        EXPECT_EQ(c.message, CheckStartDestination(c.state, c.folder));
    }
}

}  // namespace
