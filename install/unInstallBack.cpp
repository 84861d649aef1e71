#include "install/unInstallBack.h"

TfmInstallBack* fmInstallBack = nullptr;

TfmInstallBack::TfmInstallBack(Application& application, System& system)
    : Form(application, kInstallBackLayout),
      lbTitle(Find<Label>("lbTitle")),
      lbTitleShadow(Find<Label>("lbTitleShadow")),
      imBack(Find<Image>("imBack")),
      system_(system) {}
