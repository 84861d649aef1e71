#include "check/StandardFolders.h"

#include "install/DestinationChecks.h"

const char kStandardUserName[] = "%USERNAME%";

namespace {

const char kUsersFolder[] = "C:\\Users\\";

struct StandardFolder {
    int csidl;
    // Below the user's own folder, or a full path.
    bool inProfile;
    const char* path;
};

constexpr StandardFolder kStandardFolders[] = {
    {0x19, false, "C:\\Users\\Public\\Desktop"},
    {0x02, true, "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {0x07, true, "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {0x16, false, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
    {0x05, true, "Documents"},
    {0x09, true, "AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
    {0x06, true, "Favorites"},
    {0x26, false, "C:\\Program Files (x86)"},
    {0x1A, true, "AppData\\Roaming"},
    {0x1C, true, "AppData\\Local"},
};

}  // namespace

size_t StandardPathCharacters(const std::string& path) {
    const size_t characters = CharacterCount(path);
    return HoldsStandardUserName(path)
               ? characters - CharacterCount(kStandardUserName) + kLongestUserName
               : characters;
}

bool HoldsStandardUserName(const std::string& path) {
    return path.find(kStandardUserName) != std::string::npos;
}

std::string StandardFolders::ShellFolderPath(int csidl) {
    for (const StandardFolder& folder : kStandardFolders) {
        if (folder.csidl == csidl) {
            return folder.inProfile
                       ? std::string(kUsersFolder) + kStandardUserName + "\\" + folder.path
                       : folder.path;
        }
    }
    return std::string();
}
