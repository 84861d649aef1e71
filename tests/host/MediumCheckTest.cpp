#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "check/MediumCheck.h"
#include "check/ReportText.h"
#include "check/ShiftJisText.h"
#include "config/IniFile.h"
#include "system/FileBytes.h"
#include "tests/fakes/FakeSystem.h"

namespace {

const std::string kMedium = "D:\\Medium\\";

// Every key, each with a value that Setup.exe takes as the distributor means it.
const std::string kCleanIni =
    "[Identification]\r\n"
    "ID=SolvaneInstaller\r\n"
    "[BasicOption]\r\n"
    "ExecFile=bin\\app.exe\r\n"
    "SoftName=表計算ソフト\r\n"  // ソ ends in the byte of '\'
    "[AdvanceOption]\r\n"
    "DstSubFolder=表計算\r\n"
    "DstFolderID=0\r\n"
    "ShortcutDesktop=1\r\n"
    "ShortcutPrograms=1\r\n"
    "ShortcutFolder=会社\\表計算\r\n"
    "ExShortcutDesktop=1\r\n"
    "ExShortcutPrograms=1\r\n"
    "ExShortcutFile=doc\\ソフト説明.txt\r\n"
    "ExShortcutName=説明書\r\n"
    "AfterOpen=readme.txt\r\n"
    "AfterOpenDialog=1\r\n"
    "AfterOpenDialogMsg=説明を読みますか？\r\n"
    "StandAloneUninstUse=1\r\n"
    "[MenuView]\r\n"
    "WallStretch=0\r\n"
    "ButtonColor=0xFF\r\n"
    "ButtonAlign=3\r\n";

// A grey picture of the given size.
std::string Jpeg(int width, int height) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(width, 128);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    std::free(out);
    return bytes;
}

// A medium that Setup.exe installs as its distributor means. The checker takes the
// folders of a standard system, whatever the system it runs on has.
class CleanMedium {
public:
    CleanMedium() {
        system.executablePath = "C:\\Tools\\SetupCheck.exe";
        Add("Setup.exe", "MZ");
        Add("_uninst.exe", "MZ");
        Add("Setup.INI", kCleanIni);
        Add("Setup.MSG", "インストールの前にお読みください.\r\n");
        Add("SETUP.jpg", Jpeg(120, 120));
        Add("SetupBk.jpg", Jpeg(8, 8));
        Add("readme.txt", "read me");
        Add("SETUP\\bin\\app.exe", std::string(1000, 'x'));
        Add("SETUP\\doc\\ソフト説明.txt", std::string(48, 'x'));
        system.AddFolder(kMedium + "SETUP\\data\\空");
    }

    void Add(const std::string& name, const std::string& data) {
        system.AddFile(kMedium + name, data);
    }
    void Remove(const std::string& name) { ASSERT_TRUE(system.RemoveFile(kMedium + name)); }
    // Replaces a part of Setup.INI.
    void Edit(const std::string& from, const std::string& to) {
        std::string ini = system.FileData(kMedium + "Setup.INI");
        const size_t at = ini.find(from);
        ASSERT_NE(std::string::npos, at) << from;
        Add("Setup.INI", ini.replace(at, from.size(), to));
    }

    MediumReport Check() { return CheckMedium(system, kMedium); }

    FakeSystem system;
};

// Severity, file and key of each finding.
std::vector<std::string> Where(const MediumReport& report) {
    std::vector<std::string> where;
    for (const Finding& f : report.findings) {
        where.push_back((f.severity == Severity::Error ? "E " : "W ") + f.file + "|" + f.key);
    }
    return where;
}

TEST(MediumCheck, CleanMediumHasNoFinding) {
    CleanMedium medium;
    const MediumReport report = medium.Check();
    EXPECT_TRUE(report.readable);
    EXPECT_EQ("Setup.exe", report.setupProgram);
    EXPECT_EQ(std::vector<std::string>{}, Where(report));
    EXPECT_EQ(2, report.summary.files);
    EXPECT_EQ(4, report.summary.folders);  // bin, doc, data and 空 in data
    EXPECT_EQ(1048, report.summary.totalSize);
    EXPECT_EQ(1 + 13, report.summary.neededKilobytes);
    EXPECT_EQ(kCheckExitClean, CheckExitCode(report));
}

TEST(MediumCheck, FoldersOfTheCheckingSystemDoNotMatter) {
    // Every folder so long that any path in it would be found too long.
    const std::string deep = "E:\\" + std::string(250, 'x');
    CleanMedium medium;
    for (const int csidl : {0x02, 0x05, 0x19, 0x1A, 0x1C, 0x26}) {
        medium.system.shellFolders[csidl] = deep;
    }
    medium.system.windowsFolder = deep;
    medium.system.systemFolder = deep;
    EXPECT_EQ(std::vector<std::string>{}, Where(medium.Check()));
}

TEST(MediumCheck, KeyNamesMatchWithoutRegardToCase) {
    CleanMedium medium;
    medium.Edit("[BasicOption]\r\nExecFile", "[basicoption]\r\nexecFILE");
    medium.Edit("ButtonAlign", "buttonalign");
    EXPECT_EQ(std::vector<std::string>{}, Where(medium.Check()));
}

struct MistakeCase {
    const char* name;
    std::function<void(CleanMedium&)> make;
    std::string where;
    std::string inText;  // a part of the finding's text
};

TEST(MediumCheck, EachMistakeIsFoundOnceWithItsSeverity) {
    const std::string longName(200, 'n');
    const std::string deepFile =
        "SETUP\\" + std::string(120, 'a') + "\\" + std::string(120, 'b') + "\\c.txt";
    const MistakeCase cases[] = {
        {"settings file missing", [](CleanMedium& m) { m.Remove("Setup.INI"); }, "E Setup.INI|",
         "終了します"},
        {"settings file under another name",
         [](CleanMedium& m) {
             m.Remove("Setup.INI");
             m.Add("Setup.ini.txt", kCleanIni);
         },
         "E Setup.ini.txt|", "名前が Setup.INI ではありません"},
        {"ID missing", [](CleanMedium& m) { m.Edit("ID=SolvaneInstaller\r\n", ""); },
         "E Setup.INI|[Identification] ID", "キーがありません"},
        {"ID in other letter case",
         [](CleanMedium& m) { m.Edit("ID=SolvaneInstaller", "ID=solvaneInstaller"); },
         "E Setup.INI|[Identification] ID", "\"solvaneInstaller\" は \"SolvaneInstaller\" と大"},
        {"ID different", [](CleanMedium& m) { m.Edit("ID=SolvaneInstaller", "ID=Solvane"); },
         "E Setup.INI|[Identification] ID", "\"Solvane\" は \"SolvaneInstaller\" ではありません"},
        {"unknown section", [](CleanMedium& m) { m.Edit("[MenuView]", "[MenuVeiw]"); },
         "W Setup.INI|[MenuVeiw]", "不明なセクション"},
        {"unknown key", [](CleanMedium& m) { m.Edit("ShortcutDesktop=1", "ShortcutDesktp=1"); },
         "W Setup.INI|[AdvanceOption] ShortcutDesktp", "不明なキー"},
        {"key in the wrong section",
         [](CleanMedium& m) { m.Edit("[MenuView]\r\n", "WallStretch=1\r\n[MenuView]\r\n"); },
         "W Setup.INI|[AdvanceOption] WallStretch", "[MenuView] に書きます"},
        {"key before every section",
         [](CleanMedium& m) { m.Edit("[Identification]", "SoftName=x\r\n[Identification]"); },
         "W Setup.INI|SoftName", "[BasicOption] に書きます"},
        {"section repeated",
         [](CleanMedium& m) { m.Add("Setup.INI", kCleanIni + "[basicoption]\r\nSoftName=x\r\n"); },
         "W Setup.INI|[basicoption]", "同じ名前のセクション"},
        {"number that does not parse",
         [](CleanMedium& m) { m.Edit("ButtonAlign=3", "ButtonAlign=right"); },
         "W Setup.INI|[MenuView] ButtonAlign", "\"right\" は数値ではありません"},
        {"flag that does not parse",
         [](CleanMedium& m) { m.Edit("WallStretch=0", "WallStretch=no"); },
         "W Setup.INI|[MenuView] WallStretch", "\"no\" は数値ではありません"},
        {"flag other than 0 and 1",
         [](CleanMedium& m) { m.Edit("AfterOpenDialog=1", "AfterOpenDialog=-1"); },
         "W Setup.INI|[AdvanceOption] AfterOpenDialog", "\"-1\" は 0 でも 1 でもありません"},
        {"DstFolderID above 7", [](CleanMedium& m) { m.Edit("DstFolderID=0", "DstFolderID=8"); },
         "E Setup.INI|[AdvanceOption] DstFolderID", "値 8 は 0 から 7 の範囲にありません"},
        {"DstFolderID below 0", [](CleanMedium& m) { m.Edit("DstFolderID=0", "DstFolderID=-1"); },
         "E Setup.INI|[AdvanceOption] DstFolderID", "ルート (\\表計算)"},
        {"ExecFile empty", [](CleanMedium& m) { m.Edit("ExecFile=bin\\app.exe", "ExecFile="); },
         "W Setup.INI|[BasicOption] ExecFile", "プログラムのショートカットを作りません"},
        {"ExShortcutFile empty",
         [](CleanMedium& m) { m.Edit("ExShortcutFile=doc\\ソフト説明.txt", "ExShortcutFile="); },
         "E Setup.INI|[AdvanceOption] ExShortcutFile", "値がありません"},
        {"ExShortcutName empty", [](CleanMedium& m) { m.Edit("ExShortcutName=説明書\r\n", ""); },
         "E Setup.INI|[AdvanceOption] ExShortcutName", "値がありません"},
        {"ExShortcutName equal to SoftName",
         [](CleanMedium& m) { m.Edit("ExShortcutName=説明書", "ExShortcutName=表計算ソフト"); },
         "E Setup.INI|[AdvanceOption] ExShortcutName", "SoftName と同じです"},
        {"ExecFile not in SETUP",
         [](CleanMedium& m) { m.Edit("ExecFile=bin\\app.exe", "ExecFile=bin\\calc.exe"); },
         "E Setup.INI|[BasicOption] ExecFile", "SETUP フォルダに bin\\calc.exe がありません"},
        {"ExShortcutFile not in SETUP",
         [](CleanMedium& m) { m.Remove("SETUP\\doc\\ソフト説明.txt"); },
         "E Setup.INI|[AdvanceOption] ExShortcutFile", "doc\\ソフト説明.txt がありません"},
        {"AfterOpen not beside Setup.exe", [](CleanMedium& m) { m.Remove("readme.txt"); },
         "E Setup.INI|[AdvanceOption] AfterOpen", "readme.txt がありません"},
        {"full stop in DstSubFolder",
         [](CleanMedium& m) { m.Edit("DstSubFolder=表計算", "DstSubFolder=表計算 1.0"); },
         "E Setup.INI|[AdvanceOption] DstSubFolder", "C:\\Program Files (x86)\\表計算 1.0 は有効"},
        {"blank at the end of a name in DstSubFolder",
         [](CleanMedium& m) { m.Edit("DstSubFolder=表計算", "DstSubFolder=表計算 \\2"); },
         "E Setup.INI|[AdvanceOption] DstSubFolder", "C:\\Program Files (x86)\\表計算 \\2 は有効"},
        {"full stop in SoftName, the default DstSubFolder",
         [](CleanMedium& m) {
             m.Edit("DstSubFolder=表計算\r\n", "");
             m.Edit("SoftName=表計算ソフト", "SoftName=Calc 2.0");
         },
         "E Setup.INI|[BasicOption] SoftName", "C:\\Program Files (x86)\\Calc 2.0 は有効"},
        {"separator in SoftName",
         [](CleanMedium& m) { m.Edit("SoftName=表計算ソフト", "SoftName=表計算/試用"); },
         "E Setup.INI|[BasicOption] SoftName", "使えない文字 \"/\""},
        {"colon in ExShortcutName",
         [](CleanMedium& m) { m.Edit("ExShortcutName=説明書", "ExShortcutName=説明:書"); },
         "E Setup.INI|[AdvanceOption] ExShortcutName", "使えない文字 \":\""},
        {"bar in ShortcutFolder",
         [](CleanMedium& m) {
             m.Edit("ShortcutFolder=会社\\表計算", "ShortcutFolder=会社|表計算");
         },
         "E Setup.INI|[AdvanceOption] ShortcutFolder", "使えない文字 \"|\""},
        {"SoftName over 127 bytes",
         [](CleanMedium& m) {
             m.Edit("SoftName=表計算ソフト", "SoftName=" + std::string(116, 'S') + "表計算ソフトx");
         },
         "E Setup.INI|[BasicOption] SoftName", "129 バイトあり"},
        {"shortcut path over 259 characters",
         [&](CleanMedium& m) { m.Edit("ExShortcutName=説明書", "ExShortcutName=" + longName); },
         "E Setup.INI|[AdvanceOption] ExShortcutName",
         "C:\\Users\\%USERNAME%\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\"
         "会社\\表計算\\" +
             longName + ".lnk は 295 文字 (ユーザー名を 20 文字として)で、259 文字を超えます"},
        {"destination path over 259 characters", [&](CleanMedium& m) { m.Add(deepFile, ""); },
         "W " + deepFile + "|",
         "C:\\Program Files (x86)\\表計算\\" + deepFile.substr(6) +
             " は 274 文字で、259 文字を超えます. Setup.exe はこれをインストールし"},
        {"repeated key",
         [](CleanMedium& m) { m.Edit("ButtonAlign=3", "ButtonAlign=3\r\nbuttonALIGN=1"); },
         "W Setup.INI|[MenuView] buttonALIGN", "Setup.exe は最初のキーだけを読み"},
        {"known key without \"=\"", [](CleanMedium& m) { m.Edit("WallStretch=0", "WallStretch"); },
         "W Setup.INI|[MenuView] WallStretch",
         "\"=\" がありません. Setup.exe はこのキーを値のない"},
        {"ID without \"=\"", [](CleanMedium& m) { m.Edit("ID=SolvaneInstaller", " ID "); },
         "E Setup.INI|[Identification] ID", "\"=\" がありません. Setup.exe は設定をひとつも読まず"},
        {"destination in the root of the Windows drive",
         [](CleanMedium& m) { m.Edit("DstFolderID=0", "DstFolderID=1"); },
         "W Setup.INI|[AdvanceOption] DstFolderID",
         "インストール先 C:\\表計算 は、管理者でないユーザーも書き込めるフォルダの中にあります"},
        {"SETUP.jpg that does not decode",
         [](CleanMedium& m) { m.Add("SETUP.jpg", Jpeg(120, 120).substr(0, 200)); }, "E SETUP.jpg|",
         "読めません"},
        {"SETUP.jpg narrower than 120 px",
         [](CleanMedium& m) { m.Add("SETUP.jpg", Jpeg(119, 400)); }, "E SETUP.jpg|",
         "大きさ 119×400"},
        {"SETUP.jpg lower than 120 px", [](CleanMedium& m) { m.Add("SETUP.jpg", Jpeg(400, 119)); },
         "E SETUP.jpg|", "大きさ 400×119"},
        {"SetupBk.jpg that does not decode",
         [](CleanMedium& m) { m.Add("SetupBk.jpg", "not a picture"); }, "E SetupBk.jpg|",
         "読めません"},
        {"message file in UTF-8",
         [](CleanMedium& m) { m.Add("Setup.MSG", "\xE3\x81\x93\xE3\x82\x93\r\n"); }, "E Setup.MSG|",
         "Shift-JIS のテキストではありません"},
        {"uninstaller missing", [](CleanMedium& m) { m.Remove("_uninst.exe"); }, "E _uninst.exe|",
         "StandAloneUninstUse が 1"},
        {"name outside code page 932 in SETUP",
         [](CleanMedium& m) { m.Add("SETUP\\doc\\?.txt", "x"); }, "E SETUP\\doc\\?.txt|",
         "コードページ 932"},
        {"folder name outside code page 932 in SETUP",
         [](CleanMedium& m) { m.system.AddFolder(kMedium + "SETUP\\?"); }, "E SETUP\\?|",
         "コードページ 932"},
        {"no setup program", [](CleanMedium& m) { m.Remove("Setup.exe"); }, "E Setup.exe|",
         "Setup.exe があるものとして"},
    };
    for (const MistakeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CleanMedium medium;
        c.make(medium);
        const MediumReport report = medium.Check();
        ASSERT_EQ(std::vector<std::string>{c.where}, Where(report));
        EXPECT_NE(std::string::npos, report.findings[0].text.find(c.inText))
            << report.findings[0].text;
        EXPECT_EQ(c.where[0] == 'E' ? kCheckExitErrors : kCheckExitClean, CheckExitCode(report));
    }
}

// `count` double-byte characters.
std::string Kanji(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "表";
    }
    return text;
}

struct LengthCase {
    const char* name;
    std::function<void(CleanMedium&)> make;
    std::vector<std::string> where;
    std::string inText;  // a part of the finding's text, when there is one
};

void ExpectLengthCases(const std::vector<LengthCase>& cases) {
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        CleanMedium medium;
        // Only the desktop's extra shortcut, and no uninstaller to warn of.
        medium.Edit("ExShortcutPrograms=1", "ExShortcutPrograms=0");
        medium.Edit("StandAloneUninstUse=1", "StandAloneUninstUse=0");
        c.make(medium);
        const MediumReport report = medium.Check();
        ASSERT_EQ(c.where, Where(report));
        if (!c.where.empty()) {
            EXPECT_NE(std::string::npos, report.findings[0].text.find(c.inText))
                << report.findings[0].text;
        }
    }
}

TEST(MediumCheck, PathsLongerThanTheSystemTakesAsTheyAre) {
    // A double-byte character is one character of the path, as the system counts.
    // C:\Users\Public\Desktop\ and ".lnk" make 28 characters; the file's path below
    // C:\Program Files (x86)\表計算\ has 27 before the name.
    ExpectLengthCases({
        {"shortcut of 259 characters",
         [](CleanMedium& m) { m.Edit("ExShortcutName=説明書", "ExShortcutName=" + Kanji(231)); },
         {},
         ""},
        {"shortcut of 260 characters",
         [](CleanMedium& m) { m.Edit("ExShortcutName=説明書", "ExShortcutName=" + Kanji(232)); },
         {"E Setup.INI|[AdvanceOption] ExShortcutName"},
         ".lnk は 260 文字で、259 文字を超えます. Setup.exe はこれを作れません."},
        {"installed file of 259 characters",
         [](CleanMedium& m) { m.Add("SETUP\\" + Kanji(232), "x"); },
         {},
         ""},
        {"installed file of 260 characters",
         [](CleanMedium& m) { m.Add("SETUP\\" + Kanji(233), "x"); },
         {"W SETUP\\" + Kanji(233) + "|"},
         "は 260 文字で、259 文字を超えます. Setup.exe はこれをインストールし、削除もできますが、"
         "インストールされたソフトウェアがこのパスを扱えないことがあります."},
    });
}

TEST(MediumCheck, DefaultDestinationThatTheDialogRefusesIsAnError) {
    // The dialog takes at most 238 characters. On the standard system the program
    // files are C:\Program Files (x86)\ (23 characters) and the documents
    // C:\Users\<user>\Documents\, 40 characters for the longest user's name.
    const auto destination = [](int32_t id, int characters) {
        return [=](CleanMedium& m) {
            m.Edit("DstFolderID=0", "DstFolderID=" + std::to_string(id));
            m.Edit("DstSubFolder=表計算", "DstSubFolder=" + Kanji(characters));
        };
    };
    ExpectLengthCases({
        {"program files, 238 characters", destination(0, 215), {}, ""},
        {"program files, 239 characters",
         destination(0, 216),
         {"E Setup.INI|[AdvanceOption] DstSubFolder"},
         "既定のインストール先 C:\\Program Files (x86)\\" + Kanji(216) +
             " は 239 文字で、239 文字以上です. Setup.exe のインストール先の画面は、"
             "ユーザーが選び直すまで先へ進みません."},
        {"documents, 238 characters", destination(4, 198), {}, ""},
        {"documents, 239 characters",
         destination(4, 199),
         {"E Setup.INI|[AdvanceOption] DstSubFolder"},
         "C:\\Users\\%USERNAME%\\Documents\\" + Kanji(199) +
             " は 239 文字 (ユーザー名を 20 文字として)で、239 文字以上です."},
    });
}

TEST(MediumCheck, DestinationThatStandardUsersMayWriteIsWarnedOf) {
    // The elevated uninstaller would run from there.
    const struct {
        int32_t id;
        const char* destination;  // empty: no warning
    } cases[] = {
        {0, ""},
        {1, "C:\\表計算"},
        {2, ""},
        {3, ""},
        {4, "C:\\Users\\%USERNAME%\\Documents\\表計算"},
        {5, ""},
        {6, "C:\\Users\\%USERNAME%\\AppData\\Roaming\\表計算"},
        {7, "C:\\Users\\%USERNAME%\\AppData\\Local\\表計算"},
    };
    for (const auto& c : cases) {
        for (const bool uninstaller : {true, false}) {
            SCOPED_TRACE(std::to_string(c.id) + (uninstaller ? " with" : " without") +
                         " the uninstaller");
            CleanMedium medium;
            medium.Edit("DstFolderID=0", "DstFolderID=" + std::to_string(c.id));
            if (!uninstaller) {
                medium.Edit("StandAloneUninstUse=1", "StandAloneUninstUse=0");
            }
            const MediumReport report = medium.Check();
            if (!uninstaller || std::string(c.destination).empty()) {
                EXPECT_EQ(std::vector<std::string>{}, Where(report));
                continue;
            }
            ASSERT_EQ(std::vector<std::string>{"W Setup.INI|[AdvanceOption] DstFolderID"},
                      Where(report));
            EXPECT_EQ("インストール先 " + std::string(c.destination) +
                          " は、管理者でないユーザーも書き込めるフォルダの中にあります. "
                          "管理者の権限で動くアンインストーラがそこから起動されるため、"
                          "そのユーザーのプログラムがアンインストーラを差し替えられます.",
                      report.findings[0].text);
        }
    }
}

TEST(MediumCheck, FirstOfRepeatedKeysCountsEvenWithoutEquals) {
    CleanMedium medium;
    medium.Edit("SoftName=表計算ソフト", "SoftName\r\nSoftName=表計算ソフト");
    medium.Edit("ExShortcutName=説明書", "ExShortcutName=ソフト");
    const MediumReport report = medium.Check();
    // The name is the default, ソフト, and the extra shortcuts' name is no longer free.
    EXPECT_EQ((std::vector<std::string>{"W Setup.INI|[BasicOption] SoftName",
                                        "W Setup.INI|[BasicOption] SoftName",
                                        "E Setup.INI|[AdvanceOption] ExShortcutName"}),
              Where(report));
    EXPECT_NE(std::string::npos, report.findings[0].text.find("\"=\" がありません"));
    EXPECT_NE(std::string::npos, report.findings[1].text.find("同じ名前のキーが前にあります"));
}

TEST(MediumCheck, OversizedFileStopsTheCheck) {
    const struct {
        const char* name;
        const char* file;
        int64_t size;
        bool stops;
    } cases[] = {
        {"settings at the limit", "Setup.INI", kMaxWholeFileBytes, false},
        {"settings beyond it", "Setup.INI", kMaxWholeFileBytes + 1, true},
        {"message at the limit", "Setup.MSG", kMaxWholeFileBytes, false},
        {"message beyond it", "Setup.MSG", kMaxWholeFileBytes + 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CleanMedium medium;
        std::string data = medium.system.FileData(kMedium + c.file);
        // Blank lines, which neither file minds.
        data.resize(static_cast<size_t>(c.size), '\n');
        medium.Add(c.file, data);
        const MediumReport report = medium.Check();
        EXPECT_TRUE(report.readable);
        EXPECT_EQ(c.stops ? c.file : "", report.oversizedFile);
        EXPECT_EQ(std::vector<std::string>{}, Where(report));
        EXPECT_EQ(c.stops ? kCheckExitUnreadable : kCheckExitClean, CheckExitCode(report));
    }
}

TEST(MediumCheck, SetupProgramOfAnotherNameReadsItsOwnSettingsFile) {
    CleanMedium medium;
    medium.Remove("Setup.exe");
    medium.Add("Install.exe", "MZ");
    // Neither the uninstaller nor the checker itself is taken for the setup program.
    medium.Add("SetupCheck.exe", "MZ");
    medium.system.executablePath = kMedium + "SetupCheck.exe";
    medium.Add("Install.INI", kCleanIni);
    medium.Edit("ButtonAlign=3", "ButtonAlign=x");  // Setup.INI is only tested for
    MediumReport report = medium.Check();
    EXPECT_EQ("Install.exe", report.setupProgram);
    EXPECT_EQ(std::vector<std::string>{"W Install.exe|"}, Where(report));
    EXPECT_NE(std::string::npos,
              report.findings[0].text.find("設定は Install.INI から、メッセージは Install.MSG"));

    medium.Remove("Install.INI");
    report = medium.Check();
    EXPECT_EQ((std::vector<std::string>{"W Install.exe|", "E Install.INI|"}), Where(report));
}

TEST(MediumCheck, SeveralCandidatesLeaveTheSetupProgramUnknown) {
    CleanMedium medium;
    medium.Remove("Setup.exe");
    medium.Add("Install.exe", "MZ");
    medium.Add("Tool.exe", "MZ");
    const MediumReport report = medium.Check();
    EXPECT_EQ("Setup.exe", report.setupProgram);
    EXPECT_EQ(std::vector<std::string>{"E Setup.exe|"}, Where(report));
}

TEST(MediumCheck, SettingsThatDoNotIdentifyThemselvesAreNotCheckedFurther) {
    // Setup.exe reads none of them, so their mistakes do not matter yet; the files
    // beside it still do.
    CleanMedium medium;
    medium.Edit("ID=SolvaneInstaller", "ID=");
    medium.Edit("DstFolderID=0", "DstFolderID=9");
    medium.Remove("_uninst.exe");
    EXPECT_EQ((std::vector<std::string>{"E Setup.INI|[Identification] ID", "E _uninst.exe|"}),
              Where(medium.Check()));
}

TEST(MediumCheck, FeaturesThatAreOffNeedNothing) {
    CleanMedium medium;
    medium.Edit("StandAloneUninstUse=1", "StandAloneUninstUse=0");
    medium.Remove("_uninst.exe");
    // Extra shortcuts that are not asked for may lack a file and a name.
    medium.Edit("ExShortcutDesktop=1", "ExShortcutDesktop=0");
    medium.Edit("ExShortcutPrograms=1", "ExShortcutPrograms=0");
    medium.Edit("ExShortcutFile=doc\\ソフト説明.txt", "ExShortcutFile=none.txt");
    medium.Edit("ExShortcutName=説明書", "ExShortcutName=");
    // An empty ExecFile turns nothing off when no program shortcut is asked for.
    medium.Edit("ExecFile=bin\\app.exe", "ExecFile=");
    medium.Edit("ShortcutDesktop=1", "ShortcutDesktop=0");
    medium.Edit("ShortcutPrograms=1", "ShortcutPrograms=0");
    medium.Edit("ShortcutFolder=会社\\表計算", "ShortcutFolder=a|b");
    // Optional files may be missing.
    medium.Remove("SETUP.jpg");
    medium.Remove("SetupBk.jpg");
    medium.Remove("Setup.MSG");
    medium.Edit("AfterOpen=readme.txt", "AfterOpen=");
    const MediumReport report = medium.Check();
    EXPECT_EQ(std::vector<std::string>{}, Where(report));
    EXPECT_EQ(1, report.summary.neededKilobytes);
}

TEST(MediumCheck, UnreadableFolderIsReportedAsSuch) {
    CleanMedium medium;
    MediumReport report = CheckMedium(medium.system, "D:\\Nowhere");
    EXPECT_FALSE(report.readable);
    EXPECT_EQ(kCheckExitUnreadable, CheckExitCode(report));

    medium.system.failIf = [](FakeOperation op, const std::string&) {
        return op == FakeOperation::FindFiles;
    };
    report = medium.Check();
    EXPECT_FALSE(report.readable);
    EXPECT_EQ(kCheckExitUnreadable, CheckExitCode(report));
}

TEST(MediumCheck, ReportLines) {
    MediumReport report;
    report.readable = true;
    report.findings = {
        {Severity::Error, "Setup.INI", "[AdvanceOption] DstFolderID", "値 8 は範囲外です."},
        {Severity::Warning, "Setup.ini.txt", "", "名前が違います."},
        {Severity::Warning, "Setup.INI", "[MenuVeiw]", "不明です."},
    };
    report.summary = {12345, 6, 1048576, 1037};
    EXPECT_EQ("エラー: Setup.INI [AdvanceOption] DstFolderID: 値 8 は範囲外です.",
              FormatFinding(report.findings[0]));
    EXPECT_EQ("警告: Setup.ini.txt: 名前が違います.", FormatFinding(report.findings[1]));
    EXPECT_EQ((std::vector<std::string>{
                  "ファイル 12,345 個、フォルダ 6 個、合計 1,048,576 バイト.",
                  "インストール先の画面に出る必要容量は 1,037 KB です.",
                  "エラー 1 件、警告 2 件.",
              }),
              FormatSummary(report));
    EXPECT_EQ("フォルダ D:\\ソフト を読めません.", FormatUnreadableFolder("D:\\ソフト"));
    EXPECT_EQ("ファイル Setup.INI は 16,777,216 バイトを超え、大きすぎるため調べられません.",
              FormatOversizedFile("Setup.INI"));
}

TEST(MediumCheck, NeedFollowsTheDestinationDialog) {
    // 1,048,576 bytes: 1,024 KB, and 13 more for the uninstaller copy.
    for (const bool uninstaller : {true, false}) {
        SCOPED_TRACE(uninstaller);
        CleanMedium medium;
        medium.Add("SETUP\\bin\\app.exe", std::string(1048576 - 48, 'x'));
        if (!uninstaller) {
            medium.Edit("StandAloneUninstUse=1", "StandAloneUninstUse=0");
        }
        const MediumReport report = medium.Check();
        EXPECT_EQ(1048576, report.summary.totalSize);
        EXPECT_EQ(uninstaller ? 1037 : 1024, report.summary.neededKilobytes);
    }
}

TEST(ShiftJisText, TellsShiftJisFromOtherText) {
    const struct {
        const char* name;
        std::string bytes;
        bool shiftJis;
    } cases[] = {
        {"empty", "", true},
        {"ASCII", "Read me.\r\n", true},
        {"Japanese", "インストールの前にお読みください.", true},
        {"second byte 0x5C", "ソフト\\", true},
        {"half-width katakana", "\xB1\xB2\xB3", true},
        {"UTF-8", "\xE3\x82\xA4\xE3\x83\xB3\xE3\x82\xB9\xE3\x83\x88\xE3\x83\xBC\xE3\x83\xAB",
         false},
        {"UTF-8 mark", "\xEF\xBB\xBFok", false},
        {"UTF-16 mark", "\xFF\xFEo\0k\0", false},
        {"UTF-16 without mark", std::string("o\0k\0", 4), false},
        {"lead byte at the end", "ok\x82", false},
        {"lead byte before a bad second byte", "\x82\x20", false},
        {"byte 0x80", "a\x80", false},
        {"byte 0xFD", "a\xFD", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.shiftJis, IsShiftJisText(c.bytes));
    }
}

TEST(IniFileSections, ListsSectionsAndKeysAsWritten) {
    const IniFile ini(
        "Lost=1\r\n[BasicOption]\r\nExecFile=a\r\nNoValue\r\n[Extra]\r\n[basicoption]\r\nX=1\r\n",
        [](const std::u16string&) { return std::string(); });
    const std::vector<IniFile::SectionKeys> sections = ini.ListSections();
    ASSERT_EQ(4u, sections.size());
    EXPECT_EQ("", sections[0].name);
    EXPECT_EQ(std::vector<std::string>{"Lost"}, sections[0].keys);
    EXPECT_EQ("BasicOption", sections[1].name);
    EXPECT_EQ((std::vector<std::string>{"ExecFile", "NoValue"}), sections[1].keys);
    EXPECT_EQ((std::vector<bool>{true, false}), sections[1].hasValue);
    EXPECT_EQ("Extra", sections[2].name);
    EXPECT_TRUE(sections[2].keys.empty());
    EXPECT_EQ("basicoption", sections[3].name);
    EXPECT_TRUE(IniFile::SameName("basicoption", "BasicOption"));
    EXPECT_FALSE(IniFile::SameName("\x83\x61", "\x83\x41"));  // a second byte never folds

    const IniFile headed("[A]\r\n", [](const std::u16string&) { return std::string(); });
    EXPECT_EQ(1u, headed.ListSections().size());
}

}  // namespace
