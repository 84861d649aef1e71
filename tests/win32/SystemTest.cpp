// The real system interface under Wine: registry, folder resolution, files and the
// shell, each checked against the raw wide API.
#include <windows.h>
// Needs windows.h first.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <winioctl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/FileBytes.h"
#include "system/Folders.h"
#include "system/Paths.h"
#include "system/win32/DesktopShell.h"
#include "system/win32/Elevation.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"
#include "tests/win32/ShellLinkReader.h"
#include "tests/win32/UnixLinks.h"

namespace {

// ---- Registry ----

const char kTestKey[] = "Software\\SetupTests";
const wchar_t kWideTestKey[] = L"Software\\SetupTests";

// One registry root with the operations of the system interface that work on it.
struct RegistryRoot {
    const char* label;
    HKEY key;
    std::string (System::*read)(const std::string&, const std::string&, const std::string&);
    bool (System::*write)(const std::string&, const std::string&, const std::string&);
    bool (System::*remove)(const std::string&);
};

const RegistryRoot kRoots[] = {
    {"User", HKEY_CURRENT_USER, &System::ReadUserString, &System::WriteUserString,
     &System::DeleteUserKey},
    {"Machine", HKEY_LOCAL_MACHINE, &System::ReadMachineString, &System::WriteMachineString,
     &System::DeleteMachineKey},
};

// The raw bytes of a wide text, `units` characters long (NULs included).
std::string WideBytes(const wchar_t* text, size_t units) {
    return std::string(reinterpret_cast<const char*>(text), units * sizeof(wchar_t));
}

class RegistryTest : public ::testing::TestWithParam<RegistryRoot> {
protected:
    void SetUp() override { RegDeleteTreeW(GetParam().key, kWideTestKey); }
    void TearDown() override { RegDeleteTreeW(GetParam().key, kWideTestKey); }

    std::string Read(const std::string& key, const std::string& name, const std::string& def) {
        return (system_.*GetParam().read)(key, name, def);
    }
    bool Write(const std::string& key, const std::string& name, const std::string& text) {
        return (system_.*GetParam().write)(key, name, text);
    }
    bool Delete(const std::string& key) { return (system_.*GetParam().remove)(key); }

    // Creates the key with the raw API; with a name, also sets that value.
    void RawSet(const std::wstring& key, const wchar_t* name = nullptr, DWORD type = REG_SZ,
                const std::string& data = std::string()) {
        RegistryKey created;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExW(GetParam().key, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, created.Receive(), nullptr));
        if (name != nullptr) {
            ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(created.Get(), name, 0, type,
                                                    reinterpret_cast<const BYTE*>(data.data()),
                                                    static_cast<DWORD>(data.size())));
        }
    }
    bool KeyExists(const std::wstring& key) {
        RegistryKey opened;
        return RegOpenKeyExW(GetParam().key, key.c_str(), 0, KEY_READ, opened.Receive()) ==
               ERROR_SUCCESS;
    }
    // The value's type and raw bytes; type 0 when it cannot be read.
    std::pair<DWORD, std::string> RawValue(const std::wstring& key, const std::wstring& name) {
        RegistryKey opened;
        if (RegOpenKeyExW(GetParam().key, key.c_str(), 0, KEY_READ, opened.Receive()) !=
            ERROR_SUCCESS) {
            return {0, std::string()};
        }
        DWORD type = 0;
        BYTE data[512];
        DWORD size = sizeof(data);
        if (RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            return {0, std::string()};
        }
        return {type, std::string(reinterpret_cast<const char*>(data), size)};
    }

    Win32System system_;
};

TEST_P(RegistryTest, ReadsOnlyStringValuesAndCutsThemAtTheFirstNul) {
    const std::wstring key = std::wstring(kWideTestKey) + L"\\Read";
    const DWORD number = 42;
    struct Case {
        const wchar_t* name;
        DWORD type;
        std::string data;
        std::string expected;
    };
    const Case cases[] = {
        {L"Plain", REG_SZ, WideBytes(L"abc", 4), "abc"},
        {L"Empty", REG_SZ, WideBytes(L"", 1), ""},
        {L"Unexpanded", REG_EXPAND_SZ, WideBytes(L"%SystemRoot%\\x", 15), "%SystemRoot%\\x"},
        {L"EmbeddedNul", REG_SZ, WideBytes(L"ab\0cd", 6), "ab"},
        {L"Unterminated", REG_SZ, WideBytes(L"xyz", 3), "xyz"},
        {L"Japanese", REG_SZ, WideBytes(L"ソフト表示", 6), "ソフト表示"},
        {L"Number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4), "def"},
        {L"Binary", REG_BINARY, "\x01\x02", "def"},
        {L"List", REG_MULTI_SZ, WideBytes(L"a\0b\0", 5), "def"},
    };
    for (const Case& c : cases) {
        RawSet(key, c.name, c.type, c.data);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(ToCodePage(c.name));
        EXPECT_EQ(c.expected, Read(std::string(kTestKey) + "\\Read", ToCodePage(c.name), "def"));
    }
}

TEST_P(RegistryTest, MissingValueReadsEmptyAndMissingKeyReadsDefault) {
    RawSet(kWideTestKey);
    EXPECT_EQ("", Read(kTestKey, "Missing", "def"));
    EXPECT_EQ("def", Read(std::string(kTestKey) + "\\NoSuchKey", "Missing", "def"));
    EXPECT_EQ("def", Read(std::string(kTestKey) + "\\No\\Such\\Key", "", "def"));
}

TEST_P(RegistryTest, WriteCreatesParentKeysAndStoresTerminatedText) {
    const std::string key = std::string(kTestKey) + "\\A\\B\\C";
    ASSERT_TRUE(Write(key, "Name", "value"));
    for (const wchar_t* level : {L"\\A", L"\\A\\B", L"\\A\\B\\C"}) {
        SCOPED_TRACE(ToCodePage(level));
        EXPECT_TRUE(KeyExists(std::wstring(kWideTestKey) + level));
    }
    const std::wstring wideKey = std::wstring(kWideTestKey) + L"\\A\\B\\C";
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, WideBytes(L"value", 6)), RawValue(wideKey, L"Name"));

    // Rewriting with a shorter text leaves nothing of the old one.
    ASSERT_TRUE(Write(key, "Name", "v"));
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, WideBytes(L"v", 2)), RawValue(wideKey, L"Name"));
    EXPECT_EQ("v", Read(key, "Name", "def"));
}

TEST_P(RegistryTest, ShiftJisNamesWithBackslashTrailBytesRoundTrip) {
    // "ソ" and "表" end in the byte 0x5C; neither may split the key path.
    const std::string key = std::string(kTestKey) + "\\ソフト\\表示";
    ASSERT_TRUE(Write(key, "名前ソ", "値ソ表"));
    EXPECT_TRUE(KeyExists(std::wstring(kWideTestKey) + L"\\ソフト\\表示"));
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, WideBytes(L"値ソ表", 4)),
              RawValue(std::wstring(kWideTestKey) + L"\\ソフト\\表示", L"名前ソ"));
    EXPECT_EQ("値ソ表", Read(key, "名前ソ", "def"));

    EXPECT_TRUE(Delete(std::string(kTestKey) + "\\ソフト"));
    EXPECT_FALSE(KeyExists(std::wstring(kWideTestKey) + L"\\ソフト"));
}

TEST_P(RegistryTest, DeleteRemovesEverySubKeyAndKeepsParentAndSiblings) {
    const std::wstring root = std::wstring(kWideTestKey) + L"\\Product";
    RawSet(root, L"Path", REG_SZ, WideBytes(L"C:\\x", 5));
    RawSet(root + L"\\A\\B\\C", L"Deep", REG_SZ, WideBytes(L"1", 2));
    RawSet(root + L"\\A\\D");
    RawSet(root + L"\\E", L"Number", REG_DWORD, std::string(4, '\0'));
    RawSet(std::wstring(kWideTestKey) + L"\\Sibling", L"Keep", REG_SZ, WideBytes(L"1", 2));

    EXPECT_TRUE(Delete(std::string(kTestKey) + "\\Product"));
    EXPECT_FALSE(KeyExists(root));
    EXPECT_TRUE(KeyExists(kWideTestKey));
    EXPECT_EQ("1", Read(std::string(kTestKey) + "\\Sibling", "Keep", "def"));
}

TEST_P(RegistryTest, DeleteOfMissingKeyFailsAndDeletesNothing) {
    RawSet(kWideTestKey, L"Keep", REG_SZ, WideBytes(L"1", 2));
    EXPECT_FALSE(Delete(std::string(kTestKey) + "\\Missing"));
    EXPECT_FALSE(Delete(std::string(kTestKey) + "\\Missing\\Deeper"));
    EXPECT_EQ("1", Read(kTestKey, "Keep", "def"));
}

INSTANTIATE_TEST_SUITE_P(BothRoots, RegistryTest, ::testing::ValuesIn(kRoots),
                         [](const ::testing::TestParamInfo<RegistryRoot>& info) {
                             return std::string(info.param.label);
                         });

// ---- Folder resolution through the real system ----

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(FolderResolutionTest, SystemFoldersAndBaseFolders) {
    Win32System system;
    EXPECT_EQ("C:", GetSystemFolderPath(system, 0));
    for (int kind = 1; kind <= 3; ++kind) {
        SCOPED_TRACE(kind);
        const std::string folder = GetSystemFolderPath(system, kind);
        EXPECT_EQ(0u, folder.rfind("C:\\", 0)) << folder;
        EXPECT_TRUE(system.FolderExists(folder)) << folder;
    }
    EXPECT_TRUE(EndsWith(GetSystemFolderPath(system, 3), "\\"));

    EXPECT_EQ("C:\\", GetBaseFolder(system, 1));
    EXPECT_EQ("\\", GetBaseFolder(system, 8));
    EXPECT_EQ("\\", GetBaseFolder(system, -1));
    EXPECT_TRUE(EndsWith(GetBaseFolder(system, 0), "Program Files\\")) << GetBaseFolder(system, 0);
}

TEST(FolderResolutionTest, EveryShellFolderResolvesTheSameBothWays) {
    Win32System system;
    const WindowsVersion version = system.GetWindowsVersion();
    EXPECT_GE(version.major, 5u);
    for (int index = 0; index < 10; ++index) {
        SCOPED_TRACE(index);
        const std::string path = GetSpecialFolderPath(system, index);
        EXPECT_NE("", path);
        // Wine gives My Documents with a trailing separator through the item list.
        EXPECT_EQ(AddTrailingSeparator(path),
                  AddTrailingSeparator(system.ShellFolderLocation(SpecialFolderTable[index])));
    }
}

TEST(FolderResolutionTest, UnknownShellFolderGivesEmptyText) {
    Win32System system;
    EXPECT_EQ("", system.ShellFolderPath(0x7F));
    EXPECT_EQ("", system.ShellFolderLocation(0x7F));
}

TEST(ProcessTest, ExecutablePathNamesTheRunningProgram) {
    Win32System system;
    const std::string path = system.ExecutablePath();
    EXPECT_TRUE(EndsWith(path, "win32_tests.exe")) << path;
    EXPECT_TRUE(system.FileExists(path));
}

// ---- Files and folders ----

// A fresh folder under the temporary folder for each test: `base_` in code page 932
// and `wideBase_` in UTF-16, both ending in a separator.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
        wideBase_ = std::wstring(temp) + L"SetupTests" + std::to_wstring(GetCurrentProcessId());
        RemoveUnixTree(wideBase_);
        ASSERT_TRUE(CreateDirectoryW(wideBase_.c_str(), nullptr));
        wideBase_ += L"\\";
        base_ = ToCodePage(wideBase_);
    }
    void TearDown() override {
        EXPECT_TRUE(RemoveUnixTree(wideBase_.substr(0, wideBase_.size() - 1)));
    }

    // Writes a file through the raw API, over an existing one.
    bool WriteText(const std::string& path, const std::string& data) {
        FileHandle file(CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        return file &&
               WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written,
                         nullptr) &&
               written == data.size();
    }
    // What a program opened through the shell, which runs on by itself, writes into
    // `output`: waits until the file holds a whole line and can be removed.
    std::string WaitForOutput(const std::string& output) {
        std::string text;
        bool removed = false;
        for (int wait = 0; wait < 300 && !removed; ++wait) {
            Sleep(100);
            if (system_.FileExists(output)) {
                text = ReadText(output);
                removed = text.find('\n') != std::string::npos && system_.RemoveFile(output);
            }
        }
        return text;
    }
    // The whole file as the program reads it; "<fail>" when it cannot be read.
    std::string ReadText(const std::string& path) {
        std::string data;
        return ReadWholeFile(system_, path, data) ? data : "<fail>";
    }
    // The entries of a folder as "name/" for folders and "name:size" for files, sorted.
    std::vector<std::string> Listing(const std::string& folder) {
        std::vector<FindEntry> entries;
        EXPECT_TRUE(system_.FindFiles(folder + "*.*", entries));
        std::vector<std::string> listing;
        for (const FindEntry& entry : entries) {
            listing.push_back(entry.isFolder ? entry.name + "/"
                                             : entry.name + ":" + std::to_string(entry.size));
        }
        std::sort(listing.begin(), listing.end());
        return listing;
    }

    Win32System system_;
    std::string base_;
    std::wstring wideBase_;
};

using FileSystemTest = TempFolderTest;

TEST_F(FileSystemTest, WrittenFileReadsBackWithItsSize) {
    std::string data;
    for (int i = 0; i < 200000; ++i) {
        data += static_cast<char>(i * 7 % 251);
    }
    const std::string path = base_ + "data.bin";
    {
        std::unique_ptr<OutputFile> file = system_.CreateNewForWrite(path);
        ASSERT_TRUE(file);
        for (size_t offset = 0; offset < data.size(); offset += 65536) {
            const uint32_t size =
                static_cast<uint32_t>(std::min<size_t>(65536, data.size() - offset));
            uint32_t written = 0;
            ASSERT_TRUE(file->Write(data.data() + offset, size, written));
            ASSERT_EQ(size, written);
        }
    }
    EXPECT_EQ(data, ReadText(path));
    std::unique_ptr<InputFile> file = system_.OpenForRead(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(static_cast<int64_t>(data.size()), file->Size());
}

// A new file is made only where nothing of its name is: not over a file, a folder,
// or a link, even one whose target is gone.
TEST_F(FileSystemTest, ANewFileIsMadeOnlyWhereNothingIs) {
    ASSERT_TRUE(WriteText(base_ + "file.txt", "kept"));
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "folder"));
    ASSERT_TRUE(WriteText(base_ + "elsewhere.txt", "elsewhere"));
    ASSERT_TRUE(MakeUnixLink(wideBase_ + L"link.txt", wideBase_ + L"elsewhere.txt"));
    ASSERT_TRUE(WriteText(base_ + "gone.txt", "gone"));
    ASSERT_TRUE(MakeUnixLink(wideBase_ + L"dangling.txt", wideBase_ + L"gone.txt"));
    ASSERT_TRUE(DeleteFileW((wideBase_ + L"gone.txt").c_str()));
    for (const char* name : {"file.txt", "folder", "link.txt", "dangling.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(system_.CreateNewForWrite(base_ + name));
    }
    EXPECT_EQ("kept", ReadText(base_ + "file.txt"));
    EXPECT_EQ("elsewhere", ReadText(base_ + "elsewhere.txt"));
    EXPECT_FALSE(system_.FileExists(base_ + "gone.txt"));
    EXPECT_TRUE(system_.CreateNewForWrite(base_ + "new.txt"));
}

// A file given up is deleted through its handle: the file written, whatever its name
// leads to by then.
TEST_F(FileSystemTest, ADiscardedFileGoesWhateverItsNameLeadsTo) {
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "dst"));
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "victim"));
    ASSERT_TRUE(WriteText(base_ + "victim\\a.bin", "victim"));
    std::unique_ptr<OutputFile> file = system_.CreateNewForWrite(base_ + "dst\\a.bin");
    ASSERT_TRUE(file);
    ASSERT_TRUE(MoveFileW((wideBase_ + L"dst").c_str(), (wideBase_ + L"moved").c_str()));
    ASSERT_TRUE(MakeUnixLink(wideBase_ + L"dst", wideBase_ + L"victim"));
    // Wine keeps the file, once its name leads elsewhere; Windows deletes it.
    file->Discard();
    EXPECT_EQ("victim", ReadText(base_ + "victim\\a.bin"));
}

TEST_F(FileSystemTest, OpeningFailsForMissingFilesAndFolders) {
    EXPECT_FALSE(system_.OpenForRead(base_ + "missing.txt"));
    EXPECT_FALSE(system_.OpenForRead(base_));
    EXPECT_FALSE(system_.CreateNewForWrite(base_ + "missing\\a.txt"));
}

TEST_F(FileSystemTest, ReadersShareAFileThatNoWriterMayOpen) {
    const std::string path = base_ + "shared.txt";
    ASSERT_TRUE(WriteText(path, "shared"));
    {
        std::unique_ptr<InputFile> first = system_.OpenForRead(path);
        std::unique_ptr<InputFile> second = system_.OpenForRead(path);
        EXPECT_TRUE(first);
        EXPECT_TRUE(second);
        EXPECT_FALSE(WriteText(path, "no"));
    }
    EXPECT_TRUE(WriteText(path, "free again"));
}

TEST_F(FileSystemTest, ExistenceTellsFilesFromFolders) {
    ASSERT_TRUE(WriteText(base_ + "file.txt", "1"));
    ASSERT_TRUE(CreateDirectoryW((wideBase_ + L"folder").c_str(), nullptr));
    struct Case {
        std::string path;
        bool file;
        bool folder;
    };
    const Case cases[] = {
        {base_ + "file.txt", true, false},           {base_ + "folder", false, true},
        {base_ + "folder\\", false, true},           {base_ + "missing", false, false},
        {base_ + "missing\\file.txt", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.file, system_.FileExists(c.path));
        EXPECT_EQ(c.folder, system_.FolderExists(c.path));
    }
}

TEST_F(FileSystemTest, FindFilesReportsSizesAndFolders) {
    ASSERT_TRUE(WriteText(base_ + "a.txt", "12345"));
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "sub"));
    {
        // A sparse file beyond 4 GiB: its size needs the high half of the find data.
        FileHandle big(CreateFileW((wideBase_ + L"big.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(big);
        LARGE_INTEGER size;
        size.QuadPart = (int64_t{5} << 30) + 3;
        ASSERT_TRUE(SetFilePointerEx(big.Get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(big.Get()));
    }
    EXPECT_EQ(
        std::vector<std::string>(
            {"../", "./", "a.txt:5", "big.bin:" + std::to_string((int64_t{5} << 30) + 3), "sub/"}),
        Listing(base_));
    EXPECT_EQ((int64_t{5} << 30) + 3, system_.OpenForRead(base_ + "big.bin")->Size());
}

TEST_F(FileSystemTest, FindFilesFailsForMissingFolder) {
    std::vector<FindEntry> entries(1);
    EXPECT_FALSE(system_.FindFiles(base_ + "missing\\*.*", entries));
    EXPECT_TRUE(entries.empty());
}

TEST_F(FileSystemTest, NamesWithBackslashTrailBytesRoundTrip) {
    // "ソ" is 0x83 0x5C and "表" 0x95 0x5C: the second bytes must never act as separators.
    const std::string folder = base_ + "ソ";
    const std::string file = folder + "\\表.txt";
    ASSERT_TRUE(system_.CreateFolderTree(folder));
    ASSERT_TRUE(WriteText(file, "abc"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wideBase_ + L"ソ\\表.txt").c_str()));
    EXPECT_EQ(std::vector<std::string>({"../", "./", "ソ/"}), Listing(base_));
    EXPECT_EQ(std::vector<std::string>({"../", "./", "表.txt:3"}), Listing(folder + "\\"));
    EXPECT_TRUE(system_.FileExists(file));
    EXPECT_TRUE(system_.FolderExists(folder));

    EXPECT_TRUE(system_.RemoveFile(file));
    EXPECT_FALSE(system_.FileExists(file));
    EXPECT_TRUE(system_.RemoveEmptyFolder(folder));
    EXPECT_FALSE(system_.FolderExists(folder));
}

TEST_F(FileSystemTest, NameOutsideTheCodePageIsListedWithQuestionMark) {
    FileHandle file(CreateFileW((wideBase_ + L"x\uAC00y.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    file.Reset();
    EXPECT_EQ(std::vector<std::string>({"../", "./", "x?y.txt:0"}), Listing(base_));
}

// A folder of a Western user's name is held by its short form, which names that
// folder and no other; the Japanese one beside it as it is.
TEST_F(FileSystemTest, FolderOutsideTheCodePageIsHeldByItsShortForm) {
    struct Case {
        std::wstring name;
        bool exact;
    } cases[] = {
        {L"J\u00FCrgen", false},
        {L"\u0141ukasz Zo\u00EB", false},
        {L"\u592A\u90CE", true},
    };
    for (const Case& c : cases) {
        const std::wstring wide = wideBase_ + c.name;
        SCOPED_TRACE(ToCodePage(wide));
        ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
        const std::string held = HeldPath(system_, std::u16string(wide.begin(), wide.end()));
        if (c.exact) {
            EXPECT_EQ(ToCodePage(wide), held);
        } else {
            EXPECT_TRUE(std::all_of(held.begin(), held.end(), [](char b) {
                return static_cast<unsigned char>(b) < 0x80;
            })) << held;
            EXPECT_EQ(std::string::npos, held.find('?')) << held;
        }
        EXPECT_TRUE(system_.FolderExists(held));
        ASSERT_TRUE(WriteText(held + "\\held.txt", "x"));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wide + L"\\held.txt").c_str()));
    }
}

TEST_F(FileSystemTest, MissingFolderOutsideTheCodePageKeepsQuestionMarks) {
    const std::wstring wide = wideBase_ + L"J\u00FCrgen";
    EXPECT_EQ(u"", system_.ShortPath(std::u16string(wide.begin(), wide.end())));
    EXPECT_EQ(base_ + "J?rgen", HeldPath(system_, std::u16string(wide.begin(), wide.end())));
    EXPECT_FALSE(system_.CreateFolderTree(base_ + "J?rgen\\Sub"));
    EXPECT_EQ(std::vector<std::string>({"../", "./"}), Listing(base_));
}

TEST_F(FileSystemTest, CreateFolderTreeCreatesEveryMissingLevel) {
    struct Case {
        std::string path;  // below the base folder
        std::vector<std::wstring> levels;
        bool created;  // the last level by this call
    };
    const Case cases[] = {
        {"a\\b\\c", {L"a", L"a\\b", L"a\\b\\c"}, true},
        {"d\\e\\", {L"d", L"d\\e"}, true},
        {"f/g/h", {L"f", L"f\\g", L"f\\g\\h"}, true},
        {"i\\\\j", {L"i", L"i\\j"}, true},
        {"a\\b\\k", {L"a\\b\\k"}, true},
        {"a\\b", {L"a\\b"}, false},
        {"ソ\\表\\能", {L"ソ", L"ソ\\表", L"ソ\\表\\能"}, true},
        {"", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        bool created = !c.created;
        EXPECT_TRUE(system_.CreateFolderTree(base_ + c.path, &created));
        EXPECT_EQ(c.created, created);
        for (const std::wstring& level : c.levels) {
            SCOPED_TRACE(ToCodePage(level));
            const DWORD attributes = GetFileAttributesW((wideBase_ + level).c_str());
            EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES &&
                        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    }
    // No level was taken from inside a double-byte character.
    EXPECT_EQ(std::vector<std::string>({"../", "./", "a/", "d/", "f/", "i/", "ソ/"}),
              Listing(base_));
    EXPECT_TRUE(system_.CreateFolderTree("C:\\"));
    EXPECT_TRUE(system_.CreateFolderTree(base_.substr(0, base_.size() - 1)));
}

// A drive letter that the system does not have, such as "Q:\".
std::string MissingDriveRoot() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) {
            return std::string(1, letter) + ":\\";
        }
    }
    return std::string();
}

TEST_F(FileSystemTest, CreateFolderTreeFailsThroughFilesAndMissingDrives) {
    ASSERT_TRUE(WriteText(base_ + "file", "1"));
    EXPECT_FALSE(system_.CreateFolderTree(base_ + "file\\sub"));
    EXPECT_FALSE(system_.CreateFolderTree(base_ + "file"));
    const std::string missingDrive = MissingDriveRoot();
    ASSERT_NE("", missingDrive);
    EXPECT_FALSE(system_.CreateFolderTree(missingDrive + "a\\b"));
    EXPECT_FALSE(system_.CreateFolderTree(""));
}

TEST_F(FileSystemTest, RemovalOfFilesAndEmptyFoldersOnly) {
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "full"));
    ASSERT_TRUE(WriteText(base_ + "full\\a.txt", "1"));
    EXPECT_FALSE(system_.RemoveEmptyFolder(base_ + "full"));
    EXPECT_TRUE(system_.FileExists(base_ + "full\\a.txt"));
    EXPECT_FALSE(system_.RemoveFile(base_ + "full"));

    EXPECT_TRUE(system_.RemoveFile(base_ + "full\\a.txt"));
    EXPECT_FALSE(system_.RemoveFile(base_ + "full\\a.txt"));
    EXPECT_TRUE(system_.RemoveEmptyFolder(base_ + "full"));
    EXPECT_FALSE(system_.RemoveEmptyFolder(base_ + "full"));
}

TEST_F(FileSystemTest, OnlyARealFolderIsAPlainFolder) {
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "folder\\" + "表"));
    ASSERT_TRUE(WriteText(base_ + "file.txt", "1"));
    const struct {
        std::string path;
        bool plain;
    } cases[] = {
        {base_ + "folder", true},      {base_ + "folder\\", true}, {base_ + "folder\\表", true},
        {base_ + "file.txt", false},   {base_ + "missing", false}, {"", false},
        {base_ + "missing\\x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.plain, system_.IsPlainFolder(c.path));
    }
}

// A link to a folder is no plain folder, whether or not its name ends in a separator
// (Wine reports the link only without one), and cannot be held.
TEST_F(FileSystemTest, ALinkIsNoPlainFolder) {
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "target\\inner"));
    ASSERT_TRUE(MakeUnixLink(wideBase_ + L"link", wideBase_ + L"target"));
    EXPECT_TRUE(system_.FolderExists(base_ + "link\\inner"));
    for (const char* name : {"link", "link\\", "link/", "link\\\\"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(system_.IsPlainFolder(base_ + name));
        EXPECT_FALSE(system_.HoldFolder(base_ + name));
    }
    EXPECT_TRUE(system_.IsPlainFolder(base_ + "target\\"));
    EXPECT_TRUE(system_.HoldFolder(base_ + "target\\"));
}

// Removals through a held folder reach only what lies inside it where the system
// finally finds it, and never a link itself.
TEST_F(FileSystemTest, AHeldFolderRemovesOnlyWhatLiesInsideIt) {
    const std::string root = base_ + "root\\";
    ASSERT_TRUE(system_.CreateFolderTree(root + "sub\\empty"));
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "victim\\empty"));
    for (const std::string& file :
         {root + "a.txt", root + "sub\\b.txt", base_ + "victim\\b.txt", base_ + "victim.txt"}) {
        ASSERT_TRUE(WriteText(file, "x"));
    }
    ASSERT_TRUE(MakeUnixLink(ToWide(root + "out"), wideBase_ + L"victim"));
    ASSERT_TRUE(MakeUnixLink(ToWide(root + "file.lnk"), wideBase_ + L"victim.txt"));
    ASSERT_TRUE(MakeUnixLink(ToWide(root + "in"), ToWide(root + "sub")));
    std::unique_ptr<HeldFolder> held = system_.HoldFolder(root);
    ASSERT_TRUE(held);
    // Nobody else can move the held folder away.
    EXPECT_FALSE(MoveFileW(ToWide(base_ + "root").c_str(), (wideBase_ + L"moved").c_str()));
    const struct {
        std::string path;
        bool folder;
        bool removed;
    } cases[] = {
        {root + "out\\b.txt", false, false},  // through a link, out of the folder
        {root + "out\\empty", true, false},
        {root + "out", true, false},  // the link itself
        {root + "file.lnk", false, false},
        {base_ + "victim.txt", false, false},
        {root + "..\\victim.txt", false, false},
        {root + "a.txt", true, false},  // of the other kind
        {root + "sub", false, false},
        {root + "sub", true, false},  // not empty
        {root + "missing.txt", false, false},
        {root + "a.txt", false, true},
        {root + "sub\\b.txt", false, true},
        {root + "sub\\empty\\", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.removed, held->RemoveInside(c.path, c.folder));
    }
    EXPECT_TRUE(system_.FileExists(base_ + "victim\\b.txt"));
    EXPECT_TRUE(system_.FolderExists(base_ + "victim\\empty"));
    EXPECT_TRUE(system_.FileExists(base_ + "victim.txt"));
    EXPECT_FALSE(held->RemoveInside(root, true));  // links still in it
    ASSERT_TRUE(RemoveUnixTree(ToWide(root + "out")));
    ASSERT_TRUE(RemoveUnixTree(ToWide(root + "file.lnk")));
    ASSERT_TRUE(RemoveUnixTree(ToWide(root + "in")));
    EXPECT_TRUE(held->RemoveInside(root + "sub", true));
    EXPECT_TRUE(held->RemoveInside(root, true));
    held.reset();
    EXPECT_FALSE(system_.FolderExists(root));
    EXPECT_TRUE(system_.FolderExists(base_ + "victim\\empty"));
}

// A complete replacement takes the target's place through its handle, whatever the
// target's hidden and system attributes.
TEST_F(FileSystemTest, ReplacementTakesThePlaceOfHiddenAndSystemFiles) {
    const DWORD cases[] = {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE};
    const std::string target = base_ + "表.dat";
    const std::string replacement = base_ + "~setup1.tmp";
    for (DWORD attributes : cases) {
        SCOPED_TRACE(attributes);
        ASSERT_TRUE(WriteText(target, "old"));
        ASSERT_TRUE(SetFileAttributesW(ToWide(target).c_str(), attributes));
        std::unique_ptr<OutputFile> file = system_.CreateNewForWrite(replacement);
        uint32_t written = 0;
        ASSERT_TRUE(file && file->Write("new", 3, written));
        EXPECT_TRUE(file->Replace(target));
        file.reset();
        EXPECT_EQ("new", ReadText(target));
        EXPECT_FALSE(system_.FileExists(replacement));
        const DWORD now = GetFileAttributesW(ToWide(target).c_str());
        EXPECT_EQ(0u, now & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    }
}

// A replacement that cannot take the target's place leaves both files as they were:
// a read-only target, a target in another folder, a target that is a link, and a
// target folder swapped for a link after the replacement was made there.
TEST_F(FileSystemTest, FailedReplacementLeavesBothFilesAsTheyWere) {
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "dst"));
    ASSERT_TRUE(system_.CreateFolderTree(base_ + "other"));
    ASSERT_TRUE(WriteText(base_ + "other\\kept.txt", "other"));
    ASSERT_TRUE(MakeUnixLink(wideBase_ + L"dst\\link.txt", wideBase_ + L"other\\kept.txt"));
    struct Case {
        const char* name;
        DWORD attributes;
        std::string target;
        bool swapFolder;
    } cases[] = {
        {"read-only target", FILE_ATTRIBUTE_READONLY, base_ + "dst\\kept.txt", false},
        {"read-only hidden target", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
         base_ + "dst\\kept.txt", false},
        {"target in another folder", FILE_ATTRIBUTE_HIDDEN, base_ + "other\\hidden.txt", false},
        {"target is a link", 0, base_ + "dst\\link.txt", false},
        {"folder swapped for a link", FILE_ATTRIBUTE_HIDDEN, base_ + "dst\\kept.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.attributes != 0) {
            SetFileAttributesW(ToWide(c.target).c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(WriteText(c.target, "kept"));
            ASSERT_TRUE(SetFileAttributesW(ToWide(c.target).c_str(), c.attributes));
        }
        const std::string before = ReadText(c.target);
        std::unique_ptr<OutputFile> file = system_.CreateNewForWrite(base_ + "dst\\~setup1.tmp");
        ASSERT_TRUE(file);
        if (c.swapFolder) {
            ASSERT_TRUE(MoveFileW((wideBase_ + L"dst").c_str(), (wideBase_ + L"dst.old").c_str()));
            ASSERT_TRUE(MakeUnixLink(wideBase_ + L"dst", wideBase_ + L"other"));
        }
        EXPECT_FALSE(file->Replace(c.target));
        // The file that was the target, wherever it is now.
        const std::string old = c.swapFolder ? base_ + "dst.old\\kept.txt" : c.target;
        EXPECT_EQ(before, ReadText(old));
        if (c.attributes != 0) {
            EXPECT_EQ(c.attributes,
                      GetFileAttributesW(ToWide(old).c_str()) & ~FILE_ATTRIBUTE_ARCHIVE);
        }
        // Wine knows an open file by the name it was opened under and may keep it once
        // that name leads elsewhere; Windows deletes it.
        const bool discarded = file->Discard();
        EXPECT_TRUE(discarded || c.swapFolder);
        EXPECT_EQ("other", ReadText(base_ + "other\\kept.txt"));
        EXPECT_FALSE(system_.FileExists(base_ + "other\\~setup1.tmp"));
    }
    EXPECT_FALSE(system_.IsReadOnlyFile(base_ + "missing.txt"));
    EXPECT_FALSE(system_.IsReadOnlyFile(base_));
}

// Beyond MAX_PATH, with either separator and a "..": each operation reaches the
// same file.
TEST_F(FileSystemTest, PathsBeyondMaxPathWork) {
    std::string folder = base_;
    while (folder.size() < 300) {
        folder += std::string(50, 'd') + "/x\\..\\";
    }
    const std::string leaf = folder + "葉";
    const std::string file = leaf + "\\file.txt";
    ASSERT_TRUE(system_.CreateFolderTree(leaf));
    EXPECT_TRUE(system_.FolderExists(leaf));
    ASSERT_TRUE(WriteText(file, "deep"));
    EXPECT_TRUE(system_.FileExists(file));
    EXPECT_EQ("deep", ReadText(file));
    const std::vector<std::string> listing = Listing(leaf + "\\");
    EXPECT_NE(listing.end(), std::find(listing.begin(), listing.end(), "file.txt:4"));
    EXPECT_FALSE(system_.RemoveEmptyFolder(leaf));
    EXPECT_TRUE(system_.RemoveFile(file));
    EXPECT_FALSE(system_.FileExists(file));
    EXPECT_TRUE(system_.RemoveEmptyFolder(leaf));
    EXPECT_FALSE(system_.FolderExists(leaf));
}

TEST(DiskSpaceTest, FreeBytesOfExistingAndMissingDrives) {
    Win32System system;
    EXPECT_GT(system.DiskFreeBytes("C:\\"), 0);
    const std::string missingDrive = MissingDriveRoot();
    ASSERT_NE("", missingDrive);
    EXPECT_EQ(-1, system.DiskFreeBytes(missingDrive));
}

// ---- The shell ----

using ShellTest = TempFolderTest;

TEST_F(ShellTest, WrittenLinkReadsBackWithTargetArgumentsAndWorkingFolder) {
    const std::string folder = base_ + "ソフト";
    ASSERT_TRUE(system_.CreateFolderTree(folder));
    ASSERT_TRUE(WriteText(folder + "\\表示.exe", "MZ"));
    ASSERT_TRUE(WriteText(base_ + "other.exe", "MZ"));
    const std::string linkPath = base_ + "ソフト表示.lnk";

    ASSERT_TRUE(system_.WriteShellLink(base_ + "other.exe", "", base_, 10, linkPath));
    // Writing again replaces the link.
    ASSERT_TRUE(
        system_.WriteShellLink(folder + "\\表示.exe", "/a", folder, SW_SHOWDEFAULT, linkPath));

    LinkContents contents;
    ASSERT_TRUE(ReadLink(wideBase_ + L"ソフト表示.lnk", contents));
    EXPECT_EQ(wideBase_ + L"ソフト\\表示.exe", contents.target);
    EXPECT_EQ(L"/a", contents.arguments);
    EXPECT_EQ(wideBase_ + L"ソフト", contents.workingFolder);
    // Wine's link object reads every show command back as normal; the header holds it.
    const std::string bytes = ReadText(linkPath);
    ASSERT_GT(bytes.size(), 0x40u);
    EXPECT_EQ(SW_SHOWDEFAULT, bytes[0x3C]) << "show command in the link header";
}

TEST_F(ShellTest, LinkInMissingFolderFails) {
    ASSERT_TRUE(WriteText(base_ + "app.exe", "MZ"));
    EXPECT_FALSE(
        system_.WriteShellLink(base_ + "app.exe", "", base_, 10, base_ + "missing\\app.lnk"));
    EXPECT_FALSE(system_.FolderExists(base_ + "missing"));
}

// Unelevated, a file is opened directly where the desktop offers no shell to open it.
TEST_F(ShellTest, OpenedBatchFileRunsInTheWorkingFolder) {
    const std::string folder = base_ + "作業ソ";
    ASSERT_TRUE(system_.CreateFolderTree(folder));
    ASSERT_TRUE(WriteText(base_ + "where.bat", "@cd > where.txt\r\n"));
    ASSERT_TRUE(OpenAsUser(ToWide(base_ + "where.bat"), ToWide(folder), false));
    EXPECT_EQ(folder + "\r\n", WaitForOutput(folder + "\\where.txt"));
}

// Elevated (as Wine reports every process), a file opens only through the desktop's
// shell, as the desktop's user, never with the program's own rights; ShellOpen's
// answer is what was done. Whether Wine's shell answers on the test runs' virtual
// desktop varies, so either answer is taken; each call into it is one more chance for
// Wine's explorer to fail and take the test desktop with it, so there is one.
TEST_F(ShellTest, ElevatedOpensOnlyThroughTheDesktopShell) {
    if (!IsProcessElevated()) {
        GTEST_SKIP() << "not elevated";
    }
    const std::string folder = base_ + "作業ソ";
    ASSERT_TRUE(system_.CreateFolderTree(folder));
    ASSERT_TRUE(WriteText(base_ + "where.bat", "@cd > where.txt\r\n"));
    const std::string output = folder + "\\where.txt";
    if (system_.ShellOpen(base_ + "where.bat", folder)) {
        EXPECT_EQ(folder + "\r\n", WaitForOutput(output));
    } else {
        Sleep(3000);
        EXPECT_FALSE(system_.FileExists(output));
    }
}

TEST_F(ShellTest, OpeningMissingFileFails) {
    EXPECT_FALSE(system_.ShellOpen(base_ + "missing.txt", base_));
}

}  // namespace
