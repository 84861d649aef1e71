#include "system/FileBytes.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// Appends the bytes of an opened file; false for none, a failed read or too many bytes.
bool ReadAll(InputFile* file, std::string& bytes) {
    if (file == nullptr) {
        return false;
    }
    std::vector<char> buffer(65536);
    int64_t total = 0;
    for (;;) {
        uint32_t got = 0;
        if (!file->Read(buffer.data(), static_cast<uint32_t>(buffer.size()), got)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        total += got;
        if (total > kMaxWholeFileBytes) {
            return false;
        }
        bytes.append(buffer.data(), got);
    }
}

}  // namespace

bool ReadWholeFile(System& system, const std::string& path, std::string& bytes) {
    return ReadAll(system.OpenForRead(path).get(), bytes);
}

bool ReadWholePlainFile(System& system, const std::string& path, std::string& bytes) {
    return ReadAll(system.OpenPlainFileForRead(path).get(), bytes);
}

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    const size_t end = std::min(text.find('\0'), text.size());
    size_t pos = 0;
    while (pos < end) {
        size_t stop = pos;
        while (stop < end && text[stop] != '\r' && text[stop] != '\n') {
            ++stop;
        }
        lines.push_back(text.substr(pos, stop - pos));
        if (stop < end && text[stop] == '\r') {
            ++stop;
        }
        if (stop < end && text[stop] == '\n') {
            ++stop;
        }
        pos = stop;
    }
    return lines;
}
