// Stand-ins for the programs the installer drives but does not own: the
// emulator's full installer, the emulator and its console. One executable
// plays every role, chosen by its own file name (see main.cpp).
#pragma once

#include <string>

namespace standin {

// This program's full path, its folder (no trailing backslash) and its file name.
std::wstring selfPath();
std::wstring selfFolder();
std::wstring selfName();

// Appends "<file name>\t<command line>\r\n" (UTF-8) to
// <folder>\standin_record.txt, the record tests read back.
void record(const std::wstring& folder);

int runInstaller();  // the full installer
int runRecorder();   // the emulator, the console and the other emulator processes

}  // namespace standin
