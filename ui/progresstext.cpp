#include "ui/progresstext.h"

#include <cwchar>

namespace ui {
namespace progresstext {

namespace {

const float kMiB = 1048576.0f;
const float kKiB = 1024.0f;
const float kDownloadShare = 0.63f;
const int kLeastBar = 3;
const double kShownRatio = 0.0099999;
const int kInstallBarStart = 64;
const int kInstallStepCap = 36;
const wchar_t kFullWidthColon[] = L"\xFF1A";

std::wstring twoDecimals(float value) {
    wchar_t text[24];
    swprintf(text, 24, L"%0.2f", static_cast<double>(value));
    return text;
}

std::wstring byteCounter(std::uint32_t done, std::uint32_t total) {
    std::wstring counter;
    if (done < 1024) {
        counter = twoDecimals(static_cast<float>(done)) + L"B";
    } else if (done < 1048576) {
        counter = twoDecimals(static_cast<float>(done) / kKiB) + L"KB";
    } else {
        counter = twoDecimals(static_cast<float>(done) / kMiB) + L"M";
    }
    return counter + L"/" + twoDecimals(static_cast<float>(total) / kMiB) + L"M";
}

// The number in "(12%)": below 1 % a visible share shows as a fraction.
std::wstring percentText(int percent, std::uint32_t done, std::uint32_t total) {
    if (percent != 0) return std::to_wstring(percent);
    const float ratio = static_cast<float>(static_cast<double>(done) / static_cast<double>(total));
    if (ratio <= kShownRatio) return L"0";
    wchar_t text[24];
    swprintf(text, 24, L"%0.1f", static_cast<double>(ratio));
    return text;
}

}  // namespace

DownloadView downloadView(int percent, int done, int total, bool arabic, const std::wstring& downloading,
                          const std::wstring& fetching) {
    DownloadView view;
    if (percent == -1) {
        view.kind = DownloadUpdate::FetchingAddress;
        view.status = fetching;
        return view;
    }
    const auto doneBytes = static_cast<std::uint32_t>(done);
    const auto totalBytes = static_cast<std::uint32_t>(total);
    if (doneBytes == 0 || totalBytes == 0) return view;
    view.kind = DownloadUpdate::Progress;
    view.counter = byteCounter(doneBytes, totalBytes);
    view.status = downloading + L"(";
    float bar = static_cast<float>(percent) * kDownloadShare;
    if (bar < 1) bar = static_cast<float>(percent);
    if (!arabic) {
        view.status += percentText(percent, doneBytes, totalBytes) + L"%)";
        if (bar < kLeastBar) bar = kLeastBar;
    }
    view.bar = static_cast<int>(bar);
    return view;
}

int installTickBar(int& step) {
    if (step >= kInstallStepCap) step = kInstallStepCap;
    const int bar = kInstallBarStart + step;
    step += 2;
    return bar;
}

int packagePercent(std::int64_t current, std::int64_t total) {
    if (total <= 0) return 0;
    return static_cast<int>(static_cast<double>(current) / static_cast<double>(total) * 100);
}

std::wstring packageText(const std::wstring& label, const std::wstring& appName, int index, std::size_t count,
                         std::int64_t current, std::int64_t total) {
    std::wstring text = label + L" " + appName;
    if (count >= 2) text += L" (" + std::to_wstring(index) + L"/" + std::to_wstring(count) + L")";
    text += kFullWidthColon;
    const std::int64_t currentMiB = current / 1048576;
    text +=
        currentMiB != 0 ? std::to_wstring(currentMiB) + L"M / " : std::to_wstring(current / 1024) + L"KB / ";
    text += std::to_wstring(total / 1048576) + L"M (<c #268fd6>" +
            std::to_wstring(packagePercent(current, total)) + L"%</c>)";
    return text;
}

int packageBar(int percent) {
    if (percent == 1 || percent == 2) return 3;
    if (percent >= 100) return 99;
    return percent;
}

bool packageInstallTick(int& counter) {
    ++counter;
    if (counter == 1 || counter == 2) counter = 3;
    if (counter < 98) return false;
    counter = 98;
    return true;
}

}  // namespace progresstext
}  // namespace ui
