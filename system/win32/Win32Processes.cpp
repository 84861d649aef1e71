#include "system/win32/Win32Processes.h"

// Needs windows.h first.
#include <ntsecapi.h>

#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "system/win32/Encoding.h"

namespace {

const wchar_t kFolderPrefix[] = L"~un";
// Random names collide only by accident; a few tries are plenty.
const int kFolderAttempts = 8;

using Sid = PrivateFolderSecurity::Sid;

Sid CurrentUserSid() {
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) {
        return Sid();
    }
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size)) {
        return Sid();
    }
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    Sid copy(GetLengthSid(sid));
    return CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid) ? copy : Sid();
}

Sid WellKnownSid(WELL_KNOWN_SID_TYPE type) {
    DWORD size = SECURITY_MAX_SID_SIZE;
    Sid sid(size);
    if (!CreateWellKnownSid(type, nullptr, sid.data(), &size)) {
        return Sid();
    }
    sid.resize(size);
    return sid;
}

// Full control for these accounts alone, passed on to everything made inside.
std::vector<DWORD> PrivateAcl(const std::vector<Sid>& sids) {
    DWORD size = sizeof(ACL);
    for (const Sid& sid : sids) {
        size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + static_cast<DWORD>(sid.size());
    }
    // DWORD elements keep the list aligned as the system expects.
    std::vector<DWORD> acl((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    const auto list = reinterpret_cast<PACL>(acl.data());
    if (!InitializeAcl(list, size, ACL_REVISION)) {
        return {};
    }
    for (const Sid& sid : sids) {
        if (!AddAccessAllowedAceEx(list, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE,
                                   FILE_ALL_ACCESS, const_cast<BYTE*>(sid.data()))) {
            return {};
        }
    }
    return acl;
}

std::wstring RandomName() {
    unsigned char bytes[8];
    if (!RtlGenRandom(bytes, sizeof bytes)) {
        return std::wstring();
    }
    std::wstring name = kFolderPrefix;
    const wchar_t* const hex = L"0123456789ABCDEF";
    for (const unsigned char byte : bytes) {
        name += hex[byte >> 4];
        name += hex[byte & 15];
    }
    return name;
}

// A folder with its separator, as the program holds paths: code page 932 text, so a
// folder whose name that code page lacks is taken by its short name.
std::wstring HeldFolder(std::wstring folder) {
    if (folder.empty()) {
        return folder;
    }
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    if (ToWide(ToCodePage(folder)) != folder) {
        wchar_t shortName[MAX_PATH + 1];
        const DWORD shortLength = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH + 1);
        if (shortLength == 0 || shortLength > MAX_PATH) {
            return std::wstring();
        }
        folder.assign(shortName, shortLength);
    }
    return folder;
}

}  // namespace

std::wstring PrivateFolderParent(bool elevated) {
    wchar_t buffer[MAX_PATH + 1];
    if (elevated) {
        const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH + 1);
        if (length == 0 || length > MAX_PATH) {
            return std::wstring();
        }
        std::wstring windows(buffer, length);
        if (windows.back() != L'\\') {
            windows += L'\\';
        }
        return HeldFolder(windows + L"Temp");
    }
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) {
        return std::wstring();
    }
    return HeldFolder(std::wstring(buffer, length));
}

PrivateFolderSecurity::PrivateFolderSecurity(bool elevated)
    : owner_(elevated ? WellKnownSid(WinBuiltinAdministratorsSid) : CurrentUserSid()),
      system_(WellKnownSid(WinLocalSystemSid)) {
    if (owner_.empty() || system_.empty()) {
        return;
    }
    acl_ = PrivateAcl({owner_, system_});
    // Protected: nothing of the folder above is inherited.
    valid_ =
        !acl_.empty() && InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorOwner(&descriptor_, owner_.data(), FALSE) &&
        SetSecurityDescriptorDacl(&descriptor_, TRUE, reinterpret_cast<PACL>(acl_.data()), FALSE) &&
        SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_ = {sizeof(attributes_), &descriptor_, FALSE};
}

SECURITY_ATTRIBUTES* PrivateFolderSecurity::Attributes() {
    return valid_ ? &attributes_ : nullptr;
}

std::string Win32Processes::CommandLine() {
    return ToCodePage(GetCommandLineW());
}

std::string Win32Processes::CreatePrivateTempFolder() {
    const bool elevated = IsProcessElevated();
    const std::wstring temp = PrivateFolderParent(elevated);
    PrivateFolderSecurity security(elevated);
    SECURITY_ATTRIBUTES* const attributes = security.Attributes();
    if (temp.empty() || attributes == nullptr) {
        return std::string();
    }
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        const std::wstring name = RandomName();
        if (name.empty()) {
            return std::string();
        }
        // Made with its security in one step: no moment in which others may enter.
        if (CreateDirectoryW((temp + name).c_str(), attributes)) {
            return ToCodePage(temp + name);
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return std::string();
        }
    }
    return std::string();
}

std::string Win32Processes::WaitToken() {
    if (!self_ && !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(),
                                   self_.Receive(), SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                                   TRUE, 0)) {
        return std::string();
    }
    return std::to_string(reinterpret_cast<uintptr_t>(self_.Get()));
}

bool Win32Processes::StartProcess(const std::string& program, const std::string& arguments,
                                  const std::string& workingFolder) {
    const std::wstring path = ToWide(program);
    std::wstring commandLine = L"\"" + path + L"\" " + ToWide(arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    // Handles are inherited for the one of WaitToken.
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        ToWide(workingFolder).c_str(), &startup, &started)) {
        return false;
    }
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
    return true;
}

bool Win32Processes::WaitForProcess(const std::string& token) {
    if (token.empty() || token.size() > 10 ||
        token.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long long value = std::strtoull(token.c_str(), nullptr, 10);
    if (value > UINTPTR_MAX) {
        return false;
    }
    // Only a handle to another process will do; anything else might never be signalled.
    // The handle is the starter's gift and stays open until this process ends.
    const HANDLE process = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value));
    const DWORD id = GetProcessId(process);
    if (id == 0 || id == GetCurrentProcessId()) {
        return false;
    }
    return WaitForSingleObject(process, kWaitTimeoutMs) == WAIT_OBJECT_0;
}

bool Win32Processes::DeleteAtRestart(const std::string& path) {
    return MoveFileExW(ToWide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}
