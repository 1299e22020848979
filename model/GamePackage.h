// One game to deliver into the emulator after the install: from the launch
// command line or from the channel's document.
#pragma once

#include <string>

struct GamePackage {
    std::wstring url;          // APK or XAPK download address
    std::wstring packageName;  // Android package name
    std::wstring name;         // shown to the user
    std::wstring gameSltUrl;
    std::wstring resolution;  // for the console's modify command
    std::wstring gameId;
    std::wstring iconUrl;
    std::wstring obbUrl;
    bool fromAppStore = false;
    bool isXapk = false;
};
