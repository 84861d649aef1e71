#include <gtest/gtest.h>

#include "install/DestinationChecks.h"
#include "system/Folders.h"
#include "system/Paths.h"
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

// A folder the system names in UTF-16, held as code page 932 text: exactly, by its
// short form, or refused by the destination dialog; never another folder's name.
TEST(Folders, HeldPathNamesTheSameFolderOrNone) {
    const std::u16string documents = u"C:\\Users\\Jürgen\\Documents";
    const std::u16string appData = u"C:\\Users\\Łukasz\\AppData\\Roaming";
    const std::u16string japanese = u"C:\\Users\\太郎\\Documents";
    struct Case {
        const char* what;
        std::u16string path;
        std::u16string shortPath;  // none when empty
        std::string expected;
        bool refused;  // by the destination dialog, as the base of a destination
    } cases[] = {
        {"Japanese, as it is though it has a short form", japanese, u"C:\\Users\\72C6~1\\DOCUME~1",
         "C:\\Users\\太郎\\Documents", false},
        {"u with diaeresis, by its short form", documents, u"C:\\Users\\JRGEN~1\\DOCUME~1",
         "C:\\Users\\JRGEN~1\\DOCUME~1", false},
        {"L with stroke, by its short form", appData, u"C:\\Users\\UKASZ~1\\AppData\\Roaming",
         "C:\\Users\\UKASZ~1\\AppData\\Roaming", false},
        {"no short form", documents, u"", "C:\\Users\\J?rgen\\Documents", true},
        {"a short form the code page cannot write either", appData,
         u"C:\\Users\\ŁUKASZ~1\\AppData\\Roaming", "C:\\Users\\?ukasz\\AppData\\Roaming",
         true},
        {"outside the basic plane", u"C:\\\U0001F600", u"", "C:\\?", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem system;
        if (!c.shortPath.empty()) {
            system.shortPaths[c.path] = c.shortPath;
        }
        const std::string held = HeldPath(system, c.path);
        EXPECT_EQ(c.expected, held);
        const std::string refusal =
            CheckStartDestination(kSpaceEnough, AddTrailingSeparator(held) + "Sub");
        EXPECT_EQ(c.refused, !refusal.empty()) << refusal;
    }
}

}  // namespace
