#include <gtest/gtest.h>

#include "system/FileBytes.h"
#include "tests/fakes/FakeSystem.h"

namespace {

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

}  // namespace
