// printf-style formatting of the program's message texts into a string.
#pragma once

#include <string>

__attribute__((format(printf, 1, 2))) std::string FormatText(const char* format, ...);
