#include "uninstall/StandAloneUninstall.h"

#include "install/RegistryRecords.h"
#include "uninstall/RemovalScope.h"

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
    // Values that would lead a deletion out of the desktop or the programs menu leave
    // the shortcuts they name alone.
    if (!StaysInsideFolder(settings.ShortcutFolder)) {
        settings.ShortcutPrograms = false;
        settings.ExShortcutPrograms = false;
    }
    if (!StaysInsideFolder(settings.ExShortcutName)) {
        settings.ExShortcutDesktop = false;
        settings.ExShortcutPrograms = false;
    }
    // The uninstaller exists only because the Uninstall entry was written.
    settings.StandAloneUninstUse = true;
    return true;
}
