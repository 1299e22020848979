#include "config/theme.h"

#include <windows.h>

#include "utility/ufile.h"

namespace config {
namespace theme {

namespace {

struct IniKey {
    const wchar_t* name;
    const wchar_t* fallback;
};

// The file's keys have their own defaults, different from the built-in list:
// a colors.ini is a whole theme, not a patch over the built-in one.
const IniKey kKeys[] = {
    {L"mainToolbar", L"FF06061F"},    {L"mainContent", L"FF20203A"}, {L"mainToolbarPopup", L"FF1F1F39"},
    {L"toolbar", L"FF06061F"},        {L"content", L"FF20203A"},     {L"setupLeftBar", L"FF20203A"},
    {L"setupBottomBar", L"FF36364D"},
};

const DWORD kValueChars = 1024;

}  // namespace

std::vector<std::wstring> defaultColors() {
    return {L"FF16171F", L"FF20203A", L"FF21212E", L"FF2E3956", L"FFF5F5F5", L"FFEAEAEB", L"FFEAEAEB"};
}

std::vector<std::wstring> colorsFromIni(const std::wstring& iniPath) {
    std::vector<std::wstring> colors;
    for (const IniKey& key : kKeys) {
        wchar_t value[kValueChars] = {};
        const DWORD length =
            GetPrivateProfileStringW(L"setting", key.name, L"", value, kValueChars, iniPath.c_str());
        colors.push_back(length > 0 ? std::wstring(value, length) : std::wstring(key.fallback));
    }
    return colors;
}

std::vector<std::wstring> colorsFor(const std::wstring& folder) {
    const std::wstring ini = folder + L"colors.ini";
    return utility::ufile::exists(ini) ? colorsFromIni(ini) : defaultColors();
}

}  // namespace theme
}  // namespace config
