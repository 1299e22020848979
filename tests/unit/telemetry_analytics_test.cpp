// The analytics request (compact body, URL) and the client's queue: the
// limit of 100 waiting events, the disabled state, and destruction while a
// post is held up. The held-up post goes to a loopback socket that accepts
// connections and never answers.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/Handle.h"
#include "config/BuildSettings.h"
#include "telemetry/AnalyticsClient.h"

namespace {

TEST(AnalyticsRequest, BodyIsCompactWithMembersInOrder) {
    const struct {
        const wchar_t* clientId;
        const wchar_t* name;
        const wchar_t* label;
        const char* body;
    } cases[] = {
        {L"2-0123abcd", L"userCancel", L"100",
         R"({"client_id":"2-0123abcd","events":[{"name":"userCancel","params":{"event_category":"2.2","event_label":"100"}}]})"},
        {L"", L"download_run", L"",
         R"({"client_id":"","events":[{"name":"download_run","params":{"event_category":"2.2","event_label":""}}]})"},
        {L"id", L"Download_googleDriver", L"a\"b\\c",
         R"({"client_id":"id","events":[{"name":"Download_googleDriver","params":{"event_category":"2.2","event_label":"a\"b\\c"}}]})"},
    };
    for (const auto& c : cases) EXPECT_EQ(AnalyticsClient::body(c.clientId, c.name, c.label), c.body);
}

TEST(AnalyticsRequest, UrlCarriesTheIdsAsGiven) {
    EXPECT_EQ(AnalyticsClient::url(L"https://analytics.example.invalid", L"G-AB12", L"s3c=r&t"),
              L"https://analytics.example.invalid/mp/collect?measurement_id=G-AB12&api_secret=s3c=r&t");
}

struct SocketTraits {
    using type = SOCKET;
    static type invalid() noexcept { return INVALID_SOCKET; }
    static void close(type s) noexcept { closesocket(s); }
};
using Socket = common::UniqueHandle<SocketTraits>;

// A loopback peer that takes connections and never answers, so a post to it
// stays under way until the connection is dropped. The analytics endpoint
// of this test program points at it.
class SilentPeer : public testing::Test {
protected:
    static void SetUpTestSuite() { curl_global_init(CURL_GLOBAL_ALL); }

    void SetUp() override {
#if !ORVANE_TEST_ENDPOINTS
        GTEST_SKIP() << "needs a test build's endpoint override";
#endif
        WSADATA wsa;
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
        listener_.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        ASSERT_TRUE(listener_);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(listen(listener_.get(), 8), 0);
        int length = sizeof(address);
        ASSERT_EQ(getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
        const std::wstring origin = L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port));
        SetEnvironmentVariableW(L"ORVANE_TEST_HOST_ANALYTICS", origin.c_str());
        client_ = std::make_unique<AnalyticsClient>();
        client_->setMeasurement(L"G-TEST", L"secret");
    }

    void TearDown() override {
        client_.reset();
        connection_.reset();
        listener_.reset();
        SetEnvironmentVariableW(L"ORVANE_TEST_HOST_ANALYTICS", nullptr);
        WSACleanup();
    }

    // Blocks until a client connects, i.e. a post is under way.
    void acceptPost() {
        connection_.reset(accept(listener_.get(), nullptr, nullptr));
        ASSERT_TRUE(connection_);
    }

    bool connectionWaiting() {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener_.get(), &set);
        timeval now = {0, 0};
        return select(0, &set, nullptr, nullptr, &now) == 1;
    }

    Socket listener_;
    Socket connection_;
    std::unique_ptr<AnalyticsClient> client_;
};

TEST_F(SilentPeer, AHundredEventsWaitBehindTheOneBeingPostedAndMoreAreDropped) {
    client_->sendEvent(L"first", L"0");
    acceptPost();
    EXPECT_EQ(client_->pendingEvents(), 1u);

    for (int i = 0; i < 100; ++i) client_->sendEvent(L"queued", std::to_wstring(i));
    EXPECT_EQ(client_->pendingEvents(), 101u);
    client_->sendEvent(L"overflow", L"");
    EXPECT_EQ(client_->pendingEvents(), 101u);
}

// The destructor returns while the peer still holds the post; the worker
// ends on its own once the post fails, without the client.
TEST_F(SilentPeer, DestructionDoesNotWaitForAPostUnderWay) {
    client_->sendEvent(L"first", L"0");
    client_->sendEvent(L"second", L"0");
    acceptPost();
    client_.reset();
    connection_.reset();
}

TEST_F(SilentPeer, DisabledClientSendsNothing) {
    client_->disable();
    client_->sendEvent(L"download_run", L"100");
    EXPECT_EQ(client_->pendingEvents(), 0u);
    // A post would stay under way here for good; returning means none started.
    client_->sendEventNow(L"userCancel", L"100");
    EXPECT_FALSE(connectionWaiting());
}

}  // namespace
