#include "install/unInstallReadyMsg.h"

#include "resources/Layouts.h"

TfmInstallReadyMsg* fmInstallReadyMsg = nullptr;

TfmInstallReadyMsg::TfmInstallReadyMsg(Application& application)
    : Form(application, kInstallReadyMsgLayout), StaticText1(Find<StaticText>("StaticText1")) {}
