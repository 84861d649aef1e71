// Files, folders, system folders, text and the process on the real system.
#include "system/win32/Win32System.h"

#include <windows.h>
// Needs windows.h first.
#include <shlobj.h>

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

class Win32OutputFile : public OutputFile {
public:
    explicit Win32OutputFile(FileHandle file) : file_(std::move(file)) {}
    bool Write(const void* buffer, uint32_t size, uint32_t& written) override {
        DWORD done = 0;
        const bool ok = WriteFile(file_.Get(), buffer, size, &done, nullptr) != 0;
        written = done;
        return ok && done == size;
    }

private:
    FileHandle file_;
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

namespace {

std::unique_ptr<OutputFile> CreateOutputFile(const std::string& path, DWORD disposition) {
    FileHandle file(CreateFileW(ToWidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return nullptr;
    }
    return std::make_unique<Win32OutputFile>(std::move(file));
}

}  // namespace

std::unique_ptr<OutputFile> Win32System::CreateForWrite(const std::string& path) {
    // Windows refuses to truncate a read-only file; so do we, also where the file
    // system itself would let the write through (Wine run by root).
    const DWORD attributes = Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return CreateOutputFile(path, CREATE_ALWAYS);
}

std::unique_ptr<OutputFile> Win32System::CreateNewForWrite(const std::string& path) {
    return CreateOutputFile(path, CREATE_NEW);
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

bool Win32System::ReplaceExistingFile(const std::string& replacement, const std::string& target) {
    // Windows refuses to replace a read-only file; so do we, also where the file
    // system itself would let it through (Wine run by root).
    const DWORD attributes = Attributes(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Not every file system lets a file take the place of a hidden or system file;
    // the new file has attributes of its own, so the old ones go first, and come
    // back when the move fails.
    const std::wstring wideTarget = ToWidePath(target);
    const DWORD hiding = attributes == INVALID_FILE_ATTRIBUTES
                             ? 0
                             : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const DWORD shown = attributes & ~hiding;
    if (hiding != 0 &&
        !SetFileAttributesW(wideTarget.c_str(), shown != 0 ? shown : FILE_ATTRIBUTE_NORMAL)) {
        return false;
    }
    if (MoveFileExW(ToWidePath(replacement).c_str(), wideTarget.c_str(),
                    MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    if (hiding != 0) {
        const DWORD error = GetLastError();
        SetFileAttributesW(wideTarget.c_str(), attributes);
        SetLastError(error);
    }
    return false;
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
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
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
