// What the progress pages show: the download status line, byte counter and
// bar, the install phase's bar, and the package page's line and bar.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ui/progresstext.h"

using namespace ui::progresstext;

namespace {

const wchar_t kDownloading[] = L"Downloading...";
const wchar_t kFetching[] = L"Getting version information...";
const int kMiB = 1048576;

DownloadView view(int percent, int done, int total, bool arabic = false) {
    return downloadView(percent, done, total, arabic, kDownloading, kFetching);
}

TEST(DownloadProgress, BeforeAnyBytes) {
    const DownloadView fetching = view(-1, 0, 0);
    EXPECT_EQ(DownloadUpdate::FetchingAddress, fetching.kind);
    EXPECT_EQ(kFetching, fetching.status);
    EXPECT_EQ(L"", fetching.counter);
    EXPECT_EQ(DownloadUpdate::Ignored, view(5, 0, 100 * kMiB).kind);
    EXPECT_EQ(DownloadUpdate::Ignored, view(5, 100, 0).kind);
}

TEST(DownloadProgress, TextsAndBar) {
    const struct {
        int percent;
        int done;
        int total;
        bool arabic;
        const wchar_t* status;
        const wchar_t* counter;
        int bar;
    } cases[] = {
        {0, 512, 100 * kMiB, false, L"Downloading...(0%)", L"512.00B/100.00M", 3},
        {3, 3 * kMiB, 100 * kMiB, false, L"Downloading...(3%)", L"3.00M/100.00M", 3},  // 1.89 raised to 3
        {50, 256 * kMiB, 512 * kMiB, false, L"Downloading...(50%)", L"256.00M/512.00M", 31},
        {100, 512 * kMiB, 512 * kMiB, false, L"Downloading...(100%)", L"512.00M/512.00M", 63},
        {2, 12 * kMiB + kMiB / 2, 512 * kMiB, false, L"Downloading...(2%)", L"12.50M/512.00M", 3},
        {0, 2048, 512 * kMiB, false, L"Downloading...(0%)", L"2.00KB/512.00M", 3},
        // Below 1 % a visible share shows as the fraction itself.
        {0, 999995, 100000000, false, L"Downloading...(0.0%)", L"976.56KB/95.37M", 3},
        // Arabic: no number, and no raise to 3.
        {1, kMiB, 100 * kMiB, true, L"Downloading...(", L"1.00M/100.00M", 1},
        {3, 3 * kMiB, 100 * kMiB, true, L"Downloading...(", L"3.00M/100.00M", 1},
        {50, 50 * kMiB, 100 * kMiB, true, L"Downloading...(", L"50.00M/100.00M", 31},
        // Byte counts come as their low 32 bits; up to 4 GiB they still read right.
        {80, static_cast<int>(0xC0000000u), static_cast<int>(0xF0000000u), false, L"Downloading...(80%)",
         L"3072.00M/3840.00M", 50},
    };
    for (const auto& c : cases) {
        const DownloadView v = view(c.percent, c.done, c.total, c.arabic);
        EXPECT_EQ(DownloadUpdate::Progress, v.kind) << c.status;
        EXPECT_EQ(c.status, v.status);
        EXPECT_EQ(c.counter, v.counter) << c.status;
        EXPECT_EQ(c.bar, v.bar) << c.status;
    }
}

TEST(InstallProgress, TimerFillsTheRestThenWaits) {
    int step = 0;
    std::vector<int> bars;
    for (int tick = 0; tick < 21; ++tick) bars.push_back(installTickBar(step));
    const std::vector<int> expected = {64, 66, 68, 70, 72, 74, 76, 78,  80,  82, 84,
                                       86, 88, 90, 92, 94, 96, 98, 100, 100, 100};
    EXPECT_EQ(expected, bars);
}

TEST(PackageProgress, StatusLine) {
    const struct {
        int index;
        std::size_t count;
        std::int64_t current;
        std::int64_t total;
        const wchar_t* text;
    } cases[] = {
        {1, 2, 12LL * kMiB, 240LL * kMiB,
         L"Downloading Farm Story (1/2)\xFF1A"
         L"12M / 240M (<c #268fd6>5%</c>)"},
        {2, 2, 240LL * kMiB, 240LL * kMiB,
         L"Downloading Farm Story (2/2)\xFF1A"
         L"240M / 240M (<c #268fd6>100%</c>)"},
        {1, 1, 12LL * kMiB, 240LL * kMiB,
         L"Downloading Farm Story\xFF1A"
         L"12M / 240M (<c #268fd6>5%</c>)"},
        {1, 1, 512000, 900000,
         L"Downloading Farm Story\xFF1A"
         L"500KB / 0M (<c #268fd6>56%</c>)"},
        {1, 1, 0, 0,
         L"Downloading Farm Story\xFF1A"
         L"0KB / 0M (<c #268fd6>0%</c>)"},
        // Past 2 GiB nothing wraps.
        {1, 1, 3LL * 1024 * kMiB, 4LL * 1024 * kMiB,
         L"Downloading Farm Story\xFF1A"
         L"3072M / 4096M (<c #268fd6>75%</c>)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, packageText(L"Downloading", L"Farm Story", c.index, c.count, c.current, c.total));
}

TEST(PackageProgress, Bars) {
    const int percents[] = {0, 1, 2, 3, 50, 99, 100, 150};
    const int bars[] = {0, 3, 3, 3, 50, 99, 99, 99};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(bars[i], packageBar(percents[i])) << percents[i];

    int counter = 0;
    std::vector<int> shown;
    bool stopped = false;
    while (!stopped) {
        stopped = packageInstallTick(counter);
        shown.push_back(counter);
    }
    EXPECT_EQ(3, shown.front());  // 1 and 2 are skipped
    EXPECT_EQ(4, shown[1]);
    EXPECT_EQ(98, shown.back());
    EXPECT_EQ(96u, shown.size());  // 3 .. 98
}

}  // namespace
