// Theme colours: the built-in list, and a colors.ini beside the executable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/theme.h"
#include "support/TestSupport.h"

namespace {

using Colors = std::vector<std::wstring>;

const Colors kBuiltIn = {L"FF16171F", L"FF20203A", L"FF21212E", L"FF2E3956",
                         L"FFF5F5F5", L"FFEAEAEB", L"FFEAEAEB"};
// What an ini file without any usable entry gives: the keys' own defaults.
const Colors kIniDefaults = {L"FF06061F", L"FF20203A", L"FF1F1F39", L"FF06061F",
                             L"FF20203A", L"FF20203A", L"FF36364D"};

TEST(ThemeColors, WithoutColorsIniTheBuiltInListApplies) {
    testsupport::TempDir dir;
    EXPECT_EQ(config::theme::defaultColors(), kBuiltIn);
    EXPECT_EQ(config::theme::colorsFor(dir.path() + L"\\"), kBuiltIn);
}

struct IniCase {
    const char* name;
    std::string text;
    Colors colors;
};

TEST(ThemeColors, ColorsIniEntriesGoInKeyOrderAndGapsTakeTheKeysDefaults) {
    const IniCase cases[] = {
        {"all keys, listed out of order",
         "[setting]\r\nsetupBottomBar=FF000007\r\ncontent=FF000005\r\nmainToolbar=FF000001\r\n"
         "toolbar=FF000004\r\nmainContent=FF000002\r\nsetupLeftBar=FF000006\r\nmainToolbarPopup=FF000003\r\n",
         {L"FF000001", L"FF000002", L"FF000003", L"FF000004", L"FF000005", L"FF000006", L"FF000007"}},
        {"missing and empty values",
         "[setting]\nmainContent=\ntoolbar=FFABCDEF\n",
         {L"FF06061F", L"FF20203A", L"FF1F1F39", L"FFABCDEF", L"FF20203A", L"FF20203A", L"FF36364D"}},
        {"keys of other sections do not count",
         "[other]\nmainToolbar=FF111111\n[setting]\ncontent=FF222222\n[more]\ntoolbar=FF333333\n",
         {L"FF06061F", L"FF20203A", L"FF1F1F39", L"FF06061F", L"FF222222", L"FF20203A", L"FF36364D"}},
        {"malformed lines around good ones",
         "garbage before any section\n[setting]\nno equals sign here\n=FF999999\n; mainToolbar=FF444444\n"
         "  mainToolbar  =  FF555555  \nsetupLeftBar\nmainToolbar=FF666666\n",
         {L"FF555555", L"FF20203A", L"FF1F1F39", L"FF06061F", L"FF20203A", L"FF20203A", L"FF36364D"}},
        {"empty file", "", kIniDefaults},
        {"no setting section", "[colors]\nmainToolbar=FF777777\n", kIniDefaults},
    };
    for (const IniCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        ASSERT_TRUE(testsupport::writeFile(dir.file(L"colors.ini"), c.text));
        EXPECT_EQ(config::theme::colorsFor(dir.path() + L"\\"), c.colors);
    }
}

TEST(ThemeColors, LongValuesAreCutToTheReadBuffer) {
    testsupport::TempDir dir;
    const std::string longValue(3000, 'A');
    ASSERT_TRUE(testsupport::writeFile(dir.file(L"colors.ini"), "[setting]\ncontent=" + longValue + "\n"));
    const Colors colors = config::theme::colorsFromIni(dir.file(L"colors.ini"));
    ASSERT_EQ(colors.size(), 7u);
    EXPECT_EQ(colors[4], std::wstring(1023, L'A'));
    EXPECT_EQ(colors[0], L"FF06061F");
}

}  // namespace
