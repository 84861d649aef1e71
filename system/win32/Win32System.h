// The system interface on the real Windows: the wide API functions, with every
// text converted explicitly between code page 932 and UTF-16.
#pragma once

#include "system/System.h"

class Win32System : public System {
public:
    std::unique_ptr<InputFile> OpenForRead(const std::string& path) override;
    std::unique_ptr<InputFile> OpenPlainFileForRead(const std::string& path) override;
    std::unique_ptr<OutputFile> CreateNewForWrite(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool IsReadOnlyFile(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool FindFiles(const std::string& pattern, std::vector<FindEntry>& entries) override;
    bool CreateFolderTree(const std::string& path, bool* created = nullptr) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveEmptyFolder(const std::string& path) override;
    bool IsPlainFolder(const std::string& path) override;
    std::unique_ptr<HeldFolder> HoldFolder(const std::string& path) override;
    int64_t DiskFreeBytes(const std::string& root) override;

    std::string ReadUserString(const std::string& key, const std::string& name,
                               const std::string& def) override;
    std::string ReadMachineString(const std::string& key, const std::string& name,
                                  const std::string& def) override;
    bool WriteUserString(const std::string& key, const std::string& name,
                         const std::string& text) override;
    bool WriteMachineString(const std::string& key, const std::string& name,
                            const std::string& text) override;
    bool DeleteUserKey(const std::string& key) override;
    bool DeleteMachineKey(const std::string& key) override;

    WindowsVersion GetWindowsVersion() override;
    std::string ShellFolderPath(int csidl) override;
    std::string ShellFolderLocation(int csidl) override;
    std::string WindowsFolder() override;
    std::string SystemFolder() override;
    std::string TempFolder() override;

    std::string FromUtf16(const std::u16string& text, bool* exact = nullptr) override;
    std::u16string ShortPath(const std::u16string& path) override;

    std::string ExecutablePath() override;
    bool WriteShellLink(const std::string& target, const std::string& arguments,
                        const std::string& workingFolder, int showCommand,
                        const std::string& linkPath) override;
    bool ShellOpen(const std::string& file, const std::string& workingFolder) override;
};
