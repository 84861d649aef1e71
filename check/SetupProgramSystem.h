// The system as the setup program of a medium folder sees it on a user's computer:
// everything is the real system's except the running executable, which is that
// program, and the folders, which are those of a standard system. The settings loader
// then finds the settings file beside the program, not beside the checker, and the
// destination and the shortcuts are where they will be for most users, whatever
// computer the checker runs on.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

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

class SetupProgramSystem : public System {
public:
    SetupProgramSystem(System& system, std::string executablePath)
        : system_(system), executablePath_(std::move(executablePath)) {}

    std::string ExecutablePath() override { return executablePath_; }

    std::unique_ptr<InputFile> OpenForRead(const std::string& path) override {
        return system_.OpenForRead(path);
    }
    std::unique_ptr<OutputFile> CreateForWrite(const std::string& path) override {
        return system_.CreateForWrite(path);
    }
    std::unique_ptr<OutputFile> CreateNewForWrite(const std::string& path) override {
        return system_.CreateNewForWrite(path);
    }
    bool FileExists(const std::string& path) override { return system_.FileExists(path); }
    bool IsReadOnlyFile(const std::string& path) override { return system_.IsReadOnlyFile(path); }
    bool ReplaceExistingFile(const std::string& replacement, const std::string& target) override {
        return system_.ReplaceExistingFile(replacement, target);
    }
    bool FolderExists(const std::string& path) override { return system_.FolderExists(path); }
    bool FindFiles(const std::string& pattern, std::vector<FindEntry>& entries) override {
        return system_.FindFiles(pattern, entries);
    }
    bool CreateFolderTree(const std::string& path, bool* created = nullptr) override {
        return system_.CreateFolderTree(path, created);
    }
    bool RemoveFile(const std::string& path) override { return system_.RemoveFile(path); }
    bool RemoveEmptyFolder(const std::string& path) override {
        return system_.RemoveEmptyFolder(path);
    }
    bool IsPlainFolder(const std::string& path) override { return system_.IsPlainFolder(path); }
    int64_t DiskFreeBytes(const std::string& root) override { return system_.DiskFreeBytes(root); }

    std::string ReadUserString(const std::string& key, const std::string& name,
                               const std::string& def) override {
        return system_.ReadUserString(key, name, def);
    }
    std::string ReadMachineString(const std::string& key, const std::string& name,
                                  const std::string& def) override {
        return system_.ReadMachineString(key, name, def);
    }
    bool WriteUserString(const std::string& key, const std::string& name,
                         const std::string& text) override {
        return system_.WriteUserString(key, name, text);
    }
    bool WriteMachineString(const std::string& key, const std::string& name,
                            const std::string& text) override {
        return system_.WriteMachineString(key, name, text);
    }
    bool DeleteUserKey(const std::string& key) override { return system_.DeleteUserKey(key); }
    bool DeleteMachineKey(const std::string& key) override { return system_.DeleteMachineKey(key); }

    // 64-bit Windows 7 to 11 on drive C:, as the 32-bit setup program sees it.
    WindowsVersion GetWindowsVersion() override { return WindowsVersion{10, 0}; }
    std::string ShellFolderPath(int csidl) override;
    std::string ShellFolderLocation(int csidl) override { return ShellFolderPath(csidl); }
    std::string WindowsFolder() override { return "C:\\Windows"; }
    std::string SystemFolder() override { return "C:\\Windows\\system32"; }
    std::string TempFolder() override { return system_.TempFolder(); }

    std::string FromUtf16(const std::u16string& text, bool* exact = nullptr) override {
        return system_.FromUtf16(text, exact);
    }
    std::u16string ShortPath(const std::u16string& path) override {
        return system_.ShortPath(path);
    }

    bool WriteShellLink(const std::string& target, const std::string& arguments,
                        const std::string& workingFolder, int showCommand,
                        const std::string& linkPath) override {
        return system_.WriteShellLink(target, arguments, workingFolder, showCommand, linkPath);
    }
    bool ShellOpen(const std::string& file, const std::string& workingFolder) override {
        return system_.ShellOpen(file, workingFolder);
    }

private:
    System& system_;
    std::string executablePath_;
};
