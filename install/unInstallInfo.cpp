#include "install/unInstallInfo.h"

#include "install/MessageFile.h"
#include "install/unBrouse.h"
#include "install/unInstallBack.h"
#include "resources/Layouts.h"

TfmInstallInfo* fmInstallInfo = nullptr;

namespace {

const char* const kInfoText =
    "インストールを開始します.\n他のアプリケーションをすべて終了させてください.";

}  // namespace

TfmInstallInfo::TfmInstallInfo(Application& application, System& system, const Medium& medium)
    : Form(application, kInstallInfoLayout),
      btNext(Find<Button>("btNext")),
      btBefore(Find<Button>("btBefore")),
      btCancel(Find<Button>("btCancel")),
      mmInfo(Find<Memo>("mmInfo")),
      lbInfo(Find<Label>("lbInfo")),
      Bevel1(Find<Bevel>("Bevel1")),
      system_(system),
      medium_(medium) {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    btNext.OnClick = [this] { btNextClick(); };
    btBefore.OnClick = [this] { btBeforeClick(); };
    btCancel.OnClick = [this] { btCancelClick(); };
}

// The message file is read again at every show.
void TfmInstallInfo::FormShow() {
    lbInfo.SetText(kInfoText);
    mmInfo.SetLines(ReadMessageFileLines(system_, medium_));
    NextPressed = false;
}

void TfmInstallInfo::btNextClick() {
    NextPressed = true;
    Close();
}

void TfmInstallInfo::btBeforeClick() {
    Close();
}

void TfmInstallInfo::btCancelClick() {
    Close();
}

// Every close, the close box too.
void TfmInstallInfo::FormClose() {
    if (NextPressed) {
        fmBrouse->Show();
        return;
    }
    ReturnToMenu();
}
