// The readings of the player-address, channel and customer-info documents as
// plain text, and how the model applies the channel document to its fields.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "common/textconv.h"
#include "model/DownloaderModel.h"
#include "model/documents.h"
#include "support/TestSupport.h"

// Printed by gtest when a comparison fails.
void PrintTo(const GamePackage& g, std::ostream* out) {
    *out << "{url=" << common::wideToAnsi(g.url) << " package=" << common::wideToAnsi(g.packageName)
         << " name=" << common::wideToAnsi(g.name) << " slt=" << common::wideToAnsi(g.gameSltUrl)
         << " resolution=" << common::wideToAnsi(g.resolution) << " id=" << common::wideToAnsi(g.gameId)
         << " icon=" << common::wideToAnsi(g.iconUrl) << " obb=" << common::wideToAnsi(g.obbUrl)
         << " appstore=" << g.fromAppStore << " xapk=" << g.isXapk << "}";
}

bool operator==(const GamePackage& a, const GamePackage& b) {
    return std::tie(a.url, a.packageName, a.name, a.gameSltUrl, a.resolution, a.gameId, a.iconUrl, a.obbUrl,
                    a.fromAppStore, a.isXapk) == std::tie(b.url, b.packageName, b.name, b.gameSltUrl,
                                                          b.resolution, b.gameId, b.iconUrl, b.obbUrl,
                                                          b.fromAppStore, b.isXapk);
}

namespace documents {

void PrintTo(const ChannelSettings& s, std::ostream* out) {
    for (const std::wstring* text : {&s.launchImage1920Url, &s.launchImage1080Url, &s.title, &s.runApp,
                                     &s.qqLink, &s.shortcutName, &s.shortcutUrl, &s.heapSize})
        *out << common::wideToAnsi(*text) << "|";
    *out << " ad=" << s.adShow << " clean=" << s.cleanModel << " store=" << s.runAppStore
         << " root=" << s.useRoot;
}

bool operator==(const ChannelSettings& a, const ChannelSettings& b) {
    return std::tie(a.launchImage1920Url, a.launchImage1080Url, a.title, a.runApp, a.qqLink, a.shortcutName,
                    a.shortcutUrl, a.heapSize, a.adShow, a.cleanModel, a.runAppStore, a.useRoot) ==
           std::tie(b.launchImage1920Url, b.launchImage1080Url, b.title, b.runApp, b.qqLink, b.shortcutName,
                    b.shortcutUrl, b.heapSize, b.adShow, b.cleanModel, b.runAppStore, b.useRoot);
}

}  // namespace documents

namespace {

using documents::ChannelSettings;

// A valid document of exactly size bytes whose "mnq9" names an address.
std::string paddedPlayerDocument(std::size_t size) {
    const std::string head = "{\"mnq9\":{\"url\":\"http://h/ov9.exe\"},\"pad\":\"";
    const std::string tail = "\"}";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

// The same document with a member nested depth levels deep before it.
std::string deeplyNestedDocument(std::size_t depth) {
    return "{\"deep\":" + std::string(depth, '[') + std::string(depth, ']') +
           ",\"mnq9\":{\"url\":\"http://h/ov9.exe\"}}";
}

// Texts that are no usable document of any kind.
std::vector<std::string> malformedDocuments() {
    return {
        "",
        "not json",
        "[]",
        "[{\"mnq9\":{\"url\":\"http://h/ov9.exe\"}}]",
        "\"text\"",
        "null",
        "{\"mnq9\": {\"url\": \"http://",                      // cut off
        "{\"mnq9\":{\"url\":\"http://h/ov9.exe\"}} trailing",  // more than one value
        std::string("{\"mnq9\":{\"url\":\"a\"}}\0", 21),       // a NUL after the object
        paddedPlayerDocument(documents::kMaxDocumentBytes + 1),
        std::string(200000, '['),
    };
}

// --- player-address document ------------------------------------------------

const char kAllEditions[] =
    "{\"mnq4\":{\"url\":\"http://h/ov4.exe\"},\"mnq64\":{\"url\":\"http://h/ov64.exe\"},"
    "\"mnq9\":{\"url\":\"http://h/ov9.exe\"},\"mnq\":{\"url\":\"http://h/ov3.exe\"}}";

struct PlayerCase {
    const char* name;
    std::string text;
    Edition edition;
    const wchar_t* player4Url;
    const wchar_t* playerUrl;  // kUnchanged: left as it was
};

// What playerUrl holds before the reading, to tell "unchanged" from "emptied".
const wchar_t kUnchanged[] = L"unchanged";

TEST(PlayerDocument, ReadsTheEditionsAddressAndKeepsThe4Address) {
    const PlayerCase cases[] = {
        {"9 edition", kAllEditions, Edition::Player9, L"http://h/ov4.exe", L"http://h/ov9.exe"},
        {"64 edition", kAllEditions, Edition::Player64, L"http://h/ov4.exe", L"http://h/ov64.exe"},
        {"3 edition", kAllEditions, Edition::Player3, L"http://h/ov4.exe", L"http://h/ov3.exe"},
        {"4 edition", kAllEditions, Edition::Player4, L"http://h/ov4.exe", L"http://h/ov4.exe"},
        {"4 edition, mnq4 without url", "{\"mnq4\":{\"u\":\"x\"},\"mnq9\":{\"url\":\"http://h/ov9.exe\"}}",
         Edition::Player4, L"", L""},
        {"edition member missing", "{\"mnq4\":{\"url\":\"http://h/ov4.exe\"}}", Edition::Player9,
         L"http://h/ov4.exe", kUnchanged},
        {"edition member a text", "{\"mnq9\":\"http://h/ov9.exe\"}", Edition::Player9, L"", kUnchanged},
        {"edition member an array", "{\"mnq9\":[{\"url\":\"http://h/ov9.exe\"}]}", Edition::Player9, L"",
         kUnchanged},
        {"url a number", "{\"mnq4\":{\"url\":4},\"mnq9\":{\"url\":9}}", Edition::Player9, L"", kUnchanged},
        {"url an object", "{\"mnq64\":{\"url\":{\"url\":\"x\"}}}", Edition::Player64, L"", kUnchanged},
        {"UTF-8 address", "{\"mnq9\":{\"url\":\"http://h/caf\xc3\xa9.exe\"}}", Edition::Player9, L"",
         L"http://h/caf\u00e9.exe"},
        {"empty object", "{}", Edition::Player9, L"", kUnchanged},
        {"at the size limit", paddedPlayerDocument(documents::kMaxDocumentBytes), Edition::Player9, L"",
         L"http://h/ov9.exe"},
        {"deeply nested member", deeplyNestedDocument(100000), Edition::Player9, L"", L"http://h/ov9.exe"},
    };
    for (const PlayerCase& c : cases) {
        std::wstring player4Url;
        std::wstring playerUrl = kUnchanged;
        EXPECT_TRUE(documents::readPlayerUrls(c.text, c.edition, player4Url, playerUrl)) << c.name;
        EXPECT_EQ(player4Url, c.player4Url) << c.name;
        EXPECT_EQ(playerUrl, c.playerUrl) << c.name;
    }
}

TEST(PlayerDocument, ARootThatIsNoObjectChangesNothingAndSaysSo) {
    for (const std::string& text : malformedDocuments()) {
        for (const Edition edition : {Edition::Player4, Edition::Player9}) {
            std::wstring player4Url = L"old4";
            std::wstring playerUrl = L"old";
            EXPECT_FALSE(documents::readPlayerUrls(text, edition, player4Url, playerUrl))
                << text.substr(0, 60);
            EXPECT_EQ(player4Url, L"old4");
            EXPECT_EQ(playerUrl, L"old");
        }
    }
}

// --- channel document: game packages --------------------------------------

GamePackage package(const wchar_t* url, const wchar_t* packageName, const wchar_t* gameId) {
    GamePackage game;
    game.url = url;
    game.packageName = packageName;
    game.gameId = gameId;
    return game;
}

struct PackagesCase {
    const char* name;
    std::string text;
    std::vector<GamePackage> packages;
};

TEST(ChannelDocument, GamePackagesFollowTheMemberTable) {
    GamePackage full;
    full.url = L"http://h/g.apk";
    full.packageName = L"com.example.game";
    full.name = L"Caf\u00e9 Game";
    full.iconUrl = L"http://h/g.ico";
    full.obbUrl = L"http://h/g.obb";
    full.gameSltUrl = L"http://h/g.png";
    full.resolution = L"1280x720";
    full.gameId = L"77";
    full.isXapk = true;
    full.fromAppStore = true;
    GamePackage onlyFlags = package(L"u", L"", L"");
    onlyFlags.isXapk = true;
    GamePackage named = package(L"", L"p", L"");
    named.name = L"n";
    // Read in the system code page, not as UTF-8.
    GamePackage codePage = package(L"", L"", common::ansiToWide("\xc3\xa9").c_str());
    codePage.resolution = common::ansiToWide("1\xc3\xa9");

    const PackagesCase cases[] = {
        {"every member",
         "{\"result\":[{\"app_download_url\":\"http://h/g.apk\",\"app_package_name\":\"com.example.game\","
         "\"gamename\":\"Caf\xc3\xa9 Game\",\"app_icon\":\"http://h/g.ico\",\"app_obb\":\"http://h/g.obb\","
         "\"game_slt_url\":\"http://h/g.png\",\"resolution\":\"1280x720\",\"gameid\":\"77\",\"xapk\":\"1\","
         "\"from_appstore\":\"1\"}]}",
         {full}},
        {"records kept on url, package name or game id, in order",
         "{\"result\":[{\"gameid\":\"1\"},{\"app_package_name\":\"p\",\"gamename\":\"n\"},{\"app_download_"
         "url\":"
         "\"u\",\"xapk\":\"1\"}]}",
         {package(L"", L"", L"1"), named, onlyFlags}},
        {"records without url, package name and game id dropped",
         "{\"result\":[{\"gamename\":\"n\",\"app_icon\":\"i\"},{},{\"app_download_url\":\"\"},{\"gameid\":"
         "\"2\"}]}",
         {package(L"", L"", L"2")}},
        {"flags only for exactly \"1\"",
         "{\"result\":[{\"gameid\":\"a\",\"xapk\":\"true\",\"from_appstore\":\"01\"},{\"gameid\":\"b\","
         "\"xapk\":1,"
         "\"from_appstore\":true},{\"gameid\":\"c\",\"xapk\":\"0\",\"from_appstore\":\"1 \"}]}",
         {package(L"", L"", L"a"), package(L"", L"", L"b"), package(L"", L"", L"c")}},
        {"elements that are no objects skipped",
         "{\"result\":[\"x\",7,null,[{\"gameid\":\"9\"}],{\"gameid\":\"3\"},true]}",
         {package(L"", L"", L"3")}},
        {"members of another type count as absent",
         "{\"result\":[{\"gameid\":3,\"app_download_url\":[\"u\"],\"app_package_name\":\"p\"},{\"gameid\":{}}"
         "]}",
         {package(L"", L"p", L"")}},
        {"game id and resolution in the code page",
         "{\"result\":[{\"gameid\":\"\xc3\xa9\",\"resolution\":\"1\xc3\xa9\"}]}",
         {codePage}},
        {"result not an array", "{\"result\":{\"gameid\":\"1\"}}", {}},
        {"result missing", "{\"gameid\":\"1\"}", {}},
        {"result nested one level down", "{\"data\":{\"result\":[{\"gameid\":\"1\"}]}}", {}},
    };
    for (const PackagesCase& c : cases) {
        std::vector<GamePackage> packages;
        documents::readGamePackages(c.text, packages);
        EXPECT_EQ(packages, c.packages) << c.name;
    }
}

TEST(ChannelDocument, GamePackagesAreAppendedAndBadTextsAddNothing) {
    const GamePackage fromCommandLine = package(L"http://h/cmd.apk", L"com.cmd", L"");
    std::vector<GamePackage> packages{fromCommandLine};
    documents::readGamePackages("{\"result\":[{\"gameid\":\"1\"}]}", packages);
    EXPECT_EQ(packages, (std::vector<GamePackage>{fromCommandLine, package(L"", L"", L"1")}));

    for (const std::string& text : malformedDocuments()) {
        std::vector<GamePackage> none;
        documents::readGamePackages(text, none);
        EXPECT_TRUE(none.empty()) << text.substr(0, 60);
    }
    // Cut inside the array: not even the elements before the cut count.
    std::vector<GamePackage> cut;
    documents::readGamePackages("{\"result\":[{\"gameid\":\"1\"},{\"gameid\":\"2", cut);
    EXPECT_TRUE(cut.empty());
    std::vector<GamePackage> huge;
    documents::readGamePackages("{\"result\":[{\"gameid\":\"1\"}],\"pad\":\"" +
                                    std::string(documents::kMaxDocumentBytes, 'x') + "\"}",
                                huge);
    EXPECT_TRUE(huge.empty());
}

// --- channel document: settings --------------------------------------------

struct SettingsCase {
    const char* name;
    std::string text;
    ChannelSettings settings;
};

ChannelSettings with(void (*change)(ChannelSettings&)) {
    ChannelSettings settings;
    change(settings);
    return settings;
}

TEST(ChannelDocument, SettingsFollowTheirTypes) {
    const SettingsCase cases[] = {
        {"every text",
         "{\"launch_h\":\"h\",\"launch_V\":\"v\",\"title\":\"Caf\xc3\xa9\",\"runapp\":\"com.run\",\"qqlink\":"
         "\"q\","
         "\"shortcutname\":\"Game Center\",\"shortcuturl\":\"http://h/s.ico\",\"heapsize\":\"512\"}",
         with([](ChannelSettings& s) {
             s.launchImage1920Url = L"h";
             s.launchImage1080Url = L"v";
             s.title = L"Caf\u00e9";
             s.runApp = L"com.run";
             s.qqLink = L"q";
             s.shortcutName = L"Game Center";
             s.shortcutUrl = L"http://h/s.ico";
             s.heapSize = L"512";
         })},
        {"empty object", "{}", ChannelSettings()},
        {"texts of another type",
         "{\"launch_h\":1,\"launch_V\":{\"u\":\"v\"},\"title\":[\"t\"],\"runapp\":true,\"qqlink\":null,"
         "\"shortcutname\":5,\"shortcuturl\":{},\"heapsize\":512}",
         ChannelSettings()},
        {"zeros turn the switches over", "{\"ad\":0,\"cleanmodel\":1,\"runappstore\":0}",
         with([](ChannelSettings& s) {
             s.adShow = false;
             s.cleanModel = true;
             s.runAppStore = false;
         })},
        {"any other integer counts as on",
         "{\"ad\":-7,\"cleanmodel\":-2147483648,\"runappstore\":2147483647}",
         with([](ChannelSettings& s) { s.cleanModel = true; })},
        {"integers beyond 32 bits leave the defaults",
         "{\"ad\":4294967296,\"cleanmodel\":2147483648,\"runappstore\":-2147483649}", ChannelSettings()},
        {"booleans, fractions and texts leave the defaults",
         "{\"ad\":false,\"cleanmodel\":true,\"runappstore\":\"0\"}", ChannelSettings()},
        {"fractions leave the defaults", "{\"ad\":0.0,\"cleanmodel\":1.5,\"runappstore\":0e0}",
         ChannelSettings()},
        {"root true", "{\"root\":true}", with([](ChannelSettings& s) { s.useRoot = 1; })},
        {"root false", "{\"root\":false}", with([](ChannelSettings& s) { s.useRoot = 0; })},
        {"root as a number or text is not given", "{\"root\":0}", ChannelSettings()},
        {"root as a text is not given", "{\"root\":\"true\"}", ChannelSettings()},
        {"settings nested one level down", "{\"data\":{\"ad\":0,\"title\":\"t\"}}", ChannelSettings()},
    };
    for (const SettingsCase& c : cases) {
        const std::optional<ChannelSettings> settings = documents::readChannelSettings(c.text);
        ASSERT_TRUE(settings.has_value()) << c.name;
        EXPECT_EQ(*settings, c.settings) << c.name;
    }
}

// The shortcut and its icon file are named after it.
TEST(ChannelDocument, ShortcutNameIsMadeASafeFileName) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"..\\\\..\\\\Startup\\\\evil", L"_._Startup_evil"},
        {"../../x", L"_._x"},
        {"..", L""},
        {"CON", L"_CON"},
        {"a:b*c?", L"a_b_c_"},
        {"Game Center", L"Game Center"},
    };
    for (const auto& c : cases) {
        const std::optional<ChannelSettings> settings =
            documents::readChannelSettings(std::string("{\"shortcutname\":\"") + c.first + "\"}");
        ASSERT_TRUE(settings.has_value()) << c.first;
        EXPECT_EQ(settings->shortcutName, c.second) << c.first;
    }
}

TEST(ChannelDocument, SettingsOfABadTextAreNothing) {
    for (const std::string& text : malformedDocuments()) {
        EXPECT_FALSE(documents::readChannelSettings(text).has_value()) << text.substr(0, 60);
    }
}

// --- customer-info document ------------------------------------------------

const char kCustomerInfo[] =
    "{\"en\":{\"installError\":\"Install failed\",\"customerLink\":\"http://h/en\"},"
    "\"jp\":{\"installError\":\"\xe5\xa4\xb1\xe6\x95\x97\",\"customerLink\":\"http://h/jp\"}}";

struct CustomerCase {
    const char* name;
    std::string text;
    const wchar_t* profileKey;
    const wchar_t* installErrorText;
    const wchar_t* customerLink;
};

TEST(CustomerInfoDocument, ReadsOnlyTheMemberOfTheProfileKey) {
    const CustomerCase cases[] = {
        {"jp", kCustomerInfo, L"jp", L"\u5931\u6557", L"http://h/jp"},
        {"en", kCustomerInfo, L"en", L"Install failed", L"http://h/en"},
        {"no key means en", kCustomerInfo, L"", L"Install failed", L"http://h/en"},
        {"jp asked, only en there", "{\"en\":{\"installError\":\"e\",\"customerLink\":\"l\"}}", L"jp", L"",
         L""},
        {"keys are case-sensitive", kCustomerInfo, L"JP", L"", L""},
        {"member not an object", "{\"jp\":\"http://h/jp\",\"en\":{\"installError\":\"e\"}}", L"jp", L"", L""},
        {"each text on its own", "{\"jp\":{\"installError\":5,\"customerLink\":\"http://h/jp\"}}", L"jp", L"",
         L"http://h/jp"},
        {"texts at the root are not read", "{\"installError\":\"e\",\"customerLink\":\"l\"}", L"en", L"",
         L""},
    };
    for (const CustomerCase& c : cases) {
        std::wstring installErrorText;
        std::wstring customerLink;
        documents::readCustomerInfo(c.text, c.profileKey, installErrorText, customerLink);
        EXPECT_EQ(installErrorText, c.installErrorText) << c.name;
        EXPECT_EQ(customerLink, c.customerLink) << c.name;
    }
    for (const std::string& text : malformedDocuments()) {
        std::wstring installErrorText = L"old";
        std::wstring customerLink = L"old";
        documents::readCustomerInfo(text, L"en", installErrorText, customerLink);
        EXPECT_EQ(installErrorText + customerLink, L"oldold") << text.substr(0, 60);
    }
}

// --- the model's use of the readings ---------------------------------------

class ModelDocuments : public testing::Test {
protected:
    void SetUp() override {
        DownloaderModel::destroyInstance();
        model_ = DownloaderModel::instance();
    }
    void TearDown() override { DownloaderModel::destroyInstance(); }

    DownloaderModel* model_ = nullptr;
};

TEST_F(ModelDocuments, ChannelSettingsLandInTheirFieldsAndABadDocumentKeepsThem) {
    model_->parseCustomerSettings(
        "{\"launch_h\":\"h\",\"launch_V\":\"v\",\"title\":\"t\",\"runapp\":\"r\",\"qqlink\":\"q\","
        "\"shortcutname\":\"s/n\",\"shortcuturl\":\"su\",\"heapsize\":\"hs\",\"ad\":0,\"cleanmodel\":1,"
        "\"runappstore\":0,\"root\":true}");
    const std::vector<std::wstring> texts = {model_->launchImage1920Url,
                                             model_->launchImage1080Url,
                                             model_->title,
                                             model_->runApp,
                                             model_->qqLink,
                                             model_->shortcutName,
                                             model_->shortcutUrl,
                                             model_->heapSize};
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"h", L"v", L"t", L"r", L"q", L"s_n", L"su", L"hs"}));
    EXPECT_FALSE(model_->adShow);
    EXPECT_TRUE(model_->cleanModel);
    EXPECT_FALSE(model_->runAppStore);
    EXPECT_EQ(model_->useRoot, 1);

    model_->parseCustomerSettings("{\"title\": \"cut");
    EXPECT_EQ(model_->title, L"t");
    EXPECT_FALSE(model_->adShow);
}

TEST_F(ModelDocuments, ParseGamePackagesFillsTheGivenList) {
    std::vector<GamePackage> target;
    model_->parseGamePackages("{\"result\":[{\"gameid\":\"1\"},{\"gameid\":\"2\"}]}", target);
    EXPECT_EQ(target, (std::vector<GamePackage>{package(L"", L"", L"1"), package(L"", L"", L"2")}));
    EXPECT_TRUE(model_->gamePackages.empty());
}

// Short channel ids (the default "100" included) have no channel document:
// nothing is fetched, only the launch package is logged.
TEST_F(ModelDocuments, ShortChannelIdsFetchNoChannelDocument) {
    testsupport::captureLog();
    for (const wchar_t* openId : {L"100", L"1234", L""}) {
        model_->openId = openId;
        model_->package = L"com.launch.game";
        testsupport::takeLogLines();
        model_->_getPackageByOpenID(model_->gamePackages);
        std::vector<std::string> messages;
        for (const std::string& line : testsupport::takeLogLines()) {
            if (line.find("\tDownloaderModel::_getPackageByOpenID\t(") == std::string::npos) continue;
            messages.push_back(line.substr(line.find("):") + 2));
        }
        EXPECT_EQ(messages, std::vector<std::string>{"package is com.launch.game"})
            << common::wideToAnsi(openId);
        EXPECT_TRUE(model_->gamePackages.empty());
    }
}

}  // namespace
