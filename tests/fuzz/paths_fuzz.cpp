// The path routines and the destination path check on any bytes. None of them may
// take the second byte of a double-byte character for a character of its own: every
// cut lies on a character boundary, an added or removed separator is a real one,
// and no verdict changes when a second byte is swapped for another.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "install/DestinationChecks.h"
#include "system/Cp932.h"
#include "system/Paths.h"

namespace {

// Start of every character of `text`, and its length at the end: a lead byte takes
// the next byte with it.
std::vector<bool> CharacterStarts(const std::string& text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        starts[i] = true;
    }
    starts[text.size()] = true;
    return starts;
}

// Whether the character at `i` (a character start) is a separator.
bool SeparatorAt(const std::string& text, size_t i) {
    return i < text.size() && IsSeparator(text[i]);
}

// Whether the text's last character is a separator.
bool EndsInRealSeparator(const std::string& text) {
    const std::vector<bool> starts = CharacterStarts(text);
    return !text.empty() && starts[text.size() - 1] && IsSeparator(text.back());
}

// The same text with every second byte replaced by another second byte.
std::string WithOtherTrailBytes(const std::string& text, char replacement) {
    std::string other = text;
    for (size_t i = 0; i < other.size(); i += CharLength(other, i)) {
        if (CharLength(other, i) == 2 && other[i + 1] != '\0') {
            other[i + 1] = replacement;
        }
    }
    return other;
}

// Whether the last byte is a lead byte without its second byte.
bool EndsInLoneLeadByte(const std::string& text) {
    return !text.empty() && CharacterStarts(text)[text.size() - 1] &&
           IsLeadByte(static_cast<unsigned char>(text.back()));
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

void CheckSplit(const std::string& text) {
    const std::string folder = ExtractFolderPart(text);
    const std::string name = ExtractNamePart(text);
    const std::string cText(text.c_str());
    const std::vector<bool> starts = CharacterStarts(cText);
    // The two parts are the text up to its first NUL, cut at a character boundary
    // right after a separator.
    FUZZ_CHECK(folder + name == cText);
    FUZZ_CHECK(starts[folder.size()]);
    FUZZ_CHECK(folder.empty() || EndsInRealSeparator(folder));
    for (size_t i = folder.size(); i < cText.size(); ++i) {
        FUZZ_CHECK(!(starts[i] && SeparatorAt(cText, i)));
    }
}

void CheckTrailingSeparator(const std::string& text) {
    const std::string cText(text.c_str());
    const std::string added(AddTrailingSeparator(text).c_str());
    FUZZ_CHECK(EndsInRealSeparator(added));
    if (EndsInRealSeparator(cText)) {
        FUZZ_CHECK(added == cText);
    } else if (EndsInLoneLeadByte(cText)) {
        FUZZ_CHECK(added == cText.substr(0, cText.size() - 1) + "\\");
    } else {
        FUZZ_CHECK(added == cText + "\\");
    }

    const std::string removed(RemoveTrailingSeparator(text).c_str());
    if (removed != cText) {
        FUZZ_CHECK(removed.size() + 1 == cText.size() && StartsWith(cText, removed));
        FUZZ_CHECK(EndsInRealSeparator(cText));
    }
}

// The routines see the same characters whatever the second bytes are.
void CheckTrailBytesAreOpaque(const std::string& text) {
    for (const char replacement : {'@', '\\', '/', ':', '.'}) {
        const std::string other = WithOtherTrailBytes(text, replacement);
        FUZZ_CHECK(ExtractFolderPart(other).size() == ExtractFolderPart(text).size());
        FUZZ_CHECK(AddTrailingSeparator(other).size() == AddTrailingSeparator(text).size());
        FUZZ_CHECK(RemoveTrailingSeparator(other).size() == RemoveTrailingSeparator(text).size());
        FUZZ_CHECK(ReplaceExtension(other, ".INI").size() == ReplaceExtension(text, ".INI").size());
        FUZZ_CHECK(IsValidInstallPath(other) == IsValidInstallPath(text));
        FUZZ_CHECK(IsAbsolutePath(other) == IsAbsolutePath(text));
    }
}

void CheckReplaceExtension(const std::string& text) {
    const std::string replaced = ReplaceExtension(text, ".INI");
    const std::string folder = ExtractFolderPart(text);
    // Only the name part changes, and it now ends in the extension.
    FUZZ_CHECK(StartsWith(replaced, folder));
    FUZZ_CHECK(replaced.size() >= 4 && replaced.compare(replaced.size() - 4, 4, ".INI") == 0);
    const std::string stem = replaced.substr(0, replaced.size() - 4);
    FUZZ_CHECK(StartsWith(text, stem));
    FUZZ_CHECK(CharacterStarts(text)[stem.size()]);
}

// A valid path holds none of the characters a folder name cannot have.
void CheckValidPath(const std::string& text) {
    if (!IsValidInstallPath(text)) {
        return;
    }
    const std::vector<bool> starts = CharacterStarts(text);
    for (size_t i = 0; i < text.size(); ++i) {
        if (!starts[i]) {
            continue;
        }
        const char c = text[i];
        FUZZ_CHECK(std::string("*?\"<>|.").find(c) == std::string::npos);
        FUZZ_CHECK(c != ':' || i == 1);
        FUZZ_CHECK(!(SeparatorAt(text, i) && starts[i + 1] && SeparatorAt(text, i + 1)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckSplit(text);
    CheckTrailingSeparator(text);
    CheckTrailBytesAreOpaque(text);
    CheckReplaceExtension(text);
    CheckValidPath(text);
    EndsWithSeparator(text);
    return 0;
}
