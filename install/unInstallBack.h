// The full-screen background behind the install dialogs.
#pragma once

#include "config/Medium.h"
#include "forms/Forms.h"
#include "system/System.h"

class TfmInstallBack : public Form {
public:
    TfmInstallBack(Application& application, System& system, const Medium& medium);

    Label& lbTitle;
    Label& lbTitleShadow;
    Image& imBack;

private:
    void FormShow();
    // Draws "SetupBk.jpg" fitted or tiled; false when there is none or it cannot be
    // decoded or drawn.
    bool DrawPicture(Bitmap& screen);

    System& system_;
    const Medium& medium_;
};

extern TfmInstallBack* fmInstallBack;

// Leaves the install dialogs: the menu shows, then the background behind them hides.
void ReturnToMenu();
