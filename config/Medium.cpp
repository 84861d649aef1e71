#include "config/Medium.h"

#include "system/Paths.h"

Medium::Medium(const std::string& program)
    : Folder(AddTrailingSeparator(ExtractFolderPart(program))),
      RequiredSettingsFile(Folder + kRequiredSettingsName),
      SettingsFile(ReplaceExtension(program, ".INI")),
      MessageFile(ReplaceExtension(program, ".MSG")),
      MenuPicture(Folder + kMenuPictureName),
      BackgroundPicture(Folder + kBackgroundPictureName),
      Uninstaller(Folder + kUninstallerName) {}
