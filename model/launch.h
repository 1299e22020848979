// The launch parameters carried by the executable's own name and by its
// command line, read as plain text so they can be checked without a process.
//
// The name "orvane9_kr_com.example.game_3001_GA1.2_x" reads as type orvane9,
// language kr, package com.example.game, openID 3001, tracking id GA1.2; the
// last piece is never used. The command line
// "name=Some Game|package=com.example.game|apkurl=https://..." names a game
// package to deliver.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/ConfigImp.h"

namespace launch {

// Cuts text at every separator, left to right; empty pieces count (between
// two separators, after a trailing one). Each piece loses its leading and
// trailing spaces. An empty text or separator gives no pieces.
std::vector<std::wstring> split(const std::wstring& text, const std::wstring& separator);

// What a base name carries; nothing when it has fewer than four pieces.
struct FileNameParams {
    bool present = false;
    std::wstring type;
    std::wstring language;
    std::wstring openId;
    std::wstring package;
    std::wstring trackingId;
};

// base name: the executable's file name without folder and extension.
FileNameParams parseFileName(const std::wstring& baseName);

// The edition a type word selects (compared lower-cased), if any.
std::optional<Edition> editionForType(const std::wstring& type);

struct CommandLineParams {
    bool hasPairs = false;  // at least one "key=value" piece
    std::wstring name;
    std::wstring package;
    std::wstring apkurl;
};

// Pieces separated by "|", each "key=value" (keys case-insensitive, the last
// of a repeated key wins). Quotes around the whole line are dropped.
CommandLineParams parseCommandLine(const std::wstring& commandLine);

// The leading decimal integer of text, as C's atoi reads it (blanks and a
// sign first; no digits gives 0); saturates instead of overflowing.
long readInteger(const std::wstring& text);

}  // namespace launch
