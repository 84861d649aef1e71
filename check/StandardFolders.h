// The folders of a standard system, whatever computer the checker runs on: 64-bit
// Windows 7 to 11 on drive C:, as the 32-bit setup program sees it. The destination
// and the shortcuts that the checker measures are then where they will be for most
// users.
#pragma once

#include <cstddef>
#include <string>

#include "system/System.h"

// The user's name as it stands in the standard system's folders.
extern const char kStandardUserName[];
// The most characters Windows allows in a user's name.
constexpr size_t kLongestUserName = 20;

// Characters of a path on the standard system, a user's name in it taken at its
// longest.
size_t StandardPathCharacters(const std::string& path);
// Whether the path lies in a folder of the user's own.
bool HoldsStandardUserName(const std::string& path);

class StandardFolders : public SystemFolders {
public:
    // The temporary folder and the registry, which no destination or shortcut comes
    // from on the standard system, are `system`'s.
    explicit StandardFolders(System& system) : system_(system) {}

    WindowsVersion GetWindowsVersion() override { return WindowsVersion{10, 0}; }
    std::string ShellFolderPath(int csidl) override;
    std::string ShellFolderLocation(int csidl) override { return ShellFolderPath(csidl); }
    std::string WindowsFolder() override { return "C:\\Windows"; }
    std::string SystemFolder() override { return "C:\\Windows\\system32"; }
    std::string TempFolder() override { return system_.TempFolder(); }
    std::string ReadMachineString(const std::string& key, const std::string& name,
                                  const std::string& def) override {
        return system_.ReadMachineString(key, name, def);
    }

private:
    System& system_;
};
