// The installer's model: the launch parameters, the language, the install
// location, the remote settings, and the download, install and launch of the
// emulator that work on them.
//
// One per process, created by the first instance() call (normally on the
// window thread during start-up) and destroyed by destroyInstance() after
// shutdown(). init, shutdown, the getters and setLanguageCode belong to the
// window thread. Worker threads write the text fields without locks: each
// field is written by one step of the flow and read by later steps. The five
// callbacks are assigned once by the window before any download starts and
// are only ever called on the window thread, never when empty.
//
//   DownloaderModel* model = DownloaderModel::instance();
//   model->init(commandLine);
//   ...
//   model->shutdown();
//   DownloaderModel::destroyInstance();
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Handle.h"
#include "common/RunableThread.h"
#include "common/UiDispatcher.h"
#include "model/GamePackage.h"
#include "model/LanguageProfile.h"
#include "net/CHttpDownloader.h"
#include "telemetry/AnalyticsClient.h"

namespace playerinstall {
struct InstallJob;
class ModelLink;
}  // namespace playerinstall

class DownloaderModel final : public utility::CHttpDownloader::IHttpDownloadSink {
public:
    // Creates the model on first call; any thread.
    static DownloaderModel* instance();
    // The model, or null when none exists (never created, or destroyed).
    static DownloaderModel* existingInstance();
    // Shuts the model down if needed, deletes it and clears the pointer.
    static void destroyInstance();

    DownloaderModel(const DownloaderModel&) = delete;
    DownloaderModel& operator=(const DownloaderModel&) = delete;

    // Reads the launch parameters from the executable's own name and from the
    // command line (the argument text without the program path; may be null),
    // sets the edition and language, and starts the first worker. Once.
    void init(const wchar_t* commandLine);
    // init for a given executable path instead of the running module's.
    void initFromPath(const std::wstring& exePath, const wchar_t* commandLine);

    // Single-instance test: false when this is the only instance (the model
    // then holds the mutex); true when another one runs, which was asked to
    // come to the front.
    bool popupExistPwnd();

    // Stops timers, transfers and workers and drops queued callbacks.
    // Idempotent.
    void shutdown();

    std::wstring getOpenId() const { return openId; }
    std::wstring getInstallPath() const { return installPath; }
    std::wstring getLanguage() const { return language; }
    std::wstring getLanguageCode() const { return languageCode; }
    std::wstring getFontFile() const { return languageProfile.fontFile; }

    // Switches to a locale code ("ko_KR"); the short code follows.
    void setLanguageCode(const std::wstring& localeCode);
    // Loads a StringBundle document into strings; false leaves them unchanged.
    bool loadLanguage(const std::wstring& xml);

    // Analytics events: queued, or sent on the calling thread.
    void trackEvent(const std::wstring& name, const std::wstring& label);
    void trackEventNow(const std::wstring& name, const std::wstring& label);

    // Fills installPath (and the default-disk fields) for the current edition.
    void _calcInstallPath();
    // Worker A: the player-address, channel and customer-info documents.
    void _threadGetPlayerUrl();
    // Worker A's later steps: the channel's games (into target) and settings,
    // fetched only for a real channel (openId longer than 4 characters) ...
    void _getPackageByOpenID(std::vector<GamePackage>& target);
    // ... and the install-error text and contact link of the language.
    void _threadCustomerInfo();
    // The two readings of the channel document: its games appended to
    // target, its settings into the model's fields.
    void parseGamePackages(const std::string& text, std::vector<GamePackage>& target);
    void parseCustomerSettings(const std::string& text);

    // Package download (PlayerDownload.cpp). Window thread: downloads the
    // full installer into installPath on the download worker; while worker A
    // has not settled playerUrl, a one-second timer waits for it and falls
    // back to the edition's built-in address. playerUrl is read only once
    // worker A has ended, so the two threads never share it.
    void startDownloadPlayer();
    void downloadDefaultUrlTick();
    void _threadDownloadPlayer();
    bool _downloadByNet(const std::wstring& target);

    // Silent install (PlayerInstall.cpp). Window thread, after
    // onDownloadSucceeded: runs _threadInsPlayer on a task of its own with a
    // copy of the fields it needs, so the task never reads the model; its
    // result comes back through onInstallFinished unless the model was shut
    // down first. The task itself is not stopped by shutdown.
    void startInstallPlayer();
    // The install task: installer, settings, shortcut, then the result
    // posted through link. Never on the window thread.
    static void _threadInsPlayer(const playerinstall::InstallJob& job,
                                 const std::shared_ptr<playerinstall::ModelLink>& link);
    // Runs the installer with arguments and waits for it (180000 ms); reports
    // the outcome. True when it ended within the wait.
    static bool runInstaller(const std::wstring& installer, const std::wstring& arguments,
                             DWORD downloadStartTick);
    // Test seam: the installer wait in ms; 0 restores the shipped 180000.
    static void setInstallerWaitMs(DWORD waitMs);
    // Waits up to waitMs for every install task started in this process;
    // true when none is left running.
    static bool waitInstallTasks(DWORD waitMs);

    // Emulator launch and clean-up (PlayerLaunch.cpp).
    // Starts the emulator with arguments, without elevation where possible.
    void runPlayer(const std::wstring& arguments);
    // Starts the emulator, with the launch name's package when there is one.
    void launchPlayerForPackage();
    // Ends the running emulator processes (one taskkill per running name).
    static void killEmulatorProcesses();

    bool onHttpDownloadProgress(const char* bytes, DWORD count, int64_t received, int64_t total) override;

    // Window callbacks.
    std::function<void(int percent, int done, int total)> onProgress;
    std::function<void(int percent)> onCurlProgress;
    std::function<void()> onDownloadSucceeded;
    std::function<void()> onDownloadFailed;
    std::function<void(bool success)> onInstallFinished;

    HINSTANCE moduleInstance = nullptr;  // for resources

    std::wstring package;  // game package name from the launch name
    std::wstring installPath;
    std::wstring openId = L"100";  // channel id
    std::wstring playerUrl;        // package address of the current edition
    std::wstring language;         // short code: "en", "kr", "tw"
    std::wstring languageCode;     // locale code: "en_US"
    std::wstring googleId;         // tracking id from the launch name
    DWORD lastProgressTick = 0;
    DWORD downloadStartTick = 0;
    std::map<std::wstring, std::wstring> strings;  // texts of the current language
    std::vector<GamePackage> gamePackages;         // games to deliver after the install
    std::wstring launchImage1920Url;
    std::wstring launchImage1080Url;
    std::wstring title;
    bool adShow = true;
    std::wstring runApp;
    bool runAppStore = true;
    std::wstring qqLink;
    std::wstring shortcutName;
    std::wstring shortcutUrl;
    bool cleanModel = false;
    std::wstring heapSize;
    int useRoot = -1;  // -1 not given, 0 false, 1 true
    std::wstring defaultInstallPath;
    bool defaultDiskIsSsd = false;
    std::wstring player4Url;  // kept for the switch to the 4 edition
    int netStatusCode = 9999;
    int netErrorCode = 0;
    LanguageProfile languageProfile;
    std::wstring installErrorText;
    std::wstring customerLink;

private:
    DownloaderModel() = default;
    ~DownloaderModel();

    void applyFileName(const std::wstring& baseName);
    void applyLanguage();
    void applyAdId();
    void applyCommandLine(const std::wstring& commandLine);
    void _startReporter();
    // True once worker A has ended with a package address.
    bool playerUrlKnown() const;
    void startDownloadWorker();
    void cutInstallLink();

    RunableThread playerUrlThread_;  // worker A
    utility::CHttpDownloader playerUrlClient_;
    utility::CHttpDownloader customerInfoClient_;
    RunableThread downloadThread_;
    utility::CHttpDownloader packageClient_;
    UiTaskOwner uiTasks_;  // key of every callback posted to the window thread
    common::Handle singleInstance_;
    UiTimer defaultUrlTimer_;
    // Ticks of the default-URL timer; never reset, so a second wait does not wait.
    unsigned defaultUrlTicks_ = 0;
    std::shared_ptr<playerinstall::ModelLink> installLink_;  // cut by shutdown
    AnalyticsClient analytics_;
};
