#include "uninstall/RemovalScope.h"

#include <algorithm>
#include <vector>

#include "system/Cp932.h"
#include "system/Paths.h"

namespace {

const char kRecordName[] = "_setup.log";
constexpr size_t kMaxRecordPrefix = 9;

bool IsControlByte(char c) {
    const unsigned char b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

bool HasControlByte(const std::string& text) {
    return std::any_of(text.begin(), text.end(), IsControlByte);
}

// The parts of `text` between its separators, empty ones included. Only the splitting
// needs the double-byte steps; the byte checks elsewhere are stricter without them.
std::vector<std::string> Components(const std::string& text) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < text.size();) {
        const size_t length = CharLength(text, i);
        if (IsSeparator(text[i])) {
            parts.emplace_back();
        } else {
            parts.back().append(text, i, length);
        }
        i += length;
    }
    return parts;
}

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
    const std::vector<std::string> parts = Components(rest);
    return std::none_of(parts.begin(), parts.end(), [](const std::string& part) {
        return !part.empty() && (part.back() == '.' || part.back() == ' ');
    });
}

}  // namespace

bool IsInstallRecordPath(const std::string& path) {
    if (!IsPlainDrivePath(path)) {
        return false;
    }
    const std::string name = ExtractNamePart(path);
    const size_t suffix = sizeof(kRecordName) - 1;
    if (name.size() < suffix || name.size() > suffix + kMaxRecordPrefix ||
        name.compare(name.size() - suffix, suffix, kRecordName) != 0) {
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

bool StaysInsideFolder(const std::string& relative) {
    if (HasControlByte(relative)) {
        return false;
    }
    // Neither from a root nor from a drive's current folder.
    if (RootLength(relative) != 0) {
        return false;
    }
    const std::vector<std::string> parts = Components(relative);
    return std::none_of(parts.begin(), parts.end(), [](const std::string& part) {
        return !part.empty() && part.find_first_not_of(". ") == std::string::npos;
    });
}

bool IsSingleName(const std::string& name) {
    return !HasControlByte(name) && Components(name).size() == 1;
}
