#include "system/TextFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

namespace {

// The program's own texts, formatted as the C library would.
TEST(FormatText, AgreesWithTheCLibraryOnTheProgramsConversions) {
    char expected[256];
    std::snprintf(expected, sizeof expected, "%s をコピー中\n(%d％)", "ソ表.txt", 42);
    EXPECT_EQ(expected, FormatText("%s をコピー中\n(%d％)", "ソ表.txt", 42));
    std::snprintf(expected, sizeof expected, "フォルダ %s がありません.", "C:\\ソ\\表");
    EXPECT_EQ(expected, FormatText("フォルダ %s がありません.", "C:\\ソ\\表"));

    const struct {
        int value;
        const char* text;
    } numbers[] = {{0, "0"}, {7, "7"}, {-7, "-7"}, {100, "100"},
                   {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& n : numbers) {
        EXPECT_EQ(std::string("(") + n.text + ")", FormatText("(%d)", n.value));
    }
}

TEST(FormatText, PercentSignsAndEmptyArguments) {
    EXPECT_EQ("100%", FormatText("%d%%", 100));
    EXPECT_EQ("", FormatText("%s", ""));
}

}  // namespace
