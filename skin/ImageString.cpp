#include "skin/ImageString.h"

#include "skin/UIDefs.h"

namespace DuiLib {
namespace {

bool isBlank(wchar_t c) {
    return c <= L' ';
}

DWORD maskColor(const std::wstring& text) {
    size_t start = 0;
    if (text.compare(0, 1, L"#") == 0) start = 1;
    if (text.compare(0, 2, L"0x") == 0 || text.compare(0, 2, L"0X") == 0) start = 2;
    return static_cast<DWORD>(wcstoul(text.c_str() + start, nullptr, 16));
}

void apply(ImageAttributes& a, const std::wstring& key, const std::wstring& v) {
    if (key == L"file") {
        a.file = v;
    } else if (key == L"res") {
        a.res = v;
    } else if (key == L"restype") {
        a.restype = v;
    } else if (key == L"color") {
        a.hasColor = true;
        a.color = value::toColor(v);
    } else if (key == L"source") {
        a.source = value::toRect(v);
    } else if (key == L"dest") {
        a.hasDest = true;
        a.dest = value::toRect(v);
    } else if (key == L"corner" || key == L"scale9") {
        a.corner = value::toRect(v);
    } else if (key == L"mask") {
        a.hasMask = true;
        a.mask = maskColor(v);
    } else if (key == L"fade") {
        int f = value::toInt(v);
        a.fade = static_cast<BYTE>(f < 0 ? 0 : (f > 255 ? 255 : f));
    } else if (key == L"hole") {
        a.hole = value::toBool(v);
    } else if (key == L"xtiled") {
        a.xtiled = value::toBool(v);
    } else if (key == L"ytiled") {
        a.ytiled = value::toBool(v);
    } else if (key == L"hsl") {
        a.hsl = value::toBool(v);
    }
}

// Reads one key='value' pair at pos; false when the text there is not one.
bool readPair(const std::wstring& s, size_t& pos, std::wstring& key, std::wstring& val) {
    size_t start = pos;
    while (pos < s.size() && s[pos] != L'=' && !isBlank(s[pos])) ++pos;
    key = s.substr(start, pos - start);
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    if (key.empty() || pos >= s.size() || s[pos] != L'=') return false;
    ++pos;
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    if (pos >= s.size() || s[pos] != L'\'') return false;
    size_t close = s.find(L'\'', ++pos);
    if (close == std::wstring::npos) return false;
    val = s.substr(pos, close - pos);
    pos = close + 1;
    return true;
}

}  // namespace

ImageAttributes parseImageString(const std::wstring& text) {
    ImageAttributes a;
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    std::wstring key, val;
    size_t first = pos;
    if (!readPair(text, pos, key, val)) {
        size_t end = text.size();
        while (end > first && isBlank(text[end - 1])) --end;
        a.file = text.substr(first, end - first);  // a bare file name
        return a;
    }
    for (;;) {
        apply(a, key, val);
        if (pos >= text.size() || !isBlank(text[pos])) break;  // pairs need a blank between them
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        if (pos >= text.size() || !readPair(text, pos, key, val)) break;
    }
    return a;
}

}  // namespace DuiLib
