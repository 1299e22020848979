// Text conversions around the edges of the program (network bodies, narrow
// APIs). Inside, texts are UTF-16.
//
// Each returns a new string. A null input, or a negative length other than
// -1, gives an empty result; -1 means "up to the terminating NUL", which is
// not copied. A conversion that yields nothing gives an empty result.
#pragma once

#include <string>

namespace common {

// System code page -> UTF-16.
std::wstring ansiToWide(const char* text, int length = -1);
std::wstring ansiToWide(const std::string& text);

// UTF-8 -> UTF-16.
std::wstring utf8ToWide(const char* text, int length = -1);
std::wstring utf8ToWide(const std::string& text);

// UTF-16 -> system code page; characters the code page lacks become its
// default character.
std::string wideToAnsi(const wchar_t* text, int length = -1);
std::string wideToAnsi(const std::wstring& text);

// System code page -> UTF-8 (through UTF-16).
std::string ansiToUtf8(const char* text, int length = -1);
std::string ansiToUtf8(const std::string& text);

}  // namespace common
