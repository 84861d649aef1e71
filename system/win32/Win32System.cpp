// Files, folders, system folders, text and the process on the real system.
#include "system/win32/Win32System.h"

#include <windows.h>
// Needs windows.h first.
#include <shlobj.h>

#include <cstddef>
#include <cstring>
#include <utility>

#include "system/Cp932.h"
#include "system/Folders.h"
#include "system/Paths.h"
#include "system/ReparseTags.h"
#include "system/win32/Encoding.h"
#include "system/win32/Handles.h"

namespace {

class Win32InputFile : public InputFile {
public:
    explicit Win32InputFile(FileHandle file) : file_(std::move(file)) {}
    bool Read(void* buffer, uint32_t size, uint32_t& got) override {
        DWORD read = 0;
        const bool ok = ReadFile(file_.Get(), buffer, size, &read, nullptr) != 0;
        got = read;
        return ok;
    }
    int64_t Size() override {
        LARGE_INTEGER size;
        return GetFileSizeEx(file_.Get(), &size) ? size.QuadPart : -1;
    }

private:
    FileHandle file_;
};

// The path of an object for opening the object itself: no separator after its last
// name, or Wine opens the target of a link that the name itself is.
std::wstring ObjectPath(std::string path) {
    while (path.size() > RootLength(path) && EndsWithSeparator(path)) {
        path = RemoveTrailingSeparator(path);
    }
    return ToWidePath(path);
}

// Opens what `path` names, a link itself rather than what it leads to, a folder too.
FileHandle OpenObject(const std::wstring& path, DWORD access, DWORD share) {
    return FileHandle(CreateFileW(path.c_str(), access | SYNCHRONIZE, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A reparse point is a link when its tag says so, or when the system does not tell
// the tag (0, which no real reparse point has: Wine's Unix symbolic links).
bool IsLink(DWORD attributes, DWORD tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (tag == 0 || IsLinkTag(tag));
}

// Whether an open object is a file (or with `folder` a folder) and no link. Wine opens
// the target of a Unix symbolic link whatever the flags and shows the link only in
// the attributes of its name, so `name` is asked as well: either seeing a link is enough.
bool IsPlainObject(HANDLE object, const std::wstring& name, bool folder) {
    FILE_ATTRIBUTE_TAG_INFO info = {};
    if (!GetFileInformationByHandleEx(object, FileAttributeTagInfo, &info, sizeof(info)) ||
        ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder ||
        IsLink(info.FileAttributes, info.ReparseTag)) {
        return false;
    }
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(name.c_str(), &data));
    return !find || !IsLink(data.dwFileAttributes, data.dwReserved0);
}

// The name of an open object as the system keeps it ("\\??\\C:\\..." under Wine,
// "\\Device\\..." on Windows); the empty text when it cannot tell.
std::wstring ObjectName(HANDLE object) {
    struct UnicodeString {
        USHORT Length;
        USHORT MaximumLength;
        PWSTR Buffer;
    };
    using QueryObjectFunction = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    const auto queryObject = reinterpret_cast<QueryObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    const int kObjectNameInformation = 1;
    std::vector<char> buffer(sizeof(UnicodeString) + 65536);
    ULONG length = 0;
    if (queryObject == nullptr || queryObject(object, kObjectNameInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &length) < 0) {
        return std::wstring();
    }
    const auto* name = reinterpret_cast<const UnicodeString*>(buffer.data());
    return std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
}

// Where the system finally found an open object ("\\?\\C:\\..."), links on the way
// resolved; the empty text when it cannot tell.
std::wstring FinalPath(HANDLE object) {
    std::wstring buffer(MAX_PATH, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(
        object, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    if (length != 0 && length < buffer.size()) {
        buffer.resize(length);
        return buffer;
    }
    if (length > buffer.size()) {
        buffer.assign(length, L'\0');
        if (GetFinalPathNameByHandleW(object, buffer.data(), length, FILE_NAME_NORMALIZED) ==
            length - 1) {
            buffer.resize(length - 1);
            return buffer;
        }
    }
    // Wine gives no final path of more than MAX_PATH characters; its name of the
    // object is that path in the system's own form.
    std::wstring name = ObjectName(object);
    if (name.compare(0, 4, L"\\??\\") != 0) {
        return std::wstring();
    }
    name[1] = L'\\';
    return name;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether the final path `inner` lies in the folder whose final path is `folder`:
// anywhere below it, or with `directly` right in it.
bool LiesIn(const std::wstring& folder, const std::wstring& inner, bool directly) {
    if (folder.empty()) {
        return false;
    }
    const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L'\\';
    return inner.size() > prefix.size() && SamePath(inner.substr(0, prefix.size()), prefix) &&
           (!directly || inner.find(L'\\', prefix.size()) == std::wstring::npos);
}

bool DeleteThrough(HANDLE object) {
    FILE_DISPOSITION_INFO info = {TRUE};
    return SetFileInformationByHandle(object, FileDispositionInfo, &info, sizeof(info)) != 0;
}

// A folder held without delete sharing: nobody can rename, move or delete it while
// held. With `deletable` it can be deleted through the hold.
FileHandle HoldPlainFolder(const std::wstring& path, bool deletable) {
    FileHandle folder = OpenObject(path, FILE_READ_ATTRIBUTES | (deletable ? DELETE : 0),
                                   FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!folder || !IsPlainObject(folder.Get(), path, true)) {
        return FileHandle();
    }
    return folder;
}

// Moves an open file to `name` in the folder `folder` holds, whatever name leads to
// that folder meanwhile. Through the native call: the documented one takes no folder
// handle on every system.
bool RenameInto(HANDLE file, HANDLE folder, const std::wstring& name) {
    struct RenameInformation {
        BOOLEAN ReplaceIfExists;
        HANDLE RootDirectory;
        ULONG FileNameLength;
        WCHAR FileName[1];
    };
    struct IoStatusBlock {
        void* status;
        ULONG_PTR information;
    };
    using SetInformationFunction = LONG(WINAPI*)(HANDLE, IoStatusBlock*, void*, ULONG, int);
    const auto setInformationFile =
        reinterpret_cast<SetInformationFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile")));
    const int kFileRenameInformation = 10;
    const size_t bytes = name.size() * sizeof(wchar_t);
    std::vector<char> buffer(offsetof(RenameInformation, FileName) + bytes + sizeof(wchar_t));
    auto* info = reinterpret_cast<RenameInformation*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = folder;
    info->FileNameLength = static_cast<ULONG>(bytes);
    memcpy(info->FileName, name.data(), bytes);
    IoStatusBlock status = {};
    return setInformationFile != nullptr &&
           setInformationFile(file, &status, buffer.data(), static_cast<ULONG>(buffer.size()),
                              kFileRenameInformation) >= 0;
}

bool SetAttributesThrough(HANDLE object, DWORD attributes) {
    FILE_BASIC_INFO info = {};
    info.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(object, FileBasicInfo, &info, sizeof(info)) != 0;
}

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(FileHandle file) : file_(std::move(file)) {}
    bool Write(const void* buffer, uint32_t size, uint32_t& written) override {
        DWORD done = 0;
        const bool ok = WriteFile(file_.Get(), buffer, size, &done, nullptr) != 0;
        written = done;
        return ok && done == size;
    }
    bool Discard() override {
        const bool deleted = DeleteThrough(file_.Get());
        file_.Reset();
        return deleted;
    }
    bool Replace(const std::string& target) override;

private:
    FileHandle file_;
};

bool Win32OutputFile::Replace(const std::string& target) {
    // The target's folder, held, must be where this file was made; the move then goes
    // into that folder by its handle.
    const std::wstring folderPath = ObjectPath(ExtractFolderPart(target));
    const FileHandle folder = HoldPlainFolder(folderPath, false);
    const std::wstring folderFinal = folder ? FinalPath(folder.Get()) : std::wstring();
    const std::wstring targetPath = ObjectPath(target);
    FileHandle old =
        OpenObject(targetPath, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!old || !IsPlainObject(old.Get(), targetPath, false) ||
        !LiesIn(folderFinal, FinalPath(old.Get()), true) ||
        !LiesIn(folderFinal, FinalPath(file_.Get()), true) ||
        !GetFileInformationByHandle(old.Get(), &info)) {
        return false;
    }
    // Windows refuses to replace a read-only file; so do we, also where the file
    // system itself would let it through (Wine run by root).
    const DWORD attributes = info.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Not every file system lets a file take the place of a hidden or system file;
    // the new file has attributes of its own, so the old ones go first, and come
    // back when the move fails.
    const DWORD hiding = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    if (hiding != 0 && !SetAttributesThrough(old.Get(), attributes & ~hiding)) {
        return false;
    }
    // A file that is open cannot be replaced.
    old.Reset();
    const std::wstring name = ToWide(ExtractNamePart(target));
    if (RenameInto(file_.Get(), folder.Get(), name)) {
        return true;
    }
    if (hiding != 0) {
        const DWORD error = GetLastError();
        old = OpenObject(targetPath, FILE_WRITE_ATTRIBUTES, kShareAll);
        if (old) {
            SetAttributesThrough(old.Get(), attributes);
        }
        SetLastError(error);
    }
    return false;
}

// Removals inside a held folder, each confined by where the system finally found
// what it opened.
class Win32HeldFolder : public HeldFolder {
public:
    Win32HeldFolder(FileHandle folder, std::wstring finalPath)
        : folder_(std::move(folder)), finalPath_(std::move(finalPath)) {}
    bool RemoveInside(const std::string& path, bool folder) override {
        const std::wstring name = ObjectPath(path);
        const FileHandle object = OpenObject(name, DELETE | FILE_READ_ATTRIBUTES, kShareAll);
        if (!object) {
            // The held folder itself opens with delete access only through its hold.
            if (!folder || GetLastError() != ERROR_SHARING_VIOLATION) {
                return false;
            }
            const FileHandle self = OpenObject(name, FILE_READ_ATTRIBUTES, kShareAll);
            return self && IsPlainObject(self.Get(), name, true) &&
                   SamePath(FinalPath(self.Get()), finalPath_) && DeleteThrough(folder_.Get());
        }
        return IsPlainObject(object.Get(), name, folder) &&
               LiesIn(finalPath_, FinalPath(object.Get()), false) && DeleteThrough(object.Get());
    }

private:
    FileHandle folder_;
    std::wstring finalPath_;
};

// Attributes of a path, INVALID_FILE_ATTRIBUTES when it does not exist.
DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(ToWidePath(path).c_str());
}

// The text a function of the GetWindowsDirectory kind writes into a buffer: `query`
// takes the buffer and its size in characters and returns the length, or the size
// it needs when the buffer is too small, or 0 on failure.
template <typename Query>
std::wstring QueryText(Query query) {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const UINT length = query(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            return std::wstring();
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(length + 1, L'\0');
    }
    return std::wstring();
}

// A path the system gives, as the program holds it; the empty text stays empty.
std::string Held(System& system, const std::wstring& path) {
    return HeldPath(system, std::u16string(path.begin(), path.end()));
}

}  // namespace

// ---- Files and folders ----

std::unique_ptr<InputFile> Win32System::OpenForRead(const std::string& path) {
    FileHandle file(CreateFileW(ToWidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32InputFile>(std::move(file));
}

namespace {

// Whether two handles are open on the same file.
bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

std::unique_ptr<InputFile> Win32System::OpenPlainFileForRead(const std::string& path) {
    // The name itself, never what a link at it names; no one may write or move it
    // while it is held.
    const std::wstring wide = ToWidePath(path);
    FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION opened = {};
    if (!file || !GetFileInformationByHandle(file.Get(), &opened) ||
        (opened.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || opened.nNumberOfLinks != 1) {
        return nullptr;
    }
    if ((opened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        FILE_ATTRIBUTE_TAG_INFO tag = {};
        if (!GetFileInformationByHandleEx(file.Get(), FileAttributeTagInfo, &tag, sizeof(tag)) ||
            IsLinkTag(tag.ReparseTag)) {
            return nullptr;
        }
        // Any other reparse point keeps its data behind its filter (a cloud client's
        // file may not even be on the disk): read as the system presents it, from the
        // very file checked, which the first handle keeps in its place until then.
        FileHandle presented(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        BY_HANDLE_FILE_INFORMATION again = {};
        if (!presented || !GetFileInformationByHandle(presented.Get(), &again) ||
            !SameFile(opened, again)) {
            return nullptr;
        }
        file = std::move(presented);
    }
    return std::make_unique<Win32InputFile>(std::move(file));
}

std::unique_ptr<OutputFile> Win32System::CreateNewForWrite(const std::string& path) {
    // With delete access: a file given up or moved into place goes through its handle.
    FileHandle file(CreateFileW(ToWidePath(path).c_str(),
                                GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32OutputFile>(std::move(file));
}

bool Win32System::FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32System::IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool Win32System::FolderExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32System::FindFiles(const std::string& pattern, std::vector<FindEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(ToWidePath(pattern).c_str(), &data));
    if (!find) {
        return false;
    }
    do {
        FindEntry entry;
        entry.name = ToCodePage(data.cFileName);
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) |
                                          data.nFileSizeLow);
        entries.push_back(std::move(entry));
    } while (FindNextFileW(find.Get(), &data));
    return true;
}

bool Win32System::CreateFolderTree(const std::string& path, bool* created) {
    // Each level from the root down, at every separator that is not a trail byte.
    bool madeLevel = false;
    size_t levelStart = RootLength(path);
    size_t i = levelStart;
    while (i <= path.size()) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > levelStart) {
                const std::string level = path.substr(0, i);
                madeLevel =
                    !FolderExists(level) && CreateDirectoryW(ToWidePath(level).c_str(), nullptr);
                if (!madeLevel && !FolderExists(level)) {
                    return false;
                }
            }
            levelStart = ++i;
        } else {
            i += CharLength(path, i);
        }
    }
    if (created != nullptr) {
        *created = madeLevel;
    }
    return FolderExists(path);
}

bool Win32System::RemoveFile(const std::string& path) {
    return DeleteFileW(ToWidePath(path).c_str()) != 0;
}

bool Win32System::RemoveEmptyFolder(const std::string& path) {
    return RemoveDirectoryW(ToWidePath(path).c_str()) != 0;
}

bool Win32System::IsPlainFolder(const std::string& path) {
    const std::wstring name = ObjectPath(path);
    const FileHandle folder = OpenObject(name, FILE_READ_ATTRIBUTES, kShareAll);
    return folder && IsPlainObject(folder.Get(), name, true);
}

std::unique_ptr<HeldFolder> Win32System::HoldFolder(const std::string& path) {
    FileHandle folder = HoldPlainFolder(ObjectPath(path), true);
    std::wstring finalPath = folder ? FinalPath(folder.Get()) : std::wstring();
    if (finalPath.empty()) {
        return nullptr;
    }
    return std::make_unique<Win32HeldFolder>(std::move(folder), std::move(finalPath));
}

int64_t Win32System::DiskFreeBytes(const std::string& root) {
    ULARGE_INTEGER freeToCaller;
    if (!GetDiskFreeSpaceExW(ToWide(root).c_str(), &freeToCaller, nullptr, nullptr)) {
        return -1;
    }
    return static_cast<int64_t>(freeToCaller.QuadPart);
}

// ---- Folders of the running system ----

WindowsVersion Win32System::GetWindowsVersion() {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExW(&info)) {
        return WindowsVersion{};
    }
    return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion};
}

std::string Win32System::ShellFolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::string();
    }
    return Held(*this, path);
}

std::string Win32System::ShellFolderLocation(int csidl) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list))) {
        return std::string();
    }
    TaskMemory<ITEMIDLIST> owned(list);
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(owned.get(), path)) {
        return std::string();
    }
    return Held(*this, path);
}

std::string Win32System::WindowsFolder() {
    return Held(*this, QueryText([](wchar_t* buffer, UINT size) {
        return GetWindowsDirectoryW(buffer, size);
    }));
}

std::string Win32System::SystemFolder() {
    return Held(*this, QueryText([](wchar_t* buffer, UINT size) {
        return GetSystemDirectoryW(buffer, size);
    }));
}

std::string Win32System::TempFolder() {
    return Held(*this, QueryText([](wchar_t* buffer, UINT size) {
        return static_cast<UINT>(GetTempPathW(size, buffer));
    }));
}

// ---- Text and the process ----

std::string Win32System::FromUtf16(const std::u16string& text, bool* exact) {
    return ToCodePage(std::wstring(text.begin(), text.end()), exact);
}

std::u16string Win32System::ShortPath(const std::u16string& path) {
    const std::wstring wide(path.begin(), path.end());
    const std::wstring shortPath = QueryText([&wide](wchar_t* buffer, UINT size) {
        return static_cast<UINT>(GetShortPathNameW(wide.c_str(), buffer, size));
    });
    return std::u16string(shortPath.begin(), shortPath.end());
}

std::string Win32System::ExecutablePath() {
    // GetModuleFileName truncates silently; a result that fills the buffer may be cut.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return Held(*this, buffer);
        }
        if (buffer.size() >= 32768) {
            return std::string();
        }
        buffer.resize(buffer.size() * 2);
    }
}
