// The uninstallation with the real system under Wine while a standard user swaps a
// folder for a link once the record is read: nothing outside the installation goes.
#include <windows.h>
// Needs windows.h first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/RegistryRecords.h"
#include "system/win32/Encoding.h"
#include "system/win32/Win32System.h"
#include "tests/fakes/ScriptedUi.h"
#include "tests/win32/UnixLinks.h"
#include "uninstall/UninstallEngine.h"

namespace {

const char kSoftName[] = "RemovalRaceTest";
const char kPreparingStatus[] = "アンインストールの準備をしています...";
const char kFilesStatus[] = "ファイルを削除しています...";

// The installation's files and folders below its root, and the same names in the
// victim's folder, where a link would lead the removal.
const char* const kFiles[] = {"a.txt", "sub\\b.txt", "sub\\deep\\c.txt"};
const char* const kFolders[] = {"sub\\deep", "sub"};

class RemovalRaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
        base_ = std::wstring(temp) + L"RemovalRace" + std::to_wstring(GetCurrentProcessId());
        RemoveUnixTree(base_);
        base_ += L"\\";
        settings_.SoftName = kSoftName;
    }
    void TearDown() override {
        EXPECT_TRUE(RemoveUnixTree(base_.substr(0, base_.size() - 1)));
        system_.DeleteUserKey(MakeProductKeyPath(kSoftName));
    }

    // The files and folders of an installation under `folder`.
    void MakeTree(const std::wstring& folder) {
        for (const char* name : kFolders) {
            ASSERT_TRUE(system_.CreateFolderTree(ToCodePage(folder) + name));
        }
        for (const char* name : kFiles) {
            const std::wstring path = folder + ToWide(name);
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, file) << ToCodePage(path);
            CloseHandle(file);
        }
    }
    // The installation in `root` (ending in a separator), its record and product key.
    void Install(const std::wstring& root) {
        MakeTree(root);
        const std::string rootText = ToCodePage(root);
        std::string record;
        for (const char* name : kFiles) {
            record += rootText + name + "\r\n";
        }
        record += rootText + "_setup.log\r\n.\r\n";
        for (const char* name : kFolders) {
            record += rootText + name + "\\\r\n";
        }
        record += rootText + "\r\n";
        HANDLE file = CreateFileW((root + L"_setup.log").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
        CloseHandle(file);
        const std::string key = MakeProductKeyPath(kSoftName);
        ASSERT_TRUE(system_.WriteUserString(key, "Path", rootText + "a.txt"));
        ASSERT_TRUE(system_.WriteUserString(key, "LogFile", rootText + "_setup.log"));
    }
    bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::wstring base_;
    Win32System system_;
    TSetupSettings settings_;
};

// What a standard user changes, and when: `swapped` is moved away and a link to the
// victim's folder `target` put in its place.
TEST_F(RemovalRaceTest, ALinkSwappedInLeadsNoRemovalOutOfTheInstallation) {
    const struct {
        const char* name;
        const char* status;
        const wchar_t* swapped;  // below the base folder
        const wchar_t* target;
        bool swapRefused;  // the held root cannot be moved
    } cases[] = {
        {"an ancestor of the root", kFilesStatus, L"P", L"V", false},
        {"a level", kFilesStatus, L"P\\App\\sub", L"V\\App\\sub", false},
        {"the root, once held", kFilesStatus, L"P\\App", L"V\\App", true},
        {"the root, before the record is read", kPreparingStatus, L"P\\App", L"V\\App", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(RemoveUnixTree(base_ + L"P"));
        ASSERT_TRUE(RemoveUnixTree(base_ + L"V"));
        ASSERT_TRUE(RemoveUnixTree(base_ + L"moved"));
        const std::wstring root = base_ + L"P\\App\\";
        Install(root);
        MakeTree(base_ + L"V\\App\\");
        // The victim holds a record of its own where the swapped root leads.
        ASSERT_TRUE(CopyFileW((root + L"_setup.log").c_str(),
                              (base_ + L"V\\App\\_setup.log").c_str(), FALSE));

        ScriptedUi ui;
        ui.answers = {true, true};
        bool swapTried = false;
        bool swapMade = false;
        ui.onStatus = [&](const std::string& text) {
            if (swapTried || text != c.status) {
                return;
            }
            swapTried = true;
            swapMade = MoveFileW((base_ + c.swapped).c_str(), (base_ + L"moved").c_str()) &&
                       MakeUnixLink(base_ + c.swapped, base_ + c.target);
        };
        bool cancel = false;
        TSetupSettings settings = settings_;
        RunUninstall(cancel, settings, system_, ui);
        EXPECT_TRUE(swapTried);
        EXPECT_EQ(!c.swapRefused, swapMade);
        for (const char* name : kFiles) {
            EXPECT_TRUE(Exists(base_ + L"V\\App\\" + ToWide(name))) << name;
        }
        EXPECT_TRUE(Exists(base_ + L"V\\App\\_setup.log"));
        if (c.swapRefused) {
            // Nothing changed: the installation went as a whole.
            EXPECT_FALSE(Exists(root));
        }
    }
}

}  // namespace
