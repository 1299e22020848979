// The edition profile: which of the four emulator editions this run installs
// and which language (and so which region) it serves, and every folder name,
// registry key and address that follows from those two facts.
//
// Process-wide: created with the defaults (edition 9, language "en", ad id
// "Downloader") by the first getInstance(), never destroyed. The setters run
// on the window thread; any thread may read. Each lookup computes a new
// string from the current state, so callers that keep a result refresh it
// after a switch.
//
//   std::wstring key = ConfigImp::getInstance()->getRegistryKey();
#pragma once

#include <mutex>
#include <string>

// The four editions; the 9 edition is the default one.
enum class Edition { Player4, Player64, Player9, Player3 };

class ConfigImp {
public:
    static ConfigImp* getInstance();

    ConfigImp(const ConfigImp&) = delete;
    ConfigImp& operator=(const ConfigImp&) = delete;

    void setPlayer4();   // logs "player is 4"
    void setPlayer64();  // logs "player is 64"
    // Any edition, without a log line (the launch name's 9 and 3 types).
    void setEdition(Edition edition);
    Edition getEdition() const;
    // The three edition flags; all false means the 3 edition.
    bool isPlayer4() const { return getEdition() == Edition::Player4; }
    bool isPlayer64() const { return getEdition() == Edition::Player64; }
    bool isDefaultPlayer() const { return getEdition() == Edition::Player9; }

    // Short language code; "cn" selects the Chinese region, anything else
    // (compared case-sensitively) the international one.
    void setLanguageCode(const std::wstring& code);
    std::wstring getLanguageCode() const;
    void setAdId(const std::wstring& adId);
    std::wstring getAdId() const;

    std::wstring getInstallFolderName() const;  // "Orvane9\"
    std::wstring getInstallSubPath() const;     // "Orvane\Orvane9\"
    std::wstring getProductFolderName() const;  // "Orvane"
    std::wstring getPlayerUrlDocument() const;
    std::wstring getFullInstallerUrl() const;
    std::wstring getRegistryKey() const;  // under HKEY_CURRENT_USER
    std::wstring getInstallerFileName(const std::wstring& folder) const;
    std::wstring getHomepage() const;
    std::wstring getLanguageFile() const;  // path inside the skin
    std::wstring getOpenIdConfigUrl(const std::wstring& openId) const;
    std::wstring getMeasurementId() const;
    std::wstring getApiSecret() const;

private:
    // Edition and language code read together, so a lookup never mixes two states.
    struct Profile {
        Edition edition;
        std::wstring languageCode;
        bool china() const { return languageCode == L"cn"; }
    };

    ConfigImp() = default;
    Profile profile() const;

    mutable std::mutex lock_;  // the language switch may run while workers read
    Edition edition_ = Edition::Player9;
    std::wstring languageCode_ = L"en";
    std::wstring adId_ = L"Downloader";
};
