// The installer's road without a window: this program plays the main
// window (registers the callbacks, starts the download, starts the install
// when the download succeeded) and pumps the window thread, from
// DownloaderModel::init to onInstallFinished. test_road.py serves the
// documents, the package (the installer stand-in) and the images, receives
// the reports and checks the files; one case per process, since the model,
// the reporter and the timer's tick count are process-wide.
//   ORVANE_TEST_HOST           origin of the loopback server (every role)
//   ORVANE_STANDIN_INSTALLER   what the installer stand-in does (its own switch)
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "common/textconv.h"
#include "config/endpoints.h"
#include "config/names.h"
#include "model/DownloaderModel.h"
#include "net/CHttpDownloader.h"
#include "support/TestSupport.h"
#include "telemetry/OvReporter.h"
#include "utility/WindowIPC.h"
#include "utility/ufile.h"

using testsupport::readFile;
using testsupport::takeLogLines;

namespace {

// The launch name: edition 9, English, channel 12345, tracking id GA1.2.
const wchar_t kExePath[] = L"C:\\users\\Public\\Downloads\\orvane9_en_12345_GA1.2_x.exe";
const wchar_t kInstallPath[] = L"C:\\Orvane\\Orvane9\\";  // C: is the prefix's only fixed drive
const wchar_t kArguments[] =
    L"-silence -downloader -openid=12345 -language=en -path=\"C:\\Orvane\\Orvane9\\\" -googleid=GA1.2";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const DWORD kRoadLimitMs = 240000;  // a bound against hangs only

std::vector<std::wstring> messagesWithTag(const std::vector<std::string>& lines, const std::string& tag) {
    std::vector<std::wstring> messages;
    for (const auto& line : lines) {
        if (line.find("\t" + tag + "\t(") == std::string::npos) continue;
        messages.push_back(common::utf8ToWide(line.substr(line.find("):") + 2)));
    }
    return messages;
}

class Road : public testing::Test, public utility::IWindowIPCHandle {
protected:
    void SetUp() override {
        ASSERT_FALSE(config::endpoints::origin(config::endpoints::Host::Content).empty());
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        testsupport::captureLog();  // this thread is the window thread from now on
        setNewsAutostart();
        model_ = DownloaderModel::instance();
        model_->onProgress = [this](int, int, int) { ++progressCalls_; };
        model_->onCurlProgress = [this](int) { ++curlProgressCalls_; };
        model_->onDownloadSucceeded = [this] {
            downloaded_ = 1;
            if (beforeInstall_) beforeInstall_();
            if (install_) model_->startInstallPlayer();
        };
        model_->onDownloadFailed = [this] { downloaded_ = 0; };
        model_->onInstallFinished = [this](bool success) { installed_ = success ? 1 : 0; };
        model_->initFromPath(kExePath, nullptr);
    }

    void TearDown() override {
        DownloaderModel::destroyInstance();
        // The last batch of reports goes out now.
        OvReporter::instance()->stop(20000);
        CoUninitialize();
    }

    int onHandleWindowIPC(unsigned int message, int wParam, int) override {
        ipcMessages_.push_back({message, wParam});
        return 0;
    }

    // Runs the window thread's loop until done() holds.
    bool pumpUntil(const std::function<bool()>& done) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > kRoadLimitMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        return true;
    }

    bool runToDownloadEnd() {
        model_->startDownloadPlayer();
        return pumpUntil([this] { return downloaded_ != -1; });
    }
    bool runToInstallEnd() {
        install_ = true;
        model_->startDownloadPlayer();
        return pumpUntil([this] { return installed_ != -1 || downloaded_ == 0; });
    }

    // Waits until the analytics receiver has accepted count events, so
    // that none is dropped with the model.
    static void waitForAnalytics(int count) {
        const std::wstring url =
            config::endpoints::origin(config::endpoints::Host::Analytics) + L"/_test/analytics";
        for (int i = 0; i < 300; ++i) {
            utility::CHttpDownloader client;
            std::string body;
            if (client.downloadToMemory(url, body) && std::atoi(body.c_str()) >= count) return;
            Sleep(100);
        }
        ADD_FAILURE() << "the analytics receiver never got " << count << " events";
    }

    static void setNewsAutostart() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, kRunKey, &key), ERROR_SUCCESS);
        const wchar_t value[] = L"C:\\news.exe";
        RegSetValueExW(key, L"OvNews", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
        RegCloseKey(key);
    }
    static bool newsAutostartExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        const bool found =
            RegQueryValueExW(key, L"OvNews", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
        return found;
    }

    std::wstring installer() const { return std::wstring(kInstallPath) + L"\\Orvane.exe"; }

    DownloaderModel* model_ = nullptr;
    bool install_ = false;
    std::function<void()> beforeInstall_;
    int downloaded_ = -1;  // -1 not yet, 0 failed, 1 succeeded
    int installed_ = -1;
    int progressCalls_ = 0;
    int curlProgressCalls_ = 0;
    std::vector<std::pair<unsigned, int>> ipcMessages_;
};

TEST_F(Road, FromInitToInstallFinished) {
    ASSERT_TRUE(runToInstallEnd());
    EXPECT_EQ(downloaded_, 1);
    EXPECT_EQ(installed_, 1);
    EXPECT_GT(progressCalls_, 0);
    EXPECT_EQ(curlProgressCalls_, 0);  // the system client brought it
    EXPECT_EQ(model_->installPath, kInstallPath);

    // The installer ran with exactly the campaign's argument line.
    const std::wstring record =
        common::utf8ToWide(readFile(std::wstring(kInstallPath) + L"standin_record.txt"));
    EXPECT_EQ(record, L"Orvane.exe\t\"" + installer() + L"\" " + kArguments + L"\r\n");
    wchar_t folder[1024] = {};
    DWORD size = sizeof(folder);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Brennot\\Orvane9", L"InstallDir", RRF_RT_REG_SZ,
                           nullptr, folder, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(folder, kInstallPath);
    EXPECT_FALSE(newsAutostartExists());  // ads are off for this channel

    const auto log = takeLogLines();
    EXPECT_EQ(messagesWithTag(log, "DownloaderModel::_threadInsPlayer").front(),
              std::wstring(L"install player param: ") + kArguments);
    const auto download = messagesWithTag(log, "DownloaderModel::_threadDownloadPlayer");
    ASSERT_FALSE(download.empty());
    EXPECT_EQ(download.back().rfind(L"download finished, success = 1, elapse = ", 0), 0u);
    EXPECT_TRUE(messagesWithTag(log, "OvCurlDownloader::downloadFile").empty());
}

TEST_F(Road, NotFoundFailsOnBothStacks) {
    ASSERT_TRUE(runToDownloadEnd());
    EXPECT_EQ(downloaded_, 0);
    const auto log = takeLogLines();
    const auto download = messagesWithTag(log, "DownloaderModel::_threadDownloadPlayer");
    ASSERT_EQ(download.size(), 3u);
    EXPECT_EQ(download[0], L"download player");
    EXPECT_EQ(download[1], L"download by ovcurl");
    EXPECT_EQ(download[2].rfind(L"download finished, success = 0, elapse = ", 0), 0u);
    EXPECT_FALSE(utility::ufile::exists(installer()));
}

TEST_F(Road, LibcurlFileUnderAMebibyteIsAFailure) {
    ASSERT_TRUE(runToDownloadEnd());
    EXPECT_EQ(downloaded_, 0);
    // The error page stays where the package would have been.
    std::uint64_t size = 0;
    EXPECT_TRUE(utility::ufile::getFileSize(installer(), size));
    EXPECT_EQ(size, 4096u);
}

TEST_F(Road, LibcurlFileOfAMebibyteIsTheDownload) {
    ASSERT_TRUE(runToDownloadEnd());
    EXPECT_EQ(downloaded_, 1);
    std::uint64_t size = 0;
    EXPECT_TRUE(utility::ufile::getFileSize(installer(), size));
    EXPECT_GE(size, 1048576u);
}

TEST_F(Road, AddressNeverArrivesDefaultAfterThreeTicks) {
    const DWORD start = GetTickCount();
    DWORD firstProgress = 0;
    model_->onProgress = [&](int, int, int) {
        if (!firstProgress) firstProgress = GetTickCount();
    };
    ASSERT_TRUE(runToDownloadEnd());
    EXPECT_EQ(downloaded_, 1);
    // Three ticks wait, the fourth (4 s after the start) falls back.
    ASSERT_NE(firstProgress, 0u);
    EXPECT_GE(firstProgress - start, 3500u);
    const auto log = takeLogLines();
    EXPECT_EQ(messagesWithTag(log, "DownloaderModel::startDownloadPlayer"),
              std::vector<std::wstring>{L"start downloader. bug getting player url"});
    waitForAnalytics(1);
}

TEST_F(Road, LateAddressIsWaitedFor) {
    ASSERT_TRUE(runToDownloadEnd());
    EXPECT_EQ(downloaded_, 1);
    EXPECT_EQ(messagesWithTag(takeLogLines(), "DownloaderModel::startDownloadPlayer"),
              std::vector<std::wstring>{L"start downloader. bug getting player url"});
}

TEST_F(Road, MissingInstallerIsReportedAndTheSettingsStillApplied) {
    beforeInstall_ = [this] { DeleteFileW(installer().c_str()); };
    ASSERT_TRUE(runToInstallEnd());
    EXPECT_EQ(installed_, 0);
    EXPECT_TRUE(utility::ufile::exists(std::wstring(kInstallPath) + L"data\\data.ini"));
    waitForAnalytics(1);
}

TEST_F(Road, HangingInstallerTimesOut) {
    DownloaderModel::setInstallerWaitMs(3000);
    ASSERT_TRUE(runToInstallEnd());
    EXPECT_EQ(installed_, 0);
    EXPECT_TRUE(utility::ufile::exists(std::wstring(kInstallPath) + L"data\\data.ini"));
    EXPECT_EQ(messagesWithTag(takeLogLines(), "DownloaderModel::runInstaller"),
              std::vector<std::wstring>{L"installer wait ended without the installer: timeout"});
}

TEST_F(Road, InstallerFailureMessageReachesTheEndpoint) {
    utility::WindowIPC endpoint;
    ASSERT_TRUE(endpoint.create(config::names::kInstanceName, this));
    ASSERT_TRUE(runToInstallEnd());
    ASSERT_TRUE(pumpUntil([this] { return !ipcMessages_.empty(); }));
    EXPECT_EQ(ipcMessages_.front().first, config::names::kMsgInstallerFailed);
    EXPECT_EQ(installed_, 1);  // it ended in time; its exit code is not examined
}

}  // namespace
