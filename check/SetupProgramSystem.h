// The system as the setup program of a medium folder sees it: everything is the real
// system's except the running executable, which is that program. The settings loader
// then finds the settings file beside it, not beside the checker.
#pragma once

#include <string>
#include <utility>

#include "system/System.h"

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

    WindowsVersion GetWindowsVersion() override { return system_.GetWindowsVersion(); }
    std::string ShellFolderPath(int csidl) override { return system_.ShellFolderPath(csidl); }
    std::string ShellFolderLocation(int csidl) override {
        return system_.ShellFolderLocation(csidl);
    }
    std::string WindowsFolder() override { return system_.WindowsFolder(); }
    std::string SystemFolder() override { return system_.SystemFolder(); }
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
