#include "install/RegistryRecords.h"

#include <utility>

namespace {

const char kProductKeyRoot[] = "Software\\Quillfen\\SolvanInstallerMaker\\";
const char kUninstallKeyRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// Between the uninstaller's quoted path and the entry key name in its command line.
const char kArgumentMark[] = " @";

const char* Flag(bool set) {
    return set ? "1" : "0";
}

}  // namespace

std::string EncodeKeyName(const std::string& text) {
    std::string encoded;
    encoded.reserve(text.size() * 2);
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        encoded += static_cast<char>('A' + (b >> 4));
        encoded += static_cast<char>('A' + (b & 15));
    }
    return encoded;
}

std::string MakeProductKeyPath(const std::string& softName) {
    return kProductKeyRoot + EncodeKeyName(softName);
}

std::string UninstallKeyPath(const std::string& softName) {
    return kUninstallKeyRoot + EncodeKeyName(softName);
}

std::string ReadInstalledPath(System& system, const std::string& softName) {
    return system.ReadUserString(MakeProductKeyPath(softName), "Path", "");
}

std::string MakeUninstallCommand(const std::string& uninstallerPath,
                                 const std::string& entryKeyName) {
    // Quoted: unquoted, a path with blanks would start a program named like its first word.
    return "\"" + uninstallerPath + "\"" + kArgumentMark + entryKeyName;
}

bool ExtractEntryKeyName(const std::string& commandLine, std::string& entryKeyName) {
    const size_t mark = commandLine.rfind(kArgumentMark);
    if (mark == std::string::npos) {
        return false;
    }
    entryKeyName = commandLine.substr(mark + sizeof kArgumentMark - 1);
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

bool WriteProductKeyValues(System& system, const TSetupSettings& settings,
                           const std::string& recordPath, const std::string& programPath) {
    if (settings.SoftName.empty()) {
        return false;  // the key would be the parent key, shared by every product
    }
    const std::string key = MakeProductKeyPath(settings.SoftName);
    const std::pair<const char*, std::string> values[] = {
        {"LogFile", recordPath},
        {"Path", programPath},
        {"ShortcutDesktop", Flag(settings.ShortcutDesktop)},
        {"ShortcutPrograms", Flag(settings.ShortcutPrograms)},
        {"ShortcutFolder", settings.ShortcutFolder},
        {"ExShortcutDesktop", Flag(settings.ExShortcutDesktop)},
        {"ExShortcutPrograms", Flag(settings.ExShortcutPrograms)},
        {"ExShortcutName", settings.ExShortcutName},
    };
    for (const auto& [name, text] : values) {
        if (!system.WriteUserString(key, name, text)) {
            return false;
        }
    }
    return true;
}

bool WriteUninstallEntry(System& system, const TSetupSettings& settings,
                         const std::string& programPath, const std::string& uninstallCommand) {
    if (settings.SoftName.empty()) {
        return false;
    }
    const std::string key = UninstallKeyPath(settings.SoftName);
    const std::pair<const char*, std::string> values[] = {
        {"DisplayName", settings.SoftName},
        {"DisplayIcon", programPath},
        {"UninstallString", uninstallCommand},
    };
    for (const auto& [name, text] : values) {
        if (!system.WriteMachineString(key, name, text)) {
            return false;
        }
    }
    return true;
}

bool DeleteRegistryRecords(System& system, const TSetupSettings& settings) {
    // Without a name the keys would be the parents of every product's keys.
    if (settings.SoftName.empty() || !system.DeleteUserKey(MakeProductKeyPath(settings.SoftName))) {
        return false;
    }
    if (settings.StandAloneUninstUse) {
        system.DeleteMachineKey(UninstallKeyPath(settings.SoftName));
    }
    return true;
}
