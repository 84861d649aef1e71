// The processes interface on the real system under Wine: the private temporary
// folder's security, elevated and not, a started process in its folder with the starter's token,
// the wait for a process, and deletion at the next start of the system.
#include <windows.h>
// Needs windows.h first.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "system/win32/Encoding.h"
#include "system/win32/Win32Processes.h"

namespace {

const wchar_t kChildTest[] = L"ProcessesChild.DISABLED_ReportsItsStarter";
const char kParentOption[] = "/parent:";
const wchar_t kChildReport[] = L"child-report.txt";
const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

std::wstring Folder(const std::string& path) {
    return ToWide(path);
}

std::vector<BYTE> SecurityOf(const std::wstring& path, SECURITY_INFORMATION what) {
    DWORD size = 0;
    GetFileSecurityW(path.c_str(), what, nullptr, 0, &size);
    std::vector<BYTE> descriptor(size);
    if (size == 0 || !GetFileSecurityW(path.c_str(), what, descriptor.data(), size, &size)) {
        return {};
    }
    return descriptor;
}

std::vector<BYTE> SidBytes(PSID sid) {
    const BYTE* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

std::vector<BYTE> UserSid() {
    HANDLE raw = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw);
    KernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size);
    return SidBytes(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

std::vector<BYTE> AdministratorsSid() {
    std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = SECURITY_MAX_SID_SIZE;
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid.data(), &size);
    sid.resize(size);
    return sid;
}

// What lets an account change a folder, or a file, or what lies in it.
const ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA |
                                 FILE_WRITE_ATTRIBUTES | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                 WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// Checks the owner and the access list that the system reports: the owner is the
// current user or the administrators, only the owner and the system may write, and
// the owner has full control; with `othersMayRead` false, no one else is named at
// all. (Wine does not keep a descriptor: it reports one made from the file's mode,
// with the user as owner, whatever it was made with. Nor does it pass a folder's list
// on to the files made in it: a new file there lets everyone read it, as Wine's own
// default does.)
void ExpectOnlyTheOwnerMayWrite(const std::wstring& path, bool othersMayRead) {
    const std::vector<BYTE> descriptor =
        SecurityOf(path, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION);
    ASSERT_FALSE(descriptor.empty());
    BOOL present = FALSE, defaulted = FALSE;
    PSID ownerSid = nullptr;
    ASSERT_TRUE(
        GetSecurityDescriptorOwner(const_cast<BYTE*>(descriptor.data()), &ownerSid, &defaulted));
    ASSERT_NE(nullptr, ownerSid);
    const std::vector<BYTE> owner = SidBytes(ownerSid);
    EXPECT_TRUE(owner == UserSid() || owner == AdministratorsSid());
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(const_cast<BYTE*>(descriptor.data()), &present, &acl,
                                          &defaulted));
    // No list at all would let everyone in.
    ASSERT_TRUE(present);
    ASSERT_NE(nullptr, acl);
    bool ownerHasFullControl = false;
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        void* entry = nullptr;
        ASSERT_TRUE(GetAce(acl, i, &entry));
        const auto* header = static_cast<ACE_HEADER*>(entry);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            continue;  // takes rights away, never gives them
        }
        ASSERT_EQ(ACCESS_ALLOWED_ACE_TYPE, header->AceType) << "entry " << i;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        const PSID sid = &allowed->SidStart;
        const bool isOwner = SidBytes(sid) == owner;
        if (!isOwner && !IsWellKnownSid(sid, WinLocalSystemSid)) {
            EXPECT_TRUE(othersMayRead) << "entry " << i;
            EXPECT_EQ(0u, allowed->Mask & kWriteRights) << "entry " << i;
        }
        if (isOwner && (allowed->Mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS) {
            ownerHasFullControl = true;
        }
    }
    EXPECT_TRUE(ownerHasFullControl);
}

void RemoveFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") {
                DeleteFileW((folder + L"\\" + name).c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    RemoveDirectoryW(folder.c_str());
}

// What a private folder is made with, elevated and not, read back from the descriptor
// itself: Wine keeps none on the disk to read back from the folder.
TEST(Processes, PrivateFolderSecurityBelongsToTheAdministratorsWhenElevated) {
    const struct {
        bool elevated;
        std::vector<BYTE> owner;
    } cases[] = {
        {true, AdministratorsSid()},
        {false, UserSid()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elevated ? "elevated" : "not elevated");
        PrivateFolderSecurity security(c.elevated);
        const SECURITY_ATTRIBUTES* attributes = security.Attributes();
        ASSERT_NE(nullptr, attributes);
        EXPECT_FALSE(attributes->bInheritHandle);
        const PSECURITY_DESCRIPTOR descriptor = attributes->lpSecurityDescriptor;
        ASSERT_TRUE(IsValidSecurityDescriptor(descriptor));
        PSID owner = nullptr;
        BOOL defaulted = TRUE;
        ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor, &owner, &defaulted));
        ASSERT_NE(nullptr, owner);
        EXPECT_TRUE(SidBytes(owner) == c.owner);
        EXPECT_FALSE(defaulted);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
        EXPECT_NE(0, control & SE_DACL_PROTECTED) << "inherits from the folder above";

        BOOL present = FALSE;
        PACL acl = nullptr;
        ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted));
        ASSERT_TRUE(present);
        ASSERT_NE(nullptr, acl);
        ASSERT_EQ(2u, acl->AceCount);
        for (DWORD i = 0; i < acl->AceCount; ++i) {
            SCOPED_TRACE(i);
            void* entry = nullptr;
            ASSERT_TRUE(GetAce(acl, i, &entry));
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
            ASSERT_EQ(ACCESS_ALLOWED_ACE_TYPE, allowed->Header.AceType);
            EXPECT_EQ(OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE, allowed->Header.AceFlags);
            EXPECT_EQ(static_cast<ACCESS_MASK>(FILE_ALL_ACCESS), allowed->Mask);
            const PSID sid = &allowed->SidStart;
            if (i == 0) {
                EXPECT_TRUE(SidBytes(sid) == c.owner);
            } else {
                EXPECT_TRUE(IsWellKnownSid(sid, WinLocalSystemSid));
            }
        }
    }
}

// Elevated, in the system's own temporary folder, wherever the environment points:
// in the user's own, the same user's unelevated programs could move the folder away.
TEST(Processes, AnElevatedPrivateFolderLiesInTheSystemsTemporaryFolder) {
    wchar_t windows[MAX_PATH + 1];
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
    ASSERT_NE(0u, length);
    std::wstring expected(windows, length);
    expected += expected.back() == L'\\' ? L"Temp\\" : L"\\Temp\\";
    wchar_t temp[MAX_PATH + 1];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
    const std::wstring elsewhere = std::wstring(temp) + L"elsewhere\\";
    wchar_t saved[MAX_PATH + 1] = {};
    const bool hadTmp = GetEnvironmentVariableW(L"TMP", saved, MAX_PATH + 1) != 0;
    // The environment leads the user's programs, never an elevated one.
    ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", elsewhere.c_str()));
    const std::wstring elevated = PrivateFolderParent(true);
    const std::wstring unelevated = PrivateFolderParent(false);
    SetEnvironmentVariableW(L"TMP", hadTmp ? saved : nullptr);
    EXPECT_EQ(0, lstrcmpiW(expected.c_str(), elevated.c_str())) << ToCodePage(elevated);
    EXPECT_EQ(0, lstrcmpiW(elsewhere.c_str(), unelevated.c_str())) << ToCodePage(unelevated);
}

TEST(Processes, PrivateTempFolderIsNewAndItsOwnersAlone) {
    Win32Processes processes;
    const std::string first = processes.CreatePrivateTempFolder();
    const std::string second = processes.CreatePrivateTempFolder();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);

    // Wine reports every process elevated: there the system's temporary folder.
    const std::wstring parent = PrivateFolderParent(IsProcessElevated());
    ASSERT_FALSE(parent.empty());
    const wchar_t* const temp = parent.c_str();
    for (const std::string& folder : {first, second}) {
        SCOPED_TRACE(folder);
        const std::wstring path = Folder(folder);
        EXPECT_EQ(CSTR_EQUAL, CompareStringOrdinal(path.c_str(), lstrlenW(temp), temp, -1, TRUE));
        EXPECT_EQ(std::wstring::npos, path.find(L'\\', lstrlenW(temp)));
        const DWORD attributes = GetFileAttributesW(path.c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
        EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
        ExpectOnlyTheOwnerMayWrite(path, false);
    }

    // What is made inside takes the folder's list, not the temporary folder's.
    const std::wstring file = Folder(first) + L"\\inside.txt";
    FileHandle created(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(created) << GetLastError();
    created.Reset();
    ExpectOnlyTheOwnerMayWrite(file, true);

    RemoveFolder(Folder(first));
    RemoveFolder(Folder(second));
}

// A process that ends only when the test lets it: a suspended one, resumed later.
struct SuspendedProcess {
    PROCESS_INFORMATION info = {};
    bool Start() {
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        std::wstring commandLine = L"cmd.exe /c exit 3";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessW((std::wstring(system) + L"\\cmd.exe").c_str(), commandLine.data(),
                              nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr,
                              nullptr, &startup, &info) != 0;
    }
    ~SuspendedProcess() {
        if (info.hProcess != nullptr) {
            TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

std::string TokenOf(HANDLE handle) {
    return std::to_string(reinterpret_cast<uintptr_t>(handle));
}

TEST(Processes, WaitsUntilTheProcessOfTheTokenHasEnded) {
    SuspendedProcess child;
    ASSERT_TRUE(child.Start());
    std::thread release([&] {
        Sleep(300);
        ResumeThread(child.info.hThread);
    });
    Win32Processes processes;
    const bool waited = processes.WaitForProcess(TokenOf(child.info.hProcess));
    release.join();
    EXPECT_TRUE(waited);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.info.hProcess, &code);
    EXPECT_EQ(3u, code);
}

TEST(Processes, ATokenOfNoOtherProcessIsRefusedAtOnce) {
    KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE self = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                                &self, SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0));
    KernelHandle ownedSelf(self);
    const std::string cases[] = {
        "",
        "x12",
        "12 ",
        "-4",
        "99999999999",
        TokenOf(event.Get()),          // never signalled: would wait for ever
        TokenOf(GetCurrentProcess()),  // this process
        TokenOf(self),                 // this process again
    };
    Win32Processes processes;
    for (const std::string& token : cases) {
        SCOPED_TRACE(token);
        const DWORD start = GetTickCount();
        EXPECT_FALSE(processes.WaitForProcess(token));
        EXPECT_LT(GetTickCount() - start, 5000u);
    }
}

// Run by the next test as a process of its own: reports, into its current folder,
// whether the token of its command line names the process that started it.
TEST(ProcessesChild, DISABLED_ReportsItsStarter) {
    const std::string commandLine = Win32Processes().CommandLine();
    const size_t wait = commandLine.find(" /wait:");
    const size_t parent = commandLine.find(kParentOption);
    ASSERT_NE(std::string::npos, wait);
    ASSERT_NE(std::string::npos, parent);
    const auto token = std::strtoul(commandLine.c_str() + wait + 7, nullptr, 10);
    const auto parentId = std::strtoul(commandLine.c_str() + parent + 8, nullptr, 10);
    const DWORD id = GetProcessId(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(token)));
    FileHandle report(CreateFileW(kChildReport, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    const char* text = id != 0 && id == parentId ? "starter" : "other";
    DWORD written = 0;
    WriteFile(report.Get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

TEST(Processes, AStartedProcessRunsInItsFolderAndCanWaitForItsStarter) {
    Win32Processes processes;
    const std::string folder = processes.CreatePrivateTempFolder();
    ASSERT_FALSE(folder.empty());
    wchar_t self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameW(nullptr, self, MAX_PATH));
    const std::string token = processes.WaitToken();
    ASSERT_FALSE(token.empty());
    EXPECT_EQ(token, processes.WaitToken());  // one handle for the whole process
    const std::string arguments = "--gtest_filter=" + ToCodePage(kChildTest) +
                                  " --gtest_also_run_disabled_tests " + kParentOption +
                                  std::to_string(GetCurrentProcessId()) + " /wait:" + token;
    ASSERT_TRUE(processes.StartProcess(ToCodePage(self), arguments, folder));

    const std::wstring report = Folder(folder) + L"\\" + kChildReport;
    std::string text;
    for (int i = 0; i < 600 && text.empty(); ++i) {
        Sleep(50);
        FileHandle file(CreateFileW(report.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        char buffer[16] = {};
        DWORD got = 0;
        if (file && ReadFile(file.Get(), buffer, sizeof buffer - 1, &got, nullptr)) {
            text.assign(buffer, got);
        }
    }
    EXPECT_EQ("starter", text);
    Sleep(500);  // the child's end, before its folder goes
    RemoveFolder(Folder(folder));
}

TEST(Processes, DeletionAtRestartIsHandedToTheSystem) {
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0,
                                           KEY_QUERY_VALUE | KEY_SET_VALUE, &raw));
    RegistryKey key(raw);
    DWORD type = 0, size = 0;
    const bool existed = RegQueryValueExW(key.Get(), kPendingRenames, nullptr, &type, nullptr,
                                          &size) == ERROR_SUCCESS;
    std::vector<BYTE> before(size);
    if (existed) {
        RegQueryValueExW(key.Get(), kPendingRenames, nullptr, &type, before.data(), &size);
    }

    Win32Processes processes;
    const std::string folder = processes.CreatePrivateTempFolder();
    ASSERT_FALSE(folder.empty());
    const std::string file = folder + "\\_uninst.exe";
    FileHandle(CreateFileW(Folder(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool fileScheduled = processes.DeleteAtRestart(file);
    const bool folderScheduled = processes.DeleteAtRestart(folder);

    DWORD afterSize = 0;
    RegQueryValueExW(key.Get(), kPendingRenames, nullptr, nullptr, nullptr, &afterSize);
    std::wstring after(afterSize / sizeof(wchar_t), L'\0');
    RegQueryValueExW(key.Get(), kPendingRenames, nullptr, nullptr,
                     reinterpret_cast<BYTE*>(after.data()), &afterSize);
    if (existed) {
        RegSetValueExW(key.Get(), kPendingRenames, 0, type, before.data(), size);
    } else {
        RegDeleteValueW(key.Get(), kPendingRenames);
    }
    RemoveFolder(Folder(folder));

    EXPECT_TRUE(fileScheduled);
    EXPECT_TRUE(folderScheduled);
    // Each deletion is a source in the system's form and an empty target; the file first.
    const std::wstring fileEntry = L"\\??\\" + Folder(file) + std::wstring(2, L'\0');
    const std::wstring folderEntry = L"\\??\\" + Folder(folder) + std::wstring(2, L'\0');
    const size_t fileAt = after.find(fileEntry);
    ASSERT_NE(std::wstring::npos, fileAt);
    EXPECT_NE(std::wstring::npos, after.find(folderEntry, fileAt + fileEntry.size()));
}

}  // namespace
