#include "uninstall/RemovalScope.h"

#include <algorithm>
#include <vector>

#include "install/InstallRecord.h"
#include "system/Cp932.h"
#include "system/Paths.h"

namespace {

// "X:\" and then names the system takes as they stand: no "." or "..", no dot or blank
// at a name's end (the system drops them), no ':' (a stream or a device), no control byte.
bool IsPlainDrivePath(const std::string& path) {
    PathRoot root = PathRoot::None;
    const size_t rootLength = RootLength(path, &root);
    if (root != PathRoot::Drive) {
        return false;
    }
    const std::string rest = path.substr(rootLength);
    if (HasControlByte(rest) || rest.find(':') != std::string::npos) {
        return false;
    }
    const std::vector<std::string> parts = SplitNames(rest);
    return std::none_of(parts.begin(), parts.end(), [](const std::string& part) {
        return !part.empty() && (part.back() == '.' || part.back() == ' ');
    });
}

}  // namespace

bool IsInstallRecordPath(const std::string& path) {
    // A record at a drive's root would make the whole drive the installation's folder.
    if (!IsPlainDrivePath(path) || IsRootOnly(ExtractFolderPart(path))) {
        return false;
    }
    const std::string name = ExtractNamePart(path);
    const size_t suffix = sizeof(kInstallRecordName) - 1;
    if (name.size() < suffix || name.size() > suffix + kMaxNamePrefix ||
        name.compare(name.size() - suffix, suffix, kInstallRecordName) != 0) {
        return false;
    }
    return name.find_first_not_of('_') >= name.size() - suffix;
}

bool LiesInsideRoot(const std::string& root, const std::string& line, RecordLine kind) {
    if (!IsPlainDrivePath(line) || !EndsWithSeparator(root)) {
        return false;
    }
    if (line == RemoveTrailingSeparator(root)) {
        return kind == RecordLine::Folder;
    }
    if (line.compare(0, root.size(), root) != 0) {
        return false;
    }
    // Without a name past the root, the line is the root spelt with more separators.
    return kind == RecordLine::Folder ||
           line.find_first_not_of("\\/", root.size()) != std::string::npos;
}
