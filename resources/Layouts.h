// The layouts of the program's seven windows.
#pragma once

#include "forms/Layout.h"

extern const FormLayout kMenuLayout;
extern const FormLayout kBrouseLayout;
extern const FormLayout kInstallReadyMsgLayout;
extern const FormLayout kInstallProgressLayout;
extern const FormLayout kUninstallProgressLayout;
extern const FormLayout kInstallBackLayout;
extern const FormLayout kInstallInfoLayout;
