#include <gtest/gtest.h>

#include "install/RegistryRecords.h"
#include "tests/fakes/FakeSystem.h"
#include "uninstall/StandAloneUninstall.h"

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

TEST(StandAloneUninstall, NoSettingsWithoutAnInstallation) {
    FakeSystem system;
    TSetupSettings settings;
    EXPECT_FALSE(LoadUninstallSettings(system, "abc", settings));
    system.SetValue(FakeSystem::Root::User, MakeProductKeyPath("abc"), "LogFile", "x");
    EXPECT_FALSE(LoadUninstallSettings(system, "abc", settings));  // no Path: not installed
}

}  // namespace
