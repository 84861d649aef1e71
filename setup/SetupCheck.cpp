// SetupCheck.exe: reads a distribution medium folder the way the Setup.exe in it will,
// and prints what will go wrong or is probably a mistake, then a summary.
#include <windows.h>

#include <string>
#include <vector>

#include "check/CommandLine.h"
#include "check/MediumCheck.h"
#include "check/ReportText.h"
#include "system/Paths.h"
#include "system/win32/DllLoading.h"
#include "system/win32/Encoding.h"
#include "system/win32/Win32System.h"

namespace {

const char kUsage[] =
    "使い方: SetupCheck.exe [フォルダ]\n"
    "配布メディアのフォルダを、そこにある Setup.exe と同じように読んで調べます. "
    "フォルダを省略すると、SetupCheck.exe のあるフォルダを調べます.\n"
    "見つかった問題を 1 行に 1 つ、重さ (エラー か 警告)、ファイルとキー、"
    "Setup.exe がどうするかの順に書きます. 最後に、インストールされるファイルとフォルダの数、"
    "合計の大きさ、インストール先の画面に出る必要容量、エラーと警告の数を書きます.\n"
    "エラーは、インストールが失敗するか、配布する人の意図と違う動きになることです. "
    "警告は、おそらく誤りであることです.\n"
    "終了コード: 0 = エラーなし (警告はあってもよい)、1 = エラーあり、"
    "2 = フォルダを読めないか、設定ファイルかメッセージファイルが大きすぎて調べられないか、"
    "引数が正しくない.\n"
    "コンソールには Unicode で書きます. 出力がコンソールでないとき (リダイレクトやパイプ) "
    "は UTF-8 (BOM なし、行末 CR LF) で書きます.\n";

constexpr int kExitUsage = kCheckExitUnreadable;

// The arguments after the program's name, from the wide command line: the C runtime's
// own would hold only what the ANSI code page can, and would take the backslash of
// "D:\Medium\" for an escape of the closing quote.
std::vector<std::string> Arguments() {
    std::vector<std::string> words = SplitCommandLine(ToCodePage(GetCommandLineW()));
    return words.empty() ? words : std::vector<std::string>(words.begin() + 1, words.end());
}

bool IsHelpRequest(const std::string& argument) {
    return argument == "/?" || argument == "-h" || argument == "--help";
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full.empty() ? path : full;
}

// Writes code page 932 text, whatever the system's code page: to a console as UTF-16,
// anywhere else as UTF-8, each line ending in CR LF.
class TextOutput {
public:
    explicit TextOutput(DWORD which) : handle_(GetStdHandle(which)) {}

    void Write(const std::string& text) {
        std::wstring wide;
        for (const wchar_t c : ToWide(text)) {
            if (c == L'\n') {
                wide += L'\r';
            }
            wide += c;
        }
        DWORD mode = 0;
        DWORD done = 0;
        if (GetConsoleMode(handle_, &mode)) {
            WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
            return;
        }
        const std::string utf8 = ToUtf8(wide);
        WriteFile(handle_, utf8.data(), static_cast<DWORD>(utf8.size()), &done, nullptr);
    }

    void Line(const std::string& text) { Write(text + "\n"); }

private:
    static std::string ToUtf8(const std::wstring& wide) {
        if (wide.empty()) {
            return std::string();
        }
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                            size, nullptr, nullptr);
        return bytes;
    }

    HANDLE handle_;
};

}  // namespace

int main() {
    RestrictDllLoading();
    TextOutput out(STD_OUTPUT_HANDLE);
    TextOutput err(STD_ERROR_HANDLE);
    const std::vector<std::string> arguments = Arguments();
    if (arguments.size() == 1 && IsHelpRequest(arguments[0])) {
        out.Write(kUsage);
        return kCheckExitClean;
    }
    if (arguments.size() > 1) {
        err.Write(kUsage);
        return kExitUsage;
    }

    Win32System system;
    const std::string folder = arguments.empty() ? ExtractFolderPart(system.ExecutablePath())
                                                 : ToCodePage(FullPath(ToWide(arguments[0])));
    const MediumReport report = CheckMedium(system, folder);
    if (!report.readable) {
        err.Line(FormatUnreadableFolder(folder));
        return CheckExitCode(report);
    }
    if (!report.oversizedFile.empty()) {
        err.Line(FormatOversizedFile(report.oversizedFile));
        return CheckExitCode(report);
    }
    for (const Finding& finding : report.findings) {
        out.Line(FormatFinding(finding));
    }
    for (const std::string& line : FormatSummary(report)) {
        out.Line(line);
    }
    return CheckExitCode(report);
}
