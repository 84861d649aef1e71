// What an uninstallation may delete. The record and the product key can be edited by
// the user, while the uninstallation runs with administrator rights: these rules keep
// every deletion inside the installation's own folder and the shortcut folders.
#pragma once

#include <string>

// Whether `path` can name an install record: a plain drive path (below) in a folder
// below a drive's root, whose name is "_setup.log" behind zero to nine further "_".
bool IsInstallRecordPath(const std::string& path);

enum class RecordLine { File, Folder };

// Whether a record line lies inside the installation whose root is `root` (a folder
// path ending in a separator): a file strictly inside, a folder inside or the root
// itself. The line must be a plain drive path, "X:\" followed by components none of
// which is "." or "..", ends in a dot or a blank or holds a ':' or a control byte, and
// must begin with the root's very bytes. What the system finds under that name is
// checked again when the line is removed (HeldFolder).
bool LiesInsideRoot(const std::string& root, const std::string& line, RecordLine kind);

// Whether a text appended to a folder (a sub folder, a shortcut's name) stays in that
// folder: no control byte, no drive or leading separator, and no component of dots and
// blanks only, which the system may read as "..".
bool StaysInsideFolder(const std::string& relative);

// Whether a software name is one name: no control byte and no separator.
bool IsSingleName(const std::string& name);
