// The install data layer on the real system under Wine: a source tree scanned and
// copied, the install record, the registry records and the shortcuts, each read back
// through the raw wide API or the shell's own link object.
#include <windows.h>
// Needs windows.h first.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/FileCopy.h"
#include "install/FolderScan.h"
#include "install/InstallRecord.h"
#include "install/RegistryRecords.h"
#include "install/Shortcuts.h"
#include "system/Folders.h"
#include "system/Paths.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"
#include "tests/win32/ShellLinkReader.h"

namespace {

// Records what the data layer shows; every message box is a failure here.
class RecordingUi : public Ui {
public:
    bool ShowMessage(const std::string& text, const std::string&, MessageButtons,
                     MessageIcon) override {
        ADD_FAILURE() << "message box (code page 932): " << text;
        return false;
    }
    void PumpMessages() override { ++pumps; }
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetBarMax(int) override {}
    void SetBarPosition(int position) override { positions.push_back(position); }

    std::vector<std::string> statuses;
    std::vector<int> positions;
    int pumps = 0;
};

std::wstring Unique(const wchar_t* name) {
    return name + std::to_wstring(GetCurrentProcessId());
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    RemoveDirectoryW(folder.c_str());
}

// The whole file through the raw API; "<fail>" when it cannot be read.
std::string RawRead(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr));
    if (!file) {
        return "<fail>";
    }
    std::string data;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        data.append(chunk, got);
    }
    return data;
}

void RawWrite(const std::wstring& path, const std::string& data, DWORD attributes = 0) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
    ASSERT_EQ(written, data.size());
    file.Reset();
    if (attributes != 0) {
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes));
    }
}

std::string Contents(size_t size) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>(i * 7 + i / 509);
    }
    return data;
}

// A fresh folder under the temporary folder: `base_` (code page 932) and `wideBase_`,
// both ending in a separator.
class DataLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
        wideBase_ = temp + Unique(L"DataLayerTest");
        RemoveTree(wideBase_);
        ASSERT_TRUE(CreateDirectoryW(wideBase_.c_str(), nullptr));
        wideBase_ += L"\\";
        base_ = ToCodePage(wideBase_);
    }
    void TearDown() override { RemoveTree(wideBase_.substr(0, wideBase_.size() - 1)); }

    Win32System system_;
    RecordingUi ui_;
    std::string base_;
    std::wstring wideBase_;
};

TEST_F(DataLayerTest, ATreeIsScannedAndCopiedByteForByte) {
    // Nested and empty folders, names whose second bytes are 0x5C ("ソ", "表"), a file
    // of more than one chunk, an empty file and a hidden, system, read-only one.
    const std::wstring src = wideBase_ + L"SETUP";
    for (const wchar_t* folder :
         {L"", L"\\A", L"\\A\\B", L"\\A\\B\\C", L"\\A\\空", L"\\E", L"\\ソフト表"}) {
        ASSERT_TRUE(CreateDirectoryW((src + folder).c_str(), nullptr));
    }
    struct SourceFile {
        const wchar_t* path;
        size_t size;
        DWORD attributes;
    } files[] = {
        {L"\\a.txt", 10, 0},
        {L"\\empty.dat", 0, 0},
        {L"\\ソフト表\\表示.bin", CopyChunkSize + 4321, 0},
        {L"\\A\\B\\C\\c.txt", 3, 0},
        {L"\\A\\hidden.sys", 7,
         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY},
    };
    int64_t expectedTotal = 0;
    for (const SourceFile& file : files) {
        RawWrite(src + file.path, Contents(file.size), file.attributes);
        expectedTotal += static_cast<int64_t>(file.size);
    }

    TSetupSettings settings;
    settings.SrcFolder = ToCodePage(src);
    ScanFolderTree(system_, settings.SrcFolder, settings.SrcFolderList, settings.SrcFileList,
                   &settings.TotalSize);
    EXPECT_EQ(settings.TotalSize, expectedTotal);
    ASSERT_EQ(settings.SrcFileList.size(), std::size(files));
    const std::string srcRoot = settings.SrcFolder + "\\";
    PathList folders = settings.SrcFolderList;
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (PathList{srcRoot + "A\\", srcRoot + "A\\B\\", srcRoot + "A\\B\\C\\",
                                 srcRoot + "A\\空\\", srcRoot + "E\\", srcRoot + "ソフト表\\"}));
    // Every folder comes after the folders inside it.
    for (size_t i = 0; i < settings.SrcFolderList.size(); ++i) {
        const std::string& earlier = settings.SrcFolderList[i];
        for (size_t j = i + 1; j < settings.SrcFolderList.size(); ++j) {
            EXPECT_NE(settings.SrcFolderList[j].compare(0, earlier.size(), earlier), 0)
                << earlier << " is listed before a folder inside it";
        }
    }

    settings.DstFolder = base_ + "Program Files\\ソ表";
    MapToDestination(settings.SrcFolder, settings.DstFolder, settings.SrcFolderList,
                     settings.SrcFileList, settings.DstFolderList, settings.DstFileList);
    for (const std::string& folder : settings.DstFolderList) {
        ASSERT_TRUE(system_.CreateFolderTree(folder));
    }
    bool cancelRequested = false;
    ASSERT_TRUE(RunCopyPhase(system_, ui_, cancelRequested, settings));
    EXPECT_EQ(ui_.positions.back(), 100);
    EXPECT_EQ(ui_.statuses.back(),
              ExtractNamePart(settings.DstFileList.back()) + " をコピー中\n(100％)");

    const std::wstring dst = ToWide(settings.DstFolder);
    for (const SourceFile& file : files) {
        SCOPED_TRACE(ToCodePage(file.path));
        EXPECT_TRUE(RawRead(dst + file.path) == Contents(file.size));
        // A copy is a newly written file, never read-only.
        EXPECT_EQ(GetFileAttributesW((dst + file.path).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    }
    for (const wchar_t* empty : {L"\\A\\空", L"\\E"}) {
        EXPECT_TRUE(system_.FolderExists(ToCodePage(dst + empty)));
    }
}

// An existing file, hidden and system as some programs keep their settings, is
// replaced by a complete copy; a copy that stops half-way, or whose replacement
// cannot take the place of a file in use, leaves it as it was.
TEST_F(DataLayerTest, AnExistingFileIsReplacedOnlyByACompleteCopy) {
    const std::wstring source = wideBase_ + L"source.bin";
    const std::wstring target = wideBase_ + L"設定.dat";
    const DWORD hiding = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const size_t size = CopyChunkSize + 4321;
    RawWrite(source, Contents(size));
    struct Case {
        const char* name;
        bool cancel;
        bool inUse;  // another program has the file open and lets nobody delete it
        ChunkResult last;
    } cases[] = {
        {"copied to the end", false, false, ChunkResult::Finished},
        {"cancelled after the first chunk", true, false, ChunkResult::Finished},
        {"the file is in use", false, true, ChunkResult::WriteFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        RawWrite(target, "the user's own", hiding);
        FileHandle user;
        if (c.inUse) {
            user.Reset(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(user);
        }
        FileCopyJob job;
        int64_t skipped = 0;
        ASSERT_EQ(CopyStart::Copying, BeginFileCopy(system_, ui_, job, ToCodePage(source),
                                                    ToCodePage(target), skipped));
        uint32_t bytes = 0;
        ASSERT_EQ(ChunkResult::FullChunk, CopyNextChunk(job, bytes));
        if (c.cancel) {
            EXPECT_TRUE(AbortFileCopy(job));
        } else {
            EXPECT_EQ(c.last, CopyNextChunk(job, bytes));
        }
        user.Reset();
        const bool replaced = !c.cancel && c.last == ChunkResult::Finished;
        EXPECT_TRUE(RawRead(target) == (replaced ? Contents(size) : "the user's own"));
        EXPECT_EQ(replaced ? 0 : hiding, GetFileAttributesW(target.c_str()) & hiding);
        // Nothing is left beside the two files.
        WIN32_FIND_DATAW data;
        FindHandle find(FindFirstFileW((wideBase_ + L"*.tmp").c_str(), &data));
        EXPECT_FALSE(find);
    }
}

TEST_F(DataLayerTest, TheInstallRecordIsWrittenAndReadBackByteForByte) {
    const std::string root = base_ + "ソ表\\";
    ASSERT_TRUE(system_.CreateFolderTree(root));
    const PathList files{root + "表示.exe", root + "ソ\\a.txt"};
    const PathList folders{root + "ソ\\"};
    const std::string record = root + "_setup.log";
    ASSERT_TRUE(WriteInstallRecord(system_, record, files, root + "_uninst.exe", folders,
                                   base_ + "ソ表", true));
    EXPECT_TRUE(RawRead(ToWide(record)) == root + "表示.exe\r\n" + root + "ソ\\a.txt\r\n" + record +
                                               "\r\n" + root + "_uninst.exe\r\n.\r\n" + root +
                                               "ソ\\\r\n" + base_ + "ソ表\r\n");
    PathList readFiles;
    PathList readFolders;
    ASSERT_TRUE(LoadInstallRecord(system_, record, readFiles, readFolders));
    EXPECT_EQ(readFiles, (PathList{files[0], files[1], record, root + "_uninst.exe"}));
    EXPECT_EQ(readFolders, (PathList{folders[0], base_ + "ソ表"}));
}

// The type and UTF-16 text of a registry value; type 0 when it cannot be read.
std::pair<DWORD, std::wstring> RawValue(HKEY root, const std::string& key, const wchar_t* name) {
    RegistryKey opened;
    if (RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_READ, opened.Receive()) != ERROR_SUCCESS) {
        return {0, L""};
    }
    wchar_t data[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegQueryValueExW(opened.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS) {
        return {0, L""};
    }
    return {type, std::wstring(data, size / sizeof(wchar_t)).c_str()};
}

bool KeyExists(HKEY root, const std::string& key) {
    RegistryKey opened;
    return RegOpenKeyExW(root, ToWide(key).c_str(), 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS;
}

class RegistryRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings_.SoftName = ToCodePage(Unique(L"データ層ソ表テスト"));
        settings_.ShortcutDesktop = true;
        settings_.ShortcutPrograms = false;
        settings_.ShortcutFolder = "ソフト\\表";
        settings_.ExShortcutDesktop = false;
        settings_.ExShortcutPrograms = true;
        settings_.ExShortcutName = "説明書";
        settings_.StandAloneUninstUse = true;
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean() {
        RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(MakeProductKeyPath(settings_.SoftName)).c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, ToWide(UninstallKeyPath(settings_.SoftName)).c_str());
    }

    Win32System system_;
    TSetupSettings settings_;
};

TEST_F(RegistryRecordsTest, ValuesAreWrittenAsStringsReadBackAndDeleted) {
    const std::string product = MakeProductKeyPath(settings_.SoftName);
    const std::string entry = UninstallKeyPath(settings_.SoftName);
    const std::string program = "C:\\Program Files\\ソフト表\\表示.exe";
    const std::string command = MakeUninstallCommand("C:\\Program Files\\ソフト表\\_uninst.exe",
                                                     EncodeKeyName(settings_.SoftName));
    EXPECT_EQ(ReadInstalledPath(system_, settings_.SoftName), "");
    ASSERT_TRUE(WriteProductKeyValues(system_, settings_, "C:\\Program Files\\ソフト表\\_setup.log",
                                      program));
    ASSERT_TRUE(WriteUninstallEntry(system_, settings_, program, command));

    const std::wstring wideKeyName = ToWide(EncodeKeyName(settings_.SoftName));
    struct Value {
        HKEY root;
        const std::string& key;
        const wchar_t* name;
        std::wstring text;
    } values[] = {
        {HKEY_CURRENT_USER, product, L"LogFile", L"C:\\Program Files\\ソフト表\\_setup.log"},
        {HKEY_CURRENT_USER, product, L"Path", L"C:\\Program Files\\ソフト表\\表示.exe"},
        {HKEY_CURRENT_USER, product, L"ShortcutDesktop", L"1"},
        {HKEY_CURRENT_USER, product, L"ShortcutPrograms", L"0"},
        {HKEY_CURRENT_USER, product, L"ShortcutFolder", L"ソフト\\表"},
        {HKEY_CURRENT_USER, product, L"ExShortcutDesktop", L"0"},
        {HKEY_CURRENT_USER, product, L"ExShortcutPrograms", L"1"},
        {HKEY_CURRENT_USER, product, L"ExShortcutName", L"説明書"},
        {HKEY_LOCAL_MACHINE, entry, L"DisplayName", Unique(L"データ層ソ表テスト")},
        {HKEY_LOCAL_MACHINE, entry, L"DisplayIcon", L"C:\\Program Files\\ソフト表\\表示.exe"},
        {HKEY_LOCAL_MACHINE, entry, L"UninstallString",
         L"\"C:\\Program Files\\ソフト表\\_uninst.exe\" @" + wideKeyName},
    };
    for (const Value& value : values) {
        SCOPED_TRACE(ToCodePage(value.name));
        const auto [type, text] = RawValue(value.root, value.key, value.name);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_TRUE(text == value.text);
    }
    EXPECT_EQ(ReadInstalledPath(system_, settings_.SoftName), program);

    ASSERT_TRUE(DeleteRegistryRecords(system_, settings_));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, product));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, entry));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillfen\\SolvanInstallerMaker"));
    EXPECT_TRUE(
        KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    EXPECT_EQ(ReadInstalledPath(system_, settings_.SoftName), "");
    // The second time the product key is gone: a failure for the engine to report.
    EXPECT_FALSE(DeleteRegistryRecords(system_, settings_));
}

TEST_F(DataLayerTest, ShortcutsOnTheDesktopAndInTheProgramsMenuAreMadeAndDeleted) {
    const std::string desktop = GetSpecialFolderPath(system_, kDesktopLocation);
    const std::string programs = GetSpecialFolderPath(system_, kProgramsMenuLocation);
    ASSERT_FALSE(desktop.empty());
    ASSERT_FALSE(programs.empty());
    EXPECT_EQ(desktop, "C:\\users\\Public\\Desktop");  // the all-users desktop

    const std::string app = base_ + "ソフト表";
    ASSERT_TRUE(system_.CreateFolderTree(app + "\\doc"));
    RawWrite(ToWide(app + "\\表示.exe"), "MZ");
    RawWrite(ToWide(app + "\\doc\\説明.txt"), "text");

    TSetupSettings settings;
    settings.SoftName = ToCodePage(Unique(L"データ層ソ表"));
    settings.ExShortcutName = ToCodePage(Unique(L"説明ソ"));
    // Two levels, each ending in a character whose second byte is 0x5C.
    const std::string outer = ToCodePage(Unique(L"データ層ソ"));
    settings.ShortcutFolder = outer + "\\表";
    settings.ShortcutDesktop = true;
    settings.ExShortcutDesktop = false;
    settings.ShortcutPrograms = true;
    settings.ExShortcutPrograms = true;

    CreateShortcuts(system_, ui_, settings, kDesktopLocation, app + "\\表示.exe",
                    app + "\\doc\\説明.txt");
    CreateShortcuts(system_, ui_, settings, kProgramsMenuLocation, app + "\\表示.exe",
                    app + "\\doc\\説明.txt");

    const std::string inner = programs + "\\" + settings.ShortcutFolder;
    struct Link {
        std::string path;
        std::string target;
        std::string workingFolder;
    } links[] = {
        {desktop + "\\" + settings.SoftName + ".lnk", app + "\\表示.exe", app},
        {inner + "\\" + settings.SoftName + ".lnk", app + "\\表示.exe", app},
        {inner + "\\" + settings.ExShortcutName + ".lnk", app + "\\doc\\説明.txt", app + "\\doc"},
    };
    for (const Link& link : links) {
        SCOPED_TRACE(link.path);
        LinkContents contents;
        ASSERT_TRUE(ReadLink(ToWide(link.path), contents));
        EXPECT_TRUE(contents.target == ToWide(link.target));
        EXPECT_TRUE(contents.workingFolder == ToWide(link.workingFolder));
    }
    EXPECT_FALSE(system_.FileExists(desktop + "\\" + settings.ExShortcutName + ".lnk"));

    DeleteShortcuts(system_, settings, kDesktopLocation);
    DeleteShortcuts(system_, settings, kProgramsMenuLocation);
    for (const Link& link : links) {
        EXPECT_FALSE(system_.FileExists(link.path)) << link.path;
    }
    EXPECT_TRUE(system_.FolderExists(desktop));
    EXPECT_FALSE(system_.FolderExists(inner));
    EXPECT_TRUE(system_.FolderExists(programs + "\\" + outer));  // only the last level goes
    EXPECT_TRUE(RemoveDirectoryW(ToWide(programs + "\\" + outer).c_str()));
}

}  // namespace
