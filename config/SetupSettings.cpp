#include "config/SetupSettings.h"

#include <memory>
#include <variant>

#include "config/IniFile.h"
#include "config/SettingsKeys.h"
#include "system/FileBytes.h"
#include "system/Folders.h"

TSetupSettings SetupSettings;

namespace {

// The key's value, or its default, into its field; the identification has none.
void ReadKey(const IniFile& ini, const SettingsKey& key, TSetupSettings& settings) {
    using Text = std::string TSetupSettings::*;
    using Number = int32_t TSetupSettings::*;
    using Unsigned = uint32_t TSetupSettings::*;
    using Flag = bool TSetupSettings::*;
    if (const Text* text = std::get_if<Text>(&key.field)) {
        settings.*(*text) = ini.ReadString(key.section, key.name, key.text);
    } else if (const Number* number = std::get_if<Number>(&key.field)) {
        settings.*(*number) = ini.ReadInteger(key.section, key.name, key.number);
    } else if (const Unsigned* number = std::get_if<Unsigned>(&key.field)) {
        settings.*(*number) =
            static_cast<uint32_t>(ini.ReadInteger(key.section, key.name, key.number));
    } else if (const Flag* flag = std::get_if<Flag>(&key.field)) {
        settings.*(*flag) = ini.ReadBool(key.section, key.name, key.number != 0);
    }
}

}  // namespace

void LoadSettings(TSetupSettings& settings, const Medium& medium, System& system,
                  SystemFolders& folders) {
    std::string bytes;
    // A file that cannot be read identifies nothing, like one without the ID.
    if (!ReadWholeFile(system, medium.SettingsFile, bytes)) {
        return;
    }
    const IniFile ini(bytes,
                      [&system](const std::u16string& text) { return system.FromUtf16(text); });
    if (ini.ReadString(kIdentification, kIdKey, "") != kSetupId) {
        return;
    }
    for (const SettingsKey& key : kSettingsKeys) {
        ReadKey(ini, key, settings);
    }

    if (settings.SoftName.empty()) {
        settings.SoftName = kDefaultSoftName;
    }
    if (settings.ExecFile.empty()) {
        settings.ShortcutDesktop = false;
        settings.ShortcutPrograms = false;
    }
    if (settings.ExShortcutFile.empty() || settings.ExShortcutName.empty() ||
        settings.ExShortcutName == settings.SoftName) {
        settings.ExShortcutDesktop = false;
        settings.ExShortcutPrograms = false;
    }
    if (settings.DstSubFolder.empty()) {
        settings.DstSubFolder = settings.SoftName;
    }
    settings.SrcFolder = medium.Folder + settings.SrcSubFolder;
    settings.DstFolder = GetBaseFolder(folders, settings.DstFolderID) + settings.DstSubFolder;
}
