// The medium's message file, whose lines the information dialog shows before the
// destination dialog.
#pragma once

#include <string>
#include <vector>

#include "config/Medium.h"
#include "system/System.h"

// Tested afresh by every caller: the file may come and go while the program runs.
bool MessageFileExists(System& system, const Medium& medium);

// The message file's lines; none when it cannot be opened or read to its end.
std::vector<std::string> ReadMessageFileLines(System& system, const Medium& medium);
