#include "model/language.h"

#include "common/log.h"
#include "skin/Markup.h"

namespace language {
namespace {

struct CodePair {
    const wchar_t* shortCode;
    const wchar_t* localeCode;
};

const CodePair kCodes[] = {
    {L"tw", L"zh_TW"}, {L"kr", L"ko_KR"}, {L"vn", L"vi_VN"}, {L"th", L"th_TH"}, {L"ru", L"ru_RU"},
    {L"pt", L"pt_PT"}, {L"tr", L"tr_TR"}, {L"es", L"es_ES"}, {L"ar", L"ar_IL"}, {L"jp", L"ja_JP"},
    {L"fa", L"fa_IR"}, {L"in", L"hi_IN"}, {L"de", L"de_DE"}, {L"fr", L"fr_FR"}, {L"id", L"in_ID"},
    {L"cn", L"zh_CN"}, {L"it", L"it_IT"}, {L"en", L"en_US"}, {L"my", L"ms_MY"}, {L"ua", L"uk_UA"},
};

struct UiLanguage {
    WORD primary;
    const wchar_t* localeCode;
};

const UiLanguage kUiLanguages[] = {
    {18, L"ko_KR"}, {9, L"en_US"},  {42, L"vi_VN"}, {30, L"th_TH"}, {25, L"ru_RU"}, {34, L"uk_UA"},
    {22, L"pt_PT"}, {31, L"tr_TR"}, {10, L"es_ES"}, {7, L"de_DE"},  {17, L"ja_JP"}, {33, L"in_ID"},
    {1, L"ar_IL"},  {41, L"fa_IR"}, {57, L"hi_IN"}, {16, L"it_IT"}, {62, L"ms_MY"}, {12, L"fr_FR"},
};

const WORD kChinese = 4;

struct ProfileRow {
    const wchar_t* shortCode;
    LanguageProfile profile;
};

const wchar_t kNoto[] = L"NotoSans-Regular.otf";
const wchar_t kRoboto[] = L"Roboto-Regular.otf";

const ProfileRow kProfiles[] = {
    {L"tw", {L"tw", L"zh_TW", L"Noto Sans", kNoto}}, {L"kr", {L"kr", L"ko_KR", L"Noto Sans", kNoto}},
    {L"jp", {L"jp", L"ja_JP", L"Noto Sans", kNoto}}, {L"vn", {L"vn", L"vi_VN", L"Roboto", kRoboto}},
    {L"th", {L"th", L"th_TH", L"Arial", L""}},       {L"pt", {L"pt", L"pt_PT", L"Roboto", kRoboto}},
    {L"br", {L"pt", L"pt_PT", L"Roboto", kRoboto}},  {L"ru", {L"ru", L"ru_RU", L"Roboto", kRoboto}},
    {L"es", {L"es", L"es_ES", L"Roboto", kRoboto}},  {L"ar", {L"ar", L"ar_IL", L"Roboto", kRoboto}},
    {L"de", {L"de", L"de_DE", L"Roboto", kRoboto}},  {L"fr", {L"fr", L"fr_FR", L"Roboto", kRoboto}},
    {L"id", {L"id", L"in_ID", L"Roboto", kRoboto}},
};

const LanguageProfile kDefaultProfile = {L"en", L"en_US", L"Roboto", kRoboto};

}  // namespace

std::wstring codeForShort(const std::wstring& shortCode) {
    for (const CodePair& p : kCodes)
        if (shortCode == p.shortCode) return p.localeCode;
    return L"en_US";
}

std::wstring shortForCode(const std::wstring& localeCode) {
    for (const CodePair& p : kCodes)
        if (localeCode == p.localeCode) return p.shortCode;
    return L"en";
}

std::wstring uiLanguageCodeFor(LANGID languageId) {
    WORD primary = PRIMARYLANGID(languageId);
    if (primary == kChinese) return L"zh_TW";
    for (const UiLanguage& l : kUiLanguages)
        if (primary == l.primary) return l.localeCode;
    return L"en_US";
}

std::wstring uiLanguageCode() {
    return uiLanguageCodeFor(GetUserDefaultUILanguage());
}

LanguageProfile languageProfileFor(const std::wstring& shortCode) {
    for (const ProfileRow& row : kProfiles)
        if (shortCode == row.shortCode) return row.profile;
    return kDefaultProfile;
}

void applyLanguageCode(const std::wstring& localeCode, std::wstring& language, std::wstring& languageCode) {
    languageCode = localeCode;
    language = shortForCode(localeCode);
}

bool loadStringBundle(const std::wstring& xml, std::map<std::wstring, std::wstring>& strings) {
    const int length = static_cast<int>(xml.size());
    OV_LOG("DownloaderModel::loadLanguage", L"load language length %d", length);
    DuiLib::MarkupNode root;
    DuiLib::MarkupError error;
    if (!DuiLib::parseMarkup(xml, root, error)) {
        OV_LOG("DownloaderModel::loadLanguage", L"language load from string error. length:%d, error:%d",
               length, static_cast<int>(GetLastError()));
        return false;
    }
    if (root.name.empty()) {
        OV_LOG("DownloaderModel::loadLanguage", L"load language error. root is null");
        return false;
    }
    for (const DuiLib::MarkupNode& child : root.children) {
        if (child.name != L"String") continue;
        const std::wstring* id = child.attribute(L"id");
        if (id && !id->empty() && !child.text.empty()) strings[*id] = child.text;
    }
    return true;
}

}  // namespace language
