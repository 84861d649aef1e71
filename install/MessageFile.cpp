#include "install/MessageFile.h"

#include "system/FileBytes.h"

bool MessageFileExists(System& system, const Medium& medium) {
    return system.FileExists(medium.MessageFile);
}

std::vector<std::string> ReadMessageFileLines(System& system, const Medium& medium) {
    std::string data;
    if (!ReadWholeFile(system, medium.MessageFile, data)) {
        return {};
    }
    return SplitTextLines(data);
}
