#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

#include "install/Shortcuts.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedUi.h"

namespace {

const std::string kDesktop = "C:\\Users\\Public\\Desktop";
const std::string kPrograms = "C:\\Users\\me\\Start Menu\\Programs";
const std::string kFailed =
    MessageEvent("エラー", MessageButtons::Ok, "ショートカットの作成に失敗しました.");

// The all-users desktop (CSIDL 0x19) and the programs menu (0x02).
void AddLocations(FakeSystem& system) {
    system.shellFolders[0x19] = kDesktop;
    system.shellFolders[0x02] = kPrograms;
    system.AddFolder(kDesktop);
    system.AddFolder(kPrograms);
}

TSetupSettings AllShortcuts() {
    TSetupSettings settings;
    settings.SoftName = "ソフト";
    settings.ExShortcutName = "説明書";
    settings.ShortcutFolder = "A\\B";
    settings.ShortcutDesktop = true;
    settings.ExShortcutDesktop = true;
    settings.ShortcutPrograms = true;
    settings.ExShortcutPrograms = true;
    return settings;
}

class ShortcutsTest : public ::testing::Test {
protected:
    void SetUp() override { AddLocations(system); }
    void CreateAll() {
        CreateShortcuts(system, ui, settings, kDesktopLocation, "C:\\App\\app.exe",
                        "C:\\App\\doc\\readme.txt");
        CreateShortcuts(system, ui, settings, kProgramsMenuLocation, "C:\\App\\app.exe",
                        "C:\\App\\doc\\readme.txt");
    }
    bool Logged(const std::string& operation) const {
        return std::count(system.operationLog.begin(), system.operationLog.end(), operation) > 0;
    }

    FakeSystem system;
    ScriptedUi ui;
    TSetupSettings settings = AllShortcuts();
};

TEST_F(ShortcutsTest, BuildShortcutPathJoinsFolderSubFolderAndName) {
    struct Case {
        std::string locationFolder;
        int location;
        std::string subFolder;
        std::string name;
        std::string linkPath;
        std::string linkFolder;
    } cases[] = {
        {kDesktop, 0, "", "App", kDesktop + "\\App.lnk", kDesktop},
        {kPrograms, 1, "", "App", kPrograms + "\\App.lnk", kPrograms},
        {kPrograms, 1, "Sub", "App", kPrograms + "\\Sub\\App.lnk", kPrograms + "\\Sub"},
        {kPrograms, 1, "Sub\\", "App", kPrograms + "\\Sub\\App.lnk", kPrograms + "\\Sub"},
        {kPrograms, 1, "Sub/", "App", kPrograms + "\\Sub/App.lnk", kPrograms + "\\Sub"},
        {kPrograms, 1, "A\\B", "App", kPrograms + "\\A\\B\\App.lnk", kPrograms + "\\A\\B"},
        // The last byte of "ソ" is 0x5C, and still a separator is appended.
        {kPrograms, 1, "ソ", "App", kPrograms + "\\ソ\\App.lnk", kPrograms + "\\ソ"},
        {kPrograms, 1, "", "a b.c", kPrograms + "\\a b.c.lnk", kPrograms},
        {"C:\\Desk\\", 0, "", "App", "C:\\Desk\\App.lnk", "C:\\Desk"},
        {"D:\\", 0, "", "App", "D:\\App.lnk", "D:\\"},  // a drive root keeps its separator
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.linkPath);
        system.shellFolders[c.location == 0 ? 0x19 : 0x02] = c.locationFolder;
        std::string linkPath;
        std::string linkFolder;
        ASSERT_TRUE(
            BuildShortcutPath(system, c.location, c.subFolder, c.name, linkPath, linkFolder));
        EXPECT_EQ(linkPath, c.linkPath);
        EXPECT_EQ(linkFolder, c.linkFolder);
    }
}

TEST_F(ShortcutsTest, BuildShortcutPathFailsWithoutTheLocationFolder) {
    system.shellFolders.erase(0x19);
    std::string linkPath = "unchanged";
    std::string linkFolder = "unchanged";
    EXPECT_FALSE(BuildShortcutPath(system, kDesktopLocation, "", "App", linkPath, linkFolder));
    EXPECT_FALSE(BuildShortcutPath(system, 10, "", "App", linkPath, linkFolder));
    EXPECT_EQ(linkPath, "unchanged");
    EXPECT_EQ(linkFolder, "unchanged");
}

TEST_F(ShortcutsTest, CreateShortcutWritesTheLinkWithTheTargetsFolder) {
    struct Case {
        std::string target;
        std::string workingFolder;
    } cases[] = {
        {"C:\\App\\app.exe", "C:\\App"},
        {"C:\\App/app.exe", "C:\\App"},
        {"C:\\ソ\\app.exe", "C:\\ソ"},
        {"C:\\app.exe", "C:\\"},
        {"app.exe", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        ASSERT_TRUE(CreateShortcut(system, ui, c.target, kProgramsMenuLocation, "A\\B", "App"));
        const FakeSystem::ShellLink& link = system.links[kPrograms + "\\A\\B\\App.lnk"];
        EXPECT_EQ(link.target, c.target);
        EXPECT_EQ(link.arguments, "");
        EXPECT_EQ(link.workingFolder, c.workingFolder);
        EXPECT_EQ(link.showCommand, 10);
    }
    EXPECT_TRUE(system.HasFolder(kPrograms + "\\A\\B"));
    EXPECT_TRUE(ui.events.empty());
}

TEST(Shortcuts, EveryFailureShowsTheMessageOnce) {
    struct Case {
        std::string name;
        std::function<void(FakeSystem&)> fault;
    } cases[] = {
        {"location unknown", [](FakeSystem& s) { s.shellFolders.erase(0x02); }},
        {"folder cannot be created",
         [](FakeSystem& s) {
             s.failIf = [](FakeOperation op, const std::string&) {
                 return op == FakeOperation::CreateFolderTree;
             };
         }},
        {"link cannot be written",
         [](FakeSystem& s) {
             s.failIf = [](FakeOperation op, const std::string&) {
                 return op == FakeOperation::WriteShellLink;
             };
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        AddLocations(system);
        c.fault(system);
        ScriptedUi ui;
        ui.answers = {true};
        EXPECT_FALSE(
            CreateShortcut(system, ui, "C:\\App\\app.exe", kProgramsMenuLocation, "Sub", "App"));
        EXPECT_EQ(ui.events, std::vector<std::string>{kFailed});
        EXPECT_TRUE(system.links.empty());
    }
}

TEST_F(ShortcutsTest, CreatesTheWantedShortcutsOfEachLocation) {
    CreateAll();
    EXPECT_TRUE(ui.events.empty());
    ASSERT_EQ(system.links.size(), 4u);
    const std::pair<std::string, std::string> expected[] = {
        {kDesktop + "\\ソフト.lnk", "C:\\App\\app.exe"},
        {kDesktop + "\\説明書.lnk", "C:\\App\\doc\\readme.txt"},
        {kPrograms + "\\A\\B\\ソフト.lnk", "C:\\App\\app.exe"},
        {kPrograms + "\\A\\B\\説明書.lnk", "C:\\App\\doc\\readme.txt"},
    };
    for (const auto& [linkPath, target] : expected) {
        SCOPED_TRACE(linkPath);
        ASSERT_EQ(system.links.count(linkPath), 1u);
        EXPECT_EQ(system.links[linkPath].target, target);
    }
    // The program's shortcut first, in each location.
    const std::vector<std::string> order = {
        "WriteShellLink " + kDesktop + "\\ソフト.lnk",
        "WriteShellLink " + kDesktop + "\\説明書.lnk",
        "WriteShellLink " + kPrograms + "\\A\\B\\ソフト.lnk",
        "WriteShellLink " + kPrograms + "\\A\\B\\説明書.lnk",
    };
    std::vector<std::string> written;
    std::copy_if(system.operationLog.begin(), system.operationLog.end(),
                 std::back_inserter(written),
                 [](const std::string& op) { return op.compare(0, 15, "WriteShellLink ") == 0; });
    EXPECT_EQ(written, order);
}

TEST_F(ShortcutsTest, OnlyFlaggedShortcutsAreMade) {
    settings.ShortcutDesktop = false;
    settings.ExShortcutDesktop = true;
    settings.ShortcutPrograms = true;
    settings.ExShortcutPrograms = false;
    CreateAll();
    EXPECT_EQ(system.links.size(), 2u);
    EXPECT_EQ(system.links.count(kDesktop + "\\説明書.lnk"), 1u);
    EXPECT_EQ(system.links.count(kPrograms + "\\A\\B\\ソフト.lnk"), 1u);

    EXPECT_TRUE(AnyShortcutWanted(settings));
    settings.ExShortcutDesktop = false;
    settings.ShortcutPrograms = false;
    EXPECT_FALSE(AnyShortcutWanted(settings));
}

TEST_F(ShortcutsTest, AnUnknownDesktopFailsEachDesktopShortcutOnceAndTheOthersAreMade) {
    system.shellFolders.erase(0x19);
    ui.answers = {true, true};
    CreateAll();
    EXPECT_EQ(ui.events, (std::vector<std::string>{kFailed, kFailed}));
    EXPECT_EQ(system.links.size(), 2u);
    EXPECT_EQ(system.links.count(kPrograms + "\\A\\B\\ソフト.lnk"), 1u);
    EXPECT_EQ(system.links.count(kPrograms + "\\A\\B\\説明書.lnk"), 1u);
}

TEST_F(ShortcutsTest, DeletionRemovesTheShortcutsAndOnlyTheLastFolderLevel) {
    CreateAll();
    DeleteShortcuts(system, settings, kDesktopLocation);
    EXPECT_FALSE(system.HasFile(kDesktop + "\\ソフト.lnk"));
    EXPECT_FALSE(system.HasFile(kDesktop + "\\説明書.lnk"));
    EXPECT_TRUE(system.HasFolder(kDesktop));
    EXPECT_TRUE(system.HasFile(kPrograms + "\\A\\B\\ソフト.lnk"));

    DeleteShortcuts(system, settings, kProgramsMenuLocation);
    EXPECT_FALSE(system.HasFile(kPrograms + "\\A\\B\\ソフト.lnk"));
    EXPECT_FALSE(system.HasFile(kPrograms + "\\A\\B\\説明書.lnk"));
    EXPECT_FALSE(system.HasFolder(kPrograms + "\\A\\B"));
    EXPECT_TRUE(system.HasFolder(kPrograms + "\\A"));
    EXPECT_TRUE(ui.events.empty());
}

TEST(Shortcuts, DeletionFollowsTheCurrentSettings) {
    struct Case {
        std::string name;
        bool programMade;
        bool shortcutPrograms;
        bool exShortcutPrograms;
        std::string shortcutFolder;
        bool otherFileInFolder;
        bool programLinkLeft;
        bool extraLinkLeft;
        bool folderRemoved;
    } cases[] = {
        {"both", true, true, true, "A\\B", false, false, false, true},
        {"program flag turned off", true, false, true, "A\\B", false, true, false, false},
        {"only the extra one", false, false, true, "A\\B", false, false, false, true},
        {"folder still holds a file", true, true, true, "A\\B", true, false, false, false},
        {"no flag", true, false, false, "A\\B", false, true, true, false},
        {"no sub folder", true, true, true, "", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        AddLocations(system);
        ScriptedUi ui;
        TSetupSettings settings = AllShortcuts();
        settings.ShortcutFolder = c.shortcutFolder;
        settings.ShortcutPrograms = c.programMade;
        CreateShortcuts(system, ui, settings, kProgramsMenuLocation, "C:\\App\\app.exe",
                        "C:\\App\\readme.txt");
        const std::string folder = kPrograms + (c.shortcutFolder.empty() ? "" : "\\A\\B");
        if (c.otherFileInFolder) {
            system.AddFile(folder + "\\other.lnk");
        }
        settings.ShortcutPrograms = c.shortcutPrograms;
        settings.ExShortcutPrograms = c.exShortcutPrograms;
        system.operationLog.clear();

        DeleteShortcuts(system, settings, kProgramsMenuLocation);
        EXPECT_EQ(system.HasFile(folder + "\\ソフト.lnk"), c.programLinkLeft);
        EXPECT_EQ(system.HasFile(folder + "\\説明書.lnk"), c.extraLinkLeft);
        EXPECT_EQ(system.HasFolder(folder), !c.folderRemoved);
        EXPECT_TRUE(system.HasFolder(kPrograms + "\\A") || c.shortcutFolder.empty());
        EXPECT_TRUE(system.HasFolder(kPrograms));
        // No folder removal is even tried without a sub folder or a built path.
        if (c.shortcutFolder.empty() || (!c.shortcutPrograms && !c.exShortcutPrograms)) {
            for (const std::string& op : system.operationLog) {
                EXPECT_NE(op.compare(0, 17, "RemoveEmptyFolder"), 0) << op;
            }
        }
    }
}

TEST_F(ShortcutsTest, DeletionWithoutTheLocationFolderDoesNothing) {
    CreateAll();
    system.shellFolders.erase(0x02);
    system.operationLog.clear();
    DeleteShortcuts(system, settings, kProgramsMenuLocation);
    EXPECT_TRUE(system.HasFile(kPrograms + "\\A\\B\\ソフト.lnk"));
    EXPECT_FALSE(Logged("RemoveEmptyFolder " + kPrograms + "\\A\\B"));
    for (const std::string& op : system.operationLog) {
        EXPECT_EQ(op.compare(0, 16, "ShellFolderPath "), 0) << op;
    }
}

// One rule on both sides: what the installation makes, the uninstallation removes; a
// value that would lead out of the desktop or the programs menu gets the failure
// message, makes nothing, and deletes nothing there.
TEST(Shortcuts, ValuesLeadingOutAreRefusedBothWays) {
    struct Case {
        std::string shortcutFolder;
        std::string softName;
        std::string folder;  // where the program's shortcut goes; empty when refused
    } cases[] = {
        {"A\\B", "ソフト", kPrograms + "\\A\\B"},
        // A separator in front names the same folder under the programs menu.
        {"\\Vendor\\App", "ソフト", kPrograms + "\\Vendor\\App"},
        {"/Vendor/App/", "ソフト", kPrograms + "\\Vendor\\App"},
        {"\\", "ソフト", kPrograms},
        {"表\\ソ", "..", kPrograms + "\\表\\ソ"},  // a name: "...lnk"
        {"..\\Startup", "ソフト", ""},
        {"\\..\\Startup", "ソフト", ""},
        {"A\\..\\..\\Startup", "ソフト", ""},
        {"C:\\Windows", "ソフト", ""},
        {"C:Windows", "ソフト", ""},
        {"\\\\server\\share", "ソフト", ""},
        {"\\\\?\\C:\\Windows", "ソフト", ""},
        // A name that cannot be a shortcut file's.
        {"A", "AC/DC", ""},
        {"A", "..\\..\\x", ""},
        {"A", "a\tb", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shortcutFolder + " | " + c.softName);
        FakeSystem system;
        AddLocations(system);
        // What a path out of the programs menu would reach, made by someone else.
        for (const std::string& other :
             {std::string("C:\\Users\\me\\Start Menu\\Startup\\ソフト.lnk"),
              std::string("C:\\Windows\\ソフト.lnk"), kPrograms + "\\A\\AC\\DC.lnk"}) {
            system.AddFile(other, "not ours");
        }
        const std::vector<std::string> before = system.Tree();
        ScriptedUi ui;
        ui.answers = {true};
        TSetupSettings settings;
        settings.SoftName = c.softName;
        settings.ShortcutFolder = c.shortcutFolder;
        settings.ShortcutPrograms = true;
        CreateShortcuts(system, ui, settings, kProgramsMenuLocation, "C:\\App\\app.exe", "");
        if (c.folder.empty()) {
            EXPECT_EQ(ui.events, std::vector<std::string>{kFailed});
            EXPECT_TRUE(system.links.empty());
            EXPECT_EQ(before, system.Tree());
        } else {
            EXPECT_TRUE(ui.events.empty());
            EXPECT_TRUE(system.HasFile(c.folder + "\\" + c.softName + ".lnk"));
        }
        DeleteShortcuts(system, settings, kProgramsMenuLocation);
        if (c.folder.empty()) {
            EXPECT_EQ(before, system.Tree());
        } else {
            // The shortcut and its innermost folder, never the programs menu itself.
            EXPECT_FALSE(system.HasFile(c.folder + "\\" + c.softName + ".lnk"));
            EXPECT_EQ(c.folder != kPrograms, !system.HasFolder(c.folder));
            EXPECT_TRUE(system.HasFolder(kPrograms));
        }
    }
}

}  // namespace
