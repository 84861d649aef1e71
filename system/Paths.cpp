#include "system/Paths.h"

namespace {

// Position just after the last separator that is not a trail byte, 0 when none.
size_t NamePartStart(const std::string& text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(b)) {
            ++i;
        } else if (IsSeparator(text[i])) {
            start = i + 1;
        }
    }
    return start;
}

}  // namespace

bool EndsWithSeparator(const std::string& text, size_t* length) {
    bool ends = false;
    bool trailPending = false;
    size_t n = 0;
    for (; n < text.size() && text[n] != '\0'; ++n) {
        ends = false;
        if (trailPending) {
            trailPending = false;
        } else if (IsLeadByte(static_cast<unsigned char>(text[n]))) {
            trailPending = true;
        } else if (IsSeparator(text[n])) {
            ends = true;
        }
    }
    if (length != nullptr) {
        *length = n;
    }
    return ends;
}

std::string AddTrailingSeparator(std::string text) {
    size_t length = 0;
    if (!EndsWithSeparator(text, &length)) {
        text.resize(length);
        text += '\\';
    }
    return text;
}

std::string RemoveTrailingSeparator(std::string text) {
    size_t length = 0;
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        if (EndsWithSeparator(text.substr(2), &length)) {
            text.resize(length + 1);
        }
        return text;
    }
    if (EndsWithSeparator(text, &length) && length >= 2 && text[length - 2] != ':') {
        text.resize(length - 1);
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
