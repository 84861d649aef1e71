#include "menu/MenuFlow.h"

#include "install/FolderScan.h"
#include "install/RegistryRecords.h"
#include "system/Paths.h"

bool PrepareInstall(TSetupSettings& settings, System& system) {
    if (!ReadInstalledPath(system, settings.SoftName).empty()) {
        return false;
    }
    settings.SrcFolderList.clear();
    settings.SrcFileList.clear();
    settings.TotalSize = 0;
    ScanFolderTree(system, settings.SrcFolder, settings.SrcFolderList, settings.SrcFileList,
                   &settings.TotalSize);
    return true;
}

bool IsInstalledProgramMissing(System& system, const std::string& installedPath) {
    return !installedPath.empty() && !EndsWithSeparator(installedPath) &&
           !system.FileExists(installedPath);
}
