// Shell links and opening files through the shell.
#include <windows.h>
// Needs windows.h first.
#include <shellapi.h>
#include <shlobj.h>

#include "system/win32/DesktopShell.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"
#include "system/win32/Win32System.h"

bool Win32System::WriteShellLink(const std::string& target, const std::string& arguments,
                                 const std::string& workingFolder, int showCommand,
                                 const std::string& linkPath) {
    // Declared first, so that both interfaces are released before COM ends.
    ComInitialization com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.ReceiveVoid()))) {
        return false;
    }
    link->SetPath(ToWide(target).c_str());
    link->SetArguments(ToWide(arguments).c_str());
    link->SetWorkingDirectory(ToWide(workingFolder).c_str());
    link->SetShowCmd(showCommand);
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) {
        return false;
    }
    return SUCCEEDED(file->Save(ToWide(linkPath).c_str(), TRUE));
}

bool Win32System::ShellOpen(const std::string& file, const std::string& workingFolder) {
    const std::wstring wideFile = ToWide(file);
    const std::wstring wideFolder = ToWide(workingFolder);
    // Nothing to open: the caller says so with its own message, not the shell.
    if (GetFileAttributesW(wideFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // As the user who started this program, not with its elevated rights, wherever the
    // desktop's shell offers that; else directly.
    if (OpenAsDesktopUser(wideFile, wideFolder)) {
        return true;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // With the shell's own user interface: for a type without a program it asks which
    // program to open it with.
    info.fMask = 0;
    info.lpVerb = L"open";
    info.lpFile = wideFile.c_str();
    info.lpParameters = L"";
    info.lpDirectory = wideFolder.empty() ? nullptr : wideFolder.c_str();
    info.nShow = SW_SHOWDEFAULT;
    return ShellExecuteExW(&info) != 0;
}
