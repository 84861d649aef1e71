#include <gtest/gtest.h>

#include "install/RegistryRecords.h"
#include "tests/fakes/FakeSystem.h"

namespace {

using Root = FakeSystem::Root;

const char kProductKey[] = "Software\\Quillfen\\SolvanInstallerMaker\\GBGCGD";  // "abc"
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\GBGCGD";

TSetupSettings Settings() {
    TSetupSettings settings;
    settings.SoftName = "abc";
    settings.ShortcutDesktop = true;
    settings.ShortcutPrograms = false;
    settings.ShortcutFolder = "ソフト\\App";
    settings.ExShortcutDesktop = false;
    settings.ExShortcutPrograms = true;
    settings.ExShortcutName = "説明書";
    return settings;
}

TEST(RegistryRecords, EncodeKeyNameGivesTwoLettersPerByte) {
    struct Case {
        std::string text;
        std::string encoded;
    } cases[] = {
        {"", ""},
        {"abc", "GBGCGD"},
        {"ABC", "EBECED"},  // letter case makes another key
        {std::string("\0\xFF", 2), "AAPP"},
        {"ソ", "IDFM"},  // 0x83 0x5C
        {"a b", "GBCAGC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoded);
        EXPECT_EQ(EncodeKeyName(c.text), c.encoded);
    }
}

TEST(RegistryRecords, KeyPathsAndTheUninstallCommand) {
    EXPECT_EQ(MakeProductKeyPath("abc"), kProductKey);
    EXPECT_EQ(UninstallKeyPath("abc"), kUninstallKey);
    // Quoted, so that a path with blanks cannot start a program named like its first word.
    EXPECT_EQ(MakeUninstallCommand("C:\\Program Files\\Foo\\_uninst.exe", "GBGCGD"),
              "\"C:\\Program Files\\Foo\\_uninst.exe\" @GBGCGD");
}

TEST(RegistryRecords, ReadInstalledPathReadsPathOfTheProductKey) {
    struct Case {
        std::string name;
        bool write;
        bool isString;
        std::string expected;
    } cases[] = {
        {"installed", true, true, "C:\\App\\app.exe"},
        {"not installed", false, true, ""},
        {"not a string", true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        system.AddKey(Root::User, kProductKey);
        if (c.write) {
            system.SetValue(Root::User, kProductKey, "Path", "C:\\App\\app.exe", c.isString);
        }
        EXPECT_EQ(ReadInstalledPath(system, "abc"), c.expected);
    }
    FakeSystem noKey;
    EXPECT_EQ(ReadInstalledPath(noKey, "abc"), "");
}

const std::vector<std::string> kProductValueNames = {"LogFile",
                                                     "Path",
                                                     "ShortcutDesktop",
                                                     "ShortcutPrograms",
                                                     "ShortcutFolder",
                                                     "ExShortcutDesktop",
                                                     "ExShortcutPrograms",
                                                     "ExShortcutName"};
const std::vector<std::string> kUninstallValueNames = {"DisplayName", "DisplayIcon",
                                                       "UninstallString"};

TEST(RegistryRecords, WritesTheEightProductValuesInOrderAsStrings) {
    FakeSystem system;
    ASSERT_TRUE(
        WriteProductKeyValues(system, Settings(), "C:\\App\\_setup.log", "C:\\App\\app.exe"));
    EXPECT_EQ(system.ValueNames(Root::User, kProductKey), kProductValueNames);
    const std::string expected[] = {
        "C:\\App\\_setup.log", "C:\\App\\app.exe", "1", "0", "ソフト\\App", "0", "1", "説明書"};
    for (size_t i = 0; i < kProductValueNames.size(); ++i) {
        SCOPED_TRACE(kProductValueNames[i]);
        // Read through the system: a value of another type would give the default.
        EXPECT_EQ(system.ReadUserString(kProductKey, kProductValueNames[i], "not a string"),
                  expected[i]);
    }
    EXPECT_TRUE(system.Keys(Root::Machine).empty());
}

TEST(RegistryRecords, WritesTheUninstallEntryInOrder) {
    FakeSystem system;
    ASSERT_TRUE(WriteUninstallEntry(system, Settings(), "C:\\App\\app.exe",
                                    "\"C:\\App\\_uninst.exe\" @GBGCGD"));
    EXPECT_EQ(system.ValueNames(Root::Machine, kUninstallKey), kUninstallValueNames);
    EXPECT_EQ(system.ReadMachineString(kUninstallKey, "DisplayName", "-"), "abc");
    EXPECT_EQ(system.ReadMachineString(kUninstallKey, "DisplayIcon", "-"), "C:\\App\\app.exe");
    EXPECT_EQ(system.ReadMachineString(kUninstallKey, "UninstallString", "-"),
              "\"C:\\App\\_uninst.exe\" @GBGCGD");
    EXPECT_TRUE(system.Keys(Root::User).empty());
}

TEST(RegistryRecords, AWriteFailureStopsAtOnceAndKeepsTheEarlierValues) {
    struct Case {
        bool product;
        const std::vector<std::string>* names;
    } kinds[] = {{true, &kProductValueNames}, {false, &kUninstallValueNames}};
    for (const auto& kind : kinds) {
        for (size_t failing = 0; failing < kind.names->size(); ++failing) {
            const std::string failingName = (*kind.names)[failing];
            SCOPED_TRACE(failingName);
            FakeSystem system;
            system.failIf = [&failingName](FakeOperation op, const std::string& path) {
                return (op == FakeOperation::WriteUserString ||
                        op == FakeOperation::WriteMachineString) &&
                       path.size() > failingName.size() &&
                       path.compare(path.size() - failingName.size() - 1, std::string::npos,
                                    "\\" + failingName) == 0;
            };
            const bool written =
                kind.product ? WriteProductKeyValues(system, Settings(), "C:\\App\\_setup.log",
                                                     "C:\\App\\app.exe")
                             : WriteUninstallEntry(system, Settings(), "C:\\App\\app.exe", "cmd");
            EXPECT_FALSE(written);
            const std::vector<std::string> before(kind.names->begin(),
                                                  kind.names->begin() + failing);
            EXPECT_EQ(system.ValueNames(kind.product ? Root::User : Root::Machine,
                                        kind.product ? kProductKey : kUninstallKey),
                      before);
            // Nothing is tried after the failing write.
            EXPECT_EQ(system.operationCount, static_cast<int>(failing) + 1);
        }
    }
}

TEST(RegistryRecords, ANameTooLongForAKeyFailsToWrite) {
    FakeSystem system;
    TSetupSettings settings = Settings();
    settings.SoftName = std::string(127, 'x');
    EXPECT_TRUE(WriteProductKeyValues(system, settings, "r", "p"));
    settings.SoftName = std::string(128, 'x');
    EXPECT_FALSE(WriteProductKeyValues(system, settings, "r", "p"));
}

TEST(RegistryRecords, DeletionRemovesTheProductKeyAndTheUninstallEntry) {
    struct Case {
        std::string name;
        bool standAloneUninstUse;
        bool productKeyExists;
        bool result;
        bool productKeyLeft;
        bool uninstallKeyLeft;
    } cases[] = {
        {"with uninstaller", true, true, true, false, false},
        {"without uninstaller", false, true, true, false, true},
        {"product key missing", true, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSystem system;
        TSetupSettings settings = Settings();
        settings.StandAloneUninstUse = c.standAloneUninstUse;
        if (c.productKeyExists) {
            ASSERT_TRUE(WriteProductKeyValues(system, settings, "r", "p"));
            system.AddKey(Root::User, std::string(kProductKey) + "\\Sub");
        }
        ASSERT_TRUE(WriteUninstallEntry(system, settings, "p", "cmd"));

        EXPECT_EQ(DeleteRegistryRecords(system, settings), c.result);
        EXPECT_EQ(system.HasKey(Root::User, kProductKey), c.productKeyLeft);
        EXPECT_EQ(system.HasKey(Root::Machine, kUninstallKey), c.uninstallKeyLeft);
        // The parent keys stay.
        EXPECT_TRUE(system.HasKey(Root::Machine,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
        if (c.productKeyExists) {
            EXPECT_TRUE(system.HasKey(Root::User, "Software\\Quillfen\\SolvanInstallerMaker"));
        }
    }
}

TEST(RegistryRecords, AFailedUninstallEntryDeletionIsIgnored) {
    FakeSystem system;
    TSetupSettings settings = Settings();
    ASSERT_TRUE(WriteProductKeyValues(system, settings, "r", "p"));
    system.failIf = [](FakeOperation op, const std::string&) {
        return op == FakeOperation::DeleteMachineKey;
    };
    EXPECT_TRUE(DeleteRegistryRecords(system, settings));
    EXPECT_FALSE(system.HasKey(Root::User, kProductKey));
}

}  // namespace

// Without a name (a settings file that did not identify itself) the key paths are
// the parents of every product's keys: nothing may be written there or deleted.
TEST(RegistryRecords, AnEmptyNameNeverTouchesTheParentKeys) {
    FakeSystem system;
    TSetupSettings other = Settings();
    ASSERT_TRUE(WriteProductKeyValues(system, other, "r", "p"));
    ASSERT_TRUE(WriteUninstallEntry(system, other, "p", "cmd"));
    const std::vector<std::string> userKeys = system.Keys(Root::User);
    const std::vector<std::string> machineKeys = system.Keys(Root::Machine);

    TSetupSettings unnamed = Settings();
    unnamed.SoftName.clear();
    EXPECT_FALSE(WriteProductKeyValues(system, unnamed, "r", "p"));
    EXPECT_FALSE(WriteUninstallEntry(system, unnamed, "p", "cmd"));
    EXPECT_FALSE(DeleteRegistryRecords(system, unnamed));
    EXPECT_EQ(userKeys, system.Keys(Root::User));
    EXPECT_EQ(machineKeys, system.Keys(Root::Machine));
    EXPECT_TRUE(system.ValueNames(Root::User, "Software\\Quillfen\\SolvanInstallerMaker").empty());
}
