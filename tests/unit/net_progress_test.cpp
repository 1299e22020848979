// The libcurl download's progress throttle, driven with chosen tick counts.
#include <gtest/gtest.h>

#include <vector>

#include "net/OvCurlDownloader.h"

namespace {

struct ProgressCase {
    const char* name;
    DWORD lastTick;
    double total;
    double done;
    DWORD now;
    int expected;  // -1: no callback
};

TEST(CurlProgress, ReportsOnlyWithKnownTotalAndAfterMoreThanASecond) {
    const ProgressCase cases[] = {
        {"first report", 0, 1000, 250, 5000, 25},
        {"total zero", 0, 0, 250, 5000, -1},
        {"total near zero", 0, 0.05, 0, 5000, -1},
        {"negative near zero", 0, -0.05, 0, 5000, -1},
        {"exactly 1000 ms later", 4000, 1000, 250, 5000, -1},
        {"1001 ms later", 4000, 1000, 250, 5001, 25},
        {"truncated percent", 0, 10000, 1999, 5000, 19},
        {"complete shows 99", 0, 1000, 1000, 5000, 99},
        {"overshoot shows 99", 0, 1000, 5000, 5000, 99},
        {"tick counter wrapped", 0xFFFFFF00u, 1000, 500, 0x400, 50},
    };
    for (const ProgressCase& c : cases) {
        std::vector<int> seen;
        OvCurlDownloader::ProgressRecord record;
        record.lastTick = c.lastTick;
        record.callback = [&seen](int percent) { seen.push_back(percent); };
        OvCurlDownloader::reportProgress(record, c.total, c.done, c.now);
        if (c.expected < 0) {
            EXPECT_TRUE(seen.empty()) << c.name;
            EXPECT_EQ(record.lastTick, c.lastTick) << c.name;
        } else {
            EXPECT_EQ(seen, std::vector<int>{c.expected}) << c.name;
            EXPECT_EQ(record.lastTick, c.now) << c.name;
        }
    }
}

// A burst of library calls yields one report per elapsed second, measured
// from the last report rather than from the first call.
TEST(CurlProgress, BurstIsThrottledFromTheLastReport) {
    std::vector<int> seen;
    OvCurlDownloader::ProgressRecord record;
    record.callback = [&seen](int percent) { seen.push_back(percent); };
    const DWORD ticks[] = {5000, 5500, 6000, 6001, 6500, 7001, 7002};
    double done = 0;
    for (DWORD tick : ticks) OvCurlDownloader::reportProgress(record, 100, done += 10, tick);
    // Reports at 5000 (10%), 6001 (40%) and 7002 (70%).
    EXPECT_EQ(seen, (std::vector<int>{10, 40, 70}));
}

TEST(CurlProgress, WithoutCallbackOnlyTheTickMoves) {
    OvCurlDownloader::ProgressRecord record;
    OvCurlDownloader::reportProgress(record, 100, 50, 9000);
    EXPECT_EQ(record.lastTick, 9000u);
}

}  // namespace
