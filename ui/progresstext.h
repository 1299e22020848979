// What the progress pages show for a progress report, kept apart from the
// window so the texts and bar values can be checked without one.
#pragma once

#include <cstdint>
#include <string>

namespace ui {
namespace progresstext {

// The download part of the main bar: 0 to 63; the install timer fills the rest.
enum class DownloadUpdate {
    FetchingAddress,  // percent -1: the model still looks for the address
    Ignored,          // nothing known yet (no bytes, or no total)
    Progress,
};

struct DownloadView {
    DownloadUpdate kind = DownloadUpdate::Ignored;
    std::wstring status;   // the status line (FetchingAddress, Progress)
    std::wstring counter;  // the byte counter: empty while fetching
    int bar = 0;           // Progress only
};

// percent is the model's whole percentage (-1 while fetching the address);
// done and total are the low 32 bits of the byte counts, read as unsigned so
// that files up to 4 GiB show right. downloading and fetching are the texts
// of "Label_downloading" and "Label_getversion_info"; arabic drops the
// number and the raise to 3.
DownloadView downloadView(int percent, int done, int total, bool arabic, const std::wstring& downloading,
                          const std::wstring& fetching);

// The install phase: 64 + step (step capped at 36); the step then moves on by 2.
int installTickBar(int& step);

// The package page's status line: label + " " + appName, "(index/count)" for
// two or more packages, the full-width colon, the sizes and the coloured
// percentage.
std::wstring packageText(const std::wstring& label, const std::wstring& appName, int index, std::size_t count,
                         std::int64_t current, std::int64_t total);
// current / total as a whole percentage; 0 for an unknown total.
int packagePercent(std::int64_t current, std::int64_t total);
// The package bar for a percentage: 1 and 2 show 3, 100 and more show 99.
int packageBar(int percent);

// The package install timer: the counter moves on by 1, 1 and 2 become 3,
// 98 and more stay 98; true once it stopped at 98 (the timer ends).
bool packageInstallTick(int& counter);

}  // namespace progresstext
}  // namespace ui
