#include "system/Paths.h"

namespace {

// Position just after the last separator that is not a trail byte, 0 when none.
size_t NamePartStart(const std::string& text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        // A NUL after a lead byte still ends the text.
        if (IsLeadByte(b) && text[i + 1] != '\0') {
            ++i;
        } else if (IsSeparator(text[i])) {
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
    TextEnd end;
    bool lastIsColon = false;
    for (; end.length < text.size() && text[end.length] != '\0'; ++end.length) {
        const char c = text[end.length];
        if (end.loneLeadByte) {
            end.loneLeadByte = false;  // the second byte of the character begun before
            continue;
        }
        end.colonBefore = lastIsColon;
        lastIsColon = c == ':';
        end.separator = IsSeparator(c);
        end.loneLeadByte = IsLeadByte(static_cast<unsigned char>(c));
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
    for (size_t i = nameStart; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (path[i] == '.') {
            dot = i;
        }
    }
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}
