// Stepping through code page 932 text: a lead byte and the byte after it are one
// character, so a second byte is never taken for a character of its own.
#pragma once

#include <cstddef>
#include <string_view>

// Lead byte of a double-byte character in code page 932.
inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Bytes of the character at `i`: a lead byte takes the next byte with it, whatever
// that byte is, as the system's conversion from code page 932 does.
inline size_t CharLength(std::string_view text, size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}
