// The launch-name and command-line grammar, as plain text.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "model/launch.h"

namespace {

using Pieces = std::vector<std::wstring>;

struct SplitCase {
    const wchar_t* text;
    const wchar_t* separator;
    Pieces pieces;
};

TEST(LaunchSplit, CutsAtEverySeparatorKeepingEmptyPiecesAndTrimmingSpaces) {
    const SplitCase cases[] = {
        {L"a_b_c", L"_", {L"a", L"b", L"c"}},
        {L"", L"_", {}},
        {L"abc", L"", {}},
        {L"abc", L"_", {L"abc"}},
        {L"_", L"_", {L"", L""}},
        {L"a__b_", L"_", {L"a", L"", L"b", L""}},
        {L"  a _ b  ", L"_", {L"a", L"b"}},
        {L"   ", L"_", {L""}},
        {L"\ta_b\t", L"_", {L"\ta", L"b\t"}},  // only the space character is trimmed
        {L"a||b|c", L"||", {L"a", L"b|c"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(launch::split(c.text, c.separator), c.pieces) << c.text;
    }
}

struct NameCase {
    std::wstring baseName;
    bool present;
    const wchar_t* type;
    const wchar_t* language;
    const wchar_t* openId;
    const wchar_t* package;
    const wchar_t* trackingId;
};

TEST(LaunchFileName, ReadsTheFourToManyPieceForms) {
    const NameCase cases[] = {
        // Four pieces: the last is ignored, nothing beyond the openID.
        {L"orvane9_en_1234_x", true, L"orvane9", L"en", L"1234", L"", L""},
        // Numeric piece 2: pieces 3..n-2 are the tracking id.
        {L"orvane64_ens_5678_GA1.2.33.44_z", true, L"orvane64", L"ens", L"5678", L"", L"GA1.2.33.44"},
        {L"a_b_1_t1_t2_t3_z", true, L"a", L"b", L"1", L"", L"t1_t2_t3"},
        // Non-numeric piece 2 is the package; piece 3 the openID.
        {L"orvane9_kr_com.example.game_3001_abc_def_z", true, L"orvane9", L"kr", L"3001", L"com.example.game",
         L"abc_def"},
        {L"orvane9_kr_short_3001_z", true, L"orvane9", L"kr", L"3001", L"short", L""},
        {L"orvane9_en_12a_x", true, L"orvane9", L"en", L"12a", L"", L""},
        // An empty piece 2 counts as numeric.
        {L"orvane9_en__x", true, L"orvane9", L"en", L"", L"", L""},
        {L"orvane9_en__5_x", true, L"orvane9", L"en", L"", L"", L"5"},
        {L"orvane9_en_ 77 _x", true, L"orvane9", L"en", L"77", L"", L""},
        {L" ORVANE4 _en_1_x", true, L"ORVANE4", L"en", L"1", L"", L""},
        {L"___", true, L"", L"", L"", L"", L""},
        {L"orvane9_한국_1_x", true, L"orvane9", L"한국", L"1", L"", L""},
        {L"orvane9_en_1234_" + std::wstring(244, L'x'), true, L"orvane9", L"en", L"1234", L"", L""},
        // Fewer than four pieces carry nothing.
        {L"", false, L"", L"", L"", L"", L""},
        {L"setup", false, L"", L"", L"", L"", L""},
        {L"orvane9_en", false, L"", L"", L"", L"", L""},
        {L"orvane9_en_1234", false, L"", L"", L"", L"", L""},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.baseName);
        const launch::FileNameParams p = launch::parseFileName(c.baseName);
        EXPECT_EQ(p.present, c.present);
        EXPECT_EQ(p.type, c.type);
        EXPECT_EQ(p.language, c.language);
        EXPECT_EQ(p.openId, c.openId);
        EXPECT_EQ(p.package, c.package);
        EXPECT_EQ(p.trackingId, c.trackingId);
    }
}

TEST(LaunchFileName, TypeWordsSelectEditionsCaseInsensitively) {
    struct Case {
        const wchar_t* type;
        std::optional<Edition> edition;
    };
    const Case cases[] = {
        {L"orvane4", Edition::Player4},
        {L"ORVANE4", Edition::Player4},
        {L"Orvane64", Edition::Player64},
        {L"orvane3", Edition::Player3},
        {L"orvane9", Edition::Player9},
        {L"orvane5", std::nullopt},
        {L"", std::nullopt},
        {L"orvane94", std::nullopt},
        {L"orvane4 ", std::nullopt},
        {L"xorvane4", std::nullopt},
        {L"orvane", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(launch::editionForType(c.type), c.edition) << c.type;
    }
}

struct CommandCase {
    const wchar_t* line;
    bool hasPairs;
    const wchar_t* name;
    const wchar_t* package;
    const wchar_t* apkurl;
};

TEST(LaunchCommandLine, ReadsKeyValuePieces) {
    const CommandCase cases[] = {
        {L"\"name=Some Game | package=com.example.game | apkurl=https://h/g.apk\"", true, L"Some Game",
         L"com.example.game", L"https://h/g.apk"},
        {L"package=a|apkurl=", true, L"", L"a", L""},
        // Keys are trimmed and lower-cased; the value runs to the end of the piece.
        {L" Name = A B |PACKAGE=p| ApkUrl =http://h/x?a=1=2", true, L"A B", L"p", L"http://h/x?a=1=2"},
        // A repeated key: the later one wins.
        {L"name=first|name=second", true, L"second", L"", L""},
        // Pieces without "=" or with an empty key are skipped.
        {L"name=a|junk||=c|apkurl=u", true, L"a", L"", L"u"},
        {L"=value", false, L"", L"", L""},
        {L"just some text", false, L"", L"", L""},
        {L"||||", false, L"", L"", L""},
        {L"", false, L"", L"", L""},
        {L"other=1", true, L"", L"", L""},
        // A quote at one end only is dropped too.
        {L"\"name=Game", true, L"Game", L"", L""},
        {L"name=Game\"", true, L"Game", L"", L""},
        // Up to five characters the quotes stay: the key is then "\"".
        {L"\"=ab\"", true, L"", L"", L""},
        {L"\"=abc\"", false, L"", L"", L""},
        {L"\"\"", false, L"", L"", L""},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.line);
        const launch::CommandLineParams p = launch::parseCommandLine(c.line);
        EXPECT_EQ(p.hasPairs, c.hasPairs);
        EXPECT_EQ(p.name, c.name);
        EXPECT_EQ(p.package, c.package);
        EXPECT_EQ(p.apkurl, c.apkurl);
    }
}

TEST(LaunchReadInteger, ReadsLikeAtoiWithoutOverflow) {
    struct Case {
        const wchar_t* text;
        long value;
    };
    const Case cases[] = {
        {L"2001abc", 2001},
        {L"  42", 42},
        {L"\t3000", 3000},
        {L"-7", -7},
        {L"+15", 15},
        {L"abc", 0},
        {L"", 0},
        {L"+-1", 0},
        {L"20 01", 20},
        {L"-", 0},
        {L"99999999999999999999", LONG_MAX},
        {L"-99999999999999999999", LONG_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(launch::readInteger(c.text), c.value) << c.text;
    }
}

}  // namespace
