// The medium's message file, whose lines the information dialog shows before the
// destination dialog.
#pragma once

#include <string>
#include <vector>

#include "config/Medium.h"
#include "system/System.h"

// Tested afresh by every caller: the file may come and go while the program runs.
bool MessageFileExists(System& system, const Medium& medium);

// Lines of a text that ends its lines in CR LF, LF or CR, as a text box shows
// them: a line break at the very end adds no empty line, and a NUL byte ends the
// text. Code page 932 trail bytes are never CR, LF or NUL, so bytes are split as
// they are.
std::vector<std::string> SplitTextLines(const std::string& text);

// The message file's lines; none when it cannot be opened or read to its end.
std::vector<std::string> ReadMessageFileLines(System& system, const Medium& medium);
