// The uninstall engine: removes what the install record lists, the shortcuts and
// the registry records, reporting through a progress window's status label and bar.
#pragma once

#include "config/SetupSettings.h"
#include "system/System.h"
#include "system/Ui.h"

// Shown with the warning caption when the software does not count as installed.
extern const char kNotInstalledMessage[];

// Runs the uninstallation of settings.SoftName. Clears `cancelRequested` once it
// knows the software is installed and stops at the first cancel request or failure.
void RunUninstall(bool& cancelRequested, TSetupSettings& settings, System& system, Ui& ui);
