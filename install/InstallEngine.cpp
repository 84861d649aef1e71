#include "install/InstallEngine.h"

#include "install/FileCopy.h"
#include "install/FolderScan.h"
#include "install/InstallRecord.h"
#include "install/RegistryRecords.h"
#include "install/Shortcuts.h"
#include "system/FileBytes.h"
#include "system/Paths.h"
#include "system/TextFormat.h"

namespace {

const char kFolderExistsQuestion[] =
    "フォルダ %s は既に存在します.\nこのフォルダのファイルは上書きされる可能性があります.\n"
    "続行しますか？";
const char kFolderCreatedNotice[] = "フォルダ %s がありません.\nこのフォルダを新規に作成します.";
const char kFolderFailedMessage[] =
    "フォルダの作成に失敗しました.\n"
    "ディスクやファイルが書込み可能かどうか確認した上で最初からやり直してください.";
const char kNoRecordNameMessage[] =
    "インストール情報ファイルの作成に失敗しました."
    "\n既にインストールが行われている可能性があります.";
// The record could not be written although its name was free (a full disk, no access).
const char kRecordFailedMessage[] =
    "インストール情報ファイルの作成に失敗しました.\n"
    "ディスクやファイルが書込み可能かどうか確認した上で最初からやり直してください.";
const char kRegistryFailedMessage[] =
    "レジストリの書込みに失敗しました.\n最初からやり直してください.";
const char kSuccessMessage[] = "インストールが正常に終了しました.";
const char kOpenQuestionSuffix[] = " を開きますか？";
const char kOpenNotFoundSuffix[] = " が見つかりません.\nインストーラの設定に誤りがあります.";
const char kOpenFailedSuffix[] = "を開くのに失敗しました.";

const char kFoldersStatus[] = "フォルダを作成しています...";
const char kFilesStatus[] = "ファイルをコピーしています...";
const char kUninstallerStatus[] = "アンインストーラを登録しています...";
const char kRecordStatus[] = "インストール情報を保存しています...";
const char kShortcutsStatus[] = "ショートカットの作成しています...";
const char kRegistryStatus[] = "レジストリに書込みをしています...";

// The shell open works on a path of at most this many bytes.
constexpr size_t kOpenPathLimit = 511;

// One installation's state between its steps.
class Installation {
public:
    Installation(bool& cancelRequested, TSetupSettings& settings, const Medium& medium,
                 System& system, Ui& ui)
        : cancel_(cancelRequested), s_(settings), medium_(medium), system_(system), ui_(ui) {}

    void Run() {
        if (s_.SoftName.empty()) {
            ui_.ShowMessage(kSettingsFaultMessage, kCaptionError, MessageButtons::Ok);
            return;
        }
        root_ = AddTrailingSeparator(s_.DstFolder);
        programPath_ = root_ + s_.ExecFile;
        cancel_ = false;
        if (RecordFits() && DestinationFolder() && FolderTree() && Files() && Uninstaller() &&
            Record() && Shortcuts() && Registry()) {
            SetBar(100);
            Reset();
            ui_.ShowMessage(kSuccessMessage, kCaptionSuccess, MessageButtons::Ok);
        }
    }

private:
    // The uninstallation reads a record of at most kMaxWholeFileBytes: an installation
    // whose record could be larger could never be removed, so it stops before it
    // makes anything.
    bool RecordFits() {
        if (LargestInstallRecordSize(s_) > kMaxWholeFileBytes) {
            return Failed(kRecordFailedMessage);
        }
        return true;
    }

    bool DestinationFolder() {
        if (system_.FolderExists(s_.DstFolder)) {
            if (!ui_.ShowMessage(FormatText(kFolderExistsQuestion, s_.DstFolder.c_str()),
                                 kCaptionConfirm, MessageButtons::OkCancel)) {
                return Cancelled();
            }
        } else {
            ui_.ShowMessage(FormatText(kFolderCreatedNotice, s_.DstFolder.c_str()), kCaptionNotice,
                            MessageButtons::Ok);
            // Only a folder this run made goes into the record, even when the check
            // above missed one that was there.
            if (!system_.CreateFolderTree(s_.DstFolder, &dstFolderCreated_)) {
                return Failed(kFolderFailedMessage);
            }
        }
        // A junction or a link would lead the installation, and later its removal,
        // into whatever folder it points to.
        if (!system_.IsPlainFolder(s_.DstFolder)) {
            return Failed(kFolderFailedMessage);
        }
        return true;
    }

    bool FolderTree() {
        ui_.SetStatus(kFoldersStatus);
        MapToDestination(s_.SrcFolder, s_.DstFolder, s_.SrcFolderList, s_.SrcFileList,
                         s_.DstFolderList, s_.DstFileList);
        ui_.SetBarMax(static_cast<int>(s_.DstFolderList.size()));
        ui_.SetBarPosition(0);
        ui_.PumpMessages();
        if (cancel_) {
            return Cancelled();
        }
        // The deepest folders come first, and making one follows a junction or a link
        // above it: those already there are looked at before anything is made.
        for (const std::string& folder : s_.DstFolderList) {
            if (system_.FolderExists(folder) && !system_.IsPlainFolder(folder)) {
                return Failed(kFolderFailedMessage);
            }
        }
        for (size_t i = 0; i < s_.DstFolderList.size(); ++i) {
            if (!system_.CreateFolderTree(s_.DstFolderList[i]) ||
                !system_.IsPlainFolder(s_.DstFolderList[i])) {
                return Failed(kFolderFailedMessage);
            }
            ui_.SetBarPosition(static_cast<int>(i + 1));
            ui_.PumpMessages();
            if (cancel_) {
                return Cancelled();
            }
        }
        return true;
    }

    bool Files() {
        ui_.SetStatus(kFilesStatus);
        ui_.SetBarMax(100);
        ui_.SetBarPosition(0);
        if (!RunCopyPhase(system_, ui_, cancel_, s_)) {
            Reset();
            return false;
        }
        return true;
    }

    bool Uninstaller() {
        if (!s_.StandAloneUninstUse) {
            return true;
        }
        ui_.SetStatus(kUninstallerStatus);
        SetBar(0);
        uninstallerPath_ = FreeNameSearch(system_, root_, kUninstallerName);
        if (!uninstallerPath_.empty()) {
            uninstallCommand_ = MakeUninstallCommand(uninstallerPath_, EncodeKeyName(s_.SoftName));
        }
        if (!CopyUninstaller(medium_.Uninstaller)) {
            return Cancelled();
        }
        SetBar(100);
        return true;
    }

    // False when the installation is to stop. Yes at a failure prompt goes on without
    // the file; the record and the Uninstall entry still name it.
    bool CopyUninstaller(const std::string& source) {
        FileCopyJob job;
        int64_t skipped = 0;
        CopyStart result = BeginFileCopy(system_, ui_, job, source, uninstallerPath_, skipped);
        if (result == CopyStart::Copying) {
            uint32_t lastBytes = 0;
            const ChunkResult end =
                CopyFileChunks(job, lastBytes, [this](uint32_t) { return !cancel_; });
            if (end == ChunkResult::Stopped) {
                return false;
            }
            if (end != ChunkResult::Finished) {
                result = AskAfterChunkFailure(ui_, job, end, skipped);
            }
        }
        return !IsStopped(result);
    }

    bool Record() {
        ui_.SetStatus(kRecordStatus);
        SetBar(0);
        const std::string recordPath = FreeNameSearch(system_, root_, kInstallRecordName);
        if (recordPath.empty()) {
            return Failed(kNoRecordNameMessage);
        }
        SetBar(50);
        if (!WriteInstallRecord(system_, recordPath, s_.DstFileList, uninstallerPath_,
                                s_.DstFolderList, s_.DstFolder, dstFolderCreated_)) {
            return Failed(kRecordFailedMessage);
        }
        recordPath_ = recordPath;
        SetBar(100);
        if (cancel_) {
            return Cancelled();
        }
        return true;
    }

    bool Shortcuts() {
        if (!AnyShortcutWanted(s_)) {
            return true;
        }
        ui_.SetStatus(kShortcutsStatus);
        SetBar(0);
        const std::string exShortcutTarget = root_ + s_.ExShortcutFile;
        CreateShortcuts(system_, ui_, s_, kDesktopLocation, programPath_, exShortcutTarget);
        SetBar(50);
        CreateShortcuts(system_, ui_, s_, kProgramsMenuLocation, programPath_, exShortcutTarget);
        SetBar(100);
        return true;
    }

    bool Registry() {
        ui_.SetStatus(kRegistryStatus);
        SetBar(0);
        if (!WriteProductKeyValues(system_, s_, recordPath_, programPath_)) {
            return Failed(kRegistryFailedMessage);
        }
        if (s_.StandAloneUninstUse && !uninstallCommand_.empty()) {
            SetBar(50);
            if (!WriteUninstallEntry(system_, s_, programPath_, uninstallCommand_)) {
                return Failed(kRegistryFailedMessage);
            }
        }
        return true;
    }

    void SetBar(int position) {
        ui_.SetBarMax(100);
        ui_.SetBarPosition(position);
        ui_.PumpMessages();
    }

    // The stop procedure: nothing made so far is removed.
    void Reset() {
        ui_.SetStatus("");
        ui_.SetBarMax(100);
        ui_.SetBarPosition(0);
    }

    bool Failed(const char* message) {
        ui_.ShowMessage(message, kCaptionError, MessageButtons::Ok);
        Reset();
        return false;
    }

    bool Cancelled() {
        ui_.ShowMessage(kInstallCancelledMessage, kCaptionWarning, MessageButtons::Ok);
        Reset();
        return false;
    }

    bool& cancel_;
    TSetupSettings& s_;
    const Medium& medium_;
    System& system_;
    Ui& ui_;
    std::string root_;
    std::string programPath_;
    std::string uninstallerPath_;
    std::string uninstallCommand_;
    std::string recordPath_;
    bool dstFolderCreated_ = false;
};

}  // namespace

void RunInstall(bool& cancelRequested, TSetupSettings& settings, const Medium& medium,
                System& system, Ui& ui) {
    Installation(cancelRequested, settings, medium, system, ui).Run();
}

std::string FreeNameSearch(System& system, const std::string& root, const std::string& suffix) {
    for (std::string prefix; prefix.size() <= kMaxNamePrefix; prefix += '_') {
        const std::string candidate = root + prefix + suffix;
        if (!system.FileExists(candidate)) {
            return candidate;
        }
    }
    return std::string();
}

void OfferAfterOpen(const TSetupSettings& settings, const Medium& medium, System& system, Ui& ui) {
    if (ReadInstalledPath(system, settings.SoftName).empty() || settings.AfterOpen.empty()) {
        return;
    }
    const std::string name = ExtractNamePart(settings.AfterOpen);
    if (settings.AfterOpenDialog) {
        const std::string question = settings.AfterOpenDialogMsg.empty()
                                         ? name + kOpenQuestionSuffix
                                         : settings.AfterOpenDialogMsg;
        if (!ui.ShowMessage(question, kCaptionConfirm, MessageButtons::OkCancel)) {
            return;
        }
    }
    const std::string path = medium.Folder + settings.AfterOpen;
    if (system.FileExists(path)) {
        OpenWithShell(path, system, ui);
    } else {
        ui.ShowMessage(name + kOpenNotFoundSuffix, kCaptionError, MessageButtons::Ok);
    }
}

void OpenWithShell(const std::string& path, System& system, Ui& ui) {
    const std::string file = path.substr(0, kOpenPathLimit);
    if (!system.ShellOpen(file, ExtractFolderPart(file))) {
        ui.ShowMessage(file + kOpenFailedSuffix, kCaptionError, MessageButtons::Ok,
                       MessageIcon::Exclamation);
    }
}
