// The report batch as the server receives it (pretty JSON, members in their
// order, the identity in every event, the events' own members last) and the
// request signature; expected digests come from an independent MD5.
#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "rapidjson/document.h"
#include "telemetry/reportbatch.h"

namespace {

namespace reportbatch = telemetry::reportbatch;

const reportbatch::Identity kIdentity = {L"1234", L"2-0123abcd", L"en"};

TEST(ReportBody, NoEventsMakeAnEmptyArray) {
    EXPECT_EQ(reportbatch::body({}, kIdentity), "[]");
}

// Two events of the same second: one with members of its own, one without.
TEST(ReportBody, IsPrettyWithMembersInOrderAndAFreshIdPerEvent) {
    std::list<ReportEvent> events;
    events.push_back({L"download_fail", 1700000000000ULL, [](JsonValue& p, JsonAllocator& a) {
                          p.AddMember("failure_reason", JsonValue("xp", a), a);
                          p.AddMember("duration", JsonValue(-5), a);
                      }});
    events.push_back({L"run_downloader", 1700000000000ULL, nullptr});
    const std::string body = reportbatch::body(events, kIdentity);

    rapidjson::Document parsed;
    ASSERT_FALSE(parsed.Parse(body.c_str()).HasParseError()) << body;
    ASSERT_TRUE(parsed.IsArray() && parsed.Size() == 2) << body;
    const std::string id0 = parsed[0]["eventId"].GetString();
    const std::string id1 = parsed[1]["eventId"].GetString();
    EXPECT_EQ(id0.size(), 36u);
    EXPECT_NE(id0, id1);

    // The ids are new each time; the rest is fixed text.
    std::string expected = R"([
    {
        "appId": 1,
        "eventId": "@0",
        "eventKey": "download_fail",
        "timestamp": 1700000000000,
        "properties": {
            "mnq_version": "2.2",
            "mnq_mac": "2-0123abcd",
            "device_id": "2-0123abcd",
            "openid": "1234",
            "language": "en",
            "downloader_package": 1,
            "failure_reason": "xp",
            "duration": -5
        }
    },
    {
        "appId": 1,
        "eventId": "@1",
        "eventKey": "run_downloader",
        "timestamp": 1700000000000,
        "properties": {
            "mnq_version": "2.2",
            "mnq_mac": "2-0123abcd",
            "device_id": "2-0123abcd",
            "openid": "1234",
            "language": "en",
            "downloader_package": 1
        }
    }
])";
    expected.replace(expected.find("@0"), 2, id0);
    expected.replace(expected.find("@1"), 2, id1);
    EXPECT_EQ(body, expected);
}

TEST(ReportBody, EveryBuildGivesNewEventIds) {
    const std::list<ReportEvent> events = {{L"start_downloader", 1000, nullptr}};
    rapidjson::Document first, second;
    first.Parse(reportbatch::body(events, kIdentity).c_str());
    second.Parse(reportbatch::body(events, kIdentity).c_str());
    EXPECT_STRNE(first[0]["eventId"].GetString(), second[0]["eventId"].GetString());
}

// T = 1700000000123; the digest input is the salt, T and N * 1024.
TEST(ReportSignature, SignsTimeAndEventCount) {
    const struct {
        std::size_t events;
        const char* signature;
    } cases[] = {{1, "e43ba3a8"}, {2, "6982c59e"}, {3, "04e6dd3c"}};
    for (const auto& c : cases) {
        const std::vector<std::string> expected = {"timestamp: 1700000000123",
                                                   std::string("signature: ") + c.signature};
        EXPECT_EQ(reportbatch::signatureHeaders(1700000000123ULL, c.events), expected) << c.events;
    }
}

TEST(ReportSignature, RequestTimeEndsInTheTickCountNotTheClock) {
    EXPECT_EQ(reportbatch::requestTime(1700000000, 4123456789u), 1700000000789ULL);
    EXPECT_EQ(reportbatch::requestTime(1700000000, 5), 1700000000005ULL);
}

}  // namespace
