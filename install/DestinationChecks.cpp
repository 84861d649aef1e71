#include "install/DestinationChecks.h"

#include <algorithm>
#include <vector>

#include "system/Cp932.h"
#include "system/Paths.h"

namespace {

const char* const kNeedSizeFormat = "必要容量：  %s KB";
const char* const kFreeSizeFormat = "空き容量：  %s KB";
const char* const kNotEnoughSpaceMessage = "ディスクの空き容量が足りません.";
const char* const kNoWritableDriveMessage = "書込み不可能なドライブか有効なドライブではありません.";
const char* const kInvalidPathMessage = "有効なパスではありません..";

// Shown with the need when the uninstaller is copied too.
constexpr int64_t kUninstallerKilobytes = 13;

std::string FillIn(const char* format, const std::string& figure) {
    std::string text = format;
    text.replace(text.find("%s"), 2, figure);
    return text;
}

// Free bytes for the path's drive letter; 0 for a path without one (a network
// path, a path from the root of the current drive, a relative path).
int64_t FreeBytesOfDrive(System& system, const std::string& path) {
    const PathRoot root = RootKind(path);
    if (root != PathRoot::Drive && root != PathRoot::DriveRelative) {
        return 0;
    }
    return system.DiskFreeBytes(std::string(1, path[0]) + ":\\");
}

bool LeavesRoomForTheUninstaller(const std::string& path) {
    return CharacterCount(AddTrailingSeparator(path)) + kLongestUninstallerName <=
           kRunnablePathCharacters;
}

}  // namespace

bool KeepsEveryName(const std::string& path) {
    const std::vector<std::string> names = SplitNames(path);
    return std::none_of(names.begin(), names.end(), [](const std::string& name) {
        return !name.empty() && (name.back() == ' ' || name.back() == '.');
    });
}

size_t CharacterCount(const std::string& text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        ++count;
    }
    return count;
}

std::string FormatGroupedNumber(int64_t value) {
    constexpr int kDigits = 19;
    constexpr int kWidth = 25;
    std::string text(kWidth, ' ');
    uint64_t rest = value < 0 ? 0 : static_cast<uint64_t>(value);
    int pos = kWidth - 1;
    for (int digit = 0; digit < kDigits; ++digit) {
        if (digit > 0 && digit % 3 == 0) {
            if (rest == 0) {
                break;
            }
            text[pos--] = ',';
        }
        text[pos--] = static_cast<char>('0' + rest % 10);
        rest /= 10;
        if (rest == 0) {
            break;
        }
    }
    return text;
}

int64_t NeededKilobytes(int64_t totalSize, bool standAloneUninstUse) {
    return totalSize / 1024 + (standAloneUninstUse ? kUninstallerKilobytes : 0);
}

DestinationSpace CheckDestinationSpace(System& system, const std::string& path, int64_t totalSize,
                                       bool standAloneUninstUse) {
    DestinationSpace space;
    const int64_t free = FreeBytesOfDrive(system, path);
    if (free < totalSize) {
        space.Red = true;
        space.SpaceState = free == 0 ? kSpaceNone : kSpaceShort;
    } else {
        space.SpaceState = kSpaceEnough;
    }
    // A failed query (-1) shows as 0 KB.
    space.FreeText = FillIn(kFreeSizeFormat, FormatGroupedNumber(free / 1024));
    space.NeedText = FillIn(kNeedSizeFormat,
                            FormatGroupedNumber(NeededKilobytes(totalSize, standAloneUninstUse)));
    return space;
}

bool IsValidInstallPath(const std::string& path) {
    const bool fromDriveRoot = RootKind(path) == PathRoot::Drive;
    // Every character checked is single-byte: a double-byte one passes whole.
    for (size_t i = 0; i < path.size(); i += CharLength(path, i)) {
        const char c = path[i];
        const char next = i + 1 < path.size() ? path[i + 1] : '\0';
        if (IsSeparator(c) && IsSeparator(next)) {
            return false;
        }
        if (c == ':' && !(i == 1 && fromDriveRoot)) {
            return false;
        }
        switch (c) {
            case '*':
            case '?':
            case '"':
            case '.':
            case '<':
            case '>':
            case '|':
                return false;
            default:
                break;
        }
    }
    return true;
}

std::string CheckStartDestination(int32_t spaceState, const std::string& dstFolder) {
    if (spaceState == kSpaceShort) {
        return kNotEnoughSpaceMessage;
    }
    if (spaceState == kSpaceNone) {
        return kNoWritableDriveMessage;
    }
    // A folder without a drive passes the space check when nothing is to be
    // copied, but could not be found again to uninstall: refuse it here, a drive's
    // root, which the uninstallation would take for the installation's own folder,
    // and a folder too long for the system to start the uninstaller from.
    if (!IsValidInstallPath(dstFolder) || RootKind(dstFolder) != PathRoot::Drive ||
        IsRootOnly(dstFolder) || !KeepsEveryName(dstFolder) ||
        !LeavesRoomForTheUninstaller(dstFolder)) {
        return kInvalidPathMessage;
    }
    return std::string();
}
