// The menu window: a borderless picture with text buttons drawn into it; the main
// window of the program.
#pragma once

#include "setup/Forms.h"
#include "system/System.h"

class TfmMenu : public Form {
public:
    TfmMenu(Application& application, System& system);

    Image& imMain;
    Panel& Panel1;

    // Set at creation when the settings file is missing.
    bool IniMissing = false;

private:
    void FormCreate();
    void FormShow();

    System& system_;
};

extern TfmMenu* fmMenu;
