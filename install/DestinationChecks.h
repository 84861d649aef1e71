// The checks of the destination dialog: the space needed and free on the
// destination's drive, the path rules, and the verdict of the start button.
#pragma once

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

// 25 characters, right-aligned, digits grouped by "," in threes. Negative values,
// which no caller has, are written as 0.
std::string FormatGroupedNumber(int64_t value);

// Measures the free space on the drive of `path` against `totalSize`. The 13 KB of
// the uninstaller enter the displayed need only.
DestinationSpace CheckDestinationSpace(System& system, const std::string& path, int64_t totalSize,
                                       bool standAloneUninstUse);

// The character rules of a destination path; the empty path passes.
bool IsValidInstallPath(const std::string& path);

// What "開始(&S)" finds for the last `SpaceState` and `DstFolder`: the empty text to
// go on, else the error message to show.
std::string CheckStartDestination(int32_t spaceState, const std::string& dstFolder);
