// The progress window of the stand-alone uninstaller: the layout and texts of the
// uninstall progress window, as the main window of a program of its own. Closing it
// requests a cancel and ends the program once the engine has stopped.
#pragma once

#include "forms/ProgressForm.h"
#include "system/System.h"

class TfmStandAloneUninstall : public ProgressForm {
public:
    TfmStandAloneUninstall(Application& application, System& system);

private:
    void RunEngine(Ui& ui) override;

    System& system_;
};

extern TfmStandAloneUninstall* fmStandAloneUninstall;
