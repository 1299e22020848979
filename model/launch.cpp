#include "model/launch.h"

#include <climits>
#include <map>

namespace launch {

namespace {

std::wstring trimSpaces(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::wstring();
    const auto last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::wstring asciiLower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// An empty piece counts as numeric: "orvane9_en__5_x" still has no package.
bool isAllDigits(const std::wstring& text) {
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

// Pieces first..last (inclusive) joined with "_"; empty when first > last.
std::wstring join(const std::vector<std::wstring>& pieces, std::size_t first, std::size_t last) {
    std::wstring text;
    for (std::size_t i = first; i <= last && i < pieces.size(); ++i) {
        if (i > first) text += L'_';
        text += pieces[i];
    }
    return text;
}

bool isBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

}  // namespace

std::vector<std::wstring> split(const std::wstring& text, const std::wstring& separator) {
    std::vector<std::wstring> pieces;
    if (text.empty() || separator.empty()) return pieces;
    std::wstring::size_type start = 0;
    for (;;) {
        const auto found = text.find(separator, start);
        if (found == std::wstring::npos) break;
        pieces.push_back(trimSpaces(text.substr(start, found - start)));
        start = found + separator.size();
    }
    pieces.push_back(trimSpaces(text.substr(start)));
    return pieces;
}

FileNameParams parseFileName(const std::wstring& baseName) {
    const std::vector<std::wstring> pieces = split(baseName, L"_");
    const std::size_t n = pieces.size();
    FileNameParams params;
    if (n < 4) return params;
    params.present = true;
    params.type = pieces[0];
    params.language = pieces[1];
    params.openId = pieces[2];
    if (n >= 5) {
        // The last piece is padding the distributor may vary; it carries nothing.
        if (isAllDigits(pieces[2])) {
            params.trackingId = join(pieces, 3, n - 2);
        } else {
            params.package = pieces[2];
            params.openId = pieces[3];
            if (n >= 6) params.trackingId = join(pieces, 4, n - 2);
        }
    }
    return params;
}

std::optional<Edition> editionForType(const std::wstring& type) {
    const std::wstring word = asciiLower(type);
    if (word == L"orvane4") return Edition::Player4;
    if (word == L"orvane64") return Edition::Player64;
    if (word == L"orvane3") return Edition::Player3;
    if (word == L"orvane9") return Edition::Player9;
    return std::nullopt;
}

CommandLineParams parseCommandLine(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    if (line.size() > 5) {
        if (line.front() == L'"') line.erase(0, 1);
        if (!line.empty() && line.back() == L'"') line.pop_back();
    }
    std::map<std::wstring, std::wstring> pairs;
    for (const std::wstring& piece : split(line, L"|")) {
        const auto equals = piece.find(L'=');
        if (equals == std::wstring::npos) continue;
        const std::wstring key = asciiLower(trimSpaces(piece.substr(0, equals)));
        if (key.empty()) continue;
        pairs[key] = trimSpaces(piece.substr(equals + 1));
    }
    CommandLineParams params;
    params.hasPairs = !pairs.empty();
    params.name = pairs[L"name"];
    params.package = pairs[L"package"];
    params.apkurl = pairs[L"apkurl"];
    return params;
}

long readInteger(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > LONG_MAX) value = static_cast<long long>(LONG_MAX) + 1;  // stays out of any range
    }
    if (negative) value = -value;
    if (value > LONG_MAX) return LONG_MAX;
    if (value < LONG_MIN) return LONG_MIN;
    return static_cast<long>(value);
}

}  // namespace launch
