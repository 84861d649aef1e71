#include "uninstall/UninstallerRun.h"

#include <cstring>
#include <memory>

#include "install/FileCopy.h"
#include "install/RegistryRecords.h"
#include "system/Paths.h"
#include "system/TextFormat.h"
#include "uninstall/StandAloneUninstall.h"
#include "uninstall/UninstallEngine.h"

namespace {

// No "@" argument: the program was not started from the list of installed programs.
const char kNoSoftwareMessage[] = "アンインストールするソフトが指定されていません.";
// An "@" argument that is not an encoded name, or one that no settings file can hold.
const char kBadNameMessage[] = "アンインストールするソフトの名前が正しくありません.";
const char kConfirmQuestion[] = "%s を削除してよろしいですか？";
// The copy in the temporary folder could not be made or started, or could not wait.
const char kPrepareFailedMessage[] =
    "アンインストールの準備に失敗しました.\n最初からやり直してください.";

// The copy's command line: "<copy>" /wait:<token> @<EntryKeyName>.
const char kWaitOption[] = "/wait:";
const char kArgumentMark[] = " @";

// The token of a started copy: the word after " /wait:", right before the last " @".
std::string WaitTokenOf(const std::string& commandLine) {
    const size_t mark = commandLine.rfind(kArgumentMark);
    const size_t option = mark == std::string::npos
                              ? std::string::npos
                              : commandLine.rfind(std::string(" ") + kWaitOption, mark);
    if (option == std::string::npos) {
        return std::string();
    }
    const size_t start = option + 1 + std::strlen(kWaitOption);
    const std::string token = commandLine.substr(start, mark - start);
    return token.find_first_of(" \t\"") == std::string::npos ? token : std::string();
}

class UninstallerRun {
public:
    UninstallerRun(System& system, Processes& processes, Ui& ui,
                   const std::function<void(TSetupSettings&)>& uninstall)
        : system_(system), processes_(processes), ui_(ui), uninstall_(uninstall) {}

    void Run() {
        const std::string commandLine = processes_.CommandLine();
        const std::string token = WaitTokenOf(commandLine);
        if (token.empty()) {
            return RunStarter(commandLine);
        }
        // Until the starter has ended, its file and folder are in use.
        if (!processes_.WaitForProcess(token)) {
            ui_.ShowMessage(kPrepareFailedMessage, kCaptionError, MessageButtons::Ok);
            return;
        }
        RunCopy(commandLine);
        ScheduleOwnRemoval();
    }

private:
    void RunStarter(const std::string& commandLine) {
        TSetupSettings settings;
        std::string entryKeyName;
        if (!LoadSettings(commandLine, entryKeyName, settings) ||
            !ui_.ShowMessage(FormatText(kConfirmQuestion, settings.SoftName.c_str()),
                             kCaptionConfirm, MessageButtons::YesNo)) {
            return;
        }
        if (!StartCopy(entryKeyName)) {
            ui_.ShowMessage(kPrepareFailedMessage, kCaptionError, MessageButtons::Ok);
        }
    }

    void RunCopy(const std::string& commandLine) {
        TSetupSettings settings;
        std::string entryKeyName;
        if (LoadSettings(commandLine, entryKeyName, settings)) {
            uninstall_(settings);
        }
    }

    // The settings of the installation the command line names; false after a message.
    bool LoadSettings(const std::string& commandLine, std::string& entryKeyName,
                      TSetupSettings& settings) {
        std::string softName;
        if (!ExtractEntryKeyName(commandLine, entryKeyName)) {
            ui_.ShowMessage(kNoSoftwareMessage, kCaptionError, MessageButtons::Ok);
            return false;
        }
        // Any name the installation took is taken: where it cannot name a shortcut file,
        // only the shortcuts are passed over. A NUL would cut the name short.
        if (!DecodeKeyName(entryKeyName, softName) || softName.find('\0') != std::string::npos) {
            ui_.ShowMessage(kBadNameMessage, kCaptionError, MessageButtons::Ok);
            return false;
        }
        if (!LoadUninstallSettings(system_, softName, settings)) {
            ui_.ShowMessage(kNotInstalledMessage, kCaptionWarning, MessageButtons::Ok);
            return false;
        }
        return true;
    }

    // Copies this program into a new private folder and starts the copy there, so
    // that neither its file nor its current folder lies in the installation.
    bool StartCopy(const std::string& entryKeyName) {
        const std::string self = system_.ExecutablePath();
        const std::string token = processes_.WaitToken();
        if (self.empty() || token.empty()) {
            return false;
        }
        const std::string folder = processes_.CreatePrivateTempFolder();
        if (folder.empty()) {
            return false;
        }
        const std::string copy = AddTrailingSeparator(folder) + ExtractNamePart(self);
        const std::string arguments = kWaitOption + token + kArgumentMark + entryKeyName;
        if (CopyToNewFile(system_, self, copy)) {
            // Held open, which shares only reading, until the copy has started: until
            // then no one can change or replace the file, nor move its folder away.
            const std::unique_ptr<InputFile> held = system_.OpenForRead(copy);
            if (held && processes_.StartProcess(copy, arguments, folder)) {
                return true;
            }
        }
        system_.RemoveFile(copy);
        system_.RemoveEmptyFolder(folder);
        return false;
    }

    // The copy's file and folder go when the system next starts; a failure leaves
    // them in the temporary folder, which is no reason to trouble the user.
    void ScheduleOwnRemoval() {
        const std::string self = system_.ExecutablePath();
        if (!self.empty()) {
            processes_.DeleteAtRestart(self);
            processes_.DeleteAtRestart(RemoveTrailingSeparator(ExtractFolderPart(self)));
        }
    }

    System& system_;
    Processes& processes_;
    Ui& ui_;
    const std::function<void(TSetupSettings&)>& uninstall_;
};

}  // namespace

void RunStandAloneUninstaller(System& system, Processes& processes, Ui& ui,
                              const std::function<void(TSetupSettings&)>& uninstall) {
    UninstallerRun(system, processes, ui, uninstall).Run();
}
