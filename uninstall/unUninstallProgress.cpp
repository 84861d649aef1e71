#include "uninstall/unUninstallProgress.h"

TfmUninstallProgress* fmUninstallProgress = nullptr;

TfmUninstallProgress::TfmUninstallProgress(Application& application, System& system)
    : Form(application, kUninstallProgressLayout),
      lbStatus(Find<Label>("lbStatus")),
      pbBar(Find<ProgressBar>("pbBar")),
      btCancel(Find<Button>("btCancel")),
      tmStart(Find<Timer>("tmStart")),
      system_(system) {}
