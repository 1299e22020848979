#include "skin/UIDefs.h"

#include <cwchar>
#include <cwctype>

namespace DuiLib {
namespace value {

int toInt(const std::wstring& text) {
    return static_cast<int>(wcstol(text.c_str(), nullptr, 10));
}

bool toBool(const std::wstring& text) {
    return text == L"true";
}

DWORD toColor(const std::wstring& text) {
    const wchar_t* p = text.c_str();
    while (*p && std::iswspace(*p)) ++p;
    if (*p == L'#') ++p;
    return static_cast<DWORD>(wcstoul(p, nullptr, 16));
}

int toInts(const std::wstring& text, int* out, int count) {
    const wchar_t* p = text.c_str();
    int n = 0;
    while (n < count && *p) {
        wchar_t* end = nullptr;
        long v = wcstol(p, &end, 10);
        if (end == p) break;
        out[n++] = static_cast<int>(v);
        p = end;
        while (*p && (std::iswspace(*p))) ++p;
        if (*p != L',') break;
        ++p;
    }
    return n;
}

RECT toRect(const std::wstring& text) {
    int v[4] = {0, 0, 0, 0};
    toInts(text, v, 4);
    return RECT{v[0], v[1], v[2], v[3]};
}

SIZE toSize(const std::wstring& text) {
    int v[2] = {0, 0};
    toInts(text, v, 2);
    return SIZE{v[0], v[1]};
}

}  // namespace value
}  // namespace DuiLib
