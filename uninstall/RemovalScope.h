// What an uninstallation may delete. The record and the product key can be edited by
// the user, while the uninstallation runs with administrator rights: these rules keep
// every deletion inside the installation's own folder and the shortcut folders.
#pragma once

#include <string>
#include <vector>

// Whether `path` can name an install record: a plain drive path (below) in a folder
// below a drive's root, whose name is "_setup.log" behind zero to nine further "_".
bool IsInstallRecordPath(const std::string& path);

enum class RecordLine { File, Folder };

// Whether a record line lies inside the installation whose root is `root` (a folder
// path ending in a separator): a file strictly inside, a folder inside or the root
// itself. The line must be a plain drive path, "X:\" followed by components none of
// which is "." or "..", ends in a dot or a blank or holds a ':' or a control byte, and
// must begin with the root's very bytes. `levels` gets the folders to be passed on the
// way to the line's target, the root first (without its separator unless it is a drive
// root); none when the target is the root itself.
bool LiesInsideRoot(const std::string& root, const std::string& line, RecordLine kind,
                    std::vector<std::string>& levels);
