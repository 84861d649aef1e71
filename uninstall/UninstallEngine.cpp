#include "uninstall/UninstallEngine.h"

#include <memory>

#include "install/InstallRecord.h"
#include "install/RegistryRecords.h"
#include "install/Shortcuts.h"
#include "system/Paths.h"
#include "system/TextFormat.h"
#include "uninstall/RemovalScope.h"

const char kNotInstalledMessage[] = "ソフトがインストールされていません.";

namespace {

const char kMissingRecordQuestion[] =
    "インストール情報ファイルが見つかりません.\n"
    "インストールしたファイルは既に削除されている可能性があります.\n"
    "ショートカットとレジストリ情報のみ削除を試みますか？";
// The record is there but cannot be read (no access), or the product key names
// something else as the record: nothing is removed.
const char kUnreadableRecordMessage[] =
    "インストール情報ファイルの読み込みに失敗しました.\n最初からやり直してください.";
const char kCancelledMessage[] =
    "ユーザーの要求によりアンインストールが中断しました.\n"
    "アンインストールを完了するには、最初からやり直してください.";
const char kRegistryFailedMessage[] =
    "レジストリの削除に失敗しました.\n最初からやり直してください.";
const char kSuccessMessage[] = "アンインストールが正常に終了しました.";

const char kPreparingStatus[] = "アンインストールの準備をしています...";
const char kFilesStatus[] = "ファイルを削除しています...";
const char kFilesPercentStatus[] = "ファイルを削除しています... (%d％)";
const char kFoldersStatus[] = "フォルダを削除しています...";
const char kShortcutsStatus[] = "ショートカットを削除しています...";
const char kRegistryStatus[] = "レジストリを削除しています...";

class Uninstallation {
public:
    Uninstallation(bool& cancelRequested, TSetupSettings& settings, System& system, Ui& ui)
        : cancel_(cancelRequested), s_(settings), system_(system), ui_(ui) {}

    void Run() {
        if (s_.SoftName.empty()) {
            ui_.ShowMessage(kSettingsFaultMessage, kCaptionError, MessageButtons::Ok);
            return;
        }
        if (ReadInstalledPath(system_, s_.SoftName).empty()) {
            ui_.ShowMessage(kNotInstalledMessage, kCaptionWarning, MessageButtons::Ok);
            return;
        }
        cancel_ = false;
        ui_.SetStatus(kPreparingStatus);
        SetBar(0);
        if (!Continue()) {
            return End();
        }
        const RecordState record = Record();
        if (record == RecordState::Stop ||
            (record == RecordState::Loaded && !(Files() && Folders()))) {
            return End();
        }
        Shortcuts();
        if (Continue() && Registry()) {
            ui_.SetStatus("");
            ui_.SetBarMax(100);
            ui_.SetBarPosition(0);
            ui_.ShowMessage(kSuccessMessage, kCaptionSuccess, MessageButtons::Ok);
        }
        End();
    }

private:
    enum class RecordState { Loaded, Missing, Stop };

    RecordState Record() {
        s_.DstFolderList.clear();
        s_.DstFileList.clear();
        const std::string record =
            system_.ReadUserString(MakeProductKeyPath(s_.SoftName), "LogFile", "");
        // Checked before the file system is asked about it at all.
        const bool recordPathValid = IsInstallRecordPath(record);
        if (record.empty() || (recordPathValid && !system_.FileExists(record))) {
            if (ui_.ShowMessage(kMissingRecordQuestion, kCaptionError, MessageButtons::OkCancel)) {
                return RecordState::Missing;
            }
            ui_.ShowMessage(kCancelledMessage, kCaptionWarning, MessageButtons::Ok);
            return RecordState::Stop;
        }
        if (!recordPathValid ||
            !LoadInstallRecord(system_, record, s_.DstFileList, s_.DstFolderList)) {
            ui_.ShowMessage(kUnreadableRecordMessage, kCaptionError, MessageButtons::Ok);
            return RecordState::Stop;
        }
        // The installation wrote the record into its destination folder. Held from
        // here to the last folder, so that nobody can move it or swap it for a link.
        root_ = ExtractFolderPart(record);
        heldRoot_ = system_.HoldFolder(root_);
        SetBar(50);
        if (!Continue()) {
            return RecordState::Stop;
        }
        SetBar(100);
        return Continue() ? RecordState::Loaded : RecordState::Stop;
    }

    bool Files() {
        const size_t count = s_.DstFileList.size();
        if (!StartList(kFilesStatus, count)) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            Remove(s_.DstFileList[i], RecordLine::File);
            const int percent = static_cast<int>(static_cast<int64_t>(i + 1) * 100 / count);
            ui_.SetStatus(FormatText(kFilesPercentStatus, percent));
            if (!Advance(i)) {
                return false;
            }
        }
        return true;
    }

    bool Folders() {
        const size_t count = s_.DstFolderList.size();
        if (!StartList(kFoldersStatus, count)) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            Remove(s_.DstFolderList[i], RecordLine::Folder);
            if (!Advance(i)) {
                return false;
            }
        }
        heldRoot_.reset();  // the root itself goes now when it was removed
        return true;
    }

    void Shortcuts() {
        if (!AnyShortcutWanted(s_)) {
            return;
        }
        ui_.SetStatus(kShortcutsStatus);
        SetBar(0);
        DeleteShortcuts(system_, s_, kDesktopLocation);
        SetBar(50);
        DeleteShortcuts(system_, s_, kProgramsMenuLocation);
        SetBar(100);
    }

    bool Registry() {
        ui_.SetStatus(kRegistryStatus);
        SetBar(0);
        if (!DeleteRegistryRecords(system_, s_)) {
            ui_.ShowMessage(kRegistryFailedMessage, kCaptionError, MessageButtons::Ok);
            return false;
        }
        SetBar(100);
        return true;
    }

    // A line is passed over when it leaves the installation by its name, or when what
    // the system finds under that name is a link or lies elsewhere (a link on its way).
    void Remove(const std::string& line, RecordLine kind) {
        if (heldRoot_ && LiesInsideRoot(root_, line, kind)) {
            heldRoot_->RemoveInside(line, kind == RecordLine::Folder);
        }
    }

    // Status, bar maximum `count` at position 0, then the user's turn.
    bool StartList(const char* status, size_t count) {
        ui_.SetStatus(status);
        ui_.SetBarMax(static_cast<int>(count));
        ui_.SetBarPosition(0);
        ui_.PumpMessages();
        return Continue();
    }

    bool Advance(size_t i) {
        ui_.SetBarPosition(static_cast<int>(i + 1));
        ui_.PumpMessages();
        return Continue();
    }

    void SetBar(int position) {
        ui_.SetBarMax(100);
        ui_.SetBarPosition(position);
        ui_.PumpMessages();
    }

    // The cancel point: false, after the cancel message, when a cancel was requested.
    bool Continue() {
        if (cancel_) {
            ui_.ShowMessage(kCancelledMessage, kCaptionWarning, MessageButtons::Ok);
            return false;
        }
        return true;
    }

    void End() {
        ui_.SetStatus("");
        ui_.SetBarMax(100);
        ui_.SetBarPosition(0);
    }

    bool& cancel_;
    TSetupSettings& s_;
    System& system_;
    Ui& ui_;
    std::string root_;  // the installation's folder, with its separator
    std::unique_ptr<HeldFolder> heldRoot_;
};

}  // namespace

void RunUninstall(bool& cancelRequested, TSetupSettings& settings, System& system, Ui& ui) {
    Uninstallation(cancelRequested, settings, system, ui).Run();
}
