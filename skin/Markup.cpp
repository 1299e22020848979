#include "skin/Markup.h"

#include <windows.h>

#include <cwctype>

namespace DuiLib {
namespace {

const wchar_t kExpectedStartTag[] = L"Expected start tag";
const wchar_t kBadElementName[] = L"Error parsing element name";
const wchar_t kExpectedTagClose[] = L"Expected start-tag closing";
const wchar_t kExpectedEndTag[] = L"Expected end-tag start";
const wchar_t kUnmatchedClose[] = L"Unmatched closing tag";
const wchar_t kBadAttributes[] = L"Error while parsing attributes";
const wchar_t kExpectedValue[] = L"Expected attribute value";
const wchar_t kBadAttributeString[] = L"Error while parsing attribute string";

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool isNameStart(wchar_t c) {
    return std::iswalpha(c) || c == L'_' || c == L':' || c >= 0x80;
}

bool isNameChar(wchar_t c) {
    return isNameStart(c) || std::iswdigit(c) || c == L'-' || c == L'.';
}

struct Entity {
    const wchar_t* name;
    wchar_t value;
};
const Entity kEntities[] = {
    {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&amp;", L'&'}, {L"&apos;", L'\''}, {L"&quot;", L'"'}};

void appendDecoded(const std::wstring& text, size_t begin, size_t end, std::wstring& out) {
    for (size_t i = begin; i < end; ++i) {
        bool decoded = false;
        if (text[i] == L'&') {
            for (const Entity& e : kEntities) {
                size_t n = wcslen(e.name);
                if (i + n <= end && text.compare(i, n, e.name) == 0) {
                    out += e.value;
                    i += n - 1;
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded) out += text[i];
    }
}

class Parser {
public:
    explicit Parser(const std::wstring& text) : s_(text) {}

    bool parse(MarkupNode& root) {
        if (!skipMisc()) return false;
        if (!startsWith(L"<") || pos_ + 1 >= s_.size() || !isNameStart(s_[pos_ + 1]))
            return fail(kExpectedStartTag);
        if (!parseElement(root)) return false;
        if (!skipMisc()) return false;
        if (pos_ < s_.size()) return fail(startsWith(L"</") ? kUnmatchedClose : kExpectedEndTag);
        return true;
    }

    MarkupError error() const { return error_; }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    bool startsWith(const wchar_t* p) const { return s_.compare(pos_, wcslen(p), p) == 0; }
    void skipBlanks() {
        while (!atEnd() && isBlank(s_[pos_])) ++pos_;
    }

    bool fail(const wchar_t* message) {
        int line = 1, column = 1;
        for (size_t i = 0; i < pos_ && i < s_.size(); ++i) {
            if (s_[i] == L'\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        error_.message = message;
        error_.location = L"line " + std::to_wstring(line) + L", column " + std::to_wstring(column);
        return false;
    }

    // Moves past `close`, which must follow; false (with the error) otherwise.
    bool skipPast(const wchar_t* close) {
        size_t end = s_.find(close, pos_);
        if (end == std::wstring::npos) return fail(kExpectedTagClose);
        pos_ = end + wcslen(close);
        return true;
    }

    bool skipDoctype() {
        int bracket = 0;
        for (; !atEnd(); ++pos_) {
            wchar_t c = s_[pos_];
            if (c == L'[') ++bracket;
            if (c == L']') --bracket;
            if (c == L'>' && bracket <= 0) {
                ++pos_;
                return true;
            }
        }
        return fail(kExpectedTagClose);
    }

    // Blanks, comments, processing instructions and the document type
    // outside the root element.
    bool skipMisc() {
        for (;;) {
            skipBlanks();
            if (startsWith(L"<?")) {
                if (!skipPast(L"?>")) return false;
            } else if (startsWith(L"<!--")) {
                pos_ += 4;
                if (!skipPast(L"-->")) return false;
            } else if (startsWith(L"<!DOCTYPE")) {
                if (!skipDoctype()) return false;
            } else {
                return true;
            }
        }
    }

    bool readName(std::wstring& name) {
        size_t start = pos_;
        if (atEnd() || !isNameStart(s_[pos_])) return false;
        while (!atEnd() && isNameChar(s_[pos_])) ++pos_;
        name = s_.substr(start, pos_ - start);
        return true;
    }

    // After the element name: attributes up to ">" or "/>". `empty` tells
    // which of the two ended the tag.
    bool parseAttributes(MarkupNode& node, bool& empty) {
        for (;;) {
            size_t before = pos_;
            skipBlanks();
            if (atEnd()) return fail(kExpectedTagClose);
            if (s_[pos_] == L'>') {
                ++pos_;
                empty = false;
                return true;
            }
            if (s_[pos_] == L'/') {
                ++pos_;
                if (atEnd() || s_[pos_] != L'>') return fail(kExpectedTagClose);
                ++pos_;
                empty = true;
                return true;
            }
            std::wstring name;
            if (pos_ == before || !readName(name)) return fail(kBadAttributes);  // a blank must separate
            skipBlanks();
            if (atEnd() || s_[pos_] != L'=') return fail(kExpectedValue);
            ++pos_;
            skipBlanks();
            if (atEnd() || (s_[pos_] != L'"' && s_[pos_] != L'\'')) return fail(kExpectedValue);
            wchar_t quote = s_[pos_++];
            size_t end = s_.find(quote, pos_);
            if (end == std::wstring::npos) return fail(kBadAttributeString);
            std::wstring value;
            appendDecoded(s_, pos_, end, value);
            node.attributes.emplace_back(std::move(name), std::move(value));
            pos_ = end + 1;
        }
    }

    bool parseStartTag(MarkupNode& node, bool& empty) {
        ++pos_;  // '<'
        if (!readName(node.name)) return fail(kBadElementName);
        return parseAttributes(node, empty);
    }

    bool parseEndTag(const MarkupNode& open) {
        size_t start = pos_;
        pos_ += 2;
        std::wstring name;
        if (!readName(name) || name != open.name) {
            pos_ = start;
            return fail(kUnmatchedClose);
        }
        skipBlanks();
        if (atEnd() || s_[pos_] != L'>') return fail(kExpectedTagClose);
        ++pos_;
        return true;
    }

    // Parses the element at pos_ and everything inside it. Iterative, so a
    // deeply nested document cannot exhaust the stack.
    bool parseElement(MarkupNode& root) {
        bool empty = false;
        if (!parseStartTag(root, empty)) return false;
        if (empty) return true;
        std::vector<MarkupNode*> open{&root};
        while (!open.empty()) {
            MarkupNode& node = *open.back();
            if (atEnd()) return fail(kExpectedEndTag);
            if (startsWith(L"</")) {
                if (!parseEndTag(node)) return false;
                open.pop_back();
            } else if (startsWith(L"<!--")) {
                pos_ += 4;
                if (!skipPast(L"-->")) return false;
            } else if (startsWith(L"<![CDATA[")) {
                size_t begin = pos_ + 9;
                size_t end = s_.find(L"]]>", begin);
                if (end == std::wstring::npos) return fail(kExpectedTagClose);
                node.text.append(s_, begin, end - begin);
                pos_ = end + 3;
            } else if (startsWith(L"<?")) {
                if (!skipPast(L"?>")) return false;
            } else if (startsWith(L"<")) {
                node.children.emplace_back();
                MarkupNode& child = node.children.back();
                if (!parseStartTag(child, empty)) return false;
                if (!empty) open.push_back(&child);
            } else {
                size_t end = s_.find(L'<', pos_);
                if (end == std::wstring::npos) end = s_.size();
                appendDecoded(s_, pos_, end, node.text);
                pos_ = end;
            }
        }
        return true;
    }

    const std::wstring& s_;
    size_t pos_ = 0;
    MarkupError error_;
};

}  // namespace

bool equalsNoCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

MarkupNode::~MarkupNode() {
    std::vector<MarkupNode> pending = std::move(children);
    while (!pending.empty()) {
        MarkupNode last = std::move(pending.back());
        pending.pop_back();
        for (MarkupNode& child : last.children) pending.push_back(std::move(child));
        last.children.clear();
    }
}

const std::wstring* MarkupNode::attribute(const std::wstring& key, bool ignoreCase) const {
    const std::wstring* found = nullptr;
    for (const auto& a : attributes)
        if (ignoreCase ? equalsNoCase(a.first, key) : a.first == key) found = &a.second;
    return found;
}

bool parseMarkup(const std::wstring& text, MarkupNode& root, MarkupError& error) {
    root = MarkupNode();
    Parser parser(text);
    if (parser.parse(root)) return true;
    root = MarkupNode();
    error = parser.error();
    return false;
}

std::wstring markupText(const unsigned char* bytes, size_t length) {
    if (length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::wstring text((length - 2) / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(bytes[2 + 2 * i] | (bytes[3 + 2 * i] << 8));
        return text;
    }
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        length -= 3;
    }
    if (length == 0) return std::wstring();
    const char* data = reinterpret_cast<const char*>(bytes);
    int n = MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), nullptr, 0);
    std::wstring text(n > 0 ? n : 0, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), &text[0], n);
    return text;
}

}  // namespace DuiLib
