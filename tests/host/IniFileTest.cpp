#include <gtest/gtest.h>

#include <climits>

#include "config/IniFile.h"
#include "tests/data/ini/TrickyIniFiles.h"
#include "tests/fakes/FakeSystem.h"

namespace {

IniFile Parse(const std::string& bytes) {
    FakeSystem system;
    return IniFile(bytes, [&system](const std::u16string& text) { return system.FromUtf16(text); });
}

// The values Windows' reader gives (the comparison test under Wine checks them).
TEST(IniFile, ReadsTrickyFilesAsTheSystemDoes) {
    for (const TrickyIniFile& file : TrickyIniFiles()) {
        const IniFile ini = Parse(file.bytes);
        for (const IniLookup& lookup : file.lookups) {
            SCOPED_TRACE(file.name + ": [" + lookup.section + "] " + lookup.key);
            EXPECT_EQ(lookup.expected, ini.ReadString(lookup.section, lookup.key, kAbsent));
        }
    }
}

TEST(IniFile, HandsUtf16TextToTheConverter) {
    // A stray last byte cannot be half of a UTF-16 character.
    for (const std::string& bytes : {Utf16File(u"[S]\r\nK=v"), Utf16File(u"[S]\r\nK=v") + "x"}) {
        std::u16string seen;
        const IniFile ini(bytes, [&seen](const std::u16string& text) {
            seen = text;
            return std::string("[S]\r\nK=converted");
        });
        EXPECT_EQ(u"[S]\r\nK=v", seen);
        EXPECT_EQ("converted", ini.ReadString("S", "K", ""));
    }
}

TEST(IniFile, ReadsCodePageFilesWithoutConversion) {
    bool converted = false;
    const IniFile ini("[S]\r\nK=\xFF\xFE", [&converted](const std::u16string&) {
        converted = true;
        return std::string();
    });
    EXPECT_FALSE(converted);
    EXPECT_EQ("\xFF\xFE", ini.ReadString("S", "K", ""));
}

TEST(IniFile, ANulEndsAValueAlsoRightAfterALeadByte) {
    using namespace std::string_literals;
    const IniFile ini = Parse("[S]\r\nK=ab\x81\0cd\r\n"s);
    EXPECT_EQ("ab\x81", ini.ReadString("S", "K", kAbsent));
}

TEST(IniFile, ReadsIntegers) {
    struct Case {
        std::string value;
        int32_t expected;
    } cases[] = {
        {"0", 0},
        {"42", 42},
        {"+7", 7},
        {"-7", -7},
        {"007", 7},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", -99},
        {"-2147483649", -99},
        {"99999999999999999999", -99},
        {"0xFF", 255},
        {"0XfF", 255},
        {"$ff", 255},
        {"$7FFFFFFF", INT32_MAX},
        {"$FFFFFFFF", -1},  // eight hex digits wrap into the sign bit
        {"0x80000000", INT32_MIN},
        {"$000000001", 1},
        {"$100000000", -99},
        {"", -99},
        {"$", -99},
        {"0x", -99},
        {"+", -99},
        {"-", -99},
        {"red", -99},
        {"12abc", -99},
        {"1.5", -99},
        {"$FG", -99},
        {"-$1", -99},
        {"0x-1", -99},
        {"1 2", -99},
        {"\" 12\"", -99},  // quotes keep the blank, and a blank is no digit
        {"\"12\"", 12},
        {"12 ; comment", -99},
        {"\x82\x4F", -99},  // full-width digit zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const IniFile ini = Parse("[N]\r\nV = " + c.value + " \r\n");
        EXPECT_EQ(c.expected, ini.ReadInteger("N", "V", -99));
    }
    EXPECT_EQ(-99, Parse("[N]\r\n").ReadInteger("N", "V", -99));
}

TEST(IniFile, ReadsBools) {
    struct Case {
        std::string line;
        bool def;
        bool expected;
    } cases[] = {
        {"V=0", true, false},    {"V=1", false, true},    {"V=-1", false, true},
        {"V=$0", true, false},   {"V=0x10", false, true}, {"V=", true, true},
        {"V=", false, false},    {"V", true, true},       {"V=true", false, false},
        {"V=false", true, true}, {"V=yes", false, false}, {"", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line + (c.def ? " (default true)" : " (default false)"));
        EXPECT_EQ(c.expected, Parse("[B]\r\n" + c.line + "\r\n").ReadBool("B", "V", c.def));
    }
}

}  // namespace
