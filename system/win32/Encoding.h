// Conversion between the program's code page 932 text and the UTF-16 text of the
// wide Windows API. The conversion is explicit so that it does not depend on the
// system's ANSI code page.
#pragma once

#include <string>

// Code page 932 bytes to UTF-16.
std::wstring ToWide(const std::string& text);
// UTF-16 to code page 932 bytes; a character the code page lacks becomes "?".
std::string ToCodePage(const std::wstring& text);
