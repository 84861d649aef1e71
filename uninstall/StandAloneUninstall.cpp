#include "uninstall/StandAloneUninstall.h"

#include "install/RegistryRecords.h"

bool LoadUninstallSettings(System& system, const std::string& softName, TSetupSettings& settings) {
    if (ReadInstalledPath(system, softName).empty()) {
        return false;
    }
    const std::string key = MakeProductKeyPath(softName);
    const auto flag = [&](const char* name) { return system.ReadUserString(key, name, "") == "1"; };
    settings.SoftName = softName;
    settings.ShortcutDesktop = flag("ShortcutDesktop");
    settings.ShortcutPrograms = flag("ShortcutPrograms");
    settings.ExShortcutDesktop = flag("ExShortcutDesktop");
    settings.ExShortcutPrograms = flag("ExShortcutPrograms");
    settings.ShortcutFolder = system.ReadUserString(key, "ShortcutFolder", "");
    settings.ExShortcutName = system.ReadUserString(key, "ExShortcutName", "");
    // Values that would lead a deletion out of the desktop or the programs menu are
    // passed over where the shortcuts' paths are built, as at the installation.
    // The uninstaller exists only because the Uninstall entry was written.
    settings.StandAloneUninstUse = true;
    return true;
}
