#include "system/win32/DesktopShell.h"

#include <windows.h>
// Needs windows.h first.
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "system/win32/Handles.h"

namespace {

// The shell dispatch object of the desktop's folder view; empty when there is none.
ComPtr<IShellDispatch2> DesktopShellDispatch(HWND& desktop) {
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.ReceiveVoid()))) {
        return {};
    }
    Variant desktopLocation(static_cast<LONG>(CSIDL_DESKTOP));
    Variant noRoot;
    long window = 0;
    ComPtr<IDispatch> found;
    // S_FALSE: no such window.
    if (windows->FindWindowSW(desktopLocation.Get(), noRoot.Get(), SWC_DESKTOP, &window,
                              SWFO_NEEDDISPATCH, found.Receive()) != S_OK ||
        !found) {
        return {};
    }
    desktop = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window));
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(found->QueryInterface(IID_IServiceProvider, services.ReceiveVoid())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                      browser.ReceiveVoid())) ||
        FAILED(browser->QueryActiveShellView(view.Receive())) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.ReceiveVoid())) ||
        FAILED(folderView->get_Application(application.Receive())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.ReceiveVoid()))) {
        return {};
    }
    return shell;
}

}  // namespace

bool OpenAsDesktopUser(const std::wstring& file, const std::wstring& workingFolder) {
    // Declared first, so that every interface is released before COM ends.
    ComInitialization com;
    HWND desktop = nullptr;
    const ComPtr<IShellDispatch2> shell = DesktopShellDispatch(desktop);
    if (!shell) {
        return false;
    }
    // The shell may bring the opened program's window to the front, as this program
    // could have done itself.
    DWORD shellProcess = 0;
    if (GetWindowThreadProcessId(desktop, &shellProcess) != 0) {
        AllowSetForegroundWindow(shellProcess);
    }
    const Bstr path(file);
    const Variant arguments(std::wstring{});
    const Variant folder = workingFolder.empty() ? Variant() : Variant(workingFolder);
    const Variant verb(std::wstring(L"open"));
    const Variant show(static_cast<LONG>(SW_SHOWDEFAULT));
    return path && SUCCEEDED(shell->ShellExecute(path.Get(), arguments.Value(), folder.Value(),
                                                 verb.Value(), show.Value()));
}

bool OpenAsUser(const std::wstring& file, const std::wstring& workingFolder, bool elevated) {
    if (OpenAsDesktopUser(file, workingFolder)) {
        return true;
    }
    if (elevated) {
        return false;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // With the shell's own user interface: for a type without a program it asks which
    // program to open it with.
    info.fMask = 0;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = L"";
    info.lpDirectory = workingFolder.empty() ? nullptr : workingFolder.c_str();
    info.nShow = SW_SHOWDEFAULT;
    return ShellExecuteExW(&info) != 0;
}
