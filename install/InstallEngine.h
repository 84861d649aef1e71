// The install engine: one complete installation in its fixed order of steps,
// reporting through a progress window's status label and bar.
#pragma once

#include <string>

#include "config/Medium.h"
#include "config/SetupSettings.h"
#include "system/System.h"
#include "system/Ui.h"

// Runs the installation from `medium` into settings.DstFolder. Clears
// `cancelRequested` at its start and stops at the first failure or cancel request,
// with one message.
void RunInstall(bool& cancelRequested, TSetupSettings& settings, const Medium& medium,
                System& system, Ui& ui);

// The path root + prefix + suffix for the shortest prefix of underscores (none to
// nine) that names no existing file; empty when all ten are taken.
std::string FreeNameSearch(System& system, const std::string& root, const std::string& suffix);

// After an installation: offers to open settings.AfterOpen (relative to the medium's
// folder) when the software counts as installed.
void OfferAfterOpen(const TSetupSettings& settings, const Medium& medium, System& system, Ui& ui);

// Opens a file through the shell in its own folder; tells the user when that fails.
void OpenWithShell(const std::string& path, System& system, Ui& ui);
