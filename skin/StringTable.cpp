#include "skin/StringTable.h"

#include <windows.h>

#include <map>

namespace DuiLib {
namespace {

const int kMaxCellUnits = 512;

struct Table {
    std::wstring language;
    std::map<std::wstring, std::wstring> texts;
};

Table& table() {
    static Table instance;
    return instance;
}

std::wstring cellText(const char* bytes, size_t length) {
    if (length == 0) return std::wstring();
    wchar_t buf[kMaxCellUnits];
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), buf, kMaxCellUnits);
    return n > 0 ? std::wstring(buf, n) : std::wstring();  // too long: 0, so the cell is empty
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

void setSkinLanguage(const std::wstring& localeCode) {
    table().language = localeCode;
}

std::wstring skinLanguage() {
    return table().language;
}

bool readTableRow(const char* bytes, size_t length, size_t& pos, std::vector<std::wstring>& cells) {
    cells.clear();
    while (pos < length && (bytes[pos] == '\t' || isLineEnd(bytes[pos]))) ++pos;
    if (pos >= length) return false;
    size_t end = pos;
    while (end < length && !isLineEnd(bytes[end])) ++end;
    size_t start = pos;
    while (start < end) {
        size_t tab = start;
        while (tab < end && bytes[tab] != '\t') ++tab;
        cells.push_back(cellText(bytes + start, tab - start));
        start = tab + 1;  // a final tab opens no further cell
    }
    pos = end;
    return true;
}

void loadStringTable(const char* bytes, size_t length) {
    if (!bytes) return;
    size_t pos = 0;
    std::vector<std::wstring> codes, names, row;
    if (!readTableRow(bytes, length, pos, codes) || codes.size() < 2) return;
    if (!readTableRow(bytes, length, pos, names) || names.size() < 2) return;
    if (names[1] != L"language_name") return;
    size_t column = 2;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == table().language) {
            column = i;
            break;
        }
    }
    while (readTableRow(bytes, length, pos, row)) {
        if (row.size() > column && row.size() > 1) setText(row[1], row[column]);
    }
}

void setText(const std::wstring& key, const std::wstring& text) {
    table().texts[key] = text;
}

std::optional<std::wstring> findText(const std::wstring& key) {
    auto it = table().texts.find(key);
    if (it == table().texts.end()) return std::nullopt;
    return it->second;
}

std::wstring textFor(const std::wstring& key) {
    if (auto text = findText(key)) return *text;
    setText(key, key);
    return *findText(key);
}

std::wstring resolveTextId(const std::wstring& text) {
    if (text.size() < 2 || text[0] != L'@') return text;
    auto found = findText(text.substr(1));
    return found ? *found : text;
}

void clearStringTable() {
    table().texts.clear();
}

}  // namespace DuiLib
