#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/MessageFile.h"
#include "tests/fakes/FakeSystem.h"

namespace {

using Lines = std::vector<std::string>;

TEST(MessageFile, SplitTextLinesAtEveryKindOfLineEnd) {
    struct Case {
        const char* name;
        std::string text;
        Lines lines;
    } cases[] = {
        {"empty", "", {}},
        {"one line without an end", "abc", {"abc"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb\n", {"a", "b"}},
        {"CR", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"empty lines kept", "a\r\n\r\n\r\nb", {"a", "", "", "b"}},
        {"only a line end", "\r\n", {""}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"NUL ends the text", std::string("a\r\nb\0c\r\nd", 10), {"a", "b"}},
        // Trail bytes 0x5C and 0x7C stay inside their characters.
        {"double-byte text", "表示\r\nソフト|\r\n", {"表示", "ソフト|"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.lines, SplitTextLines(c.text));
    }
}

class MessageFileTest : public ::testing::Test {
protected:
    const Medium medium{"D:\\配布\\Setup.exe"};
    FakeSystem system;
};

TEST_F(MessageFileTest, ExistenceIsTestedAtEveryCall) {
    EXPECT_FALSE(MessageFileExists(system, medium));
    system.AddFile("D:\\配布\\Setup.MSG", "x");
    EXPECT_TRUE(MessageFileExists(system, medium));
    system.AddFolder("D:\\配布\\Other.MSG");
    EXPECT_FALSE(
        MessageFileExists(system, Medium("D:\\配布\\Other.exe")));  // a folder is no message file
}

TEST_F(MessageFileTest, ReadsTheLinesOfTheWholeFile) {
    // Longer than one read, so that the lines across the reads are joined.
    std::string text;
    Lines lines;
    for (int i = 0; i < 2000; ++i) {
        lines.push_back("行 " + std::to_string(i));
        text += lines.back() + "\r\n";
    }
    system.AddFile("D:\\配布\\Setup.MSG", text);
    EXPECT_EQ(lines, ReadMessageFileLines(system, medium));
}

TEST_F(MessageFileTest, FileThatCannotBeReadGivesNoLines) {
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system, medium)) << "missing";

    system.AddFile("D:\\配布\\Setup.MSG", std::string(10000, 'a') + "\r\nb\r\n");
    system.failIf = [](const std::string& operation, const std::string&) {
        return operation == "OpenForRead";
    };
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system, medium)) << "cannot be opened";

    // A read that fails after the first part: nothing of the part already read.
    int reads = 0;
    system.failIf = [&reads](const std::string& operation, const std::string&) {
        return operation == "Read" && ++reads == 2;
    };
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system, medium)) << "read fails on the way";
}

}  // namespace
