#include "model/PlayerDownload.h"

#include <cstdint>

#include "common/log.h"
#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "net/OvCurlDownloader.h"
#include "telemetry/OvReporter.h"
#include "utility/ufile.h"

namespace playerdownload {

int roundedElapseSeconds(DWORD elapsedMs) {
    return static_cast<int>((elapsedMs / 1000 + 29) / 30 * 30);
}

std::string failureReason(int status, int error) {
    return std::to_string(status) + "_" + std::to_string(error);
}

int progressPercent(long long done, long long total) {
    if (total <= 0) return 0;
    return static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * 100);
}

}  // namespace playerdownload

namespace {

const unsigned kDefaultUrlTickMs = 1000;
const unsigned kTicksBeforeFallback = 3;
const DWORD kProgressIntervalMs = 1000;
const unsigned kMoveReplaceAllowCopy = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED;

}  // namespace

bool DownloaderModel::playerUrlKnown() const {
    return !playerUrlThread_.isRunning() && !playerUrl.empty();
}

void DownloaderModel::startDownloadPlayer() {
    if (playerUrlKnown()) {
        startDownloadWorker();
        return;
    }
    OV_LOG("DownloaderModel::startDownloadPlayer", L"start downloader. bug getting player url");
    Runable* tick = new MemberFuncRunable<DownloaderModel>(this, &DownloaderModel::downloadDefaultUrlTick);
    if (!defaultUrlTimer_.start(kDefaultUrlTickMs, tick)) tick->release();  // refused: still ours
}

// One worker run per process: a second start finds the thread and does nothing.
void DownloaderModel::startDownloadWorker() {
    Runable* work = new MemberFuncRunable<DownloaderModel>(this, &DownloaderModel::_threadDownloadPlayer);
    if (!downloadThread_.start(work)) work->release();
}

void DownloaderModel::downloadDefaultUrlTick() {
    const unsigned tick = defaultUrlTicks_++;
    if (tick < kTicksBeforeFallback && !playerUrlKnown()) return;
    // Worker A may still set the address. Waiting for it here would hold the
    // window thread for as long as its transfers take, so the timer keeps
    // ticking until it has ended.
    if (playerUrlThread_.isRunning()) return;
    playerUrlThread_.stop(0);
    if (playerUrl.empty()) {
        playerUrl = ConfigImp::getInstance()->getFullInstallerUrl();
        trackEvent(L"download_defaultUrl", openId);
    }
    startDownloadPlayer();
    defaultUrlTimer_.stop();  // releases this tick's item: nothing of it is used afterwards
}

void DownloaderModel::_threadDownloadPlayer() {
    const char* tag = "DownloaderModel::_threadDownloadPlayer";
    OV_LOG(tag, L"download player");
    if (!utility::ufile::exists(installPath)) utility::ufile::makeDir(installPath);
    lastProgressTick = 0;
    const std::wstring target = ConfigImp::getInstance()->getInstallerFileName(installPath);
    downloadStartTick = GetTickCount();

    bool ok = _downloadByNet(target);
    // libcurl cannot be aborted, so a worker being stopped does not start it.
    if (!ok && !downloadThread_.isStopping()) {
        OV_LOG(tag, L"download by ovcurl");
        auto progress = [this](int percent) {
            uiTasks_.post(new FunctionRunable([this, percent] {
                if (onCurlProgress) onCurlProgress(percent);
            }));
        };
        if (OvCurlDownloader::downloadFile(target, common::wideToAnsi(playerUrl), progress)) {
            std::uint64_t size = 0;
            utility::ufile::getFileSize(target, size);
            ok = size >= playerdownload::kMinCurlPackageBytes;
        }
    }

    const DWORD elapsed = GetTickCount() - downloadStartTick;
    if (ok) {
        uiTasks_.post(new FunctionRunable([this] {
            if (onDownloadSucceeded) onDownloadSucceeded();
        }));
        OvReporter::instance()->report(L"download_success");
        const int duration = static_cast<int>(elapsed);
        OvReporter::instance()->report(L"download_duration", [duration](JsonValue& p, JsonAllocator& a) {
            p.AddMember("duration", JsonValue(duration), a);
        });
    } else {
        uiTasks_.post(new FunctionRunable([this] {
            if (onDownloadFailed) onDownloadFailed();
        }));
        const std::string reason = playerdownload::failureReason(netStatusCode, netErrorCode);
        OvReporter::instance()->report(L"download_fail", [reason](JsonValue& p, JsonAllocator& a) {
            p.AddMember("failure_reason", JsonValue(reason.c_str(), a), a);
        });
    }
    OV_LOG(tag, L"download finished, success = %d, elapse = %d", ok ? 1 : 0,
           playerdownload::roundedElapseSeconds(elapsed));
}

bool DownloaderModel::_downloadByNet(const std::wstring& target) {
    const char* tag = "DownloaderModel::_downloadByNet";
    lastProgressTick = 0;
    OV_LOG(tag, L"start download player playerurl is %s", playerUrl.c_str());
    const std::wstring temporary = target + L".tmp";
    utility::ufile::removeFile(temporary);
    netStatusCode = 9999;
    netErrorCode = 0;
    bool ok = packageClient_.downloadToFile(playerUrl, temporary, this);
    if (!ok) {
        // The abort stops the second try at its first data block: it is made
        // for the status of a failure that comes before any data.
        packageClient_.abort();
        ok = packageClient_.downloadToFileWithStatus(playerUrl, temporary, this, netStatusCode, netErrorCode);
    }
    if (!ok) {
        OV_LOG(tag, L"download file error file = %s", target.c_str());
        return false;
    }
    utility::ufile::moveFile(temporary, target, kMoveReplaceAllowCopy);
    OV_LOG(tag, L"download file success file = %s", target.c_str());
    return true;
}

bool DownloaderModel::onHttpDownloadProgress(const char*, DWORD, int64_t received, int64_t total) {
    const DWORD now = GetTickCount();
    // Unsigned difference: stays right when the tick count wraps.
    if (lastProgressTick != 0 && now - lastProgressTick < kProgressIntervalMs) return true;
    lastProgressTick = now;
    const long long done = received;
    const long long all = total;
    uiTasks_.post(new FunctionRunable([this, done, all] {
        if (!onProgress) return;
        onProgress(playerdownload::progressPercent(done, all),
                   static_cast<int>(static_cast<std::uint32_t>(done)),
                   static_cast<int>(static_cast<std::uint32_t>(all)));
    }));
    return true;
}
