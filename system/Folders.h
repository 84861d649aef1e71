// Folders of the running system named by small numbers: the shell folder table,
// the system folder kinds and the base destination folders; and how a folder the
// system names in UTF-16 is held as code page 932 text.
#pragma once

#include <iterator>
#include <string>

#include "system/System.h"

// Shell folder identifiers (CSIDL values) by table index 0-9.
inline constexpr int SpecialFolderTable[10] = {
    0x19,  // 0 desktop of all users
    0x02,  // 1 the current user's programs menu
    0x07,  // 2 startup
    0x16,  // 3 all users' start menu
    0x05,  // 4 My Documents
    0x09,  // 5 send to
    0x06,  // 6 favourites
    0x26,  // 7 program files
    0x1A,  // 8 application data
    0x1C,  // 9 local application data
};

inline constexpr int kProgramFilesIndex = 7;

// The folder of a table index; the empty text when it cannot be determined.
std::string GetSpecialFolderPath(SystemFolders& system, int index);
// Kind 0: drive of the Windows folder ("C:"), 1: Windows folder, 2: system folder,
// 3: temporary folder. The empty text when the system call fails.
std::string GetSystemFolderPath(SystemFolders& system, int kind);
// Base destination folder for a DstFolderID, always ending in a separator.
std::string GetBaseFolder(SystemFolders& system, int dstFolderId);

// A path the system gives in UTF-16, as code page 932 text that names the same file:
// as it is where the code page writes every character, else its short (8.3) form,
// which is plain ASCII. Where neither exists, the path keeps "?" for what the code
// page lacks: no file name holds it, so the path names no other file and the
// destination checks refuse it.
std::string HeldPath(System& system, const std::u16string& path);
