#include "system/Paths.h"

#include <string_view>

#include "system/Cp932.h"

namespace {

// The text up to its first NUL, where the system's string functions end it.
std::string_view UpToNul(const std::string& text) {
    return std::string_view(text.c_str());
}

// Position just after the last separator that is not a trail byte, 0 when none.
size_t NamePartStart(const std::string& text) {
    const std::string_view whole = UpToNul(text);
    size_t start = 0;
    for (size_t i = 0; i < whole.size(); i += CharLength(whole, i)) {
        if (IsSeparator(whole[i])) {
            start = i + 1;
        }
    }
    return start;
}

// How the text ends, up to its first NUL.
struct TextEnd {
    size_t length = 0;
    bool separator = false;     // the last character is a separator
    bool colonBefore = false;   // the character before the last one is ':'
    bool loneLeadByte = false;  // the last byte is a lead byte without its second byte
};

TextEnd ExamineEnd(const std::string& text) {
    const std::string_view whole = UpToNul(text);
    TextEnd end;
    end.length = whole.size();
    bool lastIsColon = false;
    for (size_t i = 0; i < whole.size(); i += CharLength(whole, i)) {
        end.colonBefore = lastIsColon;
        lastIsColon = whole[i] == ':';
        end.separator = IsSeparator(whole[i]);
        end.loneLeadByte =
            CharLength(whole, i) == 1 && IsLeadByte(static_cast<unsigned char>(whole[i]));
    }
    return end;
}

}  // namespace

bool EndsWithSeparator(const std::string& text, size_t* length) {
    const TextEnd end = ExamineEnd(text);
    if (length != nullptr) {
        *length = end.length;
    }
    return end.separator;
}

std::string AddTrailingSeparator(std::string text) {
    const TextEnd end = ExamineEnd(text);
    if (!end.separator) {
        // A lead byte without its second byte would take the separator for that byte:
        // the incomplete character goes.
        text.resize(end.length - (end.loneLeadByte ? 1 : 0));
        text += '\\';
    }
    return text;
}

std::string RemoveTrailingSeparator(std::string text) {
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        size_t length = 0;
        if (EndsWithSeparator(text.substr(2), &length)) {
            text.resize(length + 1);
        }
        return text;
    }
    // A drive root keeps its separator; a second byte 0x3A is no drive colon.
    const TextEnd end = ExamineEnd(text);
    if (end.separator && end.length >= 2 && !end.colonBefore) {
        text.resize(end.length - 1);
    }
    return text;
}

std::string ExtractNamePart(const std::string& text) {
    const std::string whole(text.c_str());
    return whole.substr(NamePartStart(whole));
}

std::string ExtractFolderPart(const std::string& text) {
    return text.substr(0, NamePartStart(text));
}

bool IsAbsolutePath(const std::string& path) {
    const bool drive = path.size() >= 3 &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && IsSeparator(path[2]);
    return drive || (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
}

std::string ReplaceExtension(const std::string& path, const std::string& ext) {
    const size_t nameStart = NamePartStart(path);
    size_t dot = std::string::npos;
    for (size_t i = nameStart; i < path.size(); i += CharLength(path, i)) {
        if (path[i] == '.') {
            dot = i;
        }
    }
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}
