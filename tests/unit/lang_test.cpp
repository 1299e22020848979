// Language codes, font profiles and the StringBundle loader.
#include <windows.h>
#include <gtest/gtest.h>

#include "model/language.h"

using namespace language;

namespace {

const struct {
    const wchar_t* shortCode;
    const wchar_t* locale;
} kPairs[] = {
    {L"tw", L"zh_TW"}, {L"kr", L"ko_KR"}, {L"vn", L"vi_VN"}, {L"th", L"th_TH"}, {L"ru", L"ru_RU"},
    {L"pt", L"pt_PT"}, {L"tr", L"tr_TR"}, {L"es", L"es_ES"}, {L"ar", L"ar_IL"}, {L"jp", L"ja_JP"},
    {L"fa", L"fa_IR"}, {L"in", L"hi_IN"}, {L"de", L"de_DE"}, {L"fr", L"fr_FR"}, {L"id", L"in_ID"},
    {L"cn", L"zh_CN"}, {L"it", L"it_IT"}, {L"en", L"en_US"}, {L"my", L"ms_MY"}, {L"ua", L"uk_UA"},
};

TEST(LanguageCodes, ShortAndLocaleFormsMapBothWays) {
    for (const auto& p : kPairs) {
        EXPECT_EQ(p.locale, codeForShort(p.shortCode)) << testing::PrintToString(p.shortCode);
        EXPECT_EQ(p.shortCode, shortForCode(p.locale)) << testing::PrintToString(p.locale);
    }
}

TEST(LanguageCodes, UnknownFormsFallBackToEnglish) {
    for (const wchar_t* s : {L"EN", L"ens", L"", L"br", L"Kr"}) EXPECT_EQ(L"en_US", codeForShort(s));
    for (const wchar_t* c : {L"en_us", L"", L"en", L"zh_HK"}) EXPECT_EQ(L"en", shortForCode(c));
}

TEST(LanguageCodes, InterfaceLanguage) {
    const struct {
        LANGID id;
        const wchar_t* locale;
    } cases[] = {
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_HONGKONG), L"zh_TW"},
        {MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), L"zh_TW"},
        {MAKELANGID(LANG_HINDI, SUBLANG_DEFAULT), L"hi_IN"},
        {MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), L"ko_KR"},
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), L"en_US"},
        {MAKELANGID(LANG_INDONESIAN, SUBLANG_DEFAULT), L"in_ID"},
        {MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_EGYPT), L"ar_IL"},
        {MAKELANGID(LANG_PERSIAN, SUBLANG_DEFAULT), L"fa_IR"},
        {MAKELANGID(LANG_UKRAINIAN, SUBLANG_DEFAULT), L"uk_UA"},
        {MAKELANGID(LANG_MALAY, SUBLANG_DEFAULT), L"ms_MY"},
        {MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), L"pt_PT"},
        {MAKELANGID(LANG_POLISH, SUBLANG_DEFAULT), L"en_US"},
        {MAKELANGID(LANG_DUTCH, SUBLANG_DEFAULT), L"en_US"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.locale, uiLanguageCodeFor(c.id)) << c.id;
}

TEST(LanguageProfiles, FontAndLocaleFollowTheShortCode) {
    const struct {
        const wchar_t* shortCode;
        LanguageProfile expected;
    } cases[] = {
        {L"tw", {L"tw", L"zh_TW", L"Noto Sans", L"NotoSans-Regular.otf"}},
        {L"jp", {L"jp", L"ja_JP", L"Noto Sans", L"NotoSans-Regular.otf"}},
        {L"th", {L"th", L"th_TH", L"Arial", L""}},
        {L"br", {L"pt", L"pt_PT", L"Roboto", L"Roboto-Regular.otf"}},
        {L"id", {L"id", L"in_ID", L"Roboto", L"Roboto-Regular.otf"}},
        {L"cn", {L"en", L"en_US", L"Roboto", L"Roboto-Regular.otf"}},
        {L"fa", {L"en", L"en_US", L"Roboto", L"Roboto-Regular.otf"}},
        {L"TW", {L"en", L"en_US", L"Roboto", L"Roboto-Regular.otf"}},
    };
    for (const auto& c : cases) {
        LanguageProfile p = languageProfileFor(c.shortCode);
        EXPECT_EQ(c.expected.key, p.key) << testing::PrintToString(c.shortCode);
        EXPECT_EQ(c.expected.localeCode, p.localeCode) << testing::PrintToString(c.shortCode);
        EXPECT_EQ(c.expected.fontFace, p.fontFace) << testing::PrintToString(c.shortCode);
        EXPECT_EQ(c.expected.fontFile, p.fontFile) << testing::PrintToString(c.shortCode);
    }
}

TEST(LanguageCodes, SettingALocaleCodeSetsBothForms) {
    std::wstring language = L"en", code = L"en_US";
    applyLanguageCode(L"ko_KR", language, code);
    EXPECT_EQ(L"kr", language);
    EXPECT_EQ(L"ko_KR", code);
    applyLanguageCode(L"xx_XX", language, code);
    EXPECT_EQ(L"en", language);
    EXPECT_EQ(L"xx_XX", code);
}

using Strings = std::map<std::wstring, std::wstring>;

TEST(StringBundle, ReadsStringElements) {
    Strings strings = {{L"kept", L"old"}, {L"sure", L"old sure"}};
    const wchar_t* xml =
        L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        L"<!-- shipped form -->\r\n"
        L"<StringBundle ver=\"100\">\r\n"
        L"  <String id=\"sure\">OK</String>\r\n"
        L"  <String id='protocol_accept_btn'>&lt;u #666666&gt;license&lt;/u&gt; &amp; &apos;x&apos; "
        L"&quot;y&quot;</String>\r\n"
        L"  <String id=\"empty\"></String>\r\n"
        L"  <String id=\"\">no id</String>\r\n"
        L"  <String>no id at all</String>\r\n"
        L"  <Other id=\"other\">ignored</Other>\r\n"
        L"  <string id=\"lower\">names are exact</string>\r\n"
        L"  <String id=\"twice\">first</String><String id=\"twice\">second</String>\r\n"
        L"  <String id=\"cdata\"><![CDATA[a <b> c]]></String>\r\n"
        L"</StringBundle>\r\n";
    ASSERT_TRUE(loadStringBundle(xml, strings));
    EXPECT_EQ((Strings{{L"kept", L"old"},
                       {L"sure", L"OK"},
                       {L"protocol_accept_btn", L"<u #666666>license</u> & 'x' \"y\""},
                       {L"twice", L"second"},
                       {L"cdata", L"a <b> c"}}),
              strings);
}

TEST(StringBundle, MalformedDocumentsLeaveStringsUnchanged) {
    const wchar_t* documents[] = {
        L"",
        L"   \r\n",
        L"<?xml version=\"1.0\"?>",
        L"just text",
        L"<StringBundle><String id=\"a\">x</String></StringBundle><Second/>",
        L"</StringBundle>",
        L"<StringBundle><String id=\"a\">x</Strin></StringBundle>",
        L"<StringBundle><String id=\"a\">x</String>",
        L"<StringBundle><String id=\"a>x</String></StringBundle>",
        L"<StringBundle><String id=>x</String></StringBundle>",
        L"<StringBundle><!-- open comment </StringBundle>",
        L"<StringBundle><![CDATA[ open </StringBundle>",
        L"<?xml version=\"1.0\"<StringBundle/>",
        L"<!DOCTYPE x <StringBundle/>",
        L"<StringBundle><String id=\"a\" / ></StringBundle>",
    };
    for (const wchar_t* doc : documents) {
        Strings strings = {{L"sure", L"old"}};
        EXPECT_FALSE(loadStringBundle(doc, strings)) << testing::PrintToString(doc);
        EXPECT_EQ((Strings{{L"sure", L"old"}}), strings) << testing::PrintToString(doc);
    }
}

}  // namespace
