// Text conversions: the length rules shared by all four, and the code pages
// each one converts between.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "common/textconv.h"

namespace {

using common::ansiToUtf8;
using common::ansiToWide;
using common::utf8ToWide;
using common::wideToAnsi;

const char kChineseUtf8[] = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

struct NarrowInputCase {
    const char* name;
    const char* text;
    int length;
    std::wstring expected;
};

// Null, bad lengths and explicit lengths behave alike in both narrow->wide conversions.
TEST(TextConv, NarrowInputLengthRules) {
    const NarrowInputCase cases[] = {
        {"null", nullptr, -1, L""},
        {"null with length", nullptr, 4, L""},
        {"negative other than -1", "abc", -2, L""},
        {"zero length", "abc", 0, L""},
        {"terminated", "abc", -1, L"abc"},
        {"empty terminated", "", -1, L""},
        {"prefix", "abcdef", 3, L"abc"},
        {"embedded NUL kept", "a\0b", 3, std::wstring(L"a\0b", 3)},
    };
    for (const NarrowInputCase& c : cases) {
        EXPECT_EQ(ansiToWide(c.text, c.length), c.expected) << c.name;
        EXPECT_EQ(utf8ToWide(c.text, c.length), c.expected) << c.name;
    }
}

TEST(TextConv, WideInputLengthRules) {
    EXPECT_EQ(wideToAnsi(nullptr, -1), "");
    EXPECT_EQ(wideToAnsi(L"abc", -5), "");
    EXPECT_EQ(wideToAnsi(L"abc", 0), "");
    EXPECT_EQ(wideToAnsi(L"abc", -1), "abc");
    EXPECT_EQ(wideToAnsi(L"abcdef", 2), "ab");
    EXPECT_EQ(ansiToUtf8(nullptr, -1), "");
    EXPECT_EQ(ansiToUtf8("abc", -3), "");
    EXPECT_EQ(ansiToUtf8("abcdef", 4), "abcd");
}

TEST(TextConv, StringOverloadsKeepEmbeddedNul) {
    const std::string narrow("x\0y", 3);
    EXPECT_EQ(ansiToWide(narrow), std::wstring(L"x\0y", 3));
    EXPECT_EQ(utf8ToWide(narrow), std::wstring(L"x\0y", 3));
    EXPECT_EQ(wideToAnsi(std::wstring(L"x\0y", 3)), narrow);
    EXPECT_EQ(ansiToUtf8(narrow), narrow);
}

TEST(TextConv, Utf8DecodesMultiByteCharacters) {
    EXPECT_EQ(utf8ToWide(kChineseUtf8), L"\u4E2D\u6587");
    EXPECT_EQ(utf8ToWide(std::string(kChineseUtf8)), L"\u4E2D\u6587");
    // Only the first character's three bytes.
    EXPECT_EQ(utf8ToWide(kChineseUtf8, 3), L"\u4E2D");
}

// ansiToUtf8 goes through the system code page: what the code page holds
// arrives as UTF-8, whatever the code page is.
TEST(TextConv, SystemCodePageTextBecomesUtf8) {
    const std::string ansi = wideToAnsi(L"caf\u00E9");
    ASSERT_FALSE(ansi.empty());
    EXPECT_EQ(ansiToWide(ansi), L"caf\u00E9");
    EXPECT_EQ(ansiToUtf8(ansi), "caf\xC3\xA9");
    // Plain ASCII is the same in every code page.
    EXPECT_EQ(ansiToUtf8("plain"), "plain");
}

TEST(TextConv, CharacterOutsideCodePageBecomesDefaultCharacter) {
    CPINFO info = {};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    const std::string converted = wideToAnsi(L"a\u4E2Db");
    if (info.MaxCharSize == 1) {
        // A single-byte code page cannot hold the CJK character.
        EXPECT_EQ(converted, std::string("a") + static_cast<char>(info.DefaultChar[0]) + "b");
    } else {
        EXPECT_EQ(ansiToWide(converted), L"a\u4E2Db");
    }
}

}  // namespace
