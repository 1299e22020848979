// Turns names that come from outside the program (game, package and shortcut
// names in the channel's documents) into names that are safe as one file
// name inside a folder of ours. The program runs elevated, so a name such as
// "..\..\Startup\x" must never reach a path unchanged.
//
//   const std::wstring file = folder + L"\\" + utility::filename::safeFileName(game.name) + L".apk";
#pragma once

#include <cstddef>
#include <string>

namespace utility {
namespace filename {

// Longest name safeFileName returns, in UTF-16 units. Leaves room under
// MAX_PATH for the install folder and an extension.
const std::size_t kMaxSafeNameLength = 80;

// The name with path separators, the characters Windows reserves (<>:"|?*),
// control characters and bidirectional overrides turned into "_", every run
// of dots made one dot, leading and trailing dots and blanks removed, and a
// "_" put before a device name (CON, NUL, COM1, LPT1, ... with or without an
// extension); cut to maxLength without splitting a surrogate pair. Empty when
// nothing usable is left (".." or blanks): the caller then picks its own name.
std::wstring safeFileName(const std::wstring& name, std::size_t maxLength = kMaxSafeNameLength);

}  // namespace filename
}  // namespace utility
