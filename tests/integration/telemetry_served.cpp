// The reporter, the analytics client and the model's wiring of both against
// the receivers that test_telemetry.py starts (tools/orvtest/receivers.py).
// The reporter is process-wide and starts once, so the script runs one case
// per process. Addresses come in the environment:
//   ORVANE_TEST_HOST_REPORT, ORVANE_TEST_HOST_ANALYTICS   origins of the receivers
//   ORVANE_TEST_CA_FILE          the test CA, for an https origin
//   ORVANE_TEST_REPORT_REPLY     "=" and the answer the report receiver gives
//                                ("=" alone: none), or "never" when it does not answer
// The script checks what reached the receivers; this side checks the log.
#include <windows.h>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "net/OvCurlDownloader.h"
#include "support/TestSupport.h"
#include "telemetry/AnalyticsClient.h"
#include "telemetry/OvReporter.h"

namespace {

const char kReporterTag[] = "OvReporter::_threadReport";
// Bounds the waits below so a fault fails the case instead of hanging it;
// the first cycle comes 20 s after init.
const DWORD kWaitLimitMs = 60000;

// The log lines of this process so far (takeLogLines hands each out once).
class Log {
public:
    Log() { testsupport::captureLog(); }

    const std::vector<std::string>& lines() {
        for (std::string& line : testsupport::takeLogLines()) lines_.push_back(std::move(line));
        return lines_;
    }

    // Records of tag whose message is exactly text.
    int count(const char* tag, const std::string& text) {
        int n = 0;
        const std::string tail = std::string("\t") + tag + "\t";
        for (const std::string& line : lines()) {
            const std::size_t at = line.find(tail);
            const std::size_t colon = at == std::string::npos ? at : line.find("):", at);
            if (colon != std::string::npos && line.compare(colon + 2, std::string::npos, text) == 0) ++n;
        }
        return n;
    }

    bool waitFor(const char* tag, const std::string& text) {
        for (DWORD waited = 0; waited < kWaitLimitMs; waited += 100) {
            if (count(tag, text) > 0) return true;
            Sleep(100);
        }
        return false;
    }

private:
    std::vector<std::string> lines_;
};

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

class Served : public testing::Test {
protected:
    static void SetUpTestSuite() { curl_global_init(CURL_GLOBAL_ALL); }
    void SetUp() override {
        ASSERT_FALSE(env("ORVANE_TEST_HOST_REPORT").empty()) << "run through test_telemetry.py";
    }

    Log log_;
};

using Reporter = Served;

void reportSampleEvents() {
    OvReporter* reporter = OvReporter::instance();
    reporter->report(L"run_downloader");
    reporter->report(L"download_fail", [](JsonValue& p, JsonAllocator& a) {
        p.AddMember("failure_reason", JsonValue("9999_0", a), a);
    });
    reporter->report(L"download_duration", [](JsonValue& p, JsonAllocator& a) {
        p.AddMember("duration", JsonValue(1234), a);
        // Code-page text as every caller hands it over; it must arrive as UTF-8 once.
        const std::string name = common::wideToAnsi(L"caf\u00e9");
        p.AddMember("name", JsonValue(name.c_str(), static_cast<rapidjson::SizeType>(name.size()), a), a);
    });
}

// Reported before init, sent by the cycle that stop asks for.
TEST_F(Reporter, StopSendsWhatWasQueuedBeforeInit) {
    reportSampleEvents();
    OvReporter::instance()->init(L"1234", L"2-0123abcd", L"en");
    OvReporter::instance()->stop(3000);

    EXPECT_EQ(log_.count(kReporterTag, "post report quest"), 1);
    const std::string reply = env("ORVANE_TEST_REPORT_REPLY");
    ASSERT_FALSE(reply.empty());
    if (reply != "never") {
        EXPECT_EQ(log_.count(kReporterTag, "report ret:" + reply.substr(1)), 1);
    } else {
        // The server never answered: stop gave up on the worker.
        for (const std::string& line : log_.lines()) EXPECT_EQ(line.find("report ret:"), std::string::npos);
    }
}

// The first cycle sends what was queued before init. A stop that comes while
// that cycle's post is held up still gets a cycle of its own for what was
// reported since.
TEST_F(Reporter, StopDuringAPostStillSendsWhatCameAfterIt) {
    OvReporter* reporter = OvReporter::instance();
    reporter->report(L"run_downloader");
    reporter->init(L"1234", L"2-0123abcd", L"en");
    ASSERT_TRUE(log_.waitFor(kReporterTag, "post report quest"));  // the receiver holds it
    reporter->report(L"start_downloader");
    reporter->report(L"cancel_download");

    HANDLE stopping = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread stopper([&] {
        SetEvent(stopping);
        reporter->stop(kWaitLimitMs);
    });
    WaitForSingleObject(stopping, INFINITE);
    std::string answer;
    EXPECT_TRUE(OvCurlDownloader::downloadMemory(env("ORVANE_TEST_HOST_REPORT") + "/_release", answer));
    stopper.join();
    CloseHandle(stopping);

    EXPECT_EQ(log_.count(kReporterTag, "post report quest"), 2);
    EXPECT_EQ(log_.count(kReporterTag, "report ret:{\"code\":0,\"msg\":\"ok\"}"), 2);
}

TEST_F(Reporter, NothingQueuedPostsNothing) {
    OvReporter::instance()->init(L"1234", L"2-0123abcd", L"en");
    OvReporter::instance()->stop(3000);
    EXPECT_EQ(log_.count(kReporterTag, "waitfor event"), 1);
    EXPECT_EQ(log_.count(kReporterTag, "event comming"), 1);
    EXPECT_EQ(log_.count(kReporterTag, "no body"), 1);
    EXPECT_EQ(log_.count(kReporterTag, "post report quest"), 0);
}

using Analytics = Served;

bool waitUntilSent(const AnalyticsClient& client) {
    for (DWORD waited = 0; waited < kWaitLimitMs; waited += 50) {
        if (client.pendingEvents() == 0) return true;
        Sleep(50);
    }
    return false;
}

TEST_F(Analytics, QueuedEventsGoOutInOrderThenAnImmediateOne) {
    AnalyticsClient client;
    client.setMeasurement(L"G-TEST1", L"secret1");
    client.sendEvent(L"download_run", L"1234");
    client.sendEvent(L"download_defaultUrl", L"1234");
    client.sendEvent(L"download_installPlayerNotExit", L"1234_1");
    client.sendEvent(L"Download_googleDriver", L"");
    client.sendEvent(L"label_text", L"caf\u00e9");
    ASSERT_TRUE(waitUntilSent(client));
    client.sendEventNow(L"userCancel", L"1234");
    std::printf("client_id=%s\n", common::wideToAnsi(client.getClientId()).c_str());
}

using Model = Served;

// init hands the edition's analytics ids to the client and the client id to
// the reporter; the model's stop turns analytics off.
TEST_F(Model, InitWiresBothChannelsAndStopDisablesAnalytics) {
    DownloaderModel* model = DownloaderModel::instance();
    model->initFromPath(L"C:\\Downloads\\orvane9_kr_4321_x.exe", nullptr);
    ConfigImp* config = ConfigImp::getInstance();
    std::printf("measurement_id=%s\napi_secret=%s\n", common::wideToAnsi(config->getMeasurementId()).c_str(),
                common::wideToAnsi(config->getApiSecret()).c_str());

    model->trackEventNow(L"userCancel", model->openId);
    OvReporter::instance()->report(L"start_downloader");
    model->shutdown();
    model->trackEventNow(L"after_stop", model->openId);
    model->trackEvent(L"after_stop", model->openId);
    DownloaderModel::destroyInstance();
    OvReporter::instance()->stop(3000);
    EXPECT_EQ(log_.count(kReporterTag, "post report quest"), 1);
}

}  // namespace
