// Language codes: the short form ("en", used in file names and command
// lines), the locale form ("en_US", used to pick a skin table column), the
// font profile of a language, and the StringBundle loader behind
// DownloaderModel::loadLanguage.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "model/LanguageProfile.h"

namespace language {

// "kr" -> "ko_KR"; unknown codes (also "EN", "ens") -> "en_US".
std::wstring codeForShort(const std::wstring& shortCode);

// "ko_KR" -> "kr"; unknown codes -> "en".
std::wstring shortForCode(const std::wstring& localeCode);

// Locale code of the user's interface language (GetUserDefaultUILanguage).
std::wstring uiLanguageCode();
// The same for a given language id; every Chinese variant gives "zh_TW".
std::wstring uiLanguageCodeFor(LANGID languageId);

// Font and locale profile of a short code ("br" shares Portuguese).
LanguageProfile languageProfileFor(const std::wstring& shortCode);

// DownloaderModel::setLanguageCode: both forms of the new language.
void applyLanguageCode(const std::wstring& localeCode, std::wstring& language, std::wstring& languageCode);

// DownloaderModel::loadLanguage: parses a StringBundle document and puts its
// String elements into `strings`. On a parse failure `strings` is unchanged
// and the result is false. Logs under "DownloaderModel::loadLanguage".
bool loadStringBundle(const std::wstring& xml, std::map<std::wstring, std::wstring>& strings);

}  // namespace language
