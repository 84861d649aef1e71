// The checks of the destination dialog: the space needed and free on the
// destination's drive, the path rules, and the verdict of the start button.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "system/System.h"

// 0 = enough free space; 1 = less than needed, or the free space is unknown;
// 2 = nothing free at all (no drive letter, a full or read-only drive).
constexpr int32_t kSpaceEnough = 0;
constexpr int32_t kSpaceShort = 1;
constexpr int32_t kSpaceNone = 2;

// The outcome of one size check, for the two size labels and `SpaceState`.
struct DestinationSpace {
    std::string NeedText;  // for lbNeedSize
    std::string FreeText;  // for lbFreeSize
    bool Red = false;      // both labels pure red, else the window-text colour
    int32_t SpaceState = kSpaceShort;
};

// The system starts programs only from paths of fewer than 260 characters: the
// uninstaller under the longest name the installation may give it ("_uninst.exe"
// behind nine more "_") must fit in the destination. So the start button takes a
// folder of at most this many characters, without its trailing separator.
constexpr size_t kRunnablePathCharacters = 259;
constexpr size_t kLongestUninstallerName = 20;
constexpr size_t kLongestDestinationCharacters =
    kRunnablePathCharacters - kLongestUninstallerName - 1;

// Characters, as the system counts them: a double-byte character is one.
size_t CharacterCount(const std::string& text);

// 25 characters, right-aligned, digits grouped by "," in threes. Negative values,
// which no caller has, are written as 0.
std::string FormatGroupedNumber(int64_t value);

// The need the dialog shows for `totalSize` bytes, in KB: the uninstaller's copy
// adds 13 KB.
int64_t NeededKilobytes(int64_t totalSize, bool standAloneUninstUse);

// Measures the free space on the drive of `path` against `totalSize`. The uninstaller's
// kilobytes enter the displayed need only.
DestinationSpace CheckDestinationSpace(System& system, const std::string& path, int64_t totalSize,
                                       bool standAloneUninstUse);

// The character rules of a destination path; the empty path passes.
bool IsValidInstallPath(const std::string& path);

// Whether the system keeps every name of the path as written: it drops a blank or a
// dot at a name's end, and the folder made would not be the one the record names.
bool KeepsEveryName(const std::string& path);

// What "開始(&S)" finds for the last `SpaceState` and `DstFolder`: the empty text to
// go on, else the error message to show.
std::string CheckStartDestination(int32_t spaceState, const std::string& dstFolder);
