#include "config/ConfigImp.h"

#include <iterator>

#include "common/log.h"
#include "config/endpoints.h"

using config::endpoints::Host;

namespace {

// One row per edition: Chinese-region text, then international text.
struct EditionRow {
    Edition edition;
    const wchar_t* china;
    const wchar_t* international;
};

const EditionRow kInstallFolders[] = {
    {Edition::Player4, L"Orvane4.0\\", L"4.0\\"},
    {Edition::Player64, L"Orvane64\\", L"Orvane64\\"},
    {Edition::Player9, L"Orvane9\\", L"Orvane9\\"},
    {Edition::Player3, L"Orvane3.0\\", L"Orvane3.0\\"},
};

const EditionRow kSubPaths[] = {
    {Edition::Player4, L"Kavora\\Orvane4.0\\", L"Orvane\\Orvane4.0\\"},
    {Edition::Player64, L"Kavora\\Orvane64\\", L"Orvane\\Orvane64\\"},
    {Edition::Player9, L"Kavora\\Orvane9\\", L"Orvane\\Orvane9\\"},
    {Edition::Player3, L"Kavora\\Orvane3.0\\", L"Orvane\\Orvane3.0\\"},
};

const EditionRow kInstallerPaths[] = {
    {Edition::Player4, L"/download/release/ovinst4.0.exe", L"/download/package/Orvane4.0.exe"},
    {Edition::Player64, L"/download/release/ovinst64.exe", L"/download/package/Orvane64.exe"},
    {Edition::Player9, L"/download/release/ovinst9.exe", L"/download/package/Orvane9.0.exe"},
    {Edition::Player3, L"/download/release/ovinst3.0.exe", L"/download/package/Orvane3.0.exe"},
};

const EditionRow kRegistryKeys[] = {
    {Edition::Player4, L"Software\\kavora\\Orvane", L"Software\\Brennot\\Orvane"},
    {Edition::Player64, L"Software\\kavora\\Orvane64", L"Software\\Brennot\\Orvane64"},
    {Edition::Player9, L"Software\\kavora\\Orvane9", L"Software\\Brennot\\Orvane9"},
    {Edition::Player3, L"Software\\Selvath2\\doririda", L"Software\\Selvath\\Orvane"},
};

template <std::size_t N>
std::wstring pick(const EditionRow (&table)[N], Edition edition, bool china) {
    for (const EditionRow& row : table)
        if (row.edition == edition) return china ? row.china : row.international;
    return std::wstring();
}

struct SiteRow {
    const wchar_t* code;
    Host host;
};

const SiteRow kSites[] = {
    {L"cn", Host::SiteCn}, {L"tw", Host::SiteTw}, {L"kr", Host::SiteKr}, {L"vn", Host::SiteVn},
    {L"th", Host::SiteTh}, {L"ru", Host::SiteRu}, {L"pt", Host::SitePt}, {L"id", Host::SiteId},
    {L"es", Host::SiteEs}, {L"fr", Host::SiteFr}, {L"jp", Host::SiteJp}, {L"ar", Host::SiteAr},
    {L"fa", Host::SiteFa}, {L"de", Host::SiteDe},
};

// Codes the skin has a StringBundle file for (besides "en").
const wchar_t* const kLanguageFiles[] = {L"cn", L"tw", L"kr", L"vn", L"th", L"ru", L"pt", L"fr",
                                         L"jp", L"es", L"id", L"ar", L"fa", L"tr", L"de"};

struct AnalyticsRow {
    const wchar_t* measurementId;
    const wchar_t* apiSecret;
};

const AnalyticsRow kAnalytics[] = {
    {L"G-VQJXXVBOTH", L"g0TMkxpdzPaEMM1ZA7V0Fh"},  // cn, tw
    {L"G-QXRYON8J1D", L"WdQZUm14QhoxhLPAbQcEFU"},  // kr
    {L"G-X71C9JEQQA", L"6HrlEOS47WgjKCu_0xxKhg"},  // vn
    {L"G-2VEYX0GSAX", L"yvBPs0jSO2Jkf08MMF1ulM"},  // th
    {L"G-T6OL1YXM13", L"dFanUrOSE62chn4xdeJg1K"},  // ru
    {L"G-MA2SLLQYCK", L"maQtKnP_VSGVBrYSuIb9OZ"},  // pt
    {L"G-EPZ1QSSK38", L"97TPNbpjava1bMZwIMlvdp"},  // jp
    {L"G-2DEWIO4UJE", L"_LnZ5R-j_8U_m7aSz7NRSO"},  // id
    {L"G-JK329M2WYK", L"E9rwLbAtf6e9cpCGybY9lM"},  // fr
    {L"G-V82HNLNH61", L"GVy1PixOqoRGrB5Vpg5C6Q"},  // es
    {L"G-JMQZMJCIZ7", L"6K1Qjah4dXd3eOa1Zcc_a4"},  // de
    {L"G-ODUPCIVDM3", L"IhYePP2lny2pg17-dUM2jN"},  // ar
    {L"G-SH6DHIWN6K", L"RVpQ09oiVeZWJ9QyucS19A"},  // fa
    {L"G-KTH169DXNC", L"SsUfFgUl8oPK-HJN45P_ED"},  // every other code
};

struct AnalyticsCode {
    const wchar_t* code;
    std::size_t row;
};

const AnalyticsCode kAnalyticsCodes[] = {
    {L"cn", 0}, {L"tw", 0}, {L"kr", 1}, {L"vn", 2}, {L"th", 3},  {L"ru", 4},  {L"pt", 5},
    {L"jp", 6}, {L"id", 7}, {L"fr", 8}, {L"es", 9}, {L"de", 10}, {L"ar", 11}, {L"fa", 12},
};

const AnalyticsRow& analyticsFor(const std::wstring& code) {
    for (const AnalyticsCode& entry : kAnalyticsCodes)
        if (code == entry.code) return kAnalytics[entry.row];
    return kAnalytics[std::size(kAnalytics) - 1];
}

std::wstring contentOrigin(bool china) {
    return config::endpoints::origin(china ? Host::ContentCn : Host::Content);
}

}  // namespace

ConfigImp* ConfigImp::getInstance() {
    // Never destroyed: workers may still read it while the process ends.
    static ConfigImp* const instance = new ConfigImp();
    return instance;
}

void ConfigImp::setPlayer4() {
    setEdition(Edition::Player4);
    OV_LOG("ConfigImp::setPlayer4", L"player is 4");
}

void ConfigImp::setPlayer64() {
    setEdition(Edition::Player64);
    OV_LOG("ConfigImp::setPlayer64", L"player is 64");
}

void ConfigImp::setEdition(Edition edition) {
    std::lock_guard<std::mutex> guard(lock_);
    edition_ = edition;
}

Edition ConfigImp::getEdition() const {
    std::lock_guard<std::mutex> guard(lock_);
    return edition_;
}

void ConfigImp::setLanguageCode(const std::wstring& code) {
    std::lock_guard<std::mutex> guard(lock_);
    languageCode_ = code;
}

std::wstring ConfigImp::getLanguageCode() const {
    std::lock_guard<std::mutex> guard(lock_);
    return languageCode_;
}

void ConfigImp::setAdId(const std::wstring& adId) {
    std::lock_guard<std::mutex> guard(lock_);
    adId_ = adId;
}

std::wstring ConfigImp::getAdId() const {
    std::lock_guard<std::mutex> guard(lock_);
    return adId_;
}

ConfigImp::Profile ConfigImp::profile() const {
    std::lock_guard<std::mutex> guard(lock_);
    return Profile{edition_, languageCode_};
}

std::wstring ConfigImp::getInstallFolderName() const {
    const Profile p = profile();
    return pick(kInstallFolders, p.edition, p.china());
}

std::wstring ConfigImp::getInstallSubPath() const {
    const Profile p = profile();
    return pick(kSubPaths, p.edition, p.china());
}

std::wstring ConfigImp::getProductFolderName() const {
    return L"Orvane";
}

std::wstring ConfigImp::getPlayerUrlDocument() const {
    const bool china = profile().china();
    return contentOrigin(china) + (china ? L"/ov/kavora" : L"/player_files/en/kavora");
}

std::wstring ConfigImp::getFullInstallerUrl() const {
    const Profile p = profile();
    return contentOrigin(p.china()) + pick(kInstallerPaths, p.edition, p.china());
}

std::wstring ConfigImp::getRegistryKey() const {
    const Profile p = profile();
    return pick(kRegistryKeys, p.edition, p.china());
}

std::wstring ConfigImp::getInstallerFileName(const std::wstring& folder) const {
    return folder + (profile().china() ? L"\\ovinst.exe" : L"\\Orvane.exe");
}

std::wstring ConfigImp::getHomepage() const {
    const std::wstring code = getLanguageCode();
    Host site = Host::Site;
    for (const SiteRow& row : kSites)
        if (code == row.code) site = row.host;
    return config::endpoints::origin(site) + L"/";
}

std::wstring ConfigImp::getLanguageFile() const {
    const std::wstring code = getLanguageCode();
    std::wstring file = L"en";
    for (const wchar_t* known : kLanguageFiles)
        if (code == known) file = code;
    return L"language\\downloader_" + file + L".xml";
}

std::wstring ConfigImp::getOpenIdConfigUrl(const std::wstring& openId) const {
    return contentOrigin(profile().china()) + L"/player_files/openidconfig/" + openId + L".data";
}

std::wstring ConfigImp::getMeasurementId() const {
    return analyticsFor(getLanguageCode()).measurementId;
}

std::wstring ConfigImp::getApiSecret() const {
    return analyticsFor(getLanguageCode()).apiSecret;
}
