// Our settings reader against the system's private-profile reader, file by file and
// value by value, with the buffer size and code page the settings are read with.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "config/IniFile.h"
#include "system/win32/Win32System.h"
#include "tests/data/ini/TrickyIniFiles.h"

namespace {

constexpr DWORD kBufferSize = 2048;

std::string SystemRead(const std::string& path, const IniLookup& lookup) {
    // Zeroed, because Wine leaves the bytes after the last whole character as they were.
    std::string buffer(kBufferSize, '\0');
    GetPrivateProfileStringA(lookup.section.c_str(), lookup.key.c_str(), kAbsent, buffer.data(),
                             kBufferSize, path.c_str());
    return buffer.c_str();  // callers see a C string
}

class IniCompareTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        folder_ = std::string(temp) + "IniCompare" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    }

    void TearDown() override {
        for (const std::string& path : written_) {
            DeleteFileA(path.c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }

    // Each file under a name of its own: the system caches what it has read.
    std::string Write(const std::string& bytes) {
        const std::string path = folder_ + "\\" + std::to_string(written_.size()) + ".ini";
        written_.push_back(path);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    std::string folder_;
    std::vector<std::string> written_;
};

TEST_F(IniCompareTest, OurReaderReadsWhatTheSystemReads) {
    // The settings are Shift-JIS bytes; the system converts by its ANSI code page.
    ASSERT_EQ(932u, GetACP());
    Win32System windows;
    const Utf16Converter fromUtf16 = [&windows](const std::u16string& text) {
        return windows.FromUtf16(text);
    };
    for (const TrickyIniFile& file : TrickyIniFiles()) {
        const std::string path = Write(file.bytes);
        const IniFile ours(file.bytes, fromUtf16);
        for (const IniLookup& lookup : file.lookups) {
            SCOPED_TRACE(file.name + ": [" + lookup.section + "] " + lookup.key);
            const std::string mine = ours.ReadString(lookup.section, lookup.key, kAbsent);
            EXPECT_EQ(lookup.expected, mine);
            // Where Wine is known to differ, we follow Windows and skip the comparison.
            if (file.wineDiffers.empty()) {
                EXPECT_EQ(SystemRead(path, lookup), mine);
            }
        }
    }
}

}  // namespace
