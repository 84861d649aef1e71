// Application-modal message boxes: every window of the program is disabled while
// one is up, and it shows above the windows that stay on top.
#pragma once

#include <string>

#include "system/Ui.h"

// True only for OK or Yes.
bool ShowMessageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                    MessageIcon icon = MessageIcon::None);

// The standard display of an exception: the program's title as caption, the
// message with a full stop appended unless it ends in one, and a stop icon.
void ShowExceptionMessage(const std::string& title, const std::string& message);
