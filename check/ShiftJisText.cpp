#include "check/ShiftJisText.h"

#include "system/Cp932.h"

namespace {

bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

bool IsHalfWidthKatakana(unsigned char b) {
    return b >= 0xA1 && b <= 0xDF;
}

bool IsContinuation(const std::string& bytes, size_t i, unsigned char low = 0x80,
                    unsigned char high = 0xBF) {
    if (i >= bytes.size()) {
        return false;
    }
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    return b >= low && b <= high;
}

// Well-formed UTF-8 with at least one character beyond ASCII. Real Shift-JIS text is
// almost never that: its lead bytes 0x81-0x9F cannot start a UTF-8 character.
bool IsUtf8BeyondAscii(const std::string& bytes) {
    bool beyondAscii = false;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        size_t length = 1;
        bool valid = b < 0x80;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            valid = IsContinuation(bytes, i + 1);
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            // No overlong forms and no surrogates.
            const unsigned char low = b == 0xE0 ? 0xA0 : 0x80;
            const unsigned char high = b == 0xED ? 0x9F : 0xBF;
            valid = IsContinuation(bytes, i + 1, low, high) && IsContinuation(bytes, i + 2);
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            const unsigned char low = b == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = b == 0xF4 ? 0x8F : 0xBF;
            valid = IsContinuation(bytes, i + 1, low, high) && IsContinuation(bytes, i + 2) &&
                    IsContinuation(bytes, i + 3);
        }
        if (!valid) {
            return false;
        }
        beyondAscii = beyondAscii || length > 1;
        i += length;
    }
    return beyondAscii;
}

bool StartsWith(const std::string& bytes, const char* prefix) {
    return bytes.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

bool IsShiftJisText(const std::string& bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF") || StartsWith(bytes, "\xFF\xFE") ||
        StartsWith(bytes, "\xFE\xFF")) {
        return false;
    }
    for (size_t i = 0; i < bytes.size(); i += CharLength(bytes, i)) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b == 0) {
            return false;  // UTF-16 without its mark, or no text at all
        }
        if (b < 0x80 || IsHalfWidthKatakana(b)) {
            continue;
        }
        // A lead byte with a second byte of the code page's range, nothing else.
        if (CharLength(bytes, i) != 2 || !IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            return false;
        }
    }
    return !IsUtf8BeyondAscii(bytes);
}
