// Starting the emulator without the installer's administrator rights: from
// Windows 8 on with the access token of the user's shell (explorer.exe),
// falling back to an ordinary shell launch. DownloaderModel's launch
// operations live in PlayerLaunch.cpp.
#pragma once

#include <string>

#include "common/Handle.h"

namespace playerlaunch {

// Longest command line the token launch takes, in characters.
const std::size_t kMaxCommandLine = 1023;

// The processes ended before an install, in this order.
extern const wchar_t* const kEmulatorProcesses[4];

// "downloadpackage=P|package=P" for a package P (made one argument), or
// empty for none.
std::wstring packageArguments(const std::wstring& package);

// "\"program\" arguments" (also for empty arguments), or the bare program
// when arguments is null.
std::wstring tokenCommandLine(const std::wstring& program, const std::wstring* arguments);

// Starts program with the shell's token: 0 on success, -1 on failure (the
// system's last error says why; a command line over kMaxCommandLine
// characters is refused with a log line).
int runWithShellToken(const std::wstring& program, const std::wstring* arguments);

// A primary token duplicated from the user's shell process, or empty.
common::Handle getShellToken();

// True for Windows 8 (6.2) and later as the system reports itself.
bool isWindows8OrLater();

}  // namespace playerlaunch
