// The processes interface on the real Windows. A started process inherits a handle
// to the process that started it and waits on that: unlike a process id, a handle
// never comes to name another process once the first has ended.
#pragma once

#include <windows.h>

#include "system/Processes.h"
#include "system/win32/Handles.h"

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
// A process, thread or token handle, closed with CloseHandle.
using KernelHandle = UniqueHandle<KernelHandleTraits>;

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
