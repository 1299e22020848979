// The edition profile's tables: each edition and region, the language-bound
// entries, the switch to the 4 edition, and where the hosts come from.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "config/BuildSettings.h"
#include "config/ConfigImp.h"
#include "config/endpoints.h"

namespace {

using config::endpoints::Host;

const Host kAllHosts[] = {Host::ContentCn, Host::Content, Host::SiteCn, Host::SiteTw,   Host::SiteKr,
                          Host::SiteVn,    Host::SiteTh,  Host::SiteRu, Host::SitePt,   Host::SiteId,
                          Host::SiteEs,    Host::SiteFr,  Host::SiteJp, Host::SiteAr,   Host::SiteFa,
                          Host::SiteDe,    Host::Site,    Host::Report, Host::Analytics};

std::wstring overrideName(Host host) {
    return std::wstring(L"ORVANE_TEST_HOST_") + config::endpoints::key(host);
}

void clearOverrides() {
    SetEnvironmentVariableW(L"ORVANE_TEST_HOST", nullptr);
    for (Host host : kAllHosts) SetEnvironmentVariableW(overrideName(host).c_str(), nullptr);
}

void resetProfile() {
    ConfigImp* config = ConfigImp::getInstance();
    config->setEdition(Edition::Player9);
    config->setLanguageCode(L"en");
    config->setAdId(L"Downloader");
}

// Every host gets a distinct origin, "http://content_cn.test" and so on, so
// each lookup shows which host it chose.
class ConfigTables : public testing::Test {
protected:
    void SetUp() override {
        if (!ORVANE_TEST_ENDPOINTS) GTEST_SKIP() << "host overrides exist only in test builds";
        clearOverrides();
        for (Host host : kAllHosts) {
            SetEnvironmentVariableW(overrideName(host).c_str(), originFor(host).c_str());
        }
        resetProfile();
    }
    void TearDown() override {
        clearOverrides();
        resetProfile();
    }

    static std::wstring originFor(Host host) {
        std::wstring name = config::endpoints::key(host);
        for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
        return L"http://" + name + L".test";
    }

    ConfigImp* config = ConfigImp::getInstance();
};

struct EditionCase {
    Edition edition;
    const wchar_t* code;
    const wchar_t* folderName;
    const wchar_t* subPath;
    std::wstring installerUrl;
    const wchar_t* registryKey;
};

TEST_F(ConfigTables, EachEditionAndRegionHasItsFoldersKeysAndInstaller) {
    const std::wstring cn = L"http://content_cn.test";
    const std::wstring intl = L"http://content.test";
    const EditionCase cases[] = {
        {Edition::Player4, L"cn", L"Orvane4.0\\", L"Kavora\\Orvane4.0\\",
         cn + L"/download/release/ovinst4.0.exe", L"Software\\kavora\\Orvane"},
        {Edition::Player64, L"cn", L"Orvane64\\", L"Kavora\\Orvane64\\",
         cn + L"/download/release/ovinst64.exe", L"Software\\kavora\\Orvane64"},
        {Edition::Player9, L"cn", L"Orvane9\\", L"Kavora\\Orvane9\\", cn + L"/download/release/ovinst9.exe",
         L"Software\\kavora\\Orvane9"},
        {Edition::Player3, L"cn", L"Orvane3.0\\", L"Kavora\\Orvane3.0\\",
         cn + L"/download/release/ovinst3.0.exe", L"Software\\Selvath2\\doririda"},
        {Edition::Player4, L"en", L"4.0\\", L"Orvane\\Orvane4.0\\", intl + L"/download/package/Orvane4.0.exe",
         L"Software\\Brennot\\Orvane"},
        {Edition::Player64, L"en", L"Orvane64\\", L"Orvane\\Orvane64\\",
         intl + L"/download/package/Orvane64.exe", L"Software\\Brennot\\Orvane64"},
        {Edition::Player9, L"en", L"Orvane9\\", L"Orvane\\Orvane9\\",
         intl + L"/download/package/Orvane9.0.exe", L"Software\\Brennot\\Orvane9"},
        {Edition::Player3, L"en", L"Orvane3.0\\", L"Orvane\\Orvane3.0\\",
         intl + L"/download/package/Orvane3.0.exe", L"Software\\Selvath\\Orvane"},
        // Only "cn" itself is the Chinese region: not "tw", not "CN".
        {Edition::Player9, L"tw", L"Orvane9\\", L"Orvane\\Orvane9\\",
         intl + L"/download/package/Orvane9.0.exe", L"Software\\Brennot\\Orvane9"},
        {Edition::Player4, L"CN", L"4.0\\", L"Orvane\\Orvane4.0\\", intl + L"/download/package/Orvane4.0.exe",
         L"Software\\Brennot\\Orvane"},
        {Edition::Player3, L"zz", L"Orvane3.0\\", L"Orvane\\Orvane3.0\\",
         intl + L"/download/package/Orvane3.0.exe", L"Software\\Selvath\\Orvane"},
    };
    for (const EditionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "edition " << static_cast<int>(c.edition) << " code "
                                        << std::string(c.code, c.code + wcslen(c.code)));
        config->setEdition(c.edition);
        config->setLanguageCode(c.code);
        EXPECT_EQ(config->getInstallFolderName(), c.folderName);
        EXPECT_EQ(config->getInstallSubPath(), c.subPath);
        EXPECT_EQ(config->getFullInstallerUrl(), c.installerUrl);
        EXPECT_EQ(config->getRegistryKey(), c.registryKey);
        EXPECT_EQ(config->getProductFolderName(), L"Orvane");
    }
}

struct LanguageCase {
    const wchar_t* code;
    const wchar_t* homepage;
    const wchar_t* languageFile;
    const wchar_t* playerDocument;
    const wchar_t* openIdDocument;  // for openID "2001"
    const wchar_t* installerFile;   // in folder "C:\dl"
};

TEST_F(ConfigTables, LanguageDecidesSiteStringsAndContentHost) {
    const LanguageCase cases[] = {
        {L"cn", L"http://site_cn.test/", L"language\\downloader_cn.xml", L"http://content_cn.test/ov/kavora",
         L"http://content_cn.test/player_files/openidconfig/2001.data", L"C:\\dl\\ovinst.exe"},
        {L"tw", L"http://site_tw.test/", L"language\\downloader_tw.xml",
         L"http://content.test/player_files/en/kavora",
         L"http://content.test/player_files/openidconfig/2001.data", L"C:\\dl\\Orvane.exe"},
        {L"kr", L"http://site_kr.test/", L"language\\downloader_kr.xml", nullptr, nullptr, nullptr},
        {L"vn", L"http://site_vn.test/", L"language\\downloader_vn.xml", nullptr, nullptr, nullptr},
        {L"th", L"http://site_th.test/", L"language\\downloader_th.xml", nullptr, nullptr, nullptr},
        {L"ru", L"http://site_ru.test/", L"language\\downloader_ru.xml", nullptr, nullptr, nullptr},
        {L"pt", L"http://site_pt.test/", L"language\\downloader_pt.xml", nullptr, nullptr, nullptr},
        {L"id", L"http://site_id.test/", L"language\\downloader_id.xml", nullptr, nullptr, nullptr},
        {L"es", L"http://site_es.test/", L"language\\downloader_es.xml", nullptr, nullptr, nullptr},
        {L"fr", L"http://site_fr.test/", L"language\\downloader_fr.xml", nullptr, nullptr, nullptr},
        {L"jp", L"http://site_jp.test/", L"language\\downloader_jp.xml", nullptr, nullptr, nullptr},
        {L"ar", L"http://site_ar.test/", L"language\\downloader_ar.xml", nullptr, nullptr, nullptr},
        {L"fa", L"http://site_fa.test/", L"language\\downloader_fa.xml", nullptr, nullptr, nullptr},
        {L"de", L"http://site_de.test/", L"language\\downloader_de.xml", nullptr, nullptr, nullptr},
        // "tr" has its own strings but the international site.
        {L"tr", L"http://site.test/", L"language\\downloader_tr.xml", nullptr, nullptr, nullptr},
        {L"en", L"http://site.test/", L"language\\downloader_en.xml",
         L"http://content.test/player_files/en/kavora",
         L"http://content.test/player_files/openidconfig/2001.data", L"C:\\dl\\Orvane.exe"},
        {L"zz", L"http://site.test/", L"language\\downloader_en.xml", nullptr, nullptr, nullptr},
        {L"it", L"http://site.test/", L"language\\downloader_en.xml", nullptr, nullptr, nullptr},
        {L"CN", L"http://site.test/", L"language\\downloader_en.xml",
         L"http://content.test/player_files/en/kavora",
         L"http://content.test/player_files/openidconfig/2001.data", L"C:\\dl\\Orvane.exe"},
        {L"", L"http://site.test/", L"language\\downloader_en.xml", nullptr, nullptr, nullptr},
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(std::string(c.code, c.code + wcslen(c.code)));
        config->setLanguageCode(c.code);
        EXPECT_EQ(config->getHomepage(), c.homepage);
        EXPECT_EQ(config->getLanguageFile(), c.languageFile);
        if (c.playerDocument) {
            EXPECT_EQ(config->getPlayerUrlDocument(), c.playerDocument);
        }
        if (c.openIdDocument) {
            EXPECT_EQ(config->getOpenIdConfigUrl(L"2001"), c.openIdDocument);
        }
        if (c.installerFile) {
            EXPECT_EQ(config->getInstallerFileName(L"C:\\dl"), c.installerFile);
        }
    }
}

TEST_F(ConfigTables, AnalyticsPropertyFollowsTheLanguageRows) {
    // Codes by row; every code outside the rows shares the last one.
    const std::vector<std::vector<const wchar_t*>> rows = {
        {L"cn", L"tw"}, {L"kr"}, {L"vn"}, {L"th"}, {L"ru"}, {L"pt"}, {L"jp"},
        {L"id"},        {L"fr"}, {L"es"}, {L"de"}, {L"ar"}, {L"fa"}, {L"en", L"tr", L"zz", L"CN", L"it", L""},
    };
    std::set<std::wstring> ids;
    std::set<std::wstring> secrets;
    for (const auto& row : rows) {
        config->setLanguageCode(row.front());
        const std::wstring id = config->getMeasurementId();
        const std::wstring secret = config->getApiSecret();
        ids.insert(id);
        secrets.insert(secret);

        ASSERT_EQ(id.size(), 12u);
        EXPECT_EQ(id.substr(0, 2), L"G-");
        for (wchar_t c : id.substr(2))
            EXPECT_TRUE((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) << id;
        ASSERT_EQ(secret.size(), 22u);
        for (wchar_t c : secret) {
            const bool urlSafe = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
                                 (c >= L'0' && c <= L'9') || c == L'-' || c == L'_';
            EXPECT_TRUE(urlSafe) << secret;
        }

        for (const wchar_t* code : row) {
            config->setLanguageCode(code);
            EXPECT_EQ(config->getMeasurementId(), id) << code;
            EXPECT_EQ(config->getApiSecret(), secret) << code;
        }
    }
    EXPECT_EQ(ids.size(), 14u);
    EXPECT_EQ(secrets.size(), 14u);
}

TEST_F(ConfigTables, SwitchesBetweenEditionsSetExactlyOneProfile) {
    struct Case {
        void (*apply)(ConfigImp*);
        bool player4, player64, defaultPlayer;
        const wchar_t* folderName;
        const wchar_t* subPath;
    };
    const Case cases[] = {
        {[](ConfigImp* c) { c->setPlayer4(); }, true, false, false, L"4.0\\", L"Orvane\\Orvane4.0\\"},
        {[](ConfigImp* c) { c->setPlayer64(); }, false, true, false, L"Orvane64\\", L"Orvane\\Orvane64\\"},
        {[](ConfigImp* c) { c->setEdition(Edition::Player3); }, false, false, false, L"Orvane3.0\\",
         L"Orvane\\Orvane3.0\\"},
        {[](ConfigImp* c) { c->setEdition(Edition::Player9); }, false, false, true, L"Orvane9\\",
         L"Orvane\\Orvane9\\"},
    };
    // From every profile to every other, so no flag of the previous one survives.
    for (const Case& from : cases) {
        for (const Case& to : cases) {
            from.apply(config);
            to.apply(config);
            EXPECT_EQ(config->isPlayer4(), to.player4);
            EXPECT_EQ(config->isPlayer64(), to.player64);
            EXPECT_EQ(config->isDefaultPlayer(), to.defaultPlayer);
            EXPECT_EQ(config->getInstallFolderName(), to.folderName);
            EXPECT_EQ(config->getInstallSubPath(), to.subPath);
        }
    }
}

// Where a test build's hosts come from.
class Endpoints : public testing::Test {
protected:
    void SetUp() override {
        if (!ORVANE_TEST_ENDPOINTS) GTEST_SKIP() << "overrides exist only in test builds";
        clearOverrides();
    }
    void TearDown() override { clearOverrides(); }
};

TEST_F(Endpoints, WithoutOverridesEveryHostIsTheBuiltInLoopbackOrigin) {
    for (Host host : kAllHosts) EXPECT_EQ(config::endpoints::origin(host), ORVANE_TEST_ORIGIN);
    EXPECT_EQ(std::wstring(ORVANE_TEST_ORIGIN).rfind(L"http://localhost:", 0), 0u);
}

TEST_F(Endpoints, OneRoleOverrideBeatsTheCommonOneWhichCoversTheRest) {
    SetEnvironmentVariableW(L"ORVANE_TEST_HOST", L"http://localhost:9100/");
    SetEnvironmentVariableW(L"ORVANE_TEST_HOST_REPORT", L"https://localhost:9200");
    for (Host host : kAllHosts) {
        const std::wstring expected =
            host == Host::Report ? L"https://localhost:9200" : L"http://localhost:9100";
        EXPECT_EQ(config::endpoints::origin(host), expected) << config::endpoints::key(host);
    }
    // An empty override counts as none.
    SetEnvironmentVariableW(L"ORVANE_TEST_HOST_REPORT", L"");
    EXPECT_EQ(config::endpoints::origin(Host::Report), L"http://localhost:9100");
}

TEST_F(Endpoints, KeysAreDistinct) {
    std::set<std::wstring> keys;
    for (Host host : kAllHosts) keys.insert(config::endpoints::key(host));
    EXPECT_EQ(keys.size(), std::size(kAllHosts));
}

}  // namespace
