#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/CommandLine.h"

namespace {

TEST(CommandLine, SplitsAsAFolderPathNeedsIt) {
    const struct {
        const char* name;
        std::string line;
        std::vector<std::string> words;
    } cases[] = {
        {"program alone", "SetupCheck.exe", {"SetupCheck.exe"}},
        {"empty", "", {}},
        {"blanks only", " \t ", {}},
        {"quoted folder ending in a backslash",
         "\"C:\\Tools\\SetupCheck.exe\" \"D:\\Medium\\\"",
         {"C:\\Tools\\SetupCheck.exe", "D:\\Medium\\"}},
        {"blank in a quoted folder, then more",
         "x \"D:\\My Medium\\\" /?",
         {"x", "D:\\My Medium\\", "/?"}},
        {"unquoted folder ending in a backslash", "x D:\\Medium\\", {"x", "D:\\Medium\\"}},
        {"quotes inside a word", "x  \tD:\\a\"b c\"d  ", {"x", "D:\\ab cd"}},
        {"empty quotes", "x \"\"", {"x", ""}},
        {"quote left open", "x \"D:\\a b", {"x", "D:\\a b"}},
        // ソ is 0x83 0x5C: its second byte is the code of a backslash.
        {"double-byte name", "x \"D:\\ソ\\\" y", {"x", "D:\\ソ\\", "y"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.words, SplitCommandLine(c.line));
    }
}

}  // namespace
