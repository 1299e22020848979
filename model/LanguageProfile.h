// The font and locale choice that follows the run's language.
#pragma once

#include <string>

struct LanguageProfile {
    std::wstring key;         // "en", "jp", ...; also picks the customer-info member
    std::wstring localeCode;  // "en_US"
    std::wstring fontFace;    // "Roboto"
    std::wstring fontFile;    // file in the fonts folder; empty = no private font
};
