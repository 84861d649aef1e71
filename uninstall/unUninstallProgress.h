// The uninstall progress window, which runs the uninstall engine.
#pragma once

#include "forms/ProgressForm.h"
#include "system/System.h"

class TfmUninstallProgress : public ProgressForm {
public:
    TfmUninstallProgress(Application& application, System& system);

private:
    void RunEngine(Ui& ui) override;
    void AfterClose() override;

    System& system_;
};

extern TfmUninstallProgress* fmUninstallProgress;
