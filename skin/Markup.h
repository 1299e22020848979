// The engine's XML reader, for layouts and StringBundle files: elements with
// attributes (kept in document order, repeats included) and text content;
// comments, CDATA sections, processing instructions and a document-type
// declaration are read past. Only the five standard entities are decoded; any
// other "&" stays as written.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace DuiLib {

struct MarkupNode {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::wstring text;  // the element's own character data, CDATA included
    std::vector<MarkupNode> children;

    MarkupNode() = default;
    MarkupNode(MarkupNode&&) = default;
    MarkupNode& operator=(MarkupNode&&) = default;
    MarkupNode(const MarkupNode&) = default;
    MarkupNode& operator=(const MarkupNode&) = default;
    ~MarkupNode();  // not recursive: a deeply nested document cannot exhaust the stack

    // Value of the last attribute called `name` (a later repeat wins), or null.
    const std::wstring* attribute(const std::wstring& name, bool ignoreCase = false) const;
};

struct MarkupError {
    std::wstring message;   // "Expected start tag", "Unmatched closing tag", ...
    std::wstring location;  // "line 3, column 14"
};

// Parses a whole document into its root element. On failure `root` is left
// empty and `error` says what and where.
bool parseMarkup(const std::wstring& text, MarkupNode& root, MarkupError& error);

// Text of a markup file: UTF-8 (with or without a byte-order mark), or UTF-16
// when it starts with the UTF-16 byte-order mark.
std::wstring markupText(const unsigned char* bytes, size_t length);

// Case-insensitive comparison used for element names.
bool equalsNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace DuiLib
