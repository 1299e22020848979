// DownloaderModel::init applied to launch names and command lines: the model
// and edition state it leaves, and the log lines it writes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/log.h"
#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "config/names.h"
#include "model/DownloaderModel.h"
#include "model/language.h"
#include "support/TestSupport.h"
#include "utility/WindowIPC.h"
#include "utility/usystem.h"

namespace {

struct LogLine {
    std::wstring tag;
    std::wstring message;
    bool operator==(const LogLine& o) const { return tag == o.tag && message == o.message; }
};

std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << common::wideToAnsi(line.tag) << " | " << common::wideToAnsi(line.message);
}

// One log file for the whole program; each test reads what was added since
// its mark.
class LogEnvironment : public testing::Environment {
public:
    void SetUp() override {
        initLog();
        setLogFile(dir_.file(L"downloader.log"));
    }
    void TearDown() override { stopLogFile(); }

    static std::size_t mark() {
        flushLogFile();
        return testsupport::readFile(instance->dir_.file(L"downloader.log")).size();
    }

    // Records (tag, message) written after the mark, for the given tags.
    static std::vector<LogLine> since(std::size_t mark, const std::vector<std::wstring>& tags) {
        flushLogFile();
        const std::string all = testsupport::readFile(instance->dir_.file(L"downloader.log"));
        const std::wstring text = common::utf8ToWide(all.substr(mark));
        std::vector<LogLine> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find(L"\r\n", start);
            if (end == std::wstring::npos) end = text.size();
            const std::wstring record = text.substr(start, end - start);
            start = end + 2;
            // date \t time \t thread \t tag \t (line):message
            std::size_t tab = 0;
            for (int i = 0; i < 3 && tab != std::wstring::npos; ++i) tab = record.find(L'\t', tab + 1);
            if (tab == std::wstring::npos) continue;
            const std::size_t tagEnd = record.find(L'\t', tab + 1);
            const std::size_t colon = record.find(L"):", tagEnd);
            if (tagEnd == std::wstring::npos || colon == std::wstring::npos) continue;
            LogLine line{record.substr(tab + 1, tagEnd - tab - 1), record.substr(colon + 2)};
            for (const std::wstring& tag : tags)
                if (line.tag == tag) lines.push_back(line);
        }
        return lines;
    }

    static LogEnvironment* instance;

private:
    testsupport::TempDir dir_;
};

LogEnvironment* LogEnvironment::instance =
    static_cast<LogEnvironment*>(testing::AddGlobalTestEnvironment(new LogEnvironment));

const std::vector<std::wstring> kInitTags = {L"DownloaderModel::init", L"ConfigImp::setPlayer4",
                                             L"ConfigImp::setPlayer64"};

// Each test starts from a model and an edition profile as the process starts.
class ModelInit : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { DownloaderModel::destroyInstance(); }

    static void reset() {
        DownloaderModel::destroyInstance();
        ConfigImp* config = ConfigImp::getInstance();
        config->setEdition(Edition::Player9);
        config->setLanguageCode(L"en");
        config->setAdId(L"Downloader");
    }

    // Runs init as an executable of that base name, returns its log lines.
    std::vector<LogLine> init(const std::wstring& baseName, const wchar_t* commandLine) {
        const std::size_t start = LogEnvironment::mark();
        DownloaderModel::instance()->initFromPath(L"C:\\Users\\me\\Downloads\\" + baseName + L".exe",
                                                  commandLine);
        return LogEnvironment::since(start, kInitTags);
    }

    static std::wstring uiLanguage() { return language::shortForCode(language::uiLanguageCode()); }
};

LogLine initLine(const std::wstring& message) {
    return {L"DownloaderModel::init", message};
}

struct NameCase {
    std::wstring baseName;
    Edition edition;
    const wchar_t* configLanguage;
    const wchar_t* language;  // null: the user's interface language
    const wchar_t* openId;
    const wchar_t* package;
    const wchar_t* googleId;
    const wchar_t* adId;
    std::vector<LogLine> log;
};

TEST_F(ModelInit, LaunchNamesSetEditionLanguageChannelAndLogThem) {
    const wchar_t* kDefaultAd = L"Downloader";
    const wchar_t* kPartnerAd = L"Orvane Installer_200";
    const std::wstring longName = L"orvane64_kr_1234_" + std::wstring(243, L'x');
    const NameCase cases[] = {
        {L"orvane9_en_1234_x",
         Edition::Player9,
         L"en",
         L"en",
         L"1234",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= orvane9_en_1234_x"),
          initLine(L"type: orvane9, package:, openID:1234 google id "),
          initLine(L"model. type: orvane9, language en package:, openID:1234"),
          initLine(L"openid is 1234, package is "), initLine(L"ad id : Downloader")}},
        {L"orvane64_ens_5678_GA1.2.33.44_z",
         Edition::Player64,
         L"en",
         nullptr,
         L"5678",
         L"",
         L"GA1.2.33.44",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= orvane64_ens_5678_GA1.2.33.44_z"),
          initLine(L"type: orvane64, package:, openID:5678 google id GA1.2.33.44"),
          initLine(L"model. type: orvane64, language ens package:, openID:5678"),
          {L"ConfigImp::setPlayer64", L"player is 64"},
          initLine(L"openid is 5678, package is "),
          initLine(L"ad id : Downloader")}},
        {L"orvane9_kr_com.example.game_3001_abc_def_z",
         Edition::Player9,
         L"kr",
         L"kr",
         L"3001",
         L"com.example.game",
         L"abc_def",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= orvane9_kr_com.example.game_3001_abc_def_z"),
          initLine(L"type: orvane9, package:com.example.game, openID:3001 google id abc_def"),
          initLine(L"model. type: orvane9, language kr package:com.example.game, openID:3001"),
          initLine(L"openid is 3001, package is com.example.game"), initLine(L"ad id : Downloader")}},
        // A package piece of five characters is too short to be one.
        {L"orvane9_kr_short_3001_z",
         Edition::Player9,
         L"kr",
         L"kr",
         L"3001",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= orvane9_kr_short_3001_z"),
          initLine(L"type: orvane9, package:short, openID:3001 google id "),
          initLine(L"model. type: orvane9, language kr package:short, openID:3001"),
          initLine(L"openid is 3001, package is "), initLine(L"ad id : Downloader")}},
        {L"ORVANE4 _en_1_x",
         Edition::Player4,
         L"en",
         L"en",
         L"1",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= ORVANE4 _en_1_x"),
          initLine(L"type: ORVANE4, package:, openID:1 google id "),
          initLine(L"model. type: ORVANE4, language en package:, openID:1"),
          {L"ConfigImp::setPlayer4", L"player is 4"},
          initLine(L"openid is 1, package is "),
          initLine(L"ad id : Downloader")}},
        // Language pieces longer than three characters are ignored.
        {L"orvane3_english_2001abc_x",
         Edition::Player3,
         L"en",
         nullptr,
         L"2001abc",
         L"",
         L"",
         kPartnerAd,
         {initLine(L"DownloaderModel exe filename= orvane3_english_2001abc_x"),
          initLine(L"type: orvane3, package:, openID:2001abc google id "),
          initLine(L"model. type: orvane3, language english package:, openID:2001abc"),
          initLine(L"openid is 2001abc, package is "), initLine(L"ad id : Orvane Installer_200")}},
        // The case of the language is kept; an unknown type leaves the edition.
        {L"orvane5_EN_3000_x",
         Edition::Player9,
         L"EN",
         L"EN",
         L"3000",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= orvane5_EN_3000_x"),
          initLine(L"type: orvane5, package:, openID:3000 google id "),
          initLine(L"model. type: orvane5, language EN package:, openID:3000"),
          initLine(L"openid is 3000, package is "), initLine(L"ad id : Downloader")}},
        {L"orvane9_tw__x",
         Edition::Player9,
         L"tw",
         L"tw",
         L"100",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= orvane9_tw__x"),
          initLine(L"type: orvane9, package:, openID: google id "),
          initLine(L"model. type: orvane9, language tw package:, openID:"),
          initLine(L"openid is 100, package is "), initLine(L"ad id : Downloader")}},
        {longName,
         Edition::Player64,
         L"kr",
         L"kr",
         L"1234",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= " + longName),
          initLine(L"type: orvane64, package:, openID:1234 google id "),
          initLine(L"model. type: orvane64, language kr package:, openID:1234"),
          {L"ConfigImp::setPlayer64", L"player is 64"},
          initLine(L"openid is 1234, package is "),
          initLine(L"ad id : Downloader")}},
        // Names that carry nothing leave every default.
        {L"setup",
         Edition::Player9,
         L"en",
         nullptr,
         L"100",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= setup"), initLine(L"openid is 100, package is "),
          initLine(L"ad id : Downloader")}},
        {L"orvane4_cn_2500",
         Edition::Player9,
         L"en",
         nullptr,
         L"100",
         L"",
         L"",
         kDefaultAd,
         {initLine(L"DownloaderModel exe filename= orvane4_cn_2500"), initLine(L"openid is 100, package is "),
          initLine(L"ad id : Downloader")}},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.baseName);
        reset();
        const std::vector<LogLine> log = init(c.baseName, nullptr);
        const DownloaderModel* model = DownloaderModel::instance();
        ConfigImp* config = ConfigImp::getInstance();
        EXPECT_EQ(config->getEdition(), c.edition);
        EXPECT_EQ(config->getLanguageCode(), c.configLanguage);
        EXPECT_EQ(model->getLanguage(), c.language ? std::wstring(c.language) : uiLanguage());
        EXPECT_EQ(model->getOpenId(), c.openId);
        EXPECT_EQ(model->package, c.package);
        EXPECT_EQ(model->googleId, c.googleId);
        EXPECT_EQ(config->getAdId(), c.adId);
        EXPECT_TRUE(model->gamePackages.empty());
        EXPECT_EQ(log, c.log);
    }
}

TEST_F(ModelInit, PartnerAdIdCoversChannels2001To2999) {
    const struct {
        const wchar_t* baseName;
        bool partner;
    } cases[] = {
        {L"orvane9_en_2000_x", false},   {L"orvane9_en_2001_x", true},    {L"orvane9_en_2999_x", true},
        {L"orvane9_en_3000_x", false},   {L"orvane9_en_2500abc_x", true}, {L"orvane9_en_-2500_x", false},
        {L"orvane9_en_0002001_x", true},
    };
    for (const auto& c : cases) {
        reset();
        init(c.baseName, nullptr);
        EXPECT_EQ(ConfigImp::getInstance()->getAdId(), c.partner ? L"Orvane Installer_200" : L"Downloader")
            << c.baseName;
    }
}

TEST_F(ModelInit, LanguageFromTheNameDecidesLocaleAndFont) {
    init(L"orvane9_kr_1_x", nullptr);
    const DownloaderModel* model = DownloaderModel::instance();
    EXPECT_EQ(model->getLanguageCode(), L"ko_KR");
    EXPECT_EQ(model->languageProfile.key, L"kr");
    EXPECT_EQ(model->getFontFile(), model->languageProfile.fontFile);
}

TEST_F(ModelInit, WithoutLanguageInTheNameTheInterfaceLanguageDecides) {
    init(L"setup", nullptr);
    const DownloaderModel* model = DownloaderModel::instance();
    EXPECT_EQ(model->getLanguageCode(), language::uiLanguageCode());
    EXPECT_EQ(model->getLanguage(), language::shortForCode(language::uiLanguageCode()));
}

struct CommandCase {
    const wchar_t* line;
    std::vector<GamePackage> games;
    std::vector<LogLine> log;  // the cmdline line only
};

GamePackage game(const wchar_t* url, const wchar_t* packageName, const wchar_t* name) {
    GamePackage g;
    g.url = url;
    g.packageName = packageName;
    g.name = name;
    return g;
}

TEST_F(ModelInit, CommandLineAddsOneGamePackageWhenItNamesAnAddress) {
    const CommandCase cases[] = {
        {L"\"name=Some Game | package=com.example.game | apkurl=https://h/g.apk\"",
         {game(L"https://h/g.apk", L"com.example.game", L"Some Game")},
         {initLine(L"cmdline is Some Game, com.example.game, https://h/g.apk")}},
        {L"apkurl=https://h/a.xapk",
         {game(L"https://h/a.xapk", L"", L"")},
         {initLine(L"cmdline is , , https://h/a.xapk")}},
        {L"package=a|apkurl=", {}, {initLine(L"cmdline is , a, ")}},
        {L"nothing to read here", {}, {}},
        {L"", {}, {}},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.line);
        reset();
        std::vector<LogLine> log = init(L"setup", c.line);
        const std::vector<GamePackage>& games = DownloaderModel::instance()->gamePackages;
        ASSERT_EQ(games.size(), c.games.size());
        for (std::size_t i = 0; i < games.size(); ++i) {
            EXPECT_EQ(games[i].url, c.games[i].url);
            EXPECT_EQ(games[i].packageName, c.games[i].packageName);
            EXPECT_EQ(games[i].name, c.games[i].name);
            EXPECT_TRUE(games[i].resolution.empty() && games[i].obbUrl.empty() && !games[i].isXapk);
        }
        // The command line is read last.
        ASSERT_GE(log.size(), 3u);
        log.erase(log.begin(), log.begin() + 3);
        EXPECT_EQ(log, c.log);
    }
}

TEST_F(ModelInit, NullCommandLineAddsNothing) {
    const std::vector<LogLine> log = init(L"setup", nullptr);
    EXPECT_TRUE(DownloaderModel::instance()->gamePackages.empty());
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(ModelInit, DestroyedModelIsGoneAndTheNextOneStartsFresh) {
    init(L"orvane9_en_1234_GA1_x", nullptr);
    DownloaderModel::instance()->shutdown();
    DownloaderModel::instance()->shutdown();  // a second take-down is harmless
    DownloaderModel::destroyInstance();
    EXPECT_EQ(DownloaderModel::existingInstance(), nullptr);
    DownloaderModel* fresh = DownloaderModel::instance();
    EXPECT_EQ(DownloaderModel::existingInstance(), fresh);
    EXPECT_EQ(fresh->getOpenId(), L"100");
    EXPECT_TRUE(fresh->googleId.empty());
}

TEST_F(ModelInit, SetLanguageCodeDerivesTheShortCode) {
    DownloaderModel* model = DownloaderModel::instance();
    model->setLanguageCode(L"ja_JP");
    EXPECT_EQ(model->getLanguageCode(), L"ja_JP");
    EXPECT_EQ(model->getLanguage(), L"jp");
}

// The single-instance test, as a second instance sees it and as the first.
class SingleInstance : public ModelInit {};

class ActivationRecorder : public utility::IWindowIPCHandle {
public:
    int onHandleWindowIPC(unsigned int message, int, int) override {
        messages.push_back(message);
        return 0;
    }
    std::vector<unsigned> messages;
};

TEST_F(SingleInstance, FirstInstanceHoldsTheMutexUntilShutdown) {
    const std::size_t start = LogEnvironment::mark();
    DownloaderModel* model = DownloaderModel::instance();
    ASSERT_FALSE(model->popupExistPwnd());
    EXPECT_FALSE(utility::usystem::createSingleInstanceMutex(config::names::kInstanceName, false, true));
    model->shutdown();
    EXPECT_TRUE(utility::usystem::createSingleInstanceMutex(config::names::kInstanceName, false, true));
    EXPECT_EQ(LogEnvironment::since(start, {L"DownloaderModel::popupExistPwnd"}),
              (std::vector<LogLine>{{L"DownloaderModel::popupExistPwnd", L"wnd not exist"}}));
}

TEST_F(SingleInstance, SecondInstanceAsksTheFirstToComeForward) {
    common::Handle first =
        utility::usystem::createSingleInstanceMutex(config::names::kInstanceName, false, true);
    ASSERT_TRUE(first);
    ActivationRecorder recorder;
    utility::WindowIPC endpoint;
    ASSERT_TRUE(endpoint.create(config::names::kInstanceName, &recorder));

    const std::size_t start = LogEnvironment::mark();
    EXPECT_TRUE(DownloaderModel::instance()->popupExistPwnd());
    MSG msg;
    for (int i = 0; i < 50 && recorder.messages.empty(); ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    EXPECT_EQ(recorder.messages, std::vector<unsigned>{config::names::kMsgActivate});
    EXPECT_EQ(LogEnvironment::since(start, {L"DownloaderModel::popupExistPwnd"}),
              (std::vector<LogLine>{{L"DownloaderModel::popupExistPwnd", L"wnd exist"}}));
    DestroyWindow(endpoint.window());
}

}  // namespace
