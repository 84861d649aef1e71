#include <gtest/gtest.h>

#include <sstream>

#include "config/SetupSettings.h"
#include "system/FileBytes.h"
#include "tests/data/ini/TrickyIniFiles.h"
#include "tests/fakes/FakeSystem.h"

namespace {

const std::string kId = "[Identification]\r\nID=SolvaneInstaller\r\n";

// Every field, one per line, so that whole records compare with a readable diff.
std::string Describe(const TSetupSettings& s) {
    std::ostringstream out;
    out << "SrcFolder=" << s.SrcFolder << "\nDstFolder=" << s.DstFolder
        << "\nDstSubFolder=" << s.DstSubFolder << "\nSrcSubFolder=" << s.SrcSubFolder
        << "\nDstFolderID=" << s.DstFolderID << "\nExecFile=" << s.ExecFile
        << "\nSoftName=" << s.SoftName << "\nShortcutDesktop=" << s.ShortcutDesktop
        << "\nShortcutPrograms=" << s.ShortcutPrograms << "\nShortcutFolder=" << s.ShortcutFolder
        << "\nExShortcutDesktop=" << s.ExShortcutDesktop
        << "\nExShortcutPrograms=" << s.ExShortcutPrograms
        << "\nExShortcutName=" << s.ExShortcutName << "\nExShortcutFile=" << s.ExShortcutFile
        << "\nStandAloneUninstUse=" << s.StandAloneUninstUse << "\nAfterOpen=" << s.AfterOpen
        << "\nAfterOpenDialog=" << s.AfterOpenDialog
        << "\nAfterOpenDialogMsg=" << s.AfterOpenDialogMsg << "\nButtonRects=";
    for (const ButtonRect& r : s.ButtonRects) {
        out << r.left << "," << r.top << "," << r.right << "," << r.bottom << ";";
    }
    out << "\nWallStretch=" << s.WallStretch << "\nButtonColor=" << s.ButtonColor
        << "\nButtonAlign=" << s.ButtonAlign << "\nLists=" << s.SrcFolderList.size() << ","
        << s.SrcFileList.size() << "," << s.DstFolderList.size() << "," << s.DstFileList.size()
        << "\nTotalSize=" << s.TotalSize << "\n";
    return out.str();
}

class LoadSettingsTest : public ::testing::Test {
protected:
    LoadSettingsTest() {
        system.shellFolders[0x26] = "C:\\Program Files";
        system.shellFolders[0x05] = "C:\\Users\\u\\Documents";
    }

    TSetupSettings Load(const std::string& ini) {
        system.AddFile("D:\\Setup.INI", ini);
        TSetupSettings settings;
        LoadSettings(settings, medium, system, system);
        return settings;
    }

    const Medium medium{"D:\\Setup.exe"};
    FakeSystem system;
};

TEST_F(LoadSettingsTest, IdentificationAloneGivesTheKeyDefaults) {
    const TSetupSettings s = Load(kId);
    EXPECT_EQ("ソフト", s.SoftName);
    EXPECT_EQ("ソフト", s.DstSubFolder);
    EXPECT_EQ("", s.ExecFile);
    EXPECT_FALSE(s.ShortcutDesktop);  // no program to point at
    EXPECT_FALSE(s.ShortcutPrograms);
    EXPECT_FALSE(s.ExShortcutDesktop);
    EXPECT_FALSE(s.ExShortcutPrograms);
    EXPECT_TRUE(s.StandAloneUninstUse);
    EXPECT_FALSE(s.AfterOpenDialog);
    EXPECT_TRUE(s.WallStretch);
    EXPECT_EQ(65535u, s.ButtonColor);
    EXPECT_EQ(0, s.ButtonAlign);
    EXPECT_EQ(0, s.DstFolderID);
    EXPECT_EQ("D:\\SETUP", s.SrcFolder);  // one separator after the drive root
    EXPECT_EQ("C:\\Program Files\\ソフト", s.DstFolder);
}

TEST_F(LoadSettingsTest, ReadsEveryKey) {
    const TSetupSettings s = Load(kId +
                                  "[BasicOption]\r\n"
                                  "ExecFile=bin\\app.exe\r\n"
                                  "SoftName=表計算\r\n"
                                  "[AdvanceOption]\r\n"
                                  "DstSubFolder=会社\\表計算\r\n"
                                  "DstFolderID=4\r\n"
                                  "ShortcutDesktop=0\r\n"
                                  "ShortcutPrograms=1\r\n"
                                  "ShortcutFolder=会社\r\n"
                                  "ExShortcutDesktop=1\r\n"
                                  "ExShortcutPrograms=1\r\n"
                                  "ExShortcutFile=readme.txt\r\n"
                                  "ExShortcutName=説明\r\n"
                                  "AfterOpen=readme.txt\r\n"
                                  "AfterOpenDialog=1\r\n"
                                  "AfterOpenDialogMsg=開きますか？\r\n"
                                  "StandAloneUninstUse=0\r\n"
                                  "[MenuView]\r\n"
                                  "WallStretch=0\r\n"
                                  "ButtonColor=$FF00FF\r\n"
                                  "ButtonAlign=3\r\n");
    EXPECT_EQ("bin\\app.exe", s.ExecFile);
    EXPECT_EQ("表計算", s.SoftName);
    EXPECT_EQ("会社\\表計算", s.DstSubFolder);
    EXPECT_EQ(4, s.DstFolderID);
    EXPECT_FALSE(s.ShortcutDesktop);
    EXPECT_TRUE(s.ShortcutPrograms);
    EXPECT_EQ("会社", s.ShortcutFolder);
    EXPECT_TRUE(s.ExShortcutDesktop);
    EXPECT_TRUE(s.ExShortcutPrograms);
    EXPECT_EQ("readme.txt", s.ExShortcutFile);
    EXPECT_EQ("説明", s.ExShortcutName);
    EXPECT_EQ("readme.txt", s.AfterOpen);
    EXPECT_TRUE(s.AfterOpenDialog);
    EXPECT_EQ("開きますか？", s.AfterOpenDialogMsg);
    EXPECT_FALSE(s.StandAloneUninstUse);
    EXPECT_FALSE(s.WallStretch);
    EXPECT_EQ(0xFF00FFu, s.ButtonColor);
    EXPECT_EQ(3, s.ButtonAlign);
    EXPECT_EQ("D:\\SETUP", s.SrcFolder);
    EXPECT_EQ("C:\\Users\\u\\Documents\\会社\\表計算", s.DstFolder);
}

TEST_F(LoadSettingsTest, AdjustmentsUseTheValuesReadBefore) {
    const std::string exec = "[BasicOption]\r\nExecFile=a.exe\r\nSoftName=Soft\r\n";
    const std::string extras = "[AdvanceOption]\r\nExShortcutDesktop=1\r\nExShortcutPrograms=1\r\n";
    const std::string file = "ExShortcutFile=b.exe\r\n";
    struct Case {
        std::string name, ini;
        bool desktop, programs, exDesktop, exPrograms;
        std::string dstSubFolder, dstFolder;
    } cases[] = {
        {"no ExecFile turns the main shortcuts off",
         "[AdvanceOption]\r\nShortcutDesktop=1\r\nShortcutPrograms=1\r\n", false, false, false,
         false, "ソフト", "C:\\Program Files\\ソフト"},
        {"an ExecFile keeps them", exec + "[AdvanceOption]\r\nShortcutPrograms=1\r\n", true, true,
         false, false, "Soft", "C:\\Program Files\\Soft"},
        {"extra shortcuts with their own name", exec + extras + file + "ExShortcutName=Extra\r\n",
         true, false, true, true, "Soft", "C:\\Program Files\\Soft"},
        {"extra name equal to SoftName", exec + extras + file + "ExShortcutName=Soft\r\n", true,
         false, false, false, "Soft", "C:\\Program Files\\Soft"},
        {"extra name equal but for case", exec + extras + file + "ExShortcutName=soft\r\n", true,
         false, true, true, "Soft", "C:\\Program Files\\Soft"},
        {"extra name equal to the default SoftName",
         "[BasicOption]\r\nExecFile=a.exe\r\n" + extras + file + "ExShortcutName=ソフト\r\n", true,
         false, false, false, "ソフト", "C:\\Program Files\\ソフト"},
        {"no extra file", exec + extras + "ExShortcutFile=\r\nExShortcutName=Extra\r\n", true,
         false, false, false, "Soft", "C:\\Program Files\\Soft"},
        {"no extra name", exec + extras + file, true, false, false, false, "Soft",
         "C:\\Program Files\\Soft"},
        {"DstSubFolder and DstFolderID given",
         exec + "[AdvanceOption]\r\nDstSubFolder=Sub\r\nDstFolderID=2\r\n", true, false, false,
         false, "Sub", "C:\\Windows\\Sub"},
        {"unknown DstFolderID", exec + "[AdvanceOption]\r\nDstFolderID=99\r\n", true, false, false,
         false, "Soft", "\\Soft"},
        {"empty SoftName", "[BasicOption]\r\nSoftName=\r\n", false, false, false, false, "ソフト",
         "C:\\Program Files\\ソフト"},
        {"blank SoftName", "[BasicOption]\r\nSoftName = \"\" \r\n", false, false, false, false,
         "ソフト", "C:\\Program Files\\ソフト"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TSetupSettings s = Load(kId + c.ini);
        EXPECT_EQ(c.desktop, s.ShortcutDesktop);
        EXPECT_EQ(c.programs, s.ShortcutPrograms);
        EXPECT_EQ(c.exDesktop, s.ExShortcutDesktop);
        EXPECT_EQ(c.exPrograms, s.ExShortcutPrograms);
        EXPECT_EQ(c.dstSubFolder, s.DstSubFolder);
        EXPECT_EQ(c.dstFolder, s.DstFolder);
    }
}

TEST_F(LoadSettingsTest, ButtonColorTakesDecimalOrHex) {
    struct Case {
        std::string value;
        uint32_t expected;
    } cases[] = {
        {"0xFF", 255},
        {"$FF", 255},
        {"255", 255},
        {"red", 65535},
        {"", 65535},
        {"-1", 0xFFFFFFFF},
        {"$FFFFFFFF", 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.expected,
                  Load(kId + "[MenuView]\r\nButtonColor=" + c.value + "\r\n").ButtonColor);
    }
}

TEST_F(LoadSettingsTest, AFileThatDoesNotIdentifyItselfLeavesTheRecord) {
    const std::string rest = "[BasicOption]\r\nSoftName=X\r\n[MenuView]\r\nButtonColor=5\r\n";
    const std::string cases[] = {
        "",
        rest,
        "[Identification]\r\nID=solvaneinstaller\r\n" + rest,
        "[Identification]\r\nID=SolvaneInstaller2\r\n" + rest,
        "[Identification]\r\nID=\"SolvaneInstaller \"\r\n" + rest,
        "[Identification]\r\nID\r\n" + rest,
        "[BasicOption]\r\nID=SolvaneInstaller\r\n" + rest,
        "[Identification]\r\n;ID=SolvaneInstaller\r\n" + rest,
    };
    for (const std::string& ini : cases) {
        SCOPED_TRACE(ini);
        const TSetupSettings fresh = Load(ini);
        EXPECT_EQ(Describe(TSetupSettings()), Describe(fresh));
        EXPECT_EQ("", fresh.SoftName);
        EXPECT_EQ(0u, fresh.ButtonColor);

        TSetupSettings used;
        used.SoftName = "kept";
        used.ButtonRects[2].right = 7;
        used.SrcFileList = {"a"};
        const std::string before = Describe(used);
        LoadSettings(used, medium, system, system);
        EXPECT_EQ(before, Describe(used));
    }
}

TEST_F(LoadSettingsTest, AcceptsTheIdentificationAsTheReaderSpellsIt) {
    const std::string cases[] = {
        "[identification]\r\n  id =  SolvaneInstaller  \r\n",
        "[Identification]\nID=\"SolvaneInstaller\"",
        "[Identification]\rID='SolvaneInstaller'\r",
    };
    for (const std::string& ini : cases) {
        SCOPED_TRACE(ini);
        EXPECT_EQ("ソフト", Load(ini).SoftName);
    }
}

TEST_F(LoadSettingsTest, AMissingOrUnreadableFileLeavesTheRecord) {
    TSetupSettings settings;
    LoadSettings(settings, medium, system, system);
    EXPECT_EQ(Describe(TSetupSettings()), Describe(settings));

    system.AddFile("D:\\Setup.INI", kId);
    for (FakeOperation failing : {FakeOperation::OpenForRead, FakeOperation::Read}) {
        SCOPED_TRACE(OperationName(failing));
        system.failIf = [failing](FakeOperation operation, const std::string&) {
            return operation == failing;
        };
        LoadSettings(settings, medium, system, system);
        EXPECT_EQ(Describe(TSetupSettings()), Describe(settings));
    }
}

// A settings file beyond the size of any real one is taken for one that cannot be
// read, even when it starts like a good one.
TEST_F(LoadSettingsTest, AFileBeyondTheSizeLimitLeavesTheRecord) {
    const std::string good = kId + "[BasicOption]\r\nSoftName=Big\r\n";
    const std::string padding(static_cast<size_t>(kMaxWholeFileBytes) - good.size(), ';');
    EXPECT_EQ("Big", Load(good + padding).SoftName);
    EXPECT_EQ(Describe(TSetupSettings()), Describe(Load(good + padding + ";")));
}

TEST_F(LoadSettingsTest, ReadsTheFileNamedAfterTheProgram) {
    const Medium install("D:\\CD\\Install.exe");
    system.AddFile("D:\\CD\\Setup.INI", kId);
    TSetupSettings settings;
    LoadSettings(settings, install, system, system);
    EXPECT_EQ("", settings.SoftName);

    system.AddFile("D:\\CD\\Install.INI", kId + "[BasicOption]\r\nSoftName=Named\r\n");
    LoadSettings(settings, install, system, system);
    EXPECT_EQ("Named", settings.SoftName);
    EXPECT_EQ("D:\\CD\\SETUP", settings.SrcFolder);
}

TEST_F(LoadSettingsTest, SrcFolderIsBesideTheProgram) {
    struct Case {
        std::string executable, srcFolder;
    } cases[] = {
        {"D:\\Setup.exe", "D:\\SETUP"},
        {"D:\\CD\\Setup.exe", "D:\\CD\\SETUP"},
        {"D:\\ソ\\Setup.exe", "D:\\ソ\\SETUP"},  // "ソ" ends in the byte of '\'
        {"\\\\server\\share\\Setup.exe", "\\\\server\\share\\SETUP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.executable);
        system.AddFile(c.executable.substr(0, c.executable.size() - 3) + "INI", kId);
        TSetupSettings settings;
        LoadSettings(settings, Medium(c.executable), system, system);
        EXPECT_EQ(c.srcFolder, settings.SrcFolder);
    }
}

TEST_F(LoadSettingsTest, ReadsAUtf16File) {
    const TSetupSettings s = Load(
        Utf16File(u"[Identification]\r\nID=SolvaneInstaller\r\n[BasicOption]\r\n"
                  u"ExecFile=表\\ゾ.exe\r\nSoftName=ソフト名\r\n[MenuView]\r\nButtonAlign=2\r\n"));
    EXPECT_EQ("表\\ゾ.exe", s.ExecFile);
    EXPECT_EQ("ソフト名", s.SoftName);
    EXPECT_EQ("C:\\Program Files\\ソフト名", s.DstFolder);
    EXPECT_EQ(2, s.ButtonAlign);
}

TEST_F(LoadSettingsTest, ReadsALargeFileToItsEnd) {
    const std::string padding = ";" + std::string(5000, '-') + "\r\n";
    const TSetupSettings s =
        Load(kId + padding + "[AdvanceOption]\r\nAfterOpenDialogMsg=" + std::string(3000, 'm') +
             "\r\n" + padding + "[MenuView]\r\nButtonAlign=1\r\n");
    EXPECT_EQ(std::string(2047, 'm'), s.AfterOpenDialogMsg);
    EXPECT_EQ(1, s.ButtonAlign);
}

}  // namespace
