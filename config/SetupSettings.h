// The installer settings record: the values of the settings file, the derived
// folders, the menu's button rectangles and the lists of the source scan.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/Medium.h"
#include "system/System.h"

struct ButtonRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

using PathList = std::vector<std::string>;

// Shown instead of an installation or uninstallation when the settings name no
// software, as after a settings file that does not identify itself: the name makes
// the registry keys and the destination, and an empty one would make those shared
// by every product.
inline const char* const kSettingsFaultMessage = "インストーラの設定に誤りがあります.";

struct TSetupSettings {
    std::string SrcFolder;
    std::string DstFolder;
    std::string DstSubFolder;
    std::string SrcSubFolder = "SETUP";
    int32_t DstFolderID = 0;
    std::string ExecFile;
    std::string SoftName;
    bool ShortcutDesktop = true;
    bool ShortcutPrograms = false;
    std::string ShortcutFolder;
    bool ExShortcutDesktop = false;
    bool ExShortcutPrograms = false;
    std::string ExShortcutName;
    std::string ExShortcutFile;
    bool StandAloneUninstUse = true;
    std::string AfterOpen;
    bool AfterOpenDialog = false;
    std::string AfterOpenDialogMsg;
    ButtonRect ButtonRects[4];
    bool WallStretch = true;
    uint32_t ButtonColor = 0;
    int32_t ButtonAlign = 0;
    PathList SrcFolderList;
    PathList SrcFileList;
    PathList DstFolderList;
    PathList DstFileList;
    int64_t TotalSize = 0;
};

// The program's one settings record.
extern TSetupSettings SetupSettings;

// Fills `settings` from the medium's settings file, the destination under `folders`.
// A file that does not identify itself leaves the record as it was.
void LoadSettings(TSetupSettings& settings, const Medium& medium, System& system,
                  SystemFolders& folders);
