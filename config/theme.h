// Theme colours of the skin engine: seven ARGB hex texts ("FF20203A"),
// looked up by position. Built in, or taken from a "colors.ini" beside the
// executable so a build can be re-coloured without touching the skin.
#pragma once

#include <string>
#include <vector>

namespace config {
namespace theme {

// The built-in list, used when no colors.ini is present.
std::vector<std::wstring> defaultColors();

// The seven entries of section "setting" of the given ini file, in the order
// mainToolbar, mainContent, mainToolbarPopup, toolbar, content, setupLeftBar,
// setupBottomBar; a key that is missing or empty gives its own default.
std::vector<std::wstring> colorsFromIni(const std::wstring& iniPath);

// colorsFromIni(folder + "colors.ini") when that file exists, otherwise
// defaultColors(). folder ends with a backslash (ufile::getModuleDir()).
std::vector<std::wstring> colorsFor(const std::wstring& folder);

}  // namespace theme
}  // namespace config
