#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/MessageFile.h"
#include "tests/fakes/FakeSystem.h"

namespace {

using Lines = std::vector<std::string>;

class MessageFileTest : public ::testing::Test {
protected:
    void SetUp() override { system.executablePath = "D:\\配布\\Setup.exe"; }
    FakeSystem system;
};

TEST_F(MessageFileTest, ExistenceIsTestedAtEveryCall) {
    EXPECT_FALSE(MessageFileExists(system));
    system.AddFile("D:\\配布\\Setup.MSG", "x");
    EXPECT_TRUE(MessageFileExists(system));
    // Named after the program, whatever its name and the dots in its folder.
    system.executablePath = "E:\\cd.1\\Install";
    EXPECT_FALSE(MessageFileExists(system));
    system.AddFile("E:\\cd.1\\Install.MSG");
    EXPECT_TRUE(MessageFileExists(system));
    system.AddFolder("D:\\配布\\Other.MSG");
    system.executablePath = "D:\\配布\\Other.exe";
    EXPECT_FALSE(MessageFileExists(system));  // a folder is no message file
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
    EXPECT_EQ(lines, ReadMessageFileLines(system));
}

TEST_F(MessageFileTest, FileThatCannotBeReadGivesNoLines) {
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system)) << "missing";

    system.AddFile("D:\\配布\\Setup.MSG", std::string(10000, 'a') + "\r\nb\r\n");
    system.failIf = [](FakeOperation operation, const std::string&) {
        return operation == FakeOperation::OpenForRead;
    };
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system)) << "cannot be opened";

    // A read that fails after the first part: nothing of the part already read.
    int reads = 0;
    system.failIf = [&reads](FakeOperation operation, const std::string&) {
        return operation == FakeOperation::Read && ++reads == 2;
    };
    EXPECT_EQ(Lines{}, ReadMessageFileLines(system)) << "read fails on the way";
}

}  // namespace
