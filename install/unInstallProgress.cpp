#include "install/unInstallProgress.h"

TfmInstallProgress* fmInstallProgress = nullptr;

TfmInstallProgress::TfmInstallProgress(Application& application, System& system)
    : Form(application, kInstallProgressLayout),
      lbStatus(Find<Label>("lbStatus")),
      pbBar(Find<ProgressBar>("pbBar")),
      btCancel(Find<Button>("btCancel")),
      tmStart(Find<Timer>("tmStart")),
      system_(system) {}
