#include "skin/TextMarkup.h"

#include <cwctype>

namespace DuiLib {
namespace {

bool isTagEnd(wchar_t c) {
    return c == L'>' || c == L'}';
}
bool isTagFollower(wchar_t c) {
    return c == L' ' || c == L'\t' || isTagEnd(c);
}

struct Style {
    int bold = 0, italic = 0, underline = 0, link = 0;
    std::vector<int> fonts;
    std::vector<DWORD> colors;
};

class MarkupReader {
public:
    explicit MarkupReader(const std::wstring& text) : s_(text) {}

    std::vector<MarkupRun> read() {
        while (pos_ < s_.size()) {
            if (!readTag()) pending_ += s_[pos_++];
        }
        flush();
        return runs_;
    }

private:
    // A tag at pos_: consumes it and returns true; false leaves it as text.
    bool readTag() {
        wchar_t open = s_[pos_];
        if (open != L'<' && open != L'{') return false;
        size_t p = pos_ + 1;
        bool closing = p < s_.size() && s_[p] == L'/';
        if (closing) ++p;
        if (p + 1 >= s_.size() || !std::iswalpha(s_[p]) || !isTagFollower(s_[p + 1])) return false;
        if (closing && !isTagEnd(s_[p + 1])) return false;
        size_t end = s_.find_first_of(L">}", p + 1);
        if (end == std::wstring::npos) return false;
        wchar_t tag = static_cast<wchar_t>(std::towlower(s_[p]));
        std::wstring arg = s_.substr(p + 1, end - p - 1);
        size_t first = arg.find_first_not_of(L" \t");
        arg = first == std::wstring::npos ? std::wstring() : arg.substr(first);
        pos_ = end + 1;
        flush();
        closing ? close(tag) : openTag(tag, arg);
        return true;
    }

    void openTag(wchar_t tag, const std::wstring& arg) {
        switch (tag) {
            case L'b':
                ++style_.bold;
                break;
            case L'i':
                if (arg.empty()) ++style_.italic;  // with an argument it names an image, not drawn here
                break;
            case L'u':
                ++style_.underline;
                break;
            case L'a':
                ++style_.link;
                break;
            case L'c': {
                std::wstring hex = arg.compare(0, 1, L"#") == 0 ? arg.substr(1) : arg;
                style_.colors.push_back(static_cast<DWORD>(wcstoul(hex.c_str(), nullptr, 16)) & 0x00FFFFFF);
                break;
            }
            case L'f':
                style_.fonts.push_back(static_cast<int>(wcstol(arg.c_str(), nullptr, 10)));
                break;
            case L'n':
                newline();
                break;
            case L'p':
                if (!runs_.empty()) newline();
                break;
            case L'x':
                nextOffset_ += static_cast<int>(wcstol(arg.c_str(), nullptr, 10));
                break;
            case L'r':
                readRaw();
                break;
            default:
                break;  // s, y, h, v, z: accepted, no effect on drawing
        }
    }

    void close(wchar_t tag) {
        switch (tag) {
            case L'b':
                style_.bold -= style_.bold > 0;
                break;
            case L'i':
                style_.italic -= style_.italic > 0;
                break;
            case L'u':
                style_.underline -= style_.underline > 0;
                break;
            case L'a':
                style_.link -= style_.link > 0;
                break;
            case L'c':
                if (!style_.colors.empty()) style_.colors.pop_back();
                break;
            case L'f':
                if (!style_.fonts.empty()) style_.fonts.pop_back();
                break;
            default:
                break;
        }
    }

    // <r>: everything up to </r> or {/r} is plain text.
    void readRaw() {
        size_t a = s_.find(L"</r>", pos_), b = s_.find(L"{/r}", pos_);
        size_t end = a < b ? a : b;
        if (end == std::wstring::npos) end = s_.size();
        pending_ += s_.substr(pos_, end - pos_);
        pos_ = end == s_.size() ? end : end + 4;
        flush();
    }

    void newline() {
        MarkupRun run;
        run.newline = true;
        runs_.push_back(run);
    }

    void flush() {
        if (pending_.empty()) return;
        MarkupRun run;
        run.text = pending_;
        run.bold = style_.bold > 0;
        run.italic = style_.italic > 0;
        run.underline = style_.underline > 0;
        run.link = style_.link > 0;
        run.font = style_.fonts.empty() ? -1 : style_.fonts.back();
        run.hasColor = !style_.colors.empty();
        run.color = run.hasColor ? style_.colors.back() : 0;
        run.xOffset = nextOffset_;
        nextOffset_ = 0;
        runs_.push_back(run);
        pending_.clear();
    }

    const std::wstring& s_;
    size_t pos_ = 0;
    std::wstring pending_;
    Style style_;
    int nextOffset_ = 0;
    std::vector<MarkupRun> runs_;
};

}  // namespace

std::vector<MarkupRun> parseTextMarkup(const std::wstring& text) {
    return MarkupReader(text).read();
}

}  // namespace DuiLib
