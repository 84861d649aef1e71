#include "uninstall/StandAloneUninstall.h"

#include "install/RegistryRecords.h"
#include "uninstall/RemovalScope.h"

namespace {

const char kArgumentMark[] = " @";

}  // namespace

bool ExtractEntryKeyName(const std::string& commandLine, std::string& entryKeyName) {
    const size_t mark = commandLine.rfind(kArgumentMark);
    if (mark == std::string::npos) {
        return false;
    }
    entryKeyName = commandLine.substr(mark + 2);
    // The system may leave blanks after the last argument.
    entryKeyName.erase(entryKeyName.find_last_not_of(' ') + 1);
    return !entryKeyName.empty();
}

bool DecodeKeyName(const std::string& entryKeyName, std::string& softName) {
    if (entryKeyName.empty() || entryKeyName.size() % 2 != 0) {
        return false;
    }
    std::string decoded;
    for (size_t i = 0; i < entryKeyName.size(); i += 2) {
        const char high = entryKeyName[i];
        const char low = entryKeyName[i + 1];
        if (high < 'A' || high > 'P' || low < 'A' || low > 'P') {
            return false;
        }
        decoded += static_cast<char>(((high - 'A') << 4) | (low - 'A'));
    }
    softName = decoded;
    return true;
}

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
