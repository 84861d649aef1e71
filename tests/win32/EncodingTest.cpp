// Code page 932 text and UTF-16 at the Windows boundary.
#include <gtest/gtest.h>

#include "system/win32/Encoding.h"
#include "system/win32/Win32System.h"

namespace {

TEST(EncodingTest, RoundTripsCodePage932Text) {
    struct Case {
        std::string bytes;
        std::wstring wide;
    };
    const Case cases[] = {
        {"", L""},
        {"Setup.INI", L"Setup.INI"},
        {"\x83\x5C", L"ソ"},  // the trail byte is 0x5C, the code of a backslash
        {"C:\\表示\\ｱﾌﾟﾘ", L"C:\\表示\\ｱﾌﾟﾘ"},
        {"インストール先", L"インストール先"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(c.wide, ToWide(c.bytes));
        EXPECT_EQ(c.bytes, ToCodePage(c.wide));
    }
}

TEST(EncodingTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    struct Case {
        std::u16string text;
        std::string expected;
    };
    const Case cases[] = {
        {u"x\uAC00y", "x?y"},    // Hangul
        {u"caf\u00E9", "caf?"},  // no best-fit "e" that would name another file
        {u"\u00A9 ソ", "? ソ"},
    };
    Win32System system;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(c.expected, ToCodePage(std::wstring(c.text.begin(), c.text.end())));
        EXPECT_EQ(c.expected, system.FromUtf16(c.text));
    }
}

}  // namespace
