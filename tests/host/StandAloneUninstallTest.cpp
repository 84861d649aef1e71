#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/RegistryRecords.h"
#include "tests/fakes/FakeSystem.h"
#include "tests/fakes/ScriptedUi.h"
#include "uninstall/StandAloneUninstall.h"
#include "uninstall/UninstallEngine.h"

namespace {

TEST(StandAloneUninstall, EntryKeyNameIsTheTextAfterTheLastMark) {
    struct Case {
        std::string commandLine;
        bool found;
        std::string entry;
    } cases[] = {
        {"\"C:\\Program Files\\Foo\\_uninst.exe\" @GBGCGD", true, "GBGCGD"},
        {"C:\\Foo\\_uninst.exe @GBGCGD", true, "GBGCGD"},
        {"\"C:\\a @b\\_uninst.exe\" @GBGC", true, "GBGC"},  // a mark inside the path
        {"C:\\Foo\\_uninst.exe @GBGC  ", true, "GBGC"},
        {"C:\\Foo\\_uninst.exe", false, ""},
        {"C:\\Foo\\_uninst.exe GBGC", false, ""},
        {"C:\\Foo\\_uninst.exe @", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        std::string entry;
        EXPECT_EQ(c.found, ExtractEntryKeyName(c.commandLine, entry));
        if (c.found) {
            EXPECT_EQ(c.entry, entry);
        }
    }
}

TEST(StandAloneUninstall, DecodingInvertsTheEncoding) {
    for (const std::string& name : {std::string("abc"), std::string("ソフト"),
                                    std::string("表\\示 1.0"), std::string("\x01\xFF")}) {
        SCOPED_TRACE(name);
        std::string decoded;
        ASSERT_TRUE(DecodeKeyName(EncodeKeyName(name), decoded));
        EXPECT_EQ(name, decoded);
    }
}

TEST(StandAloneUninstall, MalformedNamesAreRefused) {
    for (const char* entry : {"", "GBG", "GBGQ", "gbgc", "GB GC", "GB@C"}) {
        SCOPED_TRACE(entry);
        std::string name = "unchanged";
        EXPECT_FALSE(DecodeKeyName(entry, name));
        EXPECT_EQ("unchanged", name);
    }
}

TEST(StandAloneUninstall, SettingsComeFromTheProductKey) {
    FakeSystem system;
    const std::string key = MakeProductKeyPath("ソフト");
    const std::pair<const char*, const char*> values[] = {
        {"Path", "C:\\App\\app.exe"},       {"LogFile", "C:\\App\\_setup.log"},
        {"ShortcutDesktop", "0"},           {"ShortcutPrograms", "1"},
        {"ShortcutFolder", "会社\\ソフト"}, {"ExShortcutDesktop", "1"},
        {"ExShortcutPrograms", "0"},        {"ExShortcutName", "説明書"},
    };
    for (const auto& [name, text] : values) {
        system.SetValue(FakeSystem::Root::User, key, name, text);
    }
    TSetupSettings settings;
    ASSERT_TRUE(LoadUninstallSettings(system, "ソフト", settings));
    EXPECT_EQ("ソフト", settings.SoftName);
    EXPECT_FALSE(settings.ShortcutDesktop);
    EXPECT_TRUE(settings.ShortcutPrograms);
    EXPECT_EQ("会社\\ソフト", settings.ShortcutFolder);
    EXPECT_TRUE(settings.ExShortcutDesktop);
    EXPECT_FALSE(settings.ExShortcutPrograms);
    EXPECT_EQ("説明書", settings.ExShortcutName);
    EXPECT_TRUE(settings.StandAloneUninstUse);
}

// Product-key values that would lead a shortcut's deletion out of the desktop or the
// programs menu turn off the shortcuts they are part of; the others still go.
TEST(StandAloneUninstall, ShortcutValuesThatLeaveTheirFolderAreNotFollowed) {
    const std::string desktop = "C:\\Users\\Public\\Desktop";
    const std::string programs = "C:\\Users\\me\\Start Menu\\Programs";
    struct Case {
        std::string shortcutFolder;
        std::string exShortcutName;
        std::string outside;  // what the deletion would reach without the rule; stays
        std::vector<std::string> gone;
    } cases[] = {
        {"..\\..\\..\\..\\..\\Windows",
         "説明書",
         "C:\\Windows\\ソフト.lnk",
         {desktop + "\\ソフト.lnk", desktop + "\\説明書.lnk"}},
        {"会社\\..\\..\\Startup",
         "説明書",
         programs + "\\..\\Startup\\ソフト.lnk",
         {desktop + "\\ソフト.lnk", desktop + "\\説明書.lnk"}},
        {"会社",
         "..\\..\\..\\..\\Windows\\system32\\drivers\\etc\\hosts",
         "C:\\Windows\\system32\\drivers\\etc\\hosts.lnk",
         {desktop + "\\ソフト.lnk", programs + "\\会社\\ソフト.lnk"}},
        {"会社",
         "..\\..\\Private\\notes",
         "C:\\Users\\Private\\notes.lnk",
         {desktop + "\\ソフト.lnk", programs + "\\会社\\ソフト.lnk"}},
        {"会社",
         "説明\n書",
         desktop + "\\説明\n書.lnk",
         {desktop + "\\ソフト.lnk", programs + "\\会社\\ソフト.lnk"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shortcutFolder + " | " + c.exShortcutName);
        FakeSystem system;
        system.shellFolders[0x19] = desktop;
        system.shellFolders[0x02] = programs;
        const std::string key = MakeProductKeyPath("ソフト");
        const std::pair<const char*, std::string> values[] = {
            {"Path", "C:\\App\\app.exe"},
            {"LogFile", ""},
            {"ShortcutDesktop", "1"},
            {"ShortcutPrograms", "1"},
            {"ShortcutFolder", c.shortcutFolder},
            {"ExShortcutDesktop", "1"},
            {"ExShortcutPrograms", "1"},
            {"ExShortcutName", c.exShortcutName},
        };
        for (const auto& [name, text] : values) {
            system.SetValue(FakeSystem::Root::User, key, name, text);
        }
        for (const std::string& link : c.gone) {
            system.AddFile(link, "LNK");
        }
        system.AddFile(c.outside, "not a shortcut of ours");
        TSetupSettings settings;
        ASSERT_TRUE(LoadUninstallSettings(system, "ソフト", settings));
        ScriptedUi ui;
        ui.answers = {true, true};  // no record: shortcuts and registry only
        bool cancel = false;
        RunUninstall(cancel, settings, system, ui);
        EXPECT_EQ(MessageEvent("成功", MessageButtons::Ok, "アンインストールが正常に終了しました."),
                  ui.Messages().back());
        EXPECT_EQ("not a shortcut of ours", system.FileData(c.outside));
        for (const std::string& link : c.gone) {
            EXPECT_FALSE(system.HasFile(link)) << link;
        }
    }
}

TEST(StandAloneUninstall, NoSettingsWithoutAnInstallation) {
    FakeSystem system;
    TSetupSettings settings;
    EXPECT_FALSE(LoadUninstallSettings(system, "abc", settings));
    system.SetValue(FakeSystem::Root::User, MakeProductKeyPath("abc"), "LogFile", "x");
    EXPECT_FALSE(LoadUninstallSettings(system, "abc", settings));  // no Path: not installed
}

}  // namespace
