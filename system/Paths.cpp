#include "system/Paths.h"

#include <algorithm>
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

// The end of the name that starts at `i`: the next separator, or the end of the text.
size_t NameEnd(const std::string& text, size_t i) {
    while (i < text.size() && !IsSeparator(text[i])) {
        i += CharLength(text, i);
    }
    return i;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
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

size_t RootLength(const std::string& path, PathRoot* kind) {
    const size_t size = path.size();
    PathRoot found = PathRoot::None;
    size_t length = 0;
    if (size >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        const bool device = size >= 4 && (path[2] == '?' || path[2] == '.') && IsSeparator(path[3]);
        found = device ? PathRoot::Device : PathRoot::Share;
        length = NameEnd(path, 2);  // the server
        if (length < size) {
            length = NameEnd(path, length + 1);  // the share
        }
        if (length < size) {
            ++length;  // and the separator after it
        }
    } else if (size >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
        found = size >= 3 && IsSeparator(path[2]) ? PathRoot::Drive : PathRoot::DriveRelative;
        length = found == PathRoot::Drive ? 3 : 2;
    } else if (size >= 1 && IsSeparator(path[0])) {
        found = PathRoot::Separator;
        length = 1;
    }
    if (kind != nullptr) {
        *kind = found;
    }
    return length;
}

PathRoot RootKind(const std::string& path) {
    PathRoot kind = PathRoot::None;
    RootLength(path, &kind);
    return kind;
}

bool IsAbsolutePath(const std::string& path) {
    const PathRoot root = RootKind(path);
    // Here a network path opens with "\\" only, not with "//".
    const bool network = root == PathRoot::Share || root == PathRoot::Device;
    return root == PathRoot::Drive || (network && path[0] == '\\' && path[1] == '\\');
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

bool IsRootOnly(const std::string& path) {
    const size_t rootLength = RootLength(path);
    if (rootLength == 0) {
        return false;
    }
    const std::vector<std::string> names = SplitNames(path.substr(rootLength));
    return std::all_of(names.begin(), names.end(),
                       [](const std::string& name) { return name.empty(); });
}

std::vector<std::string> SplitNames(const std::string& text) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < text.size();) {
        const size_t length = CharLength(text, i);
        if (IsSeparator(text[i])) {
            parts.emplace_back();
        } else {
            parts.back().append(text, i, length);
        }
        i += length;
    }
    return parts;
}

bool HasControlByte(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const unsigned char b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

bool StaysInsideFolder(const std::string& relative) {
    if (HasControlByte(relative)) {
        return false;
    }
    // Neither from a root nor from a drive's current folder.
    if (RootLength(relative) != 0) {
        return false;
    }
    const std::vector<std::string> parts = SplitNames(relative);
    return std::none_of(parts.begin(), parts.end(), [](const std::string& part) {
        return !part.empty() && part.find_first_not_of(". ") == std::string::npos;
    });
}

bool IsSingleName(const std::string& name) {
    return !HasControlByte(name) && SplitNames(name).size() == 1;
}
