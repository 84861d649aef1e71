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
        bool exact = false;
        EXPECT_EQ(c.bytes, ToCodePage(c.wide, &exact));
        EXPECT_TRUE(exact);
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
        {u"J\u00FCrgen", "J?rgen"},  // no "u"
        {u"\u0141ukasz", "?ukasz"},  // no "L"
        {u"Zo\u00EB", "Zo?"},
    };
    Win32System system;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        bool exact = true;
        EXPECT_EQ(c.expected, ToCodePage(std::wstring(c.text.begin(), c.text.end()), &exact));
        EXPECT_FALSE(exact);
        exact = true;
        EXPECT_EQ(c.expected, system.FromUtf16(c.text, &exact));
        EXPECT_FALSE(exact);
    }
}

TEST(EncodingTest, LongFullPathsTakeTheLiteralFormMadeFull) {
    const std::string p(60, 'p');
    const std::string four = p + "\\" + p + "\\" + p + "\\" + p;
    // One character below the limit of the plain form, and the first one beyond.
    const std::string shortest = "C:\\" + std::string(242, 'a') + "\\b";
    const std::string longest = shortest + "c";
    struct Case {
        std::string path;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\top/x\\..\\y", "C:\\top/x\\..\\y"},
        {shortest, shortest},
        {longest, "\\\\?\\" + longest},
        // "表" ends in the byte of a backslash.
        {"C:\\表/" + p + "\\x\\..\\" + p + "\\.\\" + p + "/" + p + "\\f",
         "\\\\?\\C:\\表\\" + four + "\\f"},
        {"d:/" + p + "/" + p + "/" + p + "/" + p + "/*.*", "\\\\?\\d:\\" + four + "\\*.*"},
        {"\\\\server\\share\\" + four + "\\", "\\\\?\\UNC\\server\\share\\" + four + "\\"},
        // Already literal, or not full: as they are.
        {"\\\\?\\C:\\" + four + "\\..", "\\\\?\\C:\\" + four + "\\.."},
        {four + "\\" + p, four + "\\" + p},
        {"C:" + four + "\\" + p, "C:" + four + "\\" + p},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ToWide(c.expected), ToWidePath(c.path));
    }
}

}  // namespace
