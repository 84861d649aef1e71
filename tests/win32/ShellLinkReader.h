// Reads a link file back through the shell's own link object, for the tests that
// check the links the program writes.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "system/win32/Handles.h"

struct LinkContents {
    std::wstring target;
    std::wstring arguments;
    std::wstring workingFolder;
};

inline bool ReadLink(const std::wstring& linkPath, LinkContents& contents) {
    ComInitialization com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.ReceiveVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())) ||
        FAILED(file->Load(linkPath.c_str(), STGM_READ))) {
        return false;
    }
    wchar_t text[MAX_PATH * 2];
    if (FAILED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) {
        return false;
    }
    contents.target = text;
    if (FAILED(link->GetArguments(text, MAX_PATH * 2))) {
        return false;
    }
    contents.arguments = text;
    if (FAILED(link->GetWorkingDirectory(text, MAX_PATH * 2))) {
        return false;
    }
    contents.workingFolder = text;
    return true;
}
