#include "install/unBrouse.h"

TfmBrouse* fmBrouse = nullptr;

TfmBrouse::TfmBrouse(Application& application, System& system)
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
      system_(system) {}
