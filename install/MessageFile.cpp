#include "install/MessageFile.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "system/Paths.h"

namespace {

const char* const kMessageFileExtension = ".MSG";

// The whole file, or false when a read fails on the way.
bool ReadWholeFile(System& system, const std::string& path, std::string& data) {
    std::unique_ptr<InputFile> file = system.OpenForRead(path);
    if (!file) {
        return false;
    }
    char buffer[4096];
    for (;;) {
        uint32_t got = 0;
        if (!file->Read(buffer, sizeof(buffer), got)) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        data.append(buffer, got);
    }
}

std::string MessageFileOf(System& system) {
    return ReplaceExtension(system.ExecutablePath(), kMessageFileExtension);
}

}  // namespace

bool MessageFileExists(System& system) {
    return system.FileExists(MessageFileOf(system));
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

std::vector<std::string> ReadMessageFileLines(System& system) {
    std::string data;
    if (!ReadWholeFile(system, MessageFileOf(system), data)) {
        return {};
    }
    return SplitTextLines(data);
}
