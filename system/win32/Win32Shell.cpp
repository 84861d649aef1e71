// Shell links and opening files through the shell.
#include <windows.h>
// Needs windows.h first.
#include <shlobj.h>

#include "system/win32/DesktopShell.h"
#include "system/win32/Elevation.h"
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
    return OpenAsUser(wideFile, wideFolder, IsProcessElevated());
}
