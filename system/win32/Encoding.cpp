#include "system/win32/Encoding.h"

#include <windows.h>

#include "system/Paths.h"

namespace {

const UINT kCodePage = 932;
// The file functions take paths shorter than MAX_PATH; CreateDirectoryW keeps 12
// characters of that for an 8.3 name inside the folder.
const size_t kPlainPathLimit = MAX_PATH - 12;

}  // namespace

std::wstring ToWide(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int length =
        MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string ToCodePage(const std::wstring& text, bool* exact) {
    if (exact != nullptr) {
        *exact = true;
    }
    if (text.empty()) {
        return std::string();
    }
    // No best-fit mapping: a look-alike would silently name another file. What has no
    // form becomes "?", which no file name holds, and the caller may be told.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const char defaultChar[] = "?";
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(kCodePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                            0, defaultChar, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kCodePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, defaultChar, &usedDefault);
    if (exact != nullptr) {
        *exact = !usedDefault;
    }
    return bytes;
}

std::wstring ToWidePath(const std::string& path) {
    const std::wstring wide = ToWide(path);
    if (wide.size() < kPlainPathLimit) {
        return wide;
    }
    // Not a device path ("\\?\", "\\.\"), which is already taken literally.
    const PathRoot root = RootKind(path);
    if (root != PathRoot::Drive && root != PathRoot::Share) {
        return wide;
    }
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return wide;
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return wide;
    }
    full.resize(length);
    return root == PathRoot::Share ? L"\\\\?\\UNC" + full.substr(1) : L"\\\\?\\" + full;
}
