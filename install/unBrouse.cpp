#include "install/unBrouse.h"

#include "config/SetupSettings.h"
#include "forms/FolderDialog.h"
#include "forms/MessageBox.h"
#include "install/DestinationChecks.h"
#include "install/MessageFile.h"
#include "install/unInstallBack.h"
#include "install/unInstallInfo.h"
#include "install/unInstallProgress.h"
#include "resources/Layouts.h"
#include "system/Folders.h"
#include "system/Paths.h"

TfmBrouse* fmBrouse = nullptr;

namespace {

const char* const kBrowseTitle = "インストール先を選択してください.";

}  // namespace

TfmBrouse::TfmBrouse(Application& application, System& system, const Medium& medium)
    : Form(application, kBrouseLayout),
      btNext(Find<Button>("btNext")),
      btBrouse(Find<Button>("btBrouse")),
      btBefore(Find<Button>("btBefore")),
      edDstFolderName(Find<Edit>("edDstFolderName")),
      btCancel(Find<Button>("btCancel")),
      StaticText1(Find<StaticText>("StaticText1")),
      lbNeedSize(Find<Label>("lbNeedSize")),
      lbFreeSize(Find<Label>("lbFreeSize")),
      Bevel1(Find<Bevel>("Bevel1")),
      system_(system),
      medium_(medium) {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    btBrouse.OnClick = [this] { btBrouseClick(); };
    edDstFolderName.OnExit = [this] { edDstFolderNameExit(); };
    btNext.OnClick = [this] { btNextClick(); };
    btBefore.OnClick = [this] { btBeforeClick(); };
    btCancel.OnClick = [this] { btCancelClick(); };
}

// A folder chosen at an earlier show is not kept: every show starts from the settings.
void TfmBrouse::FormShow() {
    SpaceState = kSpaceShort;
    SetupSettings.DstFolder =
        GetBaseFolder(system_, SetupSettings.DstFolderID) + SetupSettings.DstSubFolder;
    edDstFolderName.SetText(SetupSettings.DstFolder);
    UpdateSizeLabels();
    BackPressed = false;
}

void TfmBrouse::btBrouseClick() {
    const std::string chosen = BrowseForFolder(Handle(), kBrowseTitle, system_);
    if (chosen.empty()) {
        return;
    }
    SetupSettings.DstFolder = AddTrailingSeparator(chosen) + SetupSettings.DstSubFolder;
    edDstFolderName.SetText(SetupSettings.DstFolder);
    UpdateSizeLabels();
}

void TfmBrouse::edDstFolderNameExit() {
    SetupSettings.DstFolder = edDstFolderName.Text();
    UpdateSizeLabels();
}

void TfmBrouse::btNextClick() {
    // Enter or a click sent to the button need not move the focus out of the field:
    // take and measure what it shows, whatever started the checks.
    edDstFolderNameExit();
    const std::string refusal = CheckStartDestination(SpaceState, SetupSettings.DstFolder);
    if (!refusal.empty()) {
        ShowMessageBox(refusal, kCaptionError, MessageButtons::Ok);
        return;
    }
    Hide();
    fmInstallProgress->Show();
}

void TfmBrouse::btBeforeClick() {
    BackPressed = true;
    Close();
}

void TfmBrouse::btCancelClick() {
    Close();
}

// Every close, the close box too.
void TfmBrouse::FormClose() {
    if (BackPressed && MessageFileExists(system_, medium_)) {
        fmInstallInfo->Show();  // the background stays
        return;
    }
    ReturnToMenu();
}

void TfmBrouse::UpdateSizeLabels() {
    const DestinationSpace space =
        CheckDestinationSpace(system_, SetupSettings.DstFolder, SetupSettings.TotalSize,
                              SetupSettings.StandAloneUninstUse);
    const uint32_t color = space.Red ? kColorRed : kColorWindowText;
    lbNeedSize.SetFontColor(color);
    lbFreeSize.SetFontColor(color);
    lbFreeSize.SetText(space.FreeText);
    lbNeedSize.SetText(space.NeedText);
    SpaceState = space.SpaceState;
}
