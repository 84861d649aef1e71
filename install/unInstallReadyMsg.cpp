#include "install/unInstallReadyMsg.h"

TfmInstallReadyMsg* fmInstallReadyMsg = nullptr;

TfmInstallReadyMsg::TfmInstallReadyMsg(Application& application)
    : Form(application, kInstallReadyMsgLayout), StaticText1(Find<StaticText>("StaticText1")) {}
