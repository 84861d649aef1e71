#include "check/CommandLine.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words;
    size_t i = 0;
    for (;;) {
        while (i < commandLine.size() && IsBlank(commandLine[i])) {
            ++i;
        }
        if (i == commandLine.size()) {
            return words;
        }
        std::string word;
        bool quoted = false;
        for (; i < commandLine.size() && (quoted || !IsBlank(commandLine[i])); ++i) {
            if (commandLine[i] == '"') {
                quoted = !quoted;
            } else {
                word += commandLine[i];
            }
        }
        words.push_back(word);
    }
}
