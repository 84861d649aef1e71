// Conversion between the program's code page 932 text and the UTF-16 text of the
// wide Windows API. The conversion is explicit so that it does not depend on the
// system's ANSI code page.
#pragma once

#include <string>

// Code page 932 bytes to UTF-16.
std::wstring ToWide(const std::string& text);
// UTF-16 to code page 932 bytes; a character the code page lacks becomes "?", never a
// look-alike. `exact`, when given, tells whether every character had its own form.
std::string ToCodePage(const std::wstring& text, bool* exact = nullptr);
// A path for the wide file functions. A full path ("X:\..." or "\\server\share\...")
// too long for them as it is gets the "\\?\" form, which has no such limit; that
// form is taken literally, so the path is made full first ("/" to "\", "." and ".."
// resolved) as the system would. Other paths are converted as they are.
std::wstring ToWidePath(const std::string& path);
