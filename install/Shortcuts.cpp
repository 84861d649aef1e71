#include "install/Shortcuts.h"

#include "system/Folders.h"
#include "system/Paths.h"

namespace {

const char kShortcutFailedMessage[] = "ショートカットの作成に失敗しました.";

// SW_SHOWDEFAULT: the program opens as it chooses.
constexpr int kShowDefault = 10;

// The program's and the extra file's shortcut of one location.
struct LocationShortcuts {
    bool program;
    bool extra;
    std::string subFolder;
};

LocationShortcuts ShortcutsAt(const TSetupSettings& settings, int location) {
    if (location == kDesktopLocation) {
        return {settings.ShortcutDesktop, settings.ExShortcutDesktop, std::string()};
    }
    return {settings.ShortcutPrograms, settings.ExShortcutPrograms, settings.ShortcutFolder};
}

}  // namespace

bool ShortcutSubFolder(const std::string& shortcutFolder, std::string& subFolder) {
    size_t start = 0;
    if (!shortcutFolder.empty() && IsSeparator(shortcutFolder[0])) {
        start = 1;
    }
    if (!StaysInsideFolder(shortcutFolder.substr(start))) {
        return false;
    }
    subFolder = shortcutFolder.substr(start);
    return true;
}

bool BuildShortcutPath(SystemFolders& system, int location, const std::string& subFolder,
                       const std::string& name, std::string& linkPath, std::string& linkFolder) {
    // Both engines build every shortcut's path here: what the installation refuses
    // to make, the uninstallation never deletes.
    std::string relative;
    if (!ShortcutSubFolder(subFolder, relative) || !IsSingleName(name)) {
        return false;
    }
    const std::string locationFolder = GetSpecialFolderPath(system, location);
    if (locationFolder.empty()) {
        return false;
    }
    std::string folder = AddTrailingSeparator(locationFolder);
    if (!relative.empty()) {
        folder = AddTrailingSeparator(folder + relative);
    }
    linkPath = folder + name + ".lnk";
    linkFolder = RemoveTrailingSeparator(folder);
    return true;
}

bool CreateShortcut(System& system, Ui& ui, const std::string& target, int location,
                    const std::string& subFolder, const std::string& name) {
    std::string linkPath;
    std::string linkFolder;
    const bool written =
        BuildShortcutPath(system, location, subFolder, name, linkPath, linkFolder) &&
        system.CreateFolderTree(linkFolder) &&
        system.WriteShellLink(target, "", RemoveTrailingSeparator(ExtractFolderPart(target)),
                              kShowDefault, linkPath);
    if (!written) {
        ui.ShowMessage(kShortcutFailedMessage, kCaptionError, MessageButtons::Ok);
    }
    return written;
}

bool AnyShortcutWanted(const TSetupSettings& settings) {
    return settings.ShortcutDesktop || settings.ExShortcutDesktop || settings.ShortcutPrograms ||
           settings.ExShortcutPrograms;
}

void CreateShortcuts(System& system, Ui& ui, const TSetupSettings& settings, int location,
                     const std::string& programPath, const std::string& exShortcutTarget) {
    const LocationShortcuts shortcuts = ShortcutsAt(settings, location);
    if (shortcuts.program) {
        CreateShortcut(system, ui, programPath, location, shortcuts.subFolder, settings.SoftName);
    }
    if (shortcuts.extra) {
        CreateShortcut(system, ui, exShortcutTarget, location, shortcuts.subFolder,
                       settings.ExShortcutName);
    }
}

void DeleteShortcuts(System& system, const TSetupSettings& settings, int location) {
    const LocationShortcuts shortcuts = ShortcutsAt(settings, location);
    std::string linkPath;
    std::string linkFolder;
    bool built = false;
    if (shortcuts.program && BuildShortcutPath(system, location, shortcuts.subFolder,
                                               settings.SoftName, linkPath, linkFolder)) {
        system.RemoveFile(linkPath);
        built = true;
    }
    if (shortcuts.extra && BuildShortcutPath(system, location, shortcuts.subFolder,
                                             settings.ExShortcutName, linkPath, linkFolder)) {
        system.RemoveFile(linkPath);
        built = true;
    }
    // Only the innermost level is ours to try; the levels above may hold other programs.
    std::string relative;
    if (built && ShortcutSubFolder(shortcuts.subFolder, relative) && !relative.empty()) {
        system.RemoveEmptyFolder(linkFolder);
    }
}
