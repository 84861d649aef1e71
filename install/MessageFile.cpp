#include "install/MessageFile.h"

#include "system/FileBytes.h"
#include "system/Paths.h"

namespace {

const char* const kMessageFileExtension = ".MSG";

std::string MessageFileOf(System& system) {
    return ReplaceExtension(system.ExecutablePath(), kMessageFileExtension);
}

}  // namespace

bool MessageFileExists(System& system) {
    return system.FileExists(MessageFileOf(system));
}

std::vector<std::string> ReadMessageFileLines(System& system) {
    std::string data;
    if (!ReadWholeFile(system, MessageFileOf(system), data)) {
        return {};
    }
    return SplitTextLines(data);
}
