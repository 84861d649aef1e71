// printf-style formatting of the program's message texts into a string. The texts
// need only %s, %d and %%, so the program carries no printf engine of its own.
#pragma once

#include <string>

__attribute__((format(printf, 1, 2))) std::string FormatText(const char* format, ...);
