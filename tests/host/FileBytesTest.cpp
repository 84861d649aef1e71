#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/FileBytes.h"
#include "tests/fakes/FakeSystem.h"

namespace {

using Lines = std::vector<std::string>;

TEST(FileBytes, ReadsAWholeFileUpToTheLimit) {
    struct Case {
        int64_t size;
        bool read;
    } cases[] = {
        {0, true},
        {65535, true},
        {65537, true},
        {kMaxWholeFileBytes, true},
        {kMaxWholeFileBytes + 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        FakeSystem system;
        std::string data(static_cast<size_t>(c.size), 'x');
        if (!data.empty()) {
            data.back() = 'z';
        }
        system.AddFile("C:\\App\\a.txt", data);
        std::string bytes = "kept:";
        EXPECT_EQ(ReadWholeFile(system, "C:\\App\\a.txt", bytes), c.read);
        if (c.read) {
            EXPECT_TRUE(bytes == "kept:" + data);
        }
    }
}

TEST(FileBytes, AFileThatCannotBeOpenedOrReadFails) {
    for (FakeOperation failing : {FakeOperation::OpenForRead, FakeOperation::Read}) {
        SCOPED_TRACE(OperationName(failing));
        FakeSystem system;
        system.AddFile("C:\\App\\a.txt", "abc");
        system.failIf = [failing](FakeOperation op, const std::string&) { return op == failing; };
        std::string bytes;
        EXPECT_FALSE(ReadWholeFile(system, "C:\\App\\a.txt", bytes));
    }
}

TEST(FileBytes, SplitTextLinesAtEveryKindOfLineEnd) {
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

}  // namespace
