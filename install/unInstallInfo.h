// The information dialog, which shows the message file before the destination dialog.
#pragma once

#include "config/Medium.h"
#include "forms/Forms.h"
#include "system/System.h"

class TfmInstallInfo : public Form {
public:
    TfmInstallInfo(Application& application, System& system, const Medium& medium);

    Button& btNext;
    Button& btBefore;
    Button& btCancel;
    Memo& mmInfo;
    Label& lbInfo;
    Bevel& Bevel1;

    // Set by "次へ(&N) >": the close goes on to the destination dialog.
    bool NextPressed = false;

private:
    void FormShow();
    void FormClose();
    void btNextClick();
    void btBeforeClick();
    void btCancelClick();

    System& system_;
    const Medium& medium_;
};

extern TfmInstallInfo* fmInstallInfo;
