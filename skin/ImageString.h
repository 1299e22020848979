// The image-string mini-language: a bare file name, or key='value' pairs
// ("file='a.png' source='0,0,10,10' corner='4,4,4,4'").
#pragma once

#include <windows.h>

#include <string>

namespace DuiLib {

struct ImageAttributes {
    std::wstring file;  // skin package name, "\" or "/"
    std::wstring res;   // resource name instead of a file
    std::wstring restype;
    bool hasColor = false;
    DWORD color = 0;             // 0xAARRGGBB, drawn instead of an image
    RECT source = {0, 0, 0, 0};  // all zero = whole image
    bool hasDest = false;
    RECT dest = {0, 0, 0, 0};    // relative to the control's top-left corner
    RECT corner = {0, 0, 0, 0};  // nine-patch borders
    bool hasMask = false;
    DWORD mask = 0;  // colour key; only its RGB part is compared
    BYTE fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
    bool hsl = false;
};

// Reads an image string. Unknown keys are ignored; reading stops at the first
// pair that is not followed by a blank.
ImageAttributes parseImageString(const std::wstring& text);

}  // namespace DuiLib
