// The skin's language table: the row reader, column choice and lookups.
#include <gtest/gtest.h>

#include <cstring>

#include "skin/StringTable.h"

using namespace DuiLib;

namespace {

std::vector<std::vector<std::wstring>> rows(const std::string& data) {
    std::vector<std::vector<std::wstring>> out;
    std::vector<std::wstring> cells;
    size_t pos = 0;
    while (readTableRow(data.data(), data.size(), pos, cells)) out.push_back(cells);
    return out;
}

using Rows = std::vector<std::vector<std::wstring>>;

TEST(StringTableRows, CellsAndLineEnds) {
    const struct {
        std::string data;
        Rows expected;
    } cases[] = {
        {"a\tb\tc", {{L"a", L"b", L"c"}}},
        {"a\t\tc\t", {{L"a", L"", L"c"}}},
        {"\t\ta\tb\r\n\r\n\tc\rd\ne", {{L"a", L"b"}, {L"c"}, {L"d"}, {L"e"}}},
        {"\xED\x95\x9C\xEA\xB5\xAD\t\xE6\x97\xA5", {{L"\ud55c\uad6d", L"\u65e5"}}},
        {std::string(512, 'x') + "\t" + std::string(513, 'y'), {{std::wstring(512, L'x'), L""}}},
        {std::string("\r\n\t\n"), {}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, rows(c.data)) << c.data.substr(0, 40);
}

class StringTable : public testing::Test {
protected:
    void SetUp() override { clearStringTable(); }
    void TearDown() override {
        clearStringTable();
        setSkinLanguage(L"en_US");
    }
    void load(const std::string& data, const wchar_t* language) {
        setSkinLanguage(language);
        loadStringTable(data.data(), data.size());
    }
};

const std::string kTable =
    "Code\tlanguage_code\tzh_CN\tzh_TW\ten_US\r\n"
    "Language\tlanguage_name\tzh\ttw\tEnglish\r\n"
    "Label\tsure\tzh-sure\ttw-sure\tOK\r\n"
    "Label\tshort\tzh-short\r\n"
    "Label\tlong\t" +
    std::string(600, 'z') +
    "\tx\tlong-en\r\n"
    "Other\tsure2\tzh-2\ttw-2\ten-2\n"
    "Label\tsure\tzh-again\ttw-again\tOK again\n";

TEST_F(StringTable, PicksTheLocaleColumn) {
    const struct {
        const wchar_t* language;
        const wchar_t* sure;
        const wchar_t* shortText;  // null = row too short for the column
        const wchar_t* longText;
    } cases[] = {
        {L"en_US", L"OK again", nullptr, L"long-en"},
        {L"zh_TW", L"tw-again", nullptr, L"x"},
        {L"hi_IN", L"zh-again", L"zh-short", L""},  // no column: the first locale column
        {L"zh_CN", L"zh-again", L"zh-short", L""},
    };
    for (const auto& c : cases) {
        clearStringTable();
        load(kTable, c.language);
        EXPECT_EQ(c.sure, findText(L"sure").value_or(L"<none>")) << testing::PrintToString(c.language);
        EXPECT_EQ(c.longText, findText(L"long").value_or(L"<none>")) << testing::PrintToString(c.language);
        auto shortText = findText(L"short");
        if (c.shortText) {
            EXPECT_EQ(c.shortText, shortText.value_or(L"<none>"));
        } else {
            EXPECT_FALSE(shortText) << testing::PrintToString(c.language);
        }
        EXPECT_FALSE(findText(L"language_name"));
    }
}

TEST_F(StringTable, HeaderRowsAreRequired) {
    const std::string tables[] = {
        "",
        "Code\r\nLanguage\tlanguage_name\ten\r\nLabel\tsure\tOK\r\n",
        "Code\tlanguage_code\ten_US\r\nLanguage\r\nLabel\tsure\tOK\r\n",
        "Code\tlanguage_code\ten_US\r\nLanguage\tnames\tEnglish\r\nLabel\tsure\tOK\r\n",
    };
    for (const auto& t : tables) {
        load(t, L"en_US");
        EXPECT_FALSE(findText(L"sure")) << t;
    }
}

TEST_F(StringTable, MissingKeysShowThemselves) {
    load(kTable, L"en_US");
    EXPECT_FALSE(findText(L"prompt"));
    EXPECT_EQ(L"prompt", textFor(L"prompt"));
    EXPECT_EQ(L"prompt", findText(L"prompt").value_or(L"<none>"));
    EXPECT_EQ(L"OK again", textFor(L"sure"));
}

TEST_F(StringTable, AtIdsResolveOnlyWhenPresent) {
    load(kTable, L"en_US");
    const struct {
        const wchar_t* text;
        const wchar_t* drawn;
    } cases[] = {
        {L"@sure", L"OK again"}, {L"@close_tip", L"@close_tip"}, {L"@", L"@"},
        {L"sure", L"sure"},      {L" @sure", L" @sure"},         {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.drawn, resolveTextId(c.text)) << testing::PrintToString(c.text);
    EXPECT_FALSE(findText(L"close_tip"));  // drawing does not add ids
}

}  // namespace
