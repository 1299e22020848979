#include "common/textconv.h"

#include <windows.h>

#include <climits>

namespace {

// Lengths the API accepts: -1 (NUL-terminated) or a non-negative count.
bool usable(const void* text, int length) {
    return text != nullptr && length >= -1;
}

// std::string sizes beyond INT_MAX cannot be passed to the API.
int checkedLength(size_t size) {
    return size > static_cast<size_t>(INT_MAX) ? -2 : static_cast<int>(size);
}

std::wstring toWide(UINT codePage, const char* text, int length) {
    if (!usable(text, length) || length == 0) return std::wstring();
    const int needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, text, length, &out[0], needed);
    if (written <= 0) return std::wstring();
    out.resize(static_cast<size_t>(written));
    // With length -1 the count includes the terminator.
    if (length == -1 && !out.empty() && out.back() == L'\0') out.pop_back();
    return out;
}

std::string toNarrow(UINT codePage, const wchar_t* text, int length) {
    if (!usable(text, length) || length == 0) return std::string();
    const int needed = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string out(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(codePage, 0, text, length, &out[0], needed, nullptr, nullptr);
    if (written <= 0) return std::string();
    out.resize(static_cast<size_t>(written));
    if (length == -1 && !out.empty() && out.back() == '\0') out.pop_back();
    return out;
}

}  // namespace

namespace common {

std::wstring ansiToWide(const char* text, int length) {
    return toWide(CP_ACP, text, length);
}
std::wstring ansiToWide(const std::string& text) {
    return toWide(CP_ACP, text.data(), checkedLength(text.size()));
}

std::wstring utf8ToWide(const char* text, int length) {
    return toWide(CP_UTF8, text, length);
}
std::wstring utf8ToWide(const std::string& text) {
    return toWide(CP_UTF8, text.data(), checkedLength(text.size()));
}

std::string wideToAnsi(const wchar_t* text, int length) {
    return toNarrow(CP_ACP, text, length);
}
std::string wideToAnsi(const std::wstring& text) {
    return toNarrow(CP_ACP, text.data(), checkedLength(text.size()));
}

std::string ansiToUtf8(const char* text, int length) {
    const std::wstring wide = ansiToWide(text, length);
    return toNarrow(CP_UTF8, wide.data(), checkedLength(wide.size()));
}
std::string ansiToUtf8(const std::string& text) {
    return ansiToUtf8(text.data(), checkedLength(text.size()));
}

}  // namespace common
