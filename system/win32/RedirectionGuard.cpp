#include "system/win32/RedirectionGuard.h"

#include <windows.h>

void GuardAgainstUntrustedJunctions() {
    // Looked up: only newer versions of Windows 10 and 11 have this policy.
    using SetPolicyFunction = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
    const auto setPolicy = reinterpret_cast<SetPolicyFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy")));
    if (setPolicy == nullptr) {
        return;
    }
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy = {};
    policy.EnforceRedirectionTrust = 1;
    setPolicy(ProcessRedirectionTrustPolicy, &policy, sizeof(policy));
}
