// The system's folder-browse dialog, modal to the whole application.
#pragma once

#include <windows.h>

#include <string>

#include "system/System.h"

// Shows the dialog over `owner` with `title` above the tree, rooted at the desktop, with only
// file-system folders selectable and nothing selected at first. The chosen
// folder as `HeldPath` holds it, or the empty text when the dialog is cancelled or
// the choice has no path. Drives without media give no system error pop-ups while it
// is up.
std::string BrowseForFolder(HWND owner, const std::string& title, System& system);
