// The processes interface on the real Windows. A started process inherits a handle
// to the process that started it and waits on that: unlike a process id, a handle
// never comes to name another process once the first has ended.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "system/Processes.h"
#include "system/win32/Elevation.h"
#include "system/win32/Handles.h"

// The folder, with its separator, that private folders are made in. Elevated, the
// system's own temporary folder under the Windows folder (not one the environment
// names): in the user's own one the same user's unelevated programs could move a
// folder away, whatever its access list, and put another in its place. Else the
// user's temporary folder. Empty when it cannot be determined.
std::wstring PrivateFolderParent(bool elevated);

// The security a private folder is made with: full control for its owner and the
// system alone, passed on to everything made inside. Elevated, the owner is the
// administrators, so that the same user's unelevated programs cannot replace what an
// elevated program puts there before it starts it; else the current user.
class PrivateFolderSecurity {
public:
    using Sid = std::vector<BYTE>;

    explicit PrivateFolderSecurity(bool elevated);
    PrivateFolderSecurity(const PrivateFolderSecurity&) = delete;
    PrivateFolderSecurity& operator=(const PrivateFolderSecurity&) = delete;

    // For CreateDirectory; null when the security could not be built.
    SECURITY_ATTRIBUTES* Attributes();

private:
    Sid owner_;
    Sid system_;
    std::vector<DWORD> acl_;
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
    bool valid_ = false;
};

class Win32Processes : public Processes {
public:
    // How long WaitForProcess waits; the starter ends right after the start.
    static const DWORD kWaitTimeoutMs = 60000;

    std::string CommandLine() override;
    std::string CreatePrivateTempFolder() override;
    std::string WaitToken() override;
    bool StartProcess(const std::string& program, const std::string& arguments,
                      const std::string& workingFolder) override;
    bool WaitForProcess(const std::string& token) override;
    bool DeleteAtRestart(const std::string& path) override;

private:
    // An inheritable handle to this process, made at the first WaitToken.
    KernelHandle self_;
};
