// The install progress window, which runs the install engine and then offers to
// open a file.
#pragma once

#include "config/Medium.h"
#include "forms/ProgressForm.h"
#include "system/System.h"

class TfmInstallProgress : public ProgressForm {
public:
    TfmInstallProgress(Application& application, System& system, const Medium& medium);

private:
    void RunEngine(Ui& ui) override;
    void AfterClose() override;

    System& system_;
    const Medium& medium_;
};

extern TfmInstallProgress* fmInstallProgress;
