// Starting other programs and listing running ones. Stateless free
// functions, callable from any thread; every launch is logged.
//
// parameters is the started program's command-line tail, passed unchanged.
// show true shows its window normally, false starts it hidden.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "common/Handle.h"

namespace utility {
namespace process {

// Value of execute's waitMs that waits without limit.
const DWORD kWaitForever = INFINITE;

// Hands the file to the shell (verb "runas" when runas is set and the system
// is Vista or later, else "open"). True when the shell accepted it; never
// waits for the program.
bool shell(const std::wstring& file, const std::wstring& parameters, bool runas, bool show);

// Runs "file" parameters as a child with a new console. waitMs 0: true once
// started. Otherwise waits up to waitMs: true only when the program ended
// with exit code 0; a program still running then is left running.
bool execute(const std::wstring& file, const std::wstring& parameters, bool show, DWORD waitMs);

// Starts "file" parameters as a child with a new console; the handle of the
// new process (empty on failure). processId, when given, receives its id.
common::Handle create(const std::wstring& file, const std::wstring& parameters, bool show,
                      DWORD* processId = nullptr);

// value without white space and double quotes, so that it stays one
// argument wherever it is placed in a command line.
std::wstring plainArgument(const std::wstring& value);

// Executable name (as the system reports it) -> process id of the first
// process listed with that name. The map stays as it was on failure.
using ProcessMap = std::map<std::wstring, DWORD>;
void listProcesses(ProcessMap& processes);

}  // namespace process
}  // namespace utility
