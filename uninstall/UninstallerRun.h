// The run of the stand-alone uninstaller, from its command line to its own removal.
//
// A running program cannot delete its own file, nor the folder it runs in. So the
// program started from the system's list of installed programs only checks its
// argument, asks, and starts a copy of itself from a private temporary folder; the
// copy waits for it to end, runs the uninstall engine on the installation's records
// (which list the uninstaller and its folder) and has itself deleted when the system
// next starts.
#pragma once

#include <functional>

#include "config/SetupSettings.h"
#include "system/Processes.h"
#include "system/System.h"
#include "system/Ui.h"

// Runs the part of the uninstaller that its command line calls for. `uninstall`
// runs the uninstall engine on the settings built from the product key.
void RunStandAloneUninstaller(System& system, Processes& processes, Ui& ui,
                              const std::function<void(TSetupSettings&)>& uninstall);
