// What the stand-alone uninstaller knows without the medium: the shortcut choices
// from the product key.
#pragma once

#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"

// Fills the settings the uninstall engine reads from the values the installation
// wrote into the product key. False when the software does not count as installed.
bool LoadUninstallSettings(System& system, const std::string& softName, TSetupSettings& settings);
