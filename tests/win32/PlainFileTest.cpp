// Files in their own right on the real system under Wine: what OpenPlainFileForRead
// opens and what it refuses, checked on the file it opens.
#include <windows.h>
// Needs windows.h first.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "system/FileBytes.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"

namespace {

// A fresh folder under the temporary folder, `base_` ending in a separator.
class PlainFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
        folder_ = std::wstring(temp) + L"PlainFile" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        base_ = ToCodePage(folder_) + "\\";
    }
    void TearDown() override {
        for (const wchar_t* name : {L"表.log", L"other.log", L"link.log"}) {
            DeleteFileW((folder_ + L"\\" + name).c_str());
        }
        RemoveDirectoryW((folder_ + L"\\sub").c_str());
        EXPECT_TRUE(RemoveDirectoryW(folder_.c_str()));
    }

    bool Write(const std::string& name, const std::string& text) {
        FileHandle file(CreateFileW(ToWide(base_ + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        return file &&
               WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                         nullptr) &&
               written == text.size();
    }
    // The bytes as the record is read, "<refused>" when it is not.
    std::string Read(const std::string& name) {
        std::string bytes;
        return ReadWholePlainFile(system_, base_ + name, bytes) ? bytes : "<refused>";
    }

    Win32System system_;
    std::wstring folder_;
    std::string base_;
};

TEST_F(PlainFileTest, AFileWithOneNameIsRead) {
    ASSERT_TRUE(Write("表.log", "C:\\App\\a.txt\r\n"));
    EXPECT_EQ("C:\\App\\a.txt\r\n", Read("表.log"));
    // Held while it is read: nobody writes it in between.
    std::unique_ptr<InputFile> file = system_.OpenPlainFileForRead(base_ + "表.log");
    ASSERT_TRUE(file);
    FileHandle writer(CreateFileW(ToWide(base_ + "表.log").c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer);
}

TEST_F(PlainFileTest, AFileWithASecondNameIsRefusedUnderEither) {
    ASSERT_TRUE(Write("other.log", "C:\\Windows\\system32\\kernel32.dll\r\n"));
    ASSERT_TRUE(CreateHardLinkW(ToWide(base_ + "表.log").c_str(),
                                ToWide(base_ + "other.log").c_str(), nullptr))
        << GetLastError();
    EXPECT_EQ("<refused>", Read("表.log"));
    EXPECT_EQ("<refused>", Read("other.log"));
    // The plain reading still reads it: only the record is held to one name.
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(system_, base_ + "表.log", bytes));
    ASSERT_TRUE(DeleteFileW(ToWide(base_ + "other.log").c_str()));
    EXPECT_EQ("C:\\Windows\\system32\\kernel32.dll\r\n", Read("表.log"));
}

TEST_F(PlainFileTest, FoldersAndMissingFilesAreRefused) {
    ASSERT_TRUE(CreateDirectoryW((folder_ + L"\\sub").c_str(), nullptr));
    EXPECT_EQ("<refused>", Read("sub"));
    EXPECT_EQ("<refused>", Read("missing.log"));
}

}  // namespace
