#include "check/ReportText.h"

#include "install/DestinationChecks.h"
#include "system/FileBytes.h"
#include "system/TextFormat.h"

namespace {

const char kErrorLabel[] = "エラー";
const char kWarningLabel[] = "警告";
const char kContentsLine[] = "ファイル %s 個、フォルダ %s 個、合計 %s バイト.";
const char kNeedLine[] = "インストール先の画面に出る必要容量は %s KB です.";
const char kCountLine[] = "エラー %s 件、警告 %s 件.";
const char kUnreadableFolder[] = "フォルダ %s を読めません.";
const char kOversizedFile[] = "ファイル %s は %s バイトを超え、大きすぎるため調べられません.";

// Grouped in threes as the destination dialog writes it, without the alignment.
std::string Grouped(int64_t value) {
    const std::string text = FormatGroupedNumber(value);
    return text.substr(text.find_first_not_of(' '));
}

}  // namespace

std::string FormatFinding(const Finding& finding) {
    std::string line = finding.severity == Severity::Error ? kErrorLabel : kWarningLabel;
    line += ": " + finding.file;
    if (!finding.key.empty()) {
        line += " " + finding.key;
    }
    return line + ": " + finding.text;
}

std::vector<std::string> FormatSummary(const MediumReport& report) {
    int64_t errors = 0;
    int64_t warnings = 0;
    for (const Finding& finding : report.findings) {
        ++(finding.severity == Severity::Error ? errors : warnings);
    }
    const MediumSummary& s = report.summary;
    return {
        FormatText(kContentsLine, Grouped(s.files).c_str(), Grouped(s.folders).c_str(),
                   Grouped(s.totalSize).c_str()),
        FormatText(kNeedLine, Grouped(s.neededKilobytes).c_str()),
        FormatText(kCountLine, Grouped(errors).c_str(), Grouped(warnings).c_str()),
    };
}

std::string FormatUnreadableFolder(const std::string& folder) {
    return FormatText(kUnreadableFolder, folder.c_str());
}

std::string FormatOversizedFile(const std::string& file) {
    return FormatText(kOversizedFile, file.c_str(), Grouped(kMaxWholeFileBytes).c_str());
}
