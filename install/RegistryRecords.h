// The registry records of an installation: the product key under HKEY_CURRENT_USER
// and the entry in the system's list of installed programs under HKEY_LOCAL_MACHINE,
// both named after the software's name.
#pragma once

#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"

// Each byte as two letters A-P, high half first: "abc" gives "GBGCGD".
std::string EncodeKeyName(const std::string& text);
// The inverse of EncodeKeyName. False for an odd length or a letter outside A to P.
bool DecodeKeyName(const std::string& entryKeyName, std::string& softName);
// The product key (HKEY_CURRENT_USER) of a software name.
std::string MakeProductKeyPath(const std::string& softName);
// The Uninstall entry key (HKEY_LOCAL_MACHINE) of a software name.
std::string UninstallKeyPath(const std::string& softName);
// The installed program's path; empty when the software is not installed.
std::string ReadInstalledPath(System& system, const std::string& softName);

// The command line that starts the uninstaller copy for the entry `entryKeyName`.
std::string MakeUninstallCommand(const std::string& uninstallerPath,
                                 const std::string& entryKeyName);
// The entry key name of such a command line: the text after its last " @". False when
// there is none or it is empty.
bool ExtractEntryKeyName(const std::string& commandLine, std::string& entryKeyName);

// Writes the eight product-key values; false at the first write that fails.
bool WriteProductKeyValues(System& system, const TSetupSettings& settings,
                           const std::string& recordPath, const std::string& programPath);
// Writes the three values of the Uninstall entry; false at the first write that fails.
bool WriteUninstallEntry(System& system, const TSetupSettings& settings,
                         const std::string& programPath, const std::string& uninstallCommand);

// Deletes the product key and, when the uninstaller is used, the Uninstall entry.
// False when the product key could not be deleted; the entry is then left alone.
bool DeleteRegistryRecords(System& system, const TSetupSettings& settings);
