// The text mini-markup of labels with "showhtml": tags written <x ...> or
// {x ...}, closed by </x> or {/x}. A tag letter must be followed by a blank,
// ">" or "}"; anything else is plain text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace DuiLib {

// One run of text in a single style, or a line break.
struct MarkupRun {
    std::wstring text;
    bool newline = false;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool link = false;
    int font = -1;  // font id from <f n>; -1 = the control's font
    bool hasColor = false;
    DWORD color = 0;  // 0x00RRGGBB
    int xOffset = 0;  // from <x n>, added before the run
};

std::vector<MarkupRun> parseTextMarkup(const std::wstring& text);

}  // namespace DuiLib
