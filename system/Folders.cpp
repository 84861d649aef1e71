#include "system/Folders.h"

#include <iterator>

#include "system/Paths.h"

namespace {

const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// Windows Me, 2000 and later have SHGetFolderPath.
bool HasFolderPathApi(const WindowsVersion& v) {
    return v.major >= 5 || (v.major == 4 && v.minor >= 90);
}

// The drive part as the C runtime's path splitting gives it: "X:" or nothing.
std::string DrivePart(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
}

}  // namespace

std::string GetSpecialFolderPath(SystemFolders& system, int index) {
    if (index < 0 || index >= static_cast<int>(std::size(SpecialFolderTable))) {
        return std::string();
    }
    const int csidl = SpecialFolderTable[index];
    if (HasFolderPathApi(system.GetWindowsVersion())) {
        return system.ShellFolderPath(csidl);
    }
    if (index == kProgramFilesIndex) {
        return system.ReadMachineString(kCurrentVersionKey, "ProgramFilesDir", "");
    }
    return system.ShellFolderLocation(csidl);
}

std::string GetSystemFolderPath(SystemFolders& system, int kind) {
    switch (kind) {
        case 0:
            return DrivePart(system.WindowsFolder());
        case 1:
            return system.WindowsFolder();
        case 2:
            return system.SystemFolder();
        case 3:
            return system.TempFolder();
        default:
            return std::string();
    }
}

std::string GetBaseFolder(SystemFolders& system, int dstFolderId) {
    // Each identifier names a shell folder table index or a system folder kind.
    struct BaseFolder {
        bool shellFolder;
        int number;
    };
    static constexpr BaseFolder kBaseFolders[] = {
        {true, 7},   // 0 program files
        {false, 0},  // 1 root of the Windows drive
        {false, 1},  // 2 Windows folder
        {false, 2},  // 3 system folder
        {true, 4},   // 4 My Documents
        {true, 0},   // 5 desktop of all users
        {true, 8},   // 6 application data
        {true, 9},   // 7 local application data
    };
    std::string base;
    if (dstFolderId >= 0 && dstFolderId < static_cast<int>(std::size(kBaseFolders))) {
        const BaseFolder& folder = kBaseFolders[dstFolderId];
        base = folder.shellFolder ? GetSpecialFolderPath(system, folder.number)
                                  : GetSystemFolderPath(system, folder.number);
    }
    return AddTrailingSeparator(base);
}

std::string HeldPath(System& system, const std::u16string& path) {
    bool exact = false;
    const std::string text = system.FromUtf16(path, &exact);
    if (exact) {
        return text;
    }
    const std::u16string shortPath = system.ShortPath(path);
    if (shortPath.empty()) {
        return text;
    }
    const std::string shortText = system.FromUtf16(shortPath, &exact);
    return exact ? shortText : text;
}
