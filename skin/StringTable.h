// The skin's language table: one process-wide map from string id to the text
// of the current skin language, filled from "multi_language.tsv".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace DuiLib {

// Locale code ("en_US") whose column loadStringTable picks.
void setSkinLanguage(const std::wstring& localeCode);
std::wstring skinLanguage();

// Parses a tab-separated table (UTF-8) and adds the current language's texts.
// A table without its two header rows adds nothing.
void loadStringTable(const char* bytes, size_t length);

void setText(const std::wstring& key, const std::wstring& text);
std::optional<std::wstring> findText(const std::wstring& key);

// The text of `key`; a missing key is added with itself as text, so it shows
// its own name.
std::wstring textFor(const std::wstring& key);

// The text a control draws for `text`: "@id" resolved through the table when
// the id is present, anything else as written.
std::wstring resolveTextId(const std::wstring& text);

void clearStringTable();

// One table row: the cells of the row starting at `pos` (leading tabs and line
// ends skipped); `pos` moves past the row. Cells are empty when longer than
// 512 UTF-16 units. Returns false at the end of the data.
bool readTableRow(const char* bytes, size_t length, size_t& pos, std::vector<std::wstring>& cells);

}  // namespace DuiLib
