// A program for the tests of the open step after an installation: started, it leaves
// "opened.txt" beside itself with its command line and working folder (UTF-8, one a
// line) and ends, so that a test can tell whether and how it was opened.
#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                        size, nullptr, nullptr);
    return bytes;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        return 1;
    }
    std::wstring trace(self, length);
    trace.resize(trace.find_last_of(L'\\') + 1);
    trace += L"opened.txt";

    wchar_t folder[MAX_PATH];
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);
    const std::string text = Utf8(GetCommandLineW()) + "\n" +
                             Utf8(std::wstring(folder, folderLength)) + "\n";
    const HANDLE file = CreateFileW(trace.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written,
                              nullptr) &&
                    written == text.size();
    CloseHandle(file);
    return ok ? 0 : 1;
}
