// Readings of the JSON documents the content hosts serve: the player
// addresses, the channel's game packages and settings, and the customer
// information. Pure functions of the document text, so every rule can be
// checked without a server; the model fetches and applies them on worker A.
//
// A text that is empty, not JSON, cut off, larger than kMaxDocumentBytes,
// holding a NUL byte or whose root is not an object changes nothing. Members
// of an unexpected JSON type count as absent, and so do elements of "result"
// that are no objects.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigImp.h"
#include "model/GamePackage.h"

namespace documents {

// Ours are a few kilobytes; anything far larger is not one of them.
const std::size_t kMaxDocumentBytes = 1 << 20;

// Player-address document: "mnq4"/"url" into player4Url, then the edition's
// address into playerUrl ("mnq4", "mnq64", "mnq9" or "mnq" for the 3
// edition; the 4 edition copies player4Url). A missing address leaves its
// field as it was. False, both untouched, when the root is not an object.
bool readPlayerUrls(const std::string& text, Edition edition, std::wstring& player4Url,
                    std::wstring& playerUrl);

// Channel document: appends each element of "result" that names at least a
// url, a game id or a package name, in array order. Names are kept as sent
// (they are shown and passed to the emulator); make them safe with
// utility::filename::safeFileName before they become file names.
void readGamePackages(const std::string& text, std::vector<GamePackage>& target);

// The channel document's settings, each at its default unless the document
// has it with the right type. shortcutName is already a safe file name.
struct ChannelSettings {
    std::wstring launchImage1920Url;
    std::wstring launchImage1080Url;
    std::wstring title;
    std::wstring runApp;
    std::wstring qqLink;
    std::wstring shortcutName;
    std::wstring shortcutUrl;
    std::wstring heapSize;
    bool adShow = true;
    bool cleanModel = false;
    bool runAppStore = true;
    int useRoot = -1;  // -1 not given, 0 false, 1 true
};

// Nothing when the root is not an object.
std::optional<ChannelSettings> readChannelSettings(const std::string& text);

// Customer-info document: the texts under the language profile's key ("en"
// when the key is empty). Each field changes only when its text is there.
void readCustomerInfo(const std::string& text, const std::wstring& profileKey, std::wstring& installErrorText,
                      std::wstring& customerLink);

}  // namespace documents
