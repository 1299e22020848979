// Worker A against the content server that test_remote_config.py starts: the
// player-address, channel and customer-info documents fetched through both
// transfer stacks and read into the model. One case per process (the
// reporter is process-wide). Addresses come in the environment:
//   ORVANE_TEST_HOST_CONTENT   origin of the content server
//   ORVANE_TEST_HOST_REPORT    origin of the report receiver
//   ORVANE_TEST_CA_FILE        the test CA, for an https origin
// The documents are those of test_remote_config.py; the script checks what
// reached the servers, this side checks the model and the log.
#include <windows.h>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "net/OvCurlDownloader.h"
#include "support/TestSupport.h"
#include "telemetry/OvReporter.h"

namespace {

const char kPlayerUrlTag[] = "DownloaderModel::_threadGetPlayerUrl";
const char kPackageTag[] = "DownloaderModel::_getPackageByOpenID";
const char kCustomerTag[] = "DownloaderModel::_threadCustomerInfo";
// Bounds the wait for worker A so a fault fails the case instead of hanging it.
const DWORD kWaitLimitMs = 60000;

struct LogLine {
    std::string tag;
    std::string message;
    bool operator==(const LogLine& o) const { return tag == o.tag && message == o.message; }
};

std::ostream& operator<<(std::ostream& out, const LogLine& line) {
    return out << line.tag << " | " << line.message;
}

// The log records of worker A's three steps, in order; each is handed out once.
std::vector<LogLine> workerLog() {
    std::vector<LogLine> lines;
    for (const std::string& line : testsupport::takeLogLines()) {
        for (const char* tag : {kPlayerUrlTag, kPackageTag, kCustomerTag}) {
            const std::size_t at = line.find(std::string("\t") + tag + "\t(");
            if (at == std::string::npos) continue;
            lines.push_back({tag, line.substr(line.find("):", at) + 2)});
        }
    }
    return lines;
}

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

GamePackage game(const wchar_t* url, const wchar_t* packageName, const wchar_t* name, const wchar_t* gameId) {
    GamePackage g;
    g.url = url;
    g.packageName = packageName;
    g.name = name;
    g.gameId = gameId;
    return g;
}

class WorkerA : public testing::Test {
protected:
    static void SetUpTestSuite() { curl_global_init(CURL_GLOBAL_ALL); }

    void SetUp() override {
        ASSERT_FALSE(env("ORVANE_TEST_HOST_CONTENT").empty()) << "run through test_remote_config.py";
        testsupport::captureLog();
        testsupport::takeLogLines();
        ConfigImp::getInstance()->setEdition(Edition::Player9);
        ConfigImp::getInstance()->setLanguageCode(L"en");
        model_ = DownloaderModel::instance();
        model_->openId = L"12345";
        model_->languageProfile.key = L"jp";
    }
    void TearDown() override { DownloaderModel::destroyInstance(); }

    // The fields of the served documents, as test_remote_config.py serves them.
    void expectServedFields() {
        EXPECT_EQ(model_->playerUrl, L"http://cdn.test/ov9.exe");
        EXPECT_EQ(model_->player4Url, L"http://cdn.test/ov4.exe");
        expectServedChannel();
        EXPECT_EQ(model_->installErrorText, L"\u30a4\u30f3\u30b9\u30c8\u30fc\u30eb\u5931\u6557");
        EXPECT_EQ(model_->customerLink, L"http://help.test/jp");
    }

    void expectServedChannel() {
        ASSERT_EQ(model_->gamePackages.size(), 2u);
        const GamePackage& first = model_->gamePackages[0];
        EXPECT_EQ(first.url, L"http://cdn.test/one.xapk");
        EXPECT_EQ(first.packageName, L"com.example.one");
        EXPECT_EQ(first.name, L"Caf\u00e9 One");
        EXPECT_EQ(first.gameId, L"101");
        EXPECT_TRUE(first.isXapk);
        EXPECT_FALSE(first.fromAppStore);
        const GamePackage& second = model_->gamePackages[1];
        EXPECT_EQ(second.gameId, L"202");
        EXPECT_TRUE(second.fromAppStore);
        EXPECT_EQ(model_->title, L"Caf\u00e9 Channel");
        EXPECT_FALSE(model_->adShow);
        EXPECT_EQ(model_->useRoot, 1);
        EXPECT_EQ(model_->shortcutName, L"_._Startup_evil");
    }

    void expectChannelDefaults() {
        EXPECT_TRUE(model_->gamePackages.empty());
        EXPECT_EQ(model_->title, L"");
        EXPECT_TRUE(model_->adShow);
        EXPECT_EQ(model_->useRoot, -1);
        EXPECT_EQ(model_->shortcutName, L"");
        EXPECT_EQ(model_->installErrorText, L"");
        EXPECT_EQ(model_->customerLink, L"");
    }

    DownloaderModel* model_ = nullptr;
};

TEST_F(WorkerA, ReadsAllThreeDocumentsThroughTheSystemClient) {
    model_->_threadGetPlayerUrl();
    expectServedFields();
    EXPECT_EQ(workerLog(), (std::vector<LogLine>{{kPlayerUrlTag, "start get player url"},
                                                 {kPackageTag, "start get package."},
                                                 {kPackageTag, "package is "},
                                                 {kCustomerTag, "start get curstomer info"}}));
}

// The server refuses the system client's requests only.
TEST_F(WorkerA, FallsBackToLibcurlWhenTheSystemClientFails) {
    model_->_threadGetPlayerUrl();
    expectServedFields();
    EXPECT_EQ(workerLog(), (std::vector<LogLine>{{kPlayerUrlTag, "start get player url"},
                                                 {kPlayerUrlTag, "error 1"},
                                                 {kPackageTag, "start get package."},
                                                 {kPackageTag, "get package data by ovcurl "},
                                                 {kPackageTag, "package is "},
                                                 {kCustomerTag, "start get curstomer info"},
                                                 {kCustomerTag, "error 1111"}}));
}

// Whatever is wrong with the player document (the script varies it), the
// addresses stay empty, "error 2" is logged and the failure reported; the
// stop sends the report.
TEST_F(WorkerA, ABadPlayerDocumentIsReported) {
    OvReporter::instance()->init(L"12345", L"2-0123abcd", L"en");
    model_->_threadGetPlayerUrl();
    OvReporter::instance()->stop(3000);
    EXPECT_EQ(model_->playerUrl, L"");
    EXPECT_EQ(model_->player4Url, L"");
    int errors = 0;
    for (const LogLine& line : workerLog()) errors += line == LogLine{kPlayerUrlTag, "error 2"};
    EXPECT_EQ(errors, 1);
}

// The channel and customer-info documents are broken: their fields keep
// their defaults and nothing is reported.
TEST_F(WorkerA, BadChannelAndCustomerDocumentsFailSilently) {
    OvReporter::instance()->init(L"12345", L"2-0123abcd", L"en");
    model_->_threadGetPlayerUrl();
    OvReporter::instance()->stop(3000);
    EXPECT_EQ(model_->playerUrl, L"http://cdn.test/ov9.exe");
    expectChannelDefaults();
    for (const LogLine& line : workerLog()) EXPECT_NE(line.message, "error 2");
}

// A game named on the command line is the one to deliver: the channel and
// customer-info documents are not fetched.
TEST_F(WorkerA, AGameFromTheCommandLineSkipsTheChannelDocuments) {
    model_->gamePackages.push_back(game(L"http://cmd.test/g.apk", L"com.cmd", L"Cmd", L""));
    model_->_threadGetPlayerUrl();
    EXPECT_EQ(model_->playerUrl, L"http://cdn.test/ov9.exe");
    ASSERT_EQ(model_->gamePackages.size(), 1u);
    EXPECT_EQ(model_->gamePackages[0].url, L"http://cmd.test/g.apk");
    EXPECT_EQ(model_->title, L"");
    EXPECT_EQ(workerLog(), (std::vector<LogLine>{{kPlayerUrlTag, "start get player url"}}));
}

// init starts worker A on its own thread, with the launch name's channel.
TEST_F(WorkerA, InitRunsItOnItsOwnThread) {
    DownloaderModel::destroyInstance();
    model_ = DownloaderModel::instance();
    model_->initFromPath(L"C:\\Downloads\\orvane9_en_12345_x.exe", nullptr);
    const LogLine done{kPackageTag, "package is "};
    bool finished = false;
    for (DWORD waited = 0; waited < kWaitLimitMs && !finished; waited += 100) {
        for (const LogLine& line : workerLog()) finished = finished || line == done;
        if (!finished) Sleep(100);
    }
    ASSERT_TRUE(finished);
    // Written by the worker before it logged the line above; the customer-info
    // step may still run.
    EXPECT_EQ(model_->playerUrl, L"http://cdn.test/ov9.exe");
    expectServedChannel();
}

// The script's server holds the player document back once its request has
// arrived, and says so at /_arrived.
bool playerRequestArrived() {
    const std::string probe = env("ORVANE_TEST_HOST_CONTENT") + "/_arrived";
    for (DWORD waited = 0; waited < kWaitLimitMs; waited += 100) {
        std::string body;
        if (OvCurlDownloader::downloadMemory(probe, body)) return true;
        Sleep(100);
    }
    return false;
}

// The shutdown aborts the system client; the worker then starts no libcurl
// transfer (which could not be aborted) and reports nothing.
TEST_F(WorkerA, AShutdownDuringAFetchEndsItQuietly) {
    DownloaderModel::destroyInstance();
    model_ = DownloaderModel::instance();
    model_->initFromPath(L"C:\\Downloads\\orvane9_en_12345_x.exe", nullptr);
    ASSERT_TRUE(playerRequestArrived());
    DownloaderModel::destroyInstance();
    OvReporter::instance()->stop(3000);
    EXPECT_EQ(workerLog(),
              (std::vector<LogLine>{{kPlayerUrlTag, "start get player url"}, {kPlayerUrlTag, "error 1"}}));
}

}  // namespace
