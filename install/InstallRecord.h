// The install record "_setup.log": every file and folder an installation created,
// so that an uninstallation removes exactly those. Plain code page 932 text, one path
// per line, CR LF after every line; a line "." parts the files from the folders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"

// The record's name in the destination folder, behind as many "_" (up to
// kMaxNamePrefix) as make it a name no file has; the uninstaller's likewise.
inline constexpr char kInstallRecordName[] = "_setup.log";
inline constexpr size_t kMaxNamePrefix = 9;

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

// The most bytes WriteInstallRecord can write for an installation of the settings'
// source lists into settings.DstFolder: the record and the uninstaller under their
// longest names, and the line of the destination folder as if this run made it.
int64_t LargestInstallRecordSize(const TSetupSettings& settings);
