#include "system/win32/Encoding.h"

#include <windows.h>

namespace {

const UINT kCodePage = 932;

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

std::string ToCodePage(const std::wstring& text) {
    if (text.empty()) {
        return std::string();
    }
    // No best-fit mapping: a look-alike would silently name another file, "?" names none.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const char defaultChar[] = "?";
    const int length =
        WideCharToMultiByte(kCodePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                            0, defaultChar, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kCodePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, defaultChar, nullptr);
    return bytes;
}
