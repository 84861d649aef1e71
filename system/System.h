// The operating-system services the program needs, behind one interface so that
// the core runs against the real system (system/win32) or the fakes (tests/fakes).
// Every text is code page 932 bytes; failures are results, never exceptions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One entry of a folder listing, as the find functions report it.
struct FindEntry {
    std::string name;
    bool isFolder = false;
    int64_t size = 0;
};

class InputFile {
public:
    virtual ~InputFile() = default;
    // Reads up to `size` bytes; `got` is 0 at the end of the file. False on a read error.
    virtual bool Read(void* buffer, uint32_t size, uint32_t& got) = 0;
    // Size in bytes, or -1 when it cannot be read.
    virtual int64_t Size() = 0;
};

// A file being written. Its last steps act through the open file, never through its
// name again: a folder on the way swapped for a link meanwhile cannot redirect them.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    // Writes `size` bytes; `written` may be less than `size` when the disk is full.
    virtual bool Write(const void* buffer, uint32_t size, uint32_t& written) = 0;
    // Deletes this file; false when it could not be deleted.
    virtual bool Discard() = 0;
    // Moves this file, complete, into the place of the existing file `target` in the
    // same folder, whatever its hidden and system attributes; false, both files as
    // they were, when the target is read-only, lies elsewhere or the move fails.
    virtual bool Replace(const std::string& target) = 0;
};

// A folder held open for removals inside it. While held nobody else can delete, move
// or rename it, and a removal checks where the system finally found the object it
// opened, so that no link on the way, swapped in at any moment, leads it elsewhere.
class HeldFolder {
public:
    virtual ~HeldFolder() = default;
    // Removes the file, or the empty folder, that `path` names: only when the object
    // opened under that name is of that kind, is no link and lies inside the held
    // folder (for a folder: or is the held folder itself). False otherwise and when
    // the removal fails.
    virtual bool RemoveInside(const std::string& path, bool folder) = 0;
};

struct WindowsVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
};

// What folder resolution (system/Folders.h) asks of a system: the running system's
// folders, or those of another that a check stands for. The empty text when a folder
// cannot be determined; a folder whose name code page 932 cannot write is given as
// `HeldPath` holds it.
class SystemFolders {
public:
    virtual ~SystemFolders() = default;

    virtual WindowsVersion GetWindowsVersion() = 0;
    virtual std::string ShellFolderPath(int csidl) = 0;      // SHGetFolderPath, current path
    virtual std::string ShellFolderLocation(int csidl) = 0;  // SHGetSpecialFolderLocation
    virtual std::string WindowsFolder() = 0;
    virtual std::string SystemFolder() = 0;
    virtual std::string TempFolder() = 0;
    // A string value under HKEY_LOCAL_MACHINE, read as System's registry reads: where
    // the systems without SHGetFolderPath keep the program files folder.
    virtual std::string ReadMachineString(const std::string& key, const std::string& name,
                                          const std::string& def) = 0;
};

class System : public SystemFolders {
public:
    // Files and folders.
    virtual std::unique_ptr<InputFile> OpenForRead(const std::string& path) = 0;
    // Opens a file to read as OpenForRead does, but only a file in its own right: null
    // for a link (a junction or a symbolic link, which is not followed) and for a file
    // with further names (hard links), whose bytes another name could change. What is
    // checked is the opened file itself, which then is read.
    virtual std::unique_ptr<InputFile> OpenPlainFileForRead(const std::string& path) = 0;
    // Creates the file only when nothing of that name exists, not even a link; null
    // otherwise.
    virtual std::unique_ptr<OutputFile> CreateNewForWrite(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;  // false for a folder
    // Whether the file exists with the read-only attribute.
    virtual bool IsReadOnlyFile(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // Lists the entries matching `pattern` (a folder + "*.*"), "." and ".." included
    // as the system gives them. False when nothing can be found.
    virtual bool FindFiles(const std::string& pattern, std::vector<FindEntry>& entries) = 0;
    // Creates the folder and every missing parent; true when it exists afterwards.
    // `created`, when given, tells whether this call made the folder itself, which
    // only the creating call can know for sure.
    virtual bool CreateFolderTree(const std::string& path, bool* created = nullptr) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes a folder only when it is empty.
    virtual bool RemoveEmptyFolder(const std::string& path) = 0;
    // Whether the path is a folder in its own right, however it is spelt: false for a
    // link (IsLinkTag), a file, or a path whose attributes cannot be read.
    virtual bool IsPlainFolder(const std::string& path) = 0;
    // Opens a folder for removals inside it; null when it is a link, no folder, or
    // cannot be opened.
    virtual std::unique_ptr<HeldFolder> HoldFolder(const std::string& path) = 0;
    // Bytes free to the caller on the drive of `root` ("X:\"), -1 when the query fails.
    virtual int64_t DiskFreeBytes(const std::string& root) = 0;

    // Registry: string values under HKEY_CURRENT_USER ("User") and HKEY_LOCAL_MACHINE
    // ("Machine", read through SystemFolders). A missing value in an existing key reads
    // as the empty text; a missing key or a value that is not a string gives `def`.
    virtual std::string ReadUserString(const std::string& key, const std::string& name,
                                       const std::string& def) = 0;
    // Creates the key and its missing parents; writes REG_SZ.
    virtual bool WriteUserString(const std::string& key, const std::string& name,
                                 const std::string& text) = 0;
    virtual bool WriteMachineString(const std::string& key, const std::string& name,
                                    const std::string& text) = 0;
    // Deletes the key with all keys below it; false when the key itself was not deleted.
    virtual bool DeleteUserKey(const std::string& key) = 0;
    virtual bool DeleteMachineKey(const std::string& key) = 0;

    // Text: UTF-16 to code page 932 as the system converts it ("?" for a character
    // the code page lacks, never a look-alike). `exact`, when given, tells whether
    // every character had its own form.
    virtual std::string FromUtf16(const std::u16string& text, bool* exact = nullptr) = 0;
    // The short (8.3) form of an existing path (GetShortPathName); the empty text when
    // there is none.
    virtual std::u16string ShortPath(const std::u16string& path) = 0;

    // The process and the shell.
    virtual std::string ExecutablePath() = 0;
    virtual bool WriteShellLink(const std::string& target, const std::string& arguments,
                                const std::string& workingFolder, int showCommand,
                                const std::string& linkPath) = 0;
    // Opens a file with the shell's "open" verb, as the user who started the program
    // wherever the system offers a way, else directly but never with an
    // administrator's rights; false when the file is not there, cannot be opened so,
    // or the shell fails.
    virtual bool ShellOpen(const std::string& file, const std::string& workingFolder) = 0;
};
