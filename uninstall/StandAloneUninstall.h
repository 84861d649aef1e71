// What the stand-alone uninstaller knows without the medium: the software's name
// from its command line and the shortcut choices from the product key.
#pragma once

#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"

// The entry key name of a command line: the text after its last " @". False when
// there is none or it is empty.
bool ExtractEntryKeyName(const std::string& commandLine, std::string& entryKeyName);

// The inverse of EncodeKeyName. False for an odd length or a letter outside A to P.
bool DecodeKeyName(const std::string& entryKeyName, std::string& softName);

// Fills the settings the uninstall engine reads from the values the installation
// wrote into the product key. False when the software does not count as installed.
// A sub folder or a name that would leave its folder turns off the shortcuts it is
// part of.
bool LoadUninstallSettings(System& system, const std::string& softName, TSetupSettings& settings);
