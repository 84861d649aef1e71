#include "config/SetupSettings.h"

#include <memory>

#include "config/IniFile.h"
#include "system/FileBytes.h"
#include "system/Folders.h"

TSetupSettings SetupSettings;

namespace {

// A settings file is ours only when it carries this identification, byte for byte.
const char kSetupId[] = "SolvaneInstaller";
const char kDefaultSoftName[] = "ソフト";
// Yellow, as 0x00BBGGRR.
constexpr int32_t kDefaultButtonColor = 0xFFFF;

const char kIdentification[] = "Identification";
const char kBasicOption[] = "BasicOption";
const char kAdvanceOption[] = "AdvanceOption";
const char kMenuView[] = "MenuView";

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
    if (ini.ReadString(kIdentification, "ID", "") != kSetupId) {
        return;
    }

    settings.ExecFile = ini.ReadString(kBasicOption, "ExecFile", "");
    settings.SoftName = ini.ReadString(kBasicOption, "SoftName", "");
    if (settings.SoftName.empty()) {
        settings.SoftName = kDefaultSoftName;
    }

    settings.DstSubFolder = ini.ReadString(kAdvanceOption, "DstSubFolder", "");
    settings.DstFolderID = ini.ReadInteger(kAdvanceOption, "DstFolderID", 0);
    settings.ShortcutDesktop = ini.ReadBool(kAdvanceOption, "ShortcutDesktop", true);
    settings.ShortcutPrograms = ini.ReadBool(kAdvanceOption, "ShortcutPrograms", false);
    settings.ShortcutFolder = ini.ReadString(kAdvanceOption, "ShortcutFolder", "");
    if (settings.ExecFile.empty()) {
        settings.ShortcutDesktop = false;
        settings.ShortcutPrograms = false;
    }

    settings.ExShortcutDesktop = ini.ReadBool(kAdvanceOption, "ExShortcutDesktop", false);
    settings.ExShortcutPrograms = ini.ReadBool(kAdvanceOption, "ExShortcutPrograms", false);
    settings.ExShortcutFile = ini.ReadString(kAdvanceOption, "ExShortcutFile", "");
    settings.ExShortcutName = ini.ReadString(kAdvanceOption, "ExShortcutName", "");
    if (settings.ExShortcutFile.empty() || settings.ExShortcutName.empty() ||
        settings.ExShortcutName == settings.SoftName) {
        settings.ExShortcutDesktop = false;
        settings.ExShortcutPrograms = false;
    }

    settings.AfterOpen = ini.ReadString(kAdvanceOption, "AfterOpen", "");
    settings.AfterOpenDialog = ini.ReadBool(kAdvanceOption, "AfterOpenDialog", false);
    settings.AfterOpenDialogMsg = ini.ReadString(kAdvanceOption, "AfterOpenDialogMsg", "");
    settings.StandAloneUninstUse = ini.ReadBool(kAdvanceOption, "StandAloneUninstUse", true);

    if (settings.DstSubFolder.empty()) {
        settings.DstSubFolder = settings.SoftName;
    }
    settings.SrcFolder = medium.Folder + settings.SrcSubFolder;
    settings.DstFolder = GetBaseFolder(folders, settings.DstFolderID) + settings.DstSubFolder;

    settings.WallStretch = ini.ReadBool(kMenuView, "WallStretch", true);
    settings.ButtonColor =
        static_cast<uint32_t>(ini.ReadInteger(kMenuView, "ButtonColor", kDefaultButtonColor));
    settings.ButtonAlign = ini.ReadInteger(kMenuView, "ButtonAlign", 0);
}
