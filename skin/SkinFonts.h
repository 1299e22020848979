// The fonts carried in the executable (resource "ZIPRES"/130): unpacked to
// the data folder on every start, and the language's font file made
// available to this process only.
#pragma once

#include <windows.h>

#include <string>

namespace DuiLib {

// Application-data folder + "\rodavezeroru_da\fonts\".
std::wstring skinFontsFolder();

// Creates `folder`, unpacks the fonts archive of `instance` into it and, when
// `fontFile` is not empty, adds folder + fontFile as a private font (logged
// under "DownloadImpl::entrance"). Returns the path that was added, or empty
// when nothing was added; hand it to releaseSkinFont at exit.
std::wstring prepareSkinFonts(HINSTANCE instance, const std::wstring& folder, const std::wstring& fontFile);

// Removes a private font added by prepareSkinFonts; false when it was not
// there (or the path is empty).
bool releaseSkinFont(const std::wstring& path);

}  // namespace DuiLib
