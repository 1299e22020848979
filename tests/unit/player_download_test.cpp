// The package download's pure rules, and its progress throttle as the
// window sees it: posts pumped on this thread (the dispatcher's). The
// transfers themselves run against servers in tests/integration/test_road.py.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "model/DownloaderModel.h"
#include "model/PlayerDownload.h"
#include "support/TestSupport.h"

namespace {

TEST(PlayerDownload, ElapseIsRoundedUpToHalfMinutes) {
    const struct {
        DWORD elapsedMs;
        int seconds;
    } cases[] = {{0, 0}, {500, 0}, {999, 0}, {1000, 30}, {30000, 30}, {30999, 30}, {31000, 60}, {61000, 90}};
    for (const auto& c : cases)
        EXPECT_EQ(playerdownload::roundedElapseSeconds(c.elapsedMs), c.seconds) << c.elapsedMs;
}

TEST(PlayerDownload, FailureReasonJoinsStatusAndError) {
    EXPECT_EQ(playerdownload::failureReason(9999, 0), "9999_0");
    EXPECT_EQ(playerdownload::failureReason(-1, 404), "-1_404");
    EXPECT_EQ(playerdownload::failureReason(-2, 5), "-2_5");
}

TEST(PlayerDownload, ProgressPercent) {
    EXPECT_EQ(playerdownload::progressPercent(0, 100), 0);
    EXPECT_EQ(playerdownload::progressPercent(999, 1000), 99);  // cut, not rounded
    EXPECT_EQ(playerdownload::progressPercent(5000000000LL, 5000000000LL), 100);
    EXPECT_EQ(playerdownload::progressPercent(10, 0), 0);  // no total: no division
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

struct Progress {
    int percent;
    int done;
    int total;
    bool operator==(const Progress& o) const {
        return percent == o.percent && done == o.done && total == o.total;
    }
};

TEST(PlayerDownload, ProgressReachesTheWindowAtMostOnceASecond) {
    testsupport::captureLog();  // makes this thread the dispatcher's
    DownloaderModel* model = DownloaderModel::instance();
    std::vector<Progress> seen;
    model->onProgress = [&](int percent, int done, int total) { seen.push_back({percent, done, total}); };

    model->lastProgressTick = 0;  // as a download starts
    EXPECT_TRUE(model->onHttpDownloadProgress("x", 1, 50, 200));
    EXPECT_TRUE(model->onHttpDownloadProgress("x", 1, 100, 200));  // within the second: dropped
    pump();
    EXPECT_EQ(seen, (std::vector<Progress>{{25, 50, 200}}));

    // A second later (the tick count may have wrapped in between).
    model->lastProgressTick = GetTickCount() - 1000;
    const long long big = 0x100000005LL;  // beyond 32 bits: the window gets the low bits
    EXPECT_TRUE(model->onHttpDownloadProgress("x", 1, big, big));
    pump();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], (Progress{100, 5, 5}));

    // Nothing reaches the window after the model's shutdown.
    model->lastProgressTick = GetTickCount() - 1000;
    model->onHttpDownloadProgress("x", 1, 1, 2);
    model->shutdown();
    pump();
    EXPECT_EQ(seen.size(), 2u);
    DownloaderModel::destroyInstance();
}

}  // namespace
