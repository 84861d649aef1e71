#include "install/unInstallBack.h"

#include "config/SetupSettings.h"
#include "install/Background.h"
#include "menu/unMenu.h"
#include "resources/Layouts.h"
#include "system/Jpeg.h"

TfmInstallBack* fmInstallBack = nullptr;

TfmInstallBack::TfmInstallBack(Application& application, System& system, const Medium& medium)
    : Form(application, kInstallBackLayout),
      lbTitle(Find<Label>("lbTitle")),
      lbTitleShadow(Find<Label>("lbTitleShadow")),
      imBack(Find<Image>("imBack")),
      system_(system),
      medium_(medium) {
    OnShow = [this] { FormShow(); };
}

// Drawn once per show into the picture's own bitmap, which repaints by itself.
void TfmInstallBack::FormShow() {
    Bitmap& screen = imBack.Picture();
    if (!screen.Allocate(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))) {
        return;  // no memory for the screen: the form's colour shows
    }
    std::string title;
    if (!DrawPicture(screen)) {
        // Also for a picture that cannot be decoded: the program goes on as without one.
        DrawGradientBackground(screen);
        title = SetupSettings.SoftName + " ";
    }
    lbTitle.SetText(title);
    lbTitleShadow.SetText(title);
    imBack.Changed();
}

bool TfmInstallBack::DrawPicture(Bitmap& screen) {
    if (!system_.FileExists(medium_.BackgroundPicture)) {
        return false;
    }
    Bitmap picture;
    if (!LoadJpegFile(system_, medium_.BackgroundPicture, picture)) {
        return false;
    }
    if (SetupSettings.WallStretch) {
        return DrawStretchedBackground(picture, screen);
    }
    DrawTiledBackground(picture, screen);
    return true;
}

void ReturnToMenu() {
    fmMenu->Show();
    fmInstallBack->Hide();
}
