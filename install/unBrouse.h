// The destination dialog: the destination folder, the space needed and free, and
// the hand-over to the install progress window.
#pragma once

#include <cstdint>

#include "config/Medium.h"
#include "forms/Forms.h"
#include "system/System.h"

class TfmBrouse : public Form {
public:
    TfmBrouse(Application& application, System& system, const Medium& medium);

    Button& btNext;
    Button& btBrouse;
    Button& btBefore;
    Edit& edDstFolderName;
    Button& btCancel;
    StaticText& StaticText1;
    Label& lbNeedSize;
    Label& lbFreeSize;
    Bevel& Bevel1;

    // The verdict of the last size check (kSpaceEnough, kSpaceShort, kSpaceNone).
    int32_t SpaceState = 1;
    // Set by "< 戻る(&P)": the close goes back to the information dialog.
    bool BackPressed = false;

private:
    void FormShow();
    void FormClose();
    void btBrouseClick();
    void edDstFolderNameExit();
    void btNextClick();
    void btBeforeClick();
    void btCancelClick();
    // The size check of DstFolder: both labels and SpaceState.
    void UpdateSizeLabels();

    System& system_;
    const Medium& medium_;
};

extern TfmBrouse* fmBrouse;
