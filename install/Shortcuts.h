// The shortcuts of an installation: to the program and to an extra file, each on the
// desktop of all users and in the current user's programs menu. Nothing records
// them; both engines derive their paths from the settings.
#pragma once

#include <string>

#include "config/SetupSettings.h"
#include "system/System.h"
#include "system/Ui.h"

// Locations: indexes of the special folder table.
inline constexpr int kDesktopLocation = 0;
inline constexpr int kProgramsMenuLocation = 1;

// The folder below the programs menu that a ShortcutFolder value names: a separator
// in front names the same folder ("\Vendor\App" is "Vendor\App"). False when the
// value would lead out of the programs menu: a ".." component, a drive, a "\\" path.
bool ShortcutSubFolder(const std::string& shortcutFolder, std::string& subFolder);

// The link file's path and its folder (without a trailing separator unless it is a
// drive root) for a location, a sub folder (may be empty or hold several levels, see
// ShortcutSubFolder) and a name. False when the location's folder cannot be
// determined, the sub folder would lead out of it, or the name is not one name (a
// separator or a control character).
bool BuildShortcutPath(SystemFolders& system, int location, const std::string& subFolder,
                       const std::string& name, std::string& linkPath, std::string& linkFolder);

// Writes one shortcut to `target`, creating its folder when needed. On any failure
// the user is told and the result is false.
bool CreateShortcut(System& system, Ui& ui, const std::string& target, int location,
                    const std::string& subFolder, const std::string& name);

// Whether the settings ask for any of the four shortcuts.
bool AnyShortcutWanted(const TSetupSettings& settings);

// Creates the program's and the extra file's shortcuts of one location that the
// settings ask for, the program's first. A failed one does not keep the other from
// being made.
void CreateShortcuts(System& system, Ui& ui, const TSetupSettings& settings, int location,
                     const std::string& programPath, const std::string& exShortcutTarget);

// Deletes the shortcuts of one location that the settings name, silently. For the
// programs menu it then removes the last level of ShortcutFolder when that is empty.
void DeleteShortcuts(System& system, const TSetupSettings& settings, int location);
