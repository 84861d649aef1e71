#include "menu/unMenu.h"

#include "config/SetupSettings.h"
#include "setup/MessageBox.h"
#include "system/Paths.h"

TfmMenu* fmMenu = nullptr;

namespace {

const char* const kSettingsFileName = "Setup.INI";
const char* const kIniMissingText = "Setup.iniが見つかりません.";

}  // namespace

TfmMenu::TfmMenu(Application& application, System& system)
    : Form(application, kMenuLayout),
      imMain(Find<Image>("imMain")),
      Panel1(Find<Panel>("Panel1")),
      system_(system) {
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TfmMenu::FormCreate() {
    const std::string programFolder = ExtractFolderPart(system_.ExecutablePath());
    if (!system_.OpenForRead(programFolder + kSettingsFileName)) {
        IniMissing = true;
        return;
    }
    LoadSettings(SetupSettings, system_);
}

void TfmMenu::FormShow() {
    if (IniMissing) {
        ShowMessageBox(kIniMissingText, kCaptionError, MessageButtons::Ok);
        Close();
    }
}
