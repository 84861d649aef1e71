// The files of a distribution medium: what the setup program looks for beside itself.
#pragma once

#include <string>

// Names on every medium, whatever the setup program is called.
inline constexpr char kRequiredSettingsName[] = "Setup.INI";
inline constexpr char kMenuPictureName[] = "SETUP.jpg";
inline constexpr char kBackgroundPictureName[] = "SetupBk.jpg";
inline constexpr char kUninstallerName[] = "_uninst.exe";

struct Medium {
    // `program` is the setup program's full path.
    explicit Medium(const std::string& program);

    // Ends in a separator.
    std::string Folder;
    // The menu ends at once without it, even when the settings are read from a file
    // named after another program.
    std::string RequiredSettingsFile;
    // Named after the program: "Install.exe" reads "Install.INI" and shows "Install.MSG".
    std::string SettingsFile;
    std::string MessageFile;
    std::string MenuPicture;
    std::string BackgroundPicture;
    std::string Uninstaller;
};
