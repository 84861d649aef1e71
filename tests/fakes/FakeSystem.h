// An in-memory Windows for the core's tests: files and folders, the two registry
// roots, scripted system folders, recorded shortcuts and shell opens, and switches
// that make any one operation fail or the disk fill up.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "system/System.h"

// The operations the fake counts, logs and can make fail: the system's own, and
// reads, sizes and writes on open files.
enum class FakeOperation {
    OpenForRead,
    OpenPlainFileForRead,
    CreateNewForWrite,
    FileExists,
    IsReadOnlyFile,
    ReplaceExistingFile,
    FolderExists,
    FindFiles,
    CreateFolderTree,
    RemoveFile,
    RemoveEmptyFolder,
    IsPlainFolder,
    HoldFolder,
    DiskFreeBytes,
    ReadUserString,
    ReadMachineString,
    WriteUserString,
    WriteMachineString,
    DeleteUserKey,
    DeleteMachineKey,
    ShellFolderPath,
    ShellFolderLocation,
    WriteShellLink,
    ShellOpen,
    Read,
    Size,
    Write,
};
const char* OperationName(FakeOperation operation);

class FakeSystem : public System {
public:
    FakeSystem();

    // ---- Scripted system ----
    WindowsVersion version{10, 0};
    std::map<int, std::string> shellFolders;    // CSIDL -> SHGetFolderPath result
    std::map<int, std::string> shellLocations;  // CSIDL -> SHGetSpecialFolderLocation result
    std::string windowsFolder = "C:\\Windows";
    std::string systemFolder = "C:\\Windows\\system32";
    std::string tempFolder = "C:\\Temp\\";
    std::string executablePath = "D:\\Setup.exe";
    // Relative paths resolve against this folder, as they would in a real process.
    std::string currentFolder = "C:\\Windows\\system32";
    // Short (8.3) forms by path; a path without an entry has none.
    std::map<std::u16string, std::u16string> shortPaths;
    // Free bytes by drive letter (upper case); a drive without an entry has plenty.
    std::map<char, int64_t> freeBytes;

    // ---- Faults ----
    // Every operation (file system, registry, shell, reads and writes on open files)
    // is counted from 1 and logged as "Name path"; the one whose number equals
    // failAtOperation fails, and so does each for which failIf answers true.
    int failAtOperation = 0;
    std::function<bool(FakeOperation operation, const std::string& path)> failIf;
    int operationCount = 0;
    std::vector<std::string> operationLog;
    // Bytes that can still be written before the disk is full; -1 for no limit.
    int64_t diskSpaceLeft = -1;

    // ---- Files and folders ----
    void AddDrive(char letter);
    void AddFolder(const std::string& path);  // with its parents
    void AddFile(const std::string& path, const std::string& data = std::string(),
                 bool readOnly = false);  // with its parent folders
    // A link at `path` (made with its parents) to the folder `target`: paths that go on
    // below it lead into the target, as on the real system. A junction unless another
    // reparse tag is given.
    static constexpr uint32_t kJunctionTag = 0xA0000003;
    void AddJunction(const std::string& path, const std::string& target,
                     uint32_t tag = kJunctionTag);
    // Gives an existing file or folder a reparse tag.
    void SetReparseTag(const std::string& path, uint32_t tag);
    bool HasFile(const std::string& path) const;
    bool HasFolder(const std::string& path) const;
    std::string FileData(const std::string& path) const;
    // A file's number of names (1 unless hard links were made) and its reparse tag (0
    // for none; a name-surrogate tag makes it a link to another file, which the fake
    // does not follow).
    void SetFileLinks(const std::string& path, uint32_t linkCount, uint32_t reparseTag = 0);
    // The attributes of a file, set and read without counting an operation.
    void SetAttributes(const std::string& path, bool readOnly, bool hidden);
    bool IsReadOnly(const std::string& path) const;
    bool IsHidden(const std::string& path) const;
    // Takes one file or folder away, as if it had never been made.
    void Forget(const std::string& path);
    // The one name of a path, as the system tells paths apart: drive-qualified, '\'
    // only, no trailing separator, ASCII letters lower case outside double-byte
    // characters, "." and ".." resolved and the "\\?\" or "\\.\" before a drive dropped
    // as the system does, junctions on the way followed.
    std::string Key(const std::string& path) const;
    // Every folder and file as "path\" or "path" (original spelling), sorted.
    std::vector<std::string> Tree() const;

    // ---- Registry ----
    enum class Root { User, Machine };
    void SetValue(Root root, const std::string& key, const std::string& name,
                  const std::string& data, bool isString = true);
    void AddKey(Root root, const std::string& key);
    bool HasKey(Root root, const std::string& key) const;
    bool HasValue(Root root, const std::string& key, const std::string& name) const;
    std::string Value(Root root, const std::string& key, const std::string& name) const;
    // Value names of a key in the order they were first written.
    std::vector<std::string> ValueNames(Root root, const std::string& key) const;
    std::vector<std::string> Keys(Root root) const;

    // ---- Shell ----
    struct ShellLink {
        std::string target;
        std::string arguments;
        std::string workingFolder;
        int showCommand = 0;
    };
    std::map<std::string, ShellLink> links;  // by link path as written
    struct ShellOpenCall {
        std::string file;
        std::string workingFolder;
    };
    std::vector<ShellOpenCall> shellOpens;

    // ---- System ----
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

    // Counts and logs one operation; true when it is to fail.
    bool Fails(FakeOperation operation, const std::string& path);
    // A write on a file opened here: as much as the disk has room for.
    bool WriteToFile(const std::string& path, const void* buffer, uint32_t size, uint32_t& written);
    // Moves the file opened here as `replacement` into the place of `target`.
    bool ReplaceWithFile(const std::string& replacement, const std::string& target);
    // A removal through a folder held as `heldKey`: what `path` leads to must be of the
    // kind asked, no link, and inside the held folder (a folder: or the folder itself).
    bool RemoveInsideHeld(const std::string& heldKey, const std::string& path, bool folder);

private:
    struct Node {
        std::string path;  // as first spelt
        bool folder = false;
        bool readOnly = false;
        std::string data;
        // The hidden or the system attribute, which makes the system refuse to create
        // the file anew with normal attributes.
        bool hidden = false;
        uint32_t linkCount = 1;
        uint32_t reparseTag = 0;
    };
    std::map<std::string, Node> nodes;
    // The folders that are junctions, by key, and the keys of their targets.
    std::map<std::string, std::string> junctions;

    struct RegValue {
        std::string name;
        std::string data;
        bool isString = true;
        int order = 0;
    };
    struct RegKey {
        std::map<std::string, RegValue> values;  // by lower-case name
    };
    std::map<std::string, RegKey>& Hive(Root root);
    const std::map<std::string, RegKey>& Hive(Root root) const;
    std::string ReadString(Root root, FakeOperation op, const std::string& key,
                           const std::string& name, const std::string& def);
    bool WriteString(Root root, FakeOperation op, const std::string& key, const std::string& name,
                     const std::string& text);
    bool DeleteKey(Root root, FakeOperation op, const std::string& key);
    std::map<std::string, RegKey> userHive_;
    std::map<std::string, RegKey> machineHive_;
    int valueOrder_ = 0;
};
