#include "system/TextFormat.h"

#include <cstdarg>

namespace {

void AppendDecimal(std::string& text, int value) {
    // Unsigned, so that the lowest int has a magnitude too.
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : value;
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        text += '-';
    }
    while (count > 0) {
        text += digits[--count];
    }
}

}  // namespace

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            text += *p;
            continue;
        }
        switch (*++p) {
            case 's': {
                const char* value = va_arg(args, const char*);
                text += value != nullptr ? value : "";
                break;
            }
            case 'd':
                AppendDecimal(text, va_arg(args, int));
                break;
            default:  // "%%", and any other conversion as it stands
                if (*p != '%') {
                    text += '%';
                }
                text += *p;
                break;
        }
    }
    va_end(args);
    return text;
}
