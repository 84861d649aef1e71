// Opening a file through the desktop's own shell, in its process: the file starts
// with the rights of the user the desktop belongs to, not with those of an elevated
// caller.
#pragma once

#include <string>

// Opens `file` (with `workingFolder` as its current folder, unless empty) with the
// "open" verb through the automation objects of the desktop's shell window. False
// when there is no such shell (none running, or not one that offers them) or the
// call fails; the shell reports a failure of the opening itself in its own way.
bool OpenAsDesktopUser(const std::wstring& file, const std::wstring& workingFolder);

// Opens `file` as the desktop's user (OpenAsDesktopUser). Where the desktop offers no
// such way, directly with this program's own rights, but never when those are an
// administrator's (`elevated`): a user who ends the desktop's shell must not get an
// administrator's program that way. False when the file was not opened.
bool OpenAsUser(const std::wstring& file, const std::wstring& workingFolder, bool elevated);
