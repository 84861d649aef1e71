#include "install/unInstallInfo.h"

TfmInstallInfo* fmInstallInfo = nullptr;

TfmInstallInfo::TfmInstallInfo(Application& application, System& system)
    : Form(application, kInstallInfoLayout),
      btNext(Find<Button>("btNext")),
      btBefore(Find<Button>("btBefore")),
      btCancel(Find<Button>("btCancel")),
      mmInfo(Find<Memo>("mmInfo")),
      lbInfo(Find<Label>("lbInfo")),
      Bevel1(Find<Bevel>("Bevel1")),
      system_(system) {}
