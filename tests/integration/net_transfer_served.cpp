// Both transfer stacks against the loopback servers that test_net_transfer.py
// starts. The servers' addresses come in the environment:
//   ORVANE_TEST_HTTP              http://127.0.0.1:PORT of the content server
//   ORVANE_TEST_HTTPS             https://localhost:PORT, certificate of the test CA
//   ORVANE_TEST_HTTPS_WRONGHOST   ... a certificate for another host name
//   ORVANE_TEST_HTTPS_UNTRUSTED   ... a certificate of a CA nobody trusts
//   ORVANE_TEST_HTTPS_EXPIRED     ... an expired certificate of the test CA
//   ORVANE_TEST_CLOSED            http://127.0.0.1:PORT where nothing listens
//   ORVANE_TEST_CA_FILE           the test CA for libcurl (WinINet trusts it
//                                 through the prefix's Root store)
// The Python side checks what reached the servers.
#include <windows.h>
#include <wininet.h>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/Handle.h"
#include "common/textconv.h"
#include "net/CHttpDownloader.h"
#include "net/OvCurlDownloader.h"
#include "support/TestSupport.h"

namespace {

using utility::CHttpDownloader;

// Must match BODY_SIZE and pattern() in test_net_transfer.py.
const size_t kBodySize = 300000;
const char kDocument[] = "{\"mnq9\": {\"url\": \"http://127.0.0.1/ov.exe\"}}";

std::string patternBody() {
    std::string body(kBodySize, '\0');
    for (size_t i = 0; i < kBodySize; ++i) body[i] = static_cast<char>((i * 31 + 7) % 251);
    return body;
}

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Base URL of a server (narrow, as libcurl takes it).
std::string base(const char* server) {
    return env(server);
}
std::wstring wide(const std::string& url) {
    return common::ansiToWide(url);
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Served : public testing::Test {
protected:
    static void SetUpTestSuite() { curl_global_init(CURL_GLOBAL_ALL); }

    void SetUp() override {
        for (const char* name : {"ORVANE_TEST_HTTP", "ORVANE_TEST_HTTPS", "ORVANE_TEST_CLOSED"}) {
            ASSERT_FALSE(env(name).empty()) << name << " not set: run through test_net_transfer.py";
        }
    }

    std::string http(const char* path) const { return base("ORVANE_TEST_HTTP") + path; }

    testsupport::TempDir dir_;
    std::wstring target_ = dir_.file(L"download.bin");
};

struct Pair {
    int status;
    int error;
};

// downloadToFileWithStatus on a fresh downloader.
bool fileWithStatus(const std::string& url, const std::wstring& path, Pair& pair) {
    CHttpDownloader client;
    return client.downloadToFileWithStatus(wide(url), path, nullptr, pair.status, pair.error);
}

// --- the system client ------------------------------------------------------

class SystemClient : public Served {};

TEST_F(SystemClient, FetchesWhateverTheBodyFraming) {
    for (const char* path : {"/file.bin", "/chunked.bin", "/close.bin", "/chain"}) {
        CHttpDownloader client;
        std::string body;
        EXPECT_TRUE(client.downloadToMemory(wide(http(path)), body)) << path;
        EXPECT_TRUE(body == patternBody()) << path << ": " << body.size() << " bytes";

        Pair pair{};
        EXPECT_TRUE(
            client.downloadToFileWithStatus(wide(http(path)), target_, nullptr, pair.status, pair.error))
            << path;
        EXPECT_TRUE(testsupport::readFile(target_) == patternBody()) << path;
        EXPECT_EQ(pair.status, 9999) << path;
        EXPECT_EQ(pair.error, 0) << path;
    }
}

TEST_F(SystemClient, FetchesADocument) {
    CHttpDownloader client;
    std::string body;
    ASSERT_TRUE(client.downloadToMemory(wide(http("/doc.json")), body));
    EXPECT_EQ(body, kDocument);
}

class RecordingProgress : public CHttpDownloader::IHttpDownloadSink {
public:
    bool onHttpDownloadProgress(const char*, DWORD count, int64_t received, int64_t total) override {
        blocks.push_back(count);
        lastReceived = received;
        lastTotal = total;
        return true;
    }
    std::vector<DWORD> blocks;
    int64_t lastReceived = 0;
    int64_t lastTotal = 0;
};

TEST_F(SystemClient, ProgressTotalIsTheLengthOrTenMiB) {
    const struct {
        const char* path;
        int64_t total;
    } cases[] = {{"/file.bin", 300000}, {"/chunked.bin", 10485760}, {"/close.bin", 10485760}};
    for (const auto& c : cases) {
        CHttpDownloader client;
        RecordingProgress progress;
        ASSERT_TRUE(client.downloadToFile(wide(http(c.path)), target_, &progress)) << c.path;
        EXPECT_EQ(progress.lastReceived, static_cast<int64_t>(kBodySize)) << c.path;
        EXPECT_EQ(progress.lastTotal, c.total) << c.path;
        for (DWORD block : progress.blocks) EXPECT_LE(block, 32768u) << c.path;
    }
}

TEST_F(SystemClient, NotFoundRecordsStatusAndCreatesNoFile) {
    Pair pair{};
    EXPECT_FALSE(fileWithStatus(http("/missing"), target_, pair));
    EXPECT_EQ(pair.status, -1);
    EXPECT_EQ(pair.error, 404);
    EXPECT_FALSE(exists(target_));

    CHttpDownloader client;
    std::string body = "stale";
    EXPECT_FALSE(client.downloadToMemory(wide(http("/missing")), body));
    EXPECT_EQ(body, "");
}

TEST_F(SystemClient, EmptyBodyIsASuccess) {
    CHttpDownloader client;
    std::string body = "stale";
    EXPECT_TRUE(client.downloadToMemory(wide(http("/empty")), body));
    EXPECT_EQ(body, "");
    EXPECT_TRUE(client.downloadToFile(wide(http("/empty")), target_, nullptr));
    ASSERT_TRUE(exists(target_));
    EXPECT_EQ(testsupport::readFile(target_), "");
}

// A body cut short, or a redirect loop, ends with false and leaves no file;
// none of them may hang.
TEST_F(SystemClient, BrokenTransfersEndFalseWithoutFile) {
    // (A chunked body cut between chunks passes for complete: WinINet under
    // Wine reports no error for it, and the client never sees the chunks.)
    const struct {
        const char* path;
        Pair expected;
    } cases[] = {
        {"/cut.bin", {9999, 0}},  // failed after the header: nothing recorded
        {"/loop", {-1, 302}},     // the redirect no longer followed is refused
    };
    for (const auto& c : cases) {
        Pair pair{};
        EXPECT_FALSE(fileWithStatus(http(c.path), target_, pair)) << c.path;
        EXPECT_EQ(pair.status, c.expected.status) << c.path;
        EXPECT_EQ(pair.error, c.expected.error) << c.path;
        EXPECT_FALSE(exists(target_)) << c.path;

        CHttpDownloader client;
        std::string body;
        EXPECT_FALSE(client.downloadToMemory(wide(http(c.path)), body)) << c.path;
        EXPECT_TRUE(body.empty()) << c.path << ": " << body.size() << " bytes";
    }
}

TEST_F(SystemClient, UnreachableServerAndBadUrlRecordTheirStep) {
    Pair pair{};
    EXPECT_FALSE(fileWithStatus(base("ORVANE_TEST_CLOSED") + "/file.bin", target_, pair));
    EXPECT_EQ(pair.status, 6);
    EXPECT_EQ(pair.error, ERROR_INTERNET_CANNOT_CONNECT);

    EXPECT_FALSE(fileWithStatus("no url at all", target_, pair));
    EXPECT_EQ(pair.status, 1);
    EXPECT_NE(pair.error, 0);
    EXPECT_FALSE(exists(target_));
}

// abort() from another thread ends a download the server keeps waiting, and
// the stop flag stays: later downloads fail at their first data block, while
// failures before any data are still recorded.
TEST_F(SystemClient, AbortEndsTheDownloadAndTheStopFlagStays) {
    class FirstBlock : public CHttpDownloader::IHttpDownloadSink {
    public:
        bool onHttpDownloadProgress(const char*, DWORD, int64_t, int64_t) override {
            SetEvent(arrived.get());
            return true;
        }
        common::Handle arrived{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    } firstBlock;

    CHttpDownloader client;
    std::atomic<int> result{-1};
    std::thread worker(
        [&] { result = client.downloadToFile(wide(http("/stall.bin")), target_, &firstBlock); });
    // The wait only bounds a broken run; the server never finishes this body.
    const DWORD waited = WaitForSingleObject(firstBlock.arrived.get(), 60000);
    client.abort();
    worker.join();
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(exists(target_));

    Pair pair{};
    EXPECT_FALSE(
        client.downloadToFileWithStatus(wide(http("/file.bin")), target_, nullptr, pair.status, pair.error));
    EXPECT_EQ(pair.status, 9999);
    EXPECT_EQ(pair.error, 0);
    EXPECT_FALSE(exists(target_));

    EXPECT_FALSE(
        client.downloadToFileWithStatus(wide(http("/missing")), target_, nullptr, pair.status, pair.error));
    EXPECT_EQ(pair.status, -1);
    EXPECT_EQ(pair.error, 404);

    std::string body;
    EXPECT_FALSE(client.downloadToMemory(wide(http("/doc.json")), body));
}

// --- libcurl ------------------------------------------------------------------

class CurlClient : public Served {};

TEST_F(CurlClient, FetchesWhateverTheBodyFraming) {
    for (const char* path : {"/file.bin", "/chunked.bin", "/close.bin", "/chain"}) {
        std::string body;
        EXPECT_TRUE(OvCurlDownloader::downloadMemory(http(path), body)) << path;
        EXPECT_TRUE(body == patternBody()) << path << ": " << body.size() << " bytes";

        EXPECT_TRUE(OvCurlDownloader::downloadFile(target_, http(path), nullptr)) << path;
        EXPECT_TRUE(testsupport::readFile(target_) == patternBody()) << path;
        EXPECT_FALSE(exists(target_ + L".part")) << path;
    }
    std::string document;
    EXPECT_TRUE(OvCurlDownloader::downloadMemory(http("/doc.json"), document));
    EXPECT_EQ(document, kDocument);
}

TEST_F(CurlClient, EmptyBodyIsASuccess) {
    std::string body = "stale";
    EXPECT_TRUE(OvCurlDownloader::downloadMemory(http("/empty"), body));
    EXPECT_EQ(body, "");
    EXPECT_TRUE(OvCurlDownloader::downloadFile(target_, http("/empty"), nullptr));
    ASSERT_TRUE(exists(target_));
    EXPECT_EQ(testsupport::readFile(target_), "");
}

// Error pages, cut bodies, redirect loops and refused connections end with
// false; a file already at the target stays as it was.
TEST_F(CurlClient, FailuresKeepTheTargetAsItWas) {
    for (const std::string& url : {http("/missing"), http("/cut.bin"), http("/cut-chunked.bin"),
                                   http("/loop-curl"), base("ORVANE_TEST_CLOSED") + "/file.bin"}) {
        ASSERT_TRUE(testsupport::writeFile(target_, "earlier"));
        EXPECT_FALSE(OvCurlDownloader::downloadFile(target_, url, nullptr)) << url;
        EXPECT_EQ(testsupport::readFile(target_), "earlier") << url;
        EXPECT_FALSE(exists(target_ + L".part")) << url;

        std::string body = "stale";
        EXPECT_FALSE(OvCurlDownloader::downloadMemory(url, body)) << url;
    }
}

// The server trickles the body over a few seconds; reports come at least a
// second apart, never say 100, and never go back.
TEST_F(CurlClient, ProgressIsThrottled) {
    std::vector<std::pair<DWORD, int>> reports;
    ASSERT_TRUE(OvCurlDownloader::downloadFile(target_, http("/trickle.bin"), [&reports](int percent) {
        reports.emplace_back(GetTickCount(), percent);
    }));
    EXPECT_TRUE(testsupport::readFile(target_) == patternBody());
    ASSERT_FALSE(reports.empty());
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].second, 0);
        EXPECT_LE(reports[i].second, 99);
        if (i == 0) continue;
        EXPECT_GT(reports[i].first - reports[i - 1].first, 1000u) << i;
        EXPECT_GE(reports[i].second, reports[i - 1].second) << i;
    }
}

// What arrived at the server (header order, body bytes) is checked in Python.
TEST_F(CurlClient, PostsJsonAndReturnsTheAnswer) {
    const std::string body = common::wideToAnsi(L"{\"name\":\"caf\u00E9\"}");
    std::string response;
    ASSERT_TRUE(OvCurlDownloader::postRequest(http("/post"), body, {"X-First: 1", "X-Second:two"}, response));
    EXPECT_EQ(response, "{\"ok\":1}");
}

TEST_F(CurlClient, PostWithErrorStatusFails) {
    std::string response = "stale";
    EXPECT_FALSE(OvCurlDownloader::postRequest(http("/post-fail"), "{}", {}, response));
}

// --- HTTPS ----------------------------------------------------------------------

class Https : public Served {};

TEST_F(Https, TrustedServerServesBothStacks) {
    const std::string server = base("ORVANE_TEST_HTTPS");
    CHttpDownloader client;
    std::string body;
    EXPECT_TRUE(client.downloadToMemory(wide(server + "/doc.json"), body));
    EXPECT_EQ(body, kDocument);
    EXPECT_TRUE(client.downloadToFile(wide(server + "/file.bin"), target_, nullptr));
    EXPECT_TRUE(testsupport::readFile(target_) == patternBody());

    std::string curlBody;
    EXPECT_TRUE(OvCurlDownloader::downloadMemory(server + "/doc.json", curlBody));
    EXPECT_EQ(curlBody, kDocument);
    const std::wstring curlTarget = dir_.file(L"curl.bin");
    EXPECT_TRUE(OvCurlDownloader::downloadFile(curlTarget, server + "/file.bin", nullptr));
    EXPECT_TRUE(testsupport::readFile(curlTarget) == patternBody());
}

TEST_F(Https, BadCertificatesAreRefusedByBothStacks) {
    const struct {
        const char* server;
        std::vector<int> wininetErrors;
    } cases[] = {
        {"ORVANE_TEST_HTTPS_WRONGHOST", {ERROR_INTERNET_SEC_CERT_CN_INVALID}},
        // Wine reports an unknown root as a failed revocation check.
        {"ORVANE_TEST_HTTPS_UNTRUSTED", {ERROR_INTERNET_INVALID_CA, ERROR_INTERNET_SEC_CERT_REV_FAILED}},
        {"ORVANE_TEST_HTTPS_EXPIRED", {ERROR_INTERNET_SEC_CERT_DATE_INVALID}},
    };
    for (const auto& c : cases) {
        const std::string server = base(c.server);
        ASSERT_FALSE(server.empty()) << c.server;
        Pair pair{};
        EXPECT_FALSE(fileWithStatus(server + "/file.bin", target_, pair)) << c.server;
        EXPECT_EQ(pair.status, 6) << c.server;
        const bool certificateError =
            std::find(c.wininetErrors.begin(), c.wininetErrors.end(), pair.error) != c.wininetErrors.end();
        EXPECT_TRUE(certificateError) << c.server << ": error " << pair.error;
        EXPECT_FALSE(exists(target_)) << c.server;

        std::string body;
        EXPECT_FALSE(OvCurlDownloader::downloadMemory(server + "/doc.json", body)) << c.server;
        EXPECT_FALSE(OvCurlDownloader::downloadFile(target_, server + "/file.bin", nullptr)) << c.server;
        EXPECT_FALSE(exists(target_)) << c.server;
    }
}

// Both stacks keep a secure transfer secure when the server redirects it.
TEST_F(Https, RedirectToPlainHttpIsRefused) {
    const std::string url = base("ORVANE_TEST_HTTPS") + "/downgrade";
    Pair pair{};
    EXPECT_FALSE(fileWithStatus(url, target_, pair));
    EXPECT_EQ(pair.status, -1);
    EXPECT_EQ(pair.error, 302);
    std::string body;
    EXPECT_FALSE(OvCurlDownloader::downloadMemory(url, body));
    EXPECT_FALSE(OvCurlDownloader::downloadFile(target_, url, nullptr));
    EXPECT_FALSE(exists(target_));
}

}  // namespace
