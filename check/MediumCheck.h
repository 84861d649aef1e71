// The medium checker: reads a distribution medium folder the way the setup program
// in it will, and lists what will go wrong or is probably a mistake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/System.h"

enum class Severity {
    Error,    // the installation fails, or does what the distributor surely did not mean
    Warning,  // probably a mistake
};

struct Finding {
    Severity severity = Severity::Error;
    // The file as named in the medium folder ("Setup.INI", "SETUP\bin\app.exe").
    std::string file;
    // "[Section] Key", "[Section]" or empty.
    std::string key;
    // What is wrong and what the setup program will do, in sentences.
    std::string text;
};

// What the setup program will install and ask for.
struct MediumSummary {
    int64_t files = 0;
    int64_t folders = 0;
    int64_t totalSize = 0;
    // The need the destination dialog shows, in KB.
    int64_t neededKilobytes = 0;
};

struct MediumReport {
    // False when the folder cannot be listed; nothing else is filled in then.
    bool readable = false;
    // A settings or message file too large to check, as named in the folder; the
    // findings stop before it.
    std::string oversizedFile;
    // The setup program the medium was read for, as named in the folder.
    std::string setupProgram;
    std::vector<Finding> findings;
    MediumSummary summary;
};

constexpr int kCheckExitClean = 0;
constexpr int kCheckExitErrors = 1;
constexpr int kCheckExitUnreadable = 2;

// Checks the medium in `folder`. The setup program is "Setup.exe" there; without it,
// the only other executable (neither "_uninst.exe" nor the running checker).
MediumReport CheckMedium(System& system, const std::string& folder);

// 0 without errors (warnings allowed), 1 with errors, 2 for an unreadable folder or an
// oversized file.
int CheckExitCode(const MediumReport& report);
