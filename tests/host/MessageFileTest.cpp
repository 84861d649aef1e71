#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/MessageFile.h"
#include "tests/fakes/FakeSystem.h"

namespace {

using Lines = std::vector<std::string>;

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
    system.failIf = [](FakeOperation operation, const std::string&) {
        return operation == FakeOperation::OpenForRead;
    };
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system, medium)) << "cannot be opened";

    // A read that fails after the first part: nothing of the part already read.
    int reads = 0;
    system.failIf = [&reads](FakeOperation operation, const std::string&) {
        return operation == FakeOperation::Read && ++reads == 2;
    };
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system, medium)) << "read fails on the way";
}

}  // namespace
