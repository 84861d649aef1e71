#include "check/MediumCheck.h"

#include <memory>
#include <optional>

#include "check/ShiftJisText.h"
#include "check/StandardFolders.h"
#include "config/IniFile.h"
#include "config/Medium.h"
#include "config/SettingsKeys.h"
#include "config/SetupSettings.h"
#include "install/DestinationChecks.h"
#include "install/FolderScan.h"
#include "install/Shortcuts.h"
#include "menu/MenuPicture.h"
#include "system/Cp932.h"
#include "system/FileBytes.h"
#include "system/Folders.h"
#include "system/Jpeg.h"
#include "system/Paths.h"
#include "system/TextFormat.h"

namespace {

const char kSetupProgramName[] = "Setup.exe";

// The longest path Windows takes without the "\\?\" form, without its terminating NUL.
constexpr size_t kMaxPathCharacters = 259;
// A registry key name holds 255 characters, and each byte of SoftName becomes two.
constexpr size_t kMaxSoftNameBytes = 127;
// The base folders that DstFolderID can name.
constexpr int32_t kLastDstFolderId = 7;

// Characters no file name may hold; a sub folder may hold separators.
const char kNameForbidden[] = "\\/:*?\"<>|";
const char kFolderForbidden[] = ":*?\"<>|";

const char kNoSetupProgram[] = "ファイルがありません. Setup.exe があるものとして調べます.";
const char kOtherSetupProgram[] =
    "Setup.exe がないため、このファイルを設定プログラムとして調べます. 設定は %s から、"
    "メッセージは %s から読まれます.";
const char kSettingsMissing[] =
    "ファイルがないか開けません. Setup.exe は設定ファイルが見つからないと表示して終了します.";
const char kSettingsMisnamed[] =
    "名前が Setup.INI ではありません. Setup.exe はこのファイルを読まず、"
    "設定ファイルが見つからないと表示して終了します.";
const char kSettingsUnreadable[] =
    "ファイルがないか読めません. Setup.exe は設定をひとつも読まず、組み込みの値のまま動きます.";
const char kIdMissing[] =
    "キーがありません. Setup.exe は設定をひとつも読まず、組み込みの値のまま動きます.";
const char kIdCaseDiffers[] =
    "値 \"%s\" は \"%s\" と大文字と小文字が違います. Setup.exe は設定をひとつも読まず、"
    "組み込みの値のまま動きます.";
const char kIdDiffers[] =
    "値 \"%s\" は \"%s\" ではありません. Setup.exe は設定をひとつも読まず、"
    "組み込みの値のまま動きます.";
const char kUnknownSection[] = "不明なセクションです. Setup.exe はこのセクションを読みません.";
const char kRepeatedSection[] =
    "同じ名前のセクションが前にあります. Setup.exe はこのセクションを読みません.";
const char kUnknownKey[] = "不明なキーです. Setup.exe はこのキーを読みません.";
const char kRepeatedKey[] =
    "同じ名前のキーが前にあります. Setup.exe は最初のキーだけを読み、このキーを読みません.";
const char kKeyWithoutEquals[] =
    "\"=\" がありません. Setup.exe はこのキーを値のないものとして読み、既定値を使います.";
const char kIdWithoutEquals[] =
    "\"=\" がありません. Setup.exe は設定をひとつも読まず、組み込みの値のまま動きます.";
const char kKeyOfOtherSection[] =
    "このキーは [%s] に書きます. Setup.exe はここにあるこのキーを読みません.";
const char kNotANumber[] =
    "値 \"%s\" は数値ではありません. Setup.exe はこのキーの既定値を使います.";
const char kNotAFlag[] =
    "値 \"%s\" は 0 でも 1 でもありません. Setup.exe は 0 以外を 1 とみなします.";
const char kFolderIdOutOfRange[] =
    "値 %d は 0 から 7 の範囲にありません. Setup.exe はインストール先を現在のドライブのルート "
    "(%s) にし、インストール先の画面はそのままでは先へ進めません.";
const char kExecFileEmpty[] =
    "値がありません. Setup.exe は ShortcutDesktop と ShortcutPrograms を 0 にし、"
    "プログラムのショートカットを作りません.";
const char kExtraShortcutValueEmpty[] = "値がありません. %s";
const char kExtraShortcutNameIsSoftName[] = "SoftName と同じです. %s";
const char kExtraShortcutsOff[] =
    "Setup.exe は ExShortcutDesktop と ExShortcutPrograms を 0 にし、追加のショートカットを"
    "作りません.";
const char kExecFileNotInSource[] =
    "SETUP フォルダに %s がありません. Setup.exe はインストールの後、メニューを出すたびに"
    "プログラムが削除されているとしてアンインストールを勧めます.";
const char kExShortcutFileNotInSource[] =
    "SETUP フォルダに %s がありません. 追加のショートカットはないファイルを指します.";
const char kAfterOpenMissing[] =
    "Setup.exe のフォルダに %s がありません. Setup.exe はインストールの後、"
    "このファイルが見つからないと表示します.";
const char kUserWritableDestination[] =
    "インストール先 %s は、管理者でないユーザーも書き込めるフォルダの中にあります. "
    "管理者の権限で動くアンインストーラがそこから起動されるため、そのユーザーのプログラムが"
    "アンインストーラを差し替えられます.";
const char kDestinationTooLong[] =
    "既定のインストール先 %s は %sで、239 文字以上です. Setup.exe のインストール先の画面は、"
    "ユーザーが選び直すまで先へ進みません.";
const char kDestinationRefused[] =
    "既定のインストール先 %s は有効なパスではありません. Setup.exe のインストール先の画面は、"
    "ユーザーが選び直すまで先へ進みません.";
const char kBadNameCharacter[] =
    "名前に使えない文字 %s があります. Setup.exe はこの名前のショートカットを作れません.";
const char kBadFolderCharacter[] =
    "フォルダ名に使えない文字 %s があります. Setup.exe はプログラムメニューのショートカットを"
    "作れません.";
const char kSoftNameTooLong[] =
    "%d バイトあり、127 バイトを超えます. Setup.exe はファイルをすべてコピーした後、"
    "レジストリの書込みに失敗します.";
const char kDestinationPathTooLong[] =
    "インストール先のパス %s は %sで、259 文字を超えます. Setup.exe はこれをインストールし、"
    "削除もできますが、インストールされたソフトウェアがこのパスを扱えないことがあります.";
const char kShortcutPathTooLong[] =
    "ショートカット %s は %sで、259 文字を超えます. Setup.exe はこれを作れません.";
const char kCharacters[] = "%d 文字";
const char kCharactersOfLongestUserName[] = "%d 文字 (ユーザー名を %d 文字として)";
const char kPictureUndecodable[] = "JPEG の絵として読めません. Setup.exe はこの絵を表示できません.";
const char kMenuPictureTooSmall[] =
    "大きさ %d×%d は小さすぎます (幅も高さも 120 ピクセル以上が必要です). Setup.exe は"
    "メッセージを表示して、組み込みの絵を使います.";
const char kMessageNotShiftJis[] =
    "Shift-JIS のテキストではありません. Setup.exe の情報の画面では文字が化けます.";
const char kUninstallerMissing[] =
    "ファイルがありません. StandAloneUninstUse が 1 なので、Setup.exe はインストールの途中で"
    "このファイルを読めず、続行するかを尋ねます.";
const char kNameOutsideCodePage[] =
    "名前に Shift-JIS (コードページ 932) にない文字があります. Setup.exe はこれを"
    "インストールできません.";

std::string KeyLabel(const std::string& section, const std::string& key) {
    return section.empty() ? key : "[" + section + "] " + key;
}

// A key the loader reads, by the name the checker gives it.
const SettingsKey& KeyNamed(const char* name) {
    return *FindSettingsKey(name);
}

// "[Section] Key" of a key the loader reads.
std::string SettingLabel(const char* name) {
    const SettingsKey& key = KeyNamed(name);
    return KeyLabel(key.section, key.name);
}

bool IsKnownSection(const std::string& name) {
    for (const SettingsKey& key : kSettingsKeys) {
        if (IniFile::SameName(key.section, name)) {
            return true;
        }
    }
    return false;
}

// The first character of `forbidden` that `name` holds, in quotes; empty when none.
// Second bytes of double-byte characters are not characters of their own.
std::string FindForbiddenCharacter(const std::string& name, const char* forbidden) {
    for (size_t i = 0; i < name.size(); i += CharLength(name, i)) {
        if (std::string(forbidden).find(name[i]) != std::string::npos) {
            return "\"" + std::string(1, name[i]) + "\"";
        }
    }
    return std::string();
}

// The length of a path on the standard system, for a finding.
std::string LengthText(const std::string& path) {
    const int characters = static_cast<int>(StandardPathCharacters(path));
    return HoldsStandardUserName(path) ? FormatText(kCharactersOfLongestUserName, characters,
                                                    static_cast<int>(kLongestUserName))
                                       : FormatText(kCharacters, characters);
}

// Whether the extension of `name` (from its last ".") is `extension`.
bool HasExtension(const std::string& name, const char* extension) {
    return IniFile::SameName(name.substr(ReplaceExtension(name, "").size()), extension);
}

class MediumChecker {
public:
    MediumChecker(System& system, const std::string& folder)
        : system_(system),
          base_(AddTrailingSeparator(folder)),
          medium_(base_ + kSetupProgramName) {}

    MediumReport Run() {
        std::vector<FindEntry> entries;
        if (!system_.FindFiles(base_ + "*.*", entries)) {
            return report_;
        }
        report_.readable = true;
        ChooseSetupProgram(entries);
        if (!CheckFileSizes()) {
            return report_;
        }
        const bool settingsPresent = CheckSettingsFilePresent(entries);
        const bool loaded = settingsPresent && LoadSettingsFile();
        if (loaded) {
            CheckSections();
            CheckValues();
            CheckAdjustments();
            CheckDestination();
            CheckDestinationWriters();
            CheckShortcutNames();
            CheckFilesNamedInSettings();
            CheckShortcutPathLength();
        }
        // The loaded record's SrcFolder; measured also when the settings are not read,
        // so that the summary shows the tree as it will be once they are.
        PathList folders;
        PathList files;
        int64_t total = 0;
        ScanFolderTree(system_, medium_.Folder + settings_.SrcSubFolder, folders, files, &total);
        if (loaded) {
            CheckDestinationPathLength(folders, files);
        }
        if (settingsPresent) {
            CheckPictures();
            CheckMessageFile();
            CheckUninstaller();
            CheckSourceNames(folders);
            CheckSourceNames(files);
        }
        report_.summary.files = static_cast<int64_t>(files.size());
        report_.summary.folders = static_cast<int64_t>(folders.size());
        report_.summary.totalSize = total;
        report_.summary.neededKilobytes = NeededKilobytes(total, settings_.StandAloneUninstUse);
        return report_;
    }

private:
    void Add(Severity severity, const std::string& file, const std::string& key,
             const std::string& text) {
        report_.findings.push_back(Finding{severity, file, key, text});
    }

    // Setup.exe, else the one executable that is neither the uninstaller nor ourselves.
    void ChooseSetupProgram(const std::vector<FindEntry>& entries) {
        const std::string checker = system_.ExecutablePath();
        std::vector<std::string> others;
        for (const FindEntry& entry : entries) {
            if (entry.isFolder || !HasExtension(entry.name, ".exe")) {
                continue;
            }
            if (IniFile::SameName(entry.name, kSetupProgramName)) {
                SetSetupProgram(entry.name);
                return;
            }
            if (!IniFile::SameName(entry.name, kUninstallerName) &&
                !IniFile::SameName(base_ + entry.name, checker)) {
                others.push_back(entry.name);
            }
        }
        if (others.size() == 1) {
            SetSetupProgram(others[0]);
            Add(Severity::Warning, others[0], "",
                FormatText(kOtherSetupProgram, ExtractNamePart(medium_.SettingsFile).c_str(),
                           ExtractNamePart(medium_.MessageFile).c_str()));
            return;
        }
        SetSetupProgram(kSetupProgramName);
        Add(Severity::Error, kSetupProgramName, "", kNoSetupProgram);
    }

    void SetSetupProgram(const std::string& name) {
        report_.setupProgram = name;
        medium_ = Medium(base_ + name);
    }

    // Beyond the limit of files read whole the setup program cannot read them either,
    // and nothing is checked.
    bool CheckFileSizes() {
        for (const std::string& path : {medium_.SettingsFile, medium_.MessageFile}) {
            const std::unique_ptr<InputFile> file = system_.OpenForRead(path);
            if (file && file->Size() > kMaxWholeFileBytes) {
                report_.oversizedFile = ExtractNamePart(path);
                return false;
            }
        }
        return true;
    }

    // The setup program ends at once unless "Setup.INI" itself can be opened, whatever
    // its own name is.
    bool CheckSettingsFilePresent(const std::vector<FindEntry>& entries) {
        if (system_.OpenForRead(medium_.RequiredSettingsFile)) {
            return true;
        }
        bool misnamed = false;
        for (const FindEntry& entry : entries) {
            if (!entry.isFolder && LooksLikeSettingsFile(entry.name) &&
                !IniFile::SameName(entry.name, kRequiredSettingsName)) {
                Add(Severity::Error, entry.name, "", kSettingsMisnamed);
                misnamed = true;
            }
        }
        if (!misnamed) {
            Add(Severity::Error, kRequiredSettingsName, "", kSettingsMissing);
        }
        return false;
    }

    // "Setup.ini.txt", "Setup .INI", "Install.ini": meant as the settings file.
    static bool LooksLikeSettingsFile(const std::string& name) {
        for (size_t i = 0; i + 4 <= name.size(); ++i) {
            if (IniFile::SameName(name.substr(i, 4), ".ini")) {
                return true;
            }
        }
        return false;
    }

    bool LoadSettingsFile() {
        const std::string settingsName = ExtractNamePart(medium_.SettingsFile);
        std::string bytes;
        if (!ReadWholeFile(system_, medium_.SettingsFile, bytes)) {
            Add(Severity::Error, settingsName, "", kSettingsUnreadable);
            return false;
        }
        ini_.emplace(bytes, [this](const std::u16string& text) { return system_.FromUtf16(text); });
        const std::string id = ini_->ReadString(kIdentification, kIdKey, "");
        const std::string idKey = SettingLabel(kIdKey);
        if (id.empty()) {
            Add(Severity::Error, settingsName, idKey,
                IdWrittenWithoutEquals() ? kIdWithoutEquals : kIdMissing);
            return false;
        }
        if (id != kSetupId) {
            const char* text = IniFile::SameName(id, kSetupId) ? kIdCaseDiffers : kIdDiffers;
            Add(Severity::Error, settingsName, idKey, FormatText(text, id.c_str(), kSetupId));
            return false;
        }
        LoadSettings(settings_, medium_, system_, folders_);
        return true;
    }

    // Whether the ID line that the loader reads has no "=".
    bool IdWrittenWithoutEquals() const {
        for (const IniFile::SectionKeys& section : ini_->ListSections()) {
            if (!IniFile::SameName(section.name, kIdentification)) {
                continue;
            }
            for (size_t i = 0; i < section.keys.size(); ++i) {
                if (IniFile::SameName(section.keys[i], kIdKey)) {
                    return !section.hasValue[i];
                }
            }
            return false;
        }
        return false;
    }

    // Sections and keys the loader never asks for.
    void CheckSections() {
        const std::string file = ExtractNamePart(medium_.SettingsFile);
        std::vector<std::string> seen;
        for (const IniFile::SectionKeys& section : ini_->ListSections()) {
            const bool known = IsKnownSection(section.name);
            if (!section.name.empty() && !known) {
                Add(Severity::Warning, file, "[" + section.name + "]", kUnknownSection);
                continue;
            }
            bool repeated = false;
            for (const std::string& name : seen) {
                repeated = repeated || IniFile::SameName(name, section.name);
            }
            if (known && repeated) {
                Add(Severity::Warning, file, "[" + section.name + "]", kRepeatedSection);
                continue;
            }
            seen.push_back(section.name);
            CheckKeys(file, section);
        }
    }

    // The keys of a section that the loader reads: only the first of a name counts.
    void CheckKeys(const std::string& file, const IniFile::SectionKeys& section) {
        std::vector<std::string> seen;
        for (size_t i = 0; i < section.keys.size(); ++i) {
            const std::string& key = section.keys[i];
            const SettingsKey* knownKey = FindSettingsKey(key);
            const std::string label = KeyLabel(section.name, key);
            if (knownKey == nullptr) {
                Add(Severity::Warning, file, label, kUnknownKey);
                continue;
            }
            if (!IniFile::SameName(knownKey->section, section.name)) {
                Add(Severity::Warning, file, label,
                    FormatText(kKeyOfOtherSection, knownKey->section));
                continue;
            }
            bool repeated = false;
            for (const std::string& name : seen) {
                repeated = repeated || IniFile::SameName(name, key);
            }
            if (repeated) {
                Add(Severity::Warning, file, label, kRepeatedKey);
                continue;
            }
            seen.push_back(key);
            if (!section.hasValue[i]) {
                Add(Severity::Warning, file, label, kKeyWithoutEquals);
            }
        }
    }

    // Numbers that do not parse and flags other than 0 and 1.
    void CheckValues() {
        const std::string file = ExtractNamePart(medium_.SettingsFile);
        for (const SettingsKey& key : kSettingsKeys) {
            if (key.kind == SettingKind::Text) {
                continue;
            }
            const std::string value = ini_->ReadString(key.section, key.name, "");
            const int32_t number = ini_->ReadInteger(key.section, key.name, 0);
            const bool parses = number == ini_->ReadInteger(key.section, key.name, 1);
            const std::string label = KeyLabel(key.section, key.name);
            if (!value.empty() && !parses) {
                Add(Severity::Warning, file, label, FormatText(kNotANumber, value.c_str()));
            } else if (key.kind == SettingKind::Flag && parses && number != 0 && number != 1) {
                Add(Severity::Warning, file, label, FormatText(kNotAFlag, value.c_str()));
            }
        }
    }

    // A flag as written, before the loader's adjustments.
    bool RawFlag(const char* name) const {
        const SettingsKey& key = KeyNamed(name);
        return ini_->ReadBool(key.section, key.name, key.number != 0);
    }

    // The distributor asked for the extra shortcuts, whether the loader keeps them or not.
    bool ExtraShortcutsWanted() const {
        return RawFlag("ExShortcutDesktop") || RawFlag("ExShortcutPrograms");
    }

    // The loader's adjustments that turn shortcuts off without a word.
    void CheckAdjustments() {
        const std::string file = ExtractNamePart(medium_.SettingsFile);
        if (settings_.ExecFile.empty() &&
            (RawFlag("ShortcutDesktop") || RawFlag("ShortcutPrograms"))) {
            Add(Severity::Warning, file, SettingLabel("ExecFile"), kExecFileEmpty);
        }
        if (!ExtraShortcutsWanted()) {
            return;
        }
        if (settings_.ExShortcutFile.empty()) {
            Add(Severity::Error, file, SettingLabel("ExShortcutFile"),
                FormatText(kExtraShortcutValueEmpty, kExtraShortcutsOff));
        }
        const std::string nameKey = SettingLabel("ExShortcutName");
        if (settings_.ExShortcutName.empty()) {
            Add(Severity::Error, file, nameKey,
                FormatText(kExtraShortcutValueEmpty, kExtraShortcutsOff));
        } else if (settings_.ExShortcutName == settings_.SoftName) {
            Add(Severity::Error, file, nameKey,
                FormatText(kExtraShortcutNameIsSoftName, kExtraShortcutsOff));
        }
    }

    // The destination the dialog proposes, as far as the settings make it.
    void CheckDestination() {
        const std::string file = ExtractNamePart(medium_.SettingsFile);
        if (settings_.DstFolderID < 0 || settings_.DstFolderID > kLastDstFolderId) {
            Add(Severity::Error, file, SettingLabel("DstFolderID"),
                FormatText(kFolderIdOutOfRange, static_cast<int>(settings_.DstFolderID),
                           settings_.DstFolder.c_str()));
        }
        const SettingsKey& subFolder = KeyNamed("DstSubFolder");
        const bool fromSoftName =
            ini_->ReadString(subFolder.section, subFolder.name, subFolder.text).empty();
        const std::string subFolderKey =
            fromSoftName ? SettingLabel("SoftName") : SettingLabel("DstSubFolder");
        // On a drive root the path rules see only what the settings add.
        if (!IsValidInstallPath("C:\\" + settings_.DstSubFolder) ||
            !KeepsEveryName(settings_.DstSubFolder)) {
            Add(Severity::Error, file, subFolderKey,
                FormatText(kDestinationRefused, settings_.DstFolder.c_str()));
        } else if (StandardPathCharacters(RemoveTrailingSeparator(settings_.DstFolder)) >
                   kLongestDestinationCharacters) {
            Add(Severity::Error, file, subFolderKey,
                FormatText(kDestinationTooLong, settings_.DstFolder.c_str(),
                           LengthText(settings_.DstFolder).c_str()));
        }
    }

    // The uninstaller runs elevated from the destination: a standard user who may
    // write there could replace it, or put a DLL beside it.
    void CheckDestinationWriters() {
        const std::string base = GetBaseFolder(folders_, settings_.DstFolderID);
        const bool driveRoot = base == AddTrailingSeparator(GetSystemFolderPath(folders_, 0));
        if (settings_.StandAloneUninstUse && (driveRoot || HoldsStandardUserName(base))) {
            Add(Severity::Warning, ExtractNamePart(medium_.SettingsFile),
                SettingLabel("DstFolderID"),
                FormatText(kUserWritableDestination, settings_.DstFolder.c_str()));
        }
    }

    void CheckShortcutNames() {
        CheckCharacters(settings_.ShortcutDesktop || settings_.ShortcutPrograms, settings_.SoftName,
                        kNameForbidden, SettingLabel("SoftName"), kBadNameCharacter);
        CheckCharacters(ExtraShortcutsWanted(), settings_.ExShortcutName, kNameForbidden,
                        SettingLabel("ExShortcutName"), kBadNameCharacter);
        CheckCharacters(settings_.ShortcutPrograms || RawFlag("ExShortcutPrograms"),
                        settings_.ShortcutFolder, kFolderForbidden, SettingLabel("ShortcutFolder"),
                        kBadFolderCharacter);
        if (settings_.SoftName.size() > kMaxSoftNameBytes) {
            Add(Severity::Error, ExtractNamePart(medium_.SettingsFile), SettingLabel("SoftName"),
                FormatText(kSoftNameTooLong, static_cast<int>(settings_.SoftName.size())));
        }
    }

    // A name of a shortcut the settings ask for, checked for characters it cannot hold.
    void CheckCharacters(bool used, const std::string& value, const char* forbidden,
                         const std::string& key, const char* text) {
        const std::string bad = used ? FindForbiddenCharacter(value, forbidden) : std::string();
        if (!bad.empty()) {
            Add(Severity::Error, ExtractNamePart(medium_.SettingsFile), key,
                FormatText(text, bad.c_str()));
        }
    }

    void CheckFilesNamedInSettings() {
        const std::string file = ExtractNamePart(medium_.SettingsFile);
        const std::string sourceRoot = AddTrailingSeparator(settings_.SrcFolder);
        if (!settings_.ExecFile.empty() && !system_.FileExists(sourceRoot + settings_.ExecFile)) {
            Add(Severity::Error, file, SettingLabel("ExecFile"),
                FormatText(kExecFileNotInSource, settings_.ExecFile.c_str()));
        }
        if (ExtraShortcutsWanted() && !settings_.ExShortcutFile.empty() &&
            !system_.FileExists(sourceRoot + settings_.ExShortcutFile)) {
            Add(Severity::Error, file, SettingLabel("ExShortcutFile"),
                FormatText(kExShortcutFileNotInSource, settings_.ExShortcutFile.c_str()));
        }
        if (!settings_.AfterOpen.empty() &&
            !system_.FileExists(medium_.Folder + settings_.AfterOpen)) {
            Add(Severity::Error, file, SettingLabel("AfterOpen"),
                FormatText(kAfterOpenMissing, settings_.AfterOpen.c_str()));
        }
    }

    // The longest of the link paths the settings ask for, on this system's folders.
    void CheckShortcutPathLength() {
        struct Shortcut {
            bool wanted;
            int location;
            const std::string& subFolder;
            const std::string& name;
            std::string nameKey;
        };
        const std::string noSubFolder;
        const std::string softNameKey = SettingLabel("SoftName");
        const std::string exShortcutNameKey = SettingLabel("ExShortcutName");
        const Shortcut shortcuts[] = {
            {settings_.ShortcutDesktop, kDesktopLocation, noSubFolder, settings_.SoftName,
             softNameKey},
            {RawFlag("ExShortcutDesktop"), kDesktopLocation, noSubFolder, settings_.ExShortcutName,
             exShortcutNameKey},
            {settings_.ShortcutPrograms, kProgramsMenuLocation, settings_.ShortcutFolder,
             settings_.SoftName, softNameKey},
            {RawFlag("ExShortcutPrograms"), kProgramsMenuLocation, settings_.ShortcutFolder,
             settings_.ExShortcutName, exShortcutNameKey},
        };
        std::string longest;
        std::string longestKey;
        for (const Shortcut& shortcut : shortcuts) {
            std::string linkPath;
            std::string linkFolder;
            if (shortcut.wanted &&
                BuildShortcutPath(folders_, shortcut.location, shortcut.subFolder, shortcut.name,
                                  linkPath, linkFolder) &&
                StandardPathCharacters(linkPath) > StandardPathCharacters(longest)) {
                longest = linkPath;
                longestKey = shortcut.nameKey;
            }
        }
        // The shell saves a link only under a path the system takes as it is.
        if (StandardPathCharacters(longest) > kMaxPathCharacters) {
            Add(Severity::Error, ExtractNamePart(medium_.SettingsFile), longestKey,
                FormatText(kShortcutPathTooLong, longest.c_str(), LengthText(longest).c_str()));
        }
    }

    // The longest path the installation makes under the default destination. The
    // installation itself takes any length, but not every program does.
    void CheckDestinationPathLength(const PathList& folders, const PathList& files) {
        PathList destinationFolders;
        PathList destinationFiles;
        MapToDestination(settings_.SrcFolder, settings_.DstFolder, folders, files,
                         destinationFolders, destinationFiles);
        std::string longest;
        std::string longestSource;
        const auto consider = [&](const PathList& sources, const PathList& destinations) {
            for (size_t i = 0; i < destinations.size(); ++i) {
                const std::string path = RemoveTrailingSeparator(destinations[i]);
                if (StandardPathCharacters(path) > StandardPathCharacters(longest)) {
                    longest = path;
                    longestSource = RemoveTrailingSeparator(sources[i]);
                }
            }
        };
        consider(folders, destinationFolders);
        consider(files, destinationFiles);
        if (StandardPathCharacters(longest) > kMaxPathCharacters) {
            Add(Severity::Warning, MediumName(longestSource), "",
                FormatText(kDestinationPathTooLong, longest.c_str(), LengthText(longest).c_str()));
        }
    }

    void CheckPictures() {
        Bitmap picture;
        if (system_.FileExists(medium_.MenuPicture)) {
            if (!LoadJpegFile(system_, medium_.MenuPicture, picture)) {
                Add(Severity::Error, kMenuPictureName, "", kPictureUndecodable);
            } else if (!IsMenuPictureLargeEnough(picture)) {
                Add(Severity::Error, kMenuPictureName, "",
                    FormatText(kMenuPictureTooSmall, picture.Width(), picture.Height()));
            }
        }
        if (system_.FileExists(medium_.BackgroundPicture) &&
            !LoadJpegFile(system_, medium_.BackgroundPicture, picture)) {
            Add(Severity::Error, kBackgroundPictureName, "", kPictureUndecodable);
        }
    }

    void CheckMessageFile() {
        std::string bytes;
        if (system_.FileExists(medium_.MessageFile) &&
            ReadWholeFile(system_, medium_.MessageFile, bytes) && !IsShiftJisText(bytes)) {
            Add(Severity::Error, ExtractNamePart(medium_.MessageFile), "", kMessageNotShiftJis);
        }
    }

    void CheckUninstaller() {
        if (settings_.StandAloneUninstUse && !system_.FileExists(medium_.Uninstaller)) {
            Add(Severity::Error, kUninstallerName, "", kUninstallerMissing);
        }
    }

    // The system lists a name that code page 932 cannot hold with "?" in its place,
    // a character no real name has.
    void CheckSourceNames(const PathList& entries) {
        for (const std::string& entry : entries) {
            const std::string path = RemoveTrailingSeparator(entry);
            if (ExtractNamePart(path).find('?') != std::string::npos) {
                Add(Severity::Error, MediumName(path), "", kNameOutsideCodePage);
            }
        }
    }

    // A path below the medium folder as the distributor sees it there.
    std::string MediumName(const std::string& path) const {
        return path.compare(0, base_.size(), base_) == 0 ? path.substr(base_.size()) : path;
    }

    System& system_;
    const std::string base_;
    StandardFolders folders_{system_};
    Medium medium_;
    std::optional<IniFile> ini_;
    // Built-in values until the settings file identifies itself.
    TSetupSettings settings_;
    MediumReport report_;
};

}  // namespace

MediumReport CheckMedium(System& system, const std::string& folder) {
    return MediumChecker(system, folder).Run();
}

int CheckExitCode(const MediumReport& report) {
    if (!report.readable || !report.oversizedFile.empty()) {
        return kCheckExitUnreadable;
    }
    for (const Finding& finding : report.findings) {
        if (finding.severity == Severity::Error) {
            return kCheckExitErrors;
        }
    }
    return kCheckExitClean;
}
