// The install record "_setup.log": every file and folder an installation created,
// so that an uninstallation removes exactly those. Plain code page 932 text, one path
// per line, CR LF after every line; a line "." parts the files from the folders.
#pragma once

#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"

// Writes the record at `recordPath`: the files, the record itself, the uninstaller
// (possibly empty), ".", the folders deepest first and, when the installation created
// it, the destination folder. False when the file could not be created or written in
// full; a partly written record is deleted again.
bool WriteInstallRecord(System& system, const std::string& recordPath, const PathList& dstFileList,
                        const std::string& uninstallerPath, const PathList& dstFolderList,
                        const std::string& dstFolder, bool dstFolderCreated);

// Appends the file lines of the record to `dstFileList` and the folder lines to
// `dstFolderList`. False, with both lists untouched, when the file cannot be read or is
// not a file in its own right (a link, or a file with further names).
bool LoadInstallRecord(System& system, const std::string& recordPath, PathList& dstFileList,
                       PathList& dstFolderList);
