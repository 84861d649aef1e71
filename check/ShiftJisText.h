// Whether a text file is Shift-JIS (code page 932), as the information dialog shows
// the message file: anything else appears there garbled.
#pragma once

#include <string>

// False for bytes that code page 932 cannot hold (a lead byte without a valid second
// byte, 0x80, 0xA0, 0xFD-0xFF, NUL), for a byte-order mark, and for UTF-8 text with
// characters beyond ASCII, which is made of bytes Shift-JIS also uses.
bool IsShiftJisText(const std::string& bytes);
