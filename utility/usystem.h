// Facts about the running system, and handing an address to the browser.
// Stateless free functions; any thread.
#pragma once

#include <windows.h>

#include <string>

#include "common/Handle.h"

namespace utility {
namespace usystem {

// True when the system's major version is above 5 (Vista or later).
bool isVistaOrLater();

// True when the native processor architecture is AMD64 or IA64; a 32-bit
// process on 64-bit Windows answers true, ARM64 and x86 answer false.
bool is64BitSystem();

// Opens the address (or file) with its registered handler, falling back to
// "iexplore.exe address". True when either way was accepted. Never waits.
bool openInBrowser(const std::wstring& address);

// Creates the named mutex. With failIfExists, an existing mutex of that name
// gives an empty handle (another instance holds it).
common::Handle createSingleInstanceMutex(const std::wstring& name, bool initialOwner, bool failIfExists);

// Restores a minimised window and brings it to the front of the z-order.
void bringWindowToFront(HWND window);

// Test seams: the two queries the answers above rest on, replaceable so the
// checks can be run for systems the test machine is not (a 32-bit system,
// Windows XP). Null restores the real query. Set before any other thread asks.
using VersionQuery = DWORD (*)();      // major version; 0 when unknown
using ArchitectureQuery = WORD (*)();  // native PROCESSOR_ARCHITECTURE_* value
void setVersionQuery(VersionQuery query);
void setArchitectureQuery(ArchitectureQuery query);

}  // namespace usystem
}  // namespace utility
