#include <gtest/gtest.h>

#include "system/Folders.h"
#include "tests/fakes/FakeSystem.h"

namespace {

const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// A system whose shell answers every CSIDL through both of its functions, each
// with a path naming the function, so a result shows which one was asked.
FakeSystem ScriptedFolders(WindowsVersion version) {
    FakeSystem system;
    system.version = version;
    for (int csidl : SpecialFolderTable) {
        system.shellFolders[csidl] = "C:\\path" + std::to_string(csidl);
        system.shellLocations[csidl] = "C:\\location" + std::to_string(csidl);
    }
    system.SetValue(FakeSystem::Root::Machine, kCurrentVersion, "ProgramFilesDir",
                    "C:\\Registry Programs");
    return system;
}

TEST(Folders, WindowsVersionChoosesTheShellFunction) {
    struct Case {
        WindowsVersion version;
        int index;
        std::string expected;
    } cases[] = {
        {{5, 1}, 7, "C:\\path38"},  // XP: the shell for every folder
        {{5, 1}, 0, "C:\\path25"},
        {{4, 90}, 7, "C:\\path38"},             // Me
        {{4, 10}, 7, "C:\\Registry Programs"},  // 98: program files from the registry
        {{4, 10}, 1, "C:\\location2"},
        {{4, 0}, 9, "C:\\location28"},  // 95 / NT 4.0
        {{10, 0}, 10, ""},              // outside the table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version.major) + "." + std::to_string(c.version.minor) +
                     " index " + std::to_string(c.index));
        FakeSystem system = ScriptedFolders(c.version);
        EXPECT_EQ(c.expected, GetSpecialFolderPath(system, c.index));
    }
}

TEST(Folders, SystemFolderKinds) {
    FakeSystem system;
    system.windowsFolder = "E:\\WINNT";
    EXPECT_EQ("E:", GetSystemFolderPath(system, 0));
    EXPECT_EQ("E:\\WINNT", GetSystemFolderPath(system, 1));
    EXPECT_EQ("C:\\Windows\\system32", GetSystemFolderPath(system, 2));
    EXPECT_EQ("C:\\Temp\\", GetSystemFolderPath(system, 3));
    system.windowsFolder = "";
    EXPECT_EQ("", GetSystemFolderPath(system, 0));
}

TEST(Folders, BaseFolderByIdentifier) {
    struct Case {
        int id;
        std::string expected;
    } cases[] = {
        {0, "C:\\path38\\"},
        {1, "C:\\"},
        {2, "C:\\Windows\\"},
        {3, "C:\\Windows\\system32\\"},
        {4, "C:\\path5\\"},
        {5, "C:\\path25\\"},
        {6, "C:\\path26\\"},
        {7, "C:\\path28\\"},
        {8, "\\"},
        {-1, "\\"},
        {1000, "\\"},
    };
    FakeSystem system = ScriptedFolders({6, 1});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.expected, GetBaseFolder(system, c.id));
    }
}

TEST(Folders, FailedQueryGivesTheRootOfTheCurrentDrive) {
    FakeSystem system;  // no shell folders scripted
    EXPECT_EQ("\\", GetBaseFolder(system, 0));
    system.shellFolders[0x26] = "C:\\Program Files\\";
    EXPECT_EQ("C:\\Program Files\\", GetBaseFolder(system, 0));  // no doubled separator
}

}  // namespace
