#include "install/MessageFile.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "system/FileBytes.h"

bool MessageFileExists(System& system, const Medium& medium) {
    return system.FileExists(medium.MessageFile);
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

std::vector<std::string> ReadMessageFileLines(System& system, const Medium& medium) {
    std::string data;
    if (!ReadWholeFile(system, medium.MessageFile, data)) {
        return {};
    }
    return SplitTextLines(data);
}
