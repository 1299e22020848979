#include "utility/filename.h"

#include <cwctype>

namespace utility {
namespace filename {

namespace {

// Names Windows opens as devices whatever folder or extension they come with.
const wchar_t* const kDeviceNames[] = {
    L"CON",       L"PRN",       L"AUX",       L"NUL",  L"CONIN$", L"CONOUT$",   L"COM0",      L"COM1",
    L"COM2",      L"COM3",      L"COM4",      L"COM5", L"COM6",   L"COM7",      L"COM8",      L"COM9",
    L"COM\u00b9", L"COM\u00b2", L"COM\u00b3", L"LPT0", L"LPT1",   L"LPT2",      L"LPT3",      L"LPT4",
    L"LPT5",      L"LPT6",      L"LPT7",      L"LPT8", L"LPT9",   L"LPT\u00b9", L"LPT\u00b2", L"LPT\u00b3",
};

bool isUnsafe(wchar_t c) {
    if (c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f)) return true;  // control characters
    // Bidirectional embeddings, overrides and isolates can disguise an extension.
    if ((c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069)) return true;
    for (const wchar_t* reserved = L"\\/<>:\"|?*"; *reserved; ++reserved)
        if (c == *reserved) return true;
    return false;
}

bool isTrimmed(wchar_t c) {
    return c == L'.' || c == L' ';
}

std::wstring replaceUnsafe(const std::wstring& name) {
    std::wstring out;
    out.reserve(name.size());
    for (const wchar_t c : name) {
        if (c == L'.' && !out.empty() && out.back() == L'.') continue;  // no ".." anywhere
        out.push_back(isUnsafe(c) ? L'_' : c);
    }
    return out;
}

void trim(std::wstring& name) {
    std::size_t begin = 0;
    while (begin < name.size() && isTrimmed(name[begin])) ++begin;
    std::size_t end = name.size();
    while (end > begin && isTrimmed(name[end - 1])) --end;
    name = name.substr(begin, end - begin);
}

// Keeps a surrogate pair whole: a cut after its first half drops that half too.
void cut(std::wstring& name, std::size_t maxLength) {
    if (name.size() <= maxLength) return;
    std::size_t length = maxLength;
    if (length > 0 && name[length - 1] >= 0xd800 && name[length - 1] <= 0xdbff) --length;
    name.resize(length);
}

bool sameLetters(const std::wstring& text, const wchar_t* upper) {
    std::size_t i = 0;
    for (; upper[i]; ++i)
        if (i >= text.size() || std::towupper(text[i]) != upper[i]) return false;
    return i == text.size();
}

// Windows ignores an extension and blanks before it when it matches devices.
bool isDeviceName(const std::wstring& name) {
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (const wchar_t* device : kDeviceNames)
        if (sameLetters(base, device)) return true;
    return false;
}

}  // namespace

std::wstring safeFileName(const std::wstring& name, std::size_t maxLength) {
    std::wstring safe = replaceUnsafe(name);
    cut(safe, maxLength);
    trim(safe);
    if (!safe.empty() && isDeviceName(safe)) {
        safe.insert(safe.begin(), L'_');
        cut(safe, maxLength);
        trim(safe);
    }
    return safe;
}

}  // namespace filename
}  // namespace utility
