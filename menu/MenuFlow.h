// What the menu decides around its actions: preparing an installation by measuring
// the source tree, and noticing that the installed program has vanished.
#pragma once

#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"

// Re-checks that the software is not installed, then replaces the source lists
// and TotalSize with a scan of SrcFolder. False, leaving them as they were, when
// the software is installed by now.
bool PrepareInstall(TSetupSettings& settings, System& system);

// Whether the program recorded as installed (`installedPath`, as ReadInstalledPath
// gives it) is gone. A path ending in a separator names a folder, not a program
// (the settings had no ExecFile), and never counts as gone.
bool IsInstalledProgramMissing(System& system, const std::string& installedPath);
