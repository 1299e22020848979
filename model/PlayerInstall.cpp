#include "model/PlayerInstall.h"

#include <objbase.h>
#include <process.h>

#include <atomic>
#include <memory>
#include <vector>

#include "common/Handle.h"
#include "common/log.h"
#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "net/CHttpDownloader.h"
#include "telemetry/OvReporter.h"
#include "utility/disk.h"
#include "utility/filename.h"
#include "utility/process.h"
#include "utility/ufile.h"

namespace playerinstall {

std::wstring installerArguments(const InstallJob& job) {
    using utility::process::plainArgument;
    std::wstring folder;
    for (wchar_t c : job.installPath) {
        if (c != L'"') folder += c;  // no file name holds one; it would end the quoting
    }
    std::wstring arguments = L"-silence -downloader -openid=" + plainArgument(job.openId);
    if (!job.language.empty()) arguments += L" -language=" + plainArgument(job.language);
    arguments += L" -path=\"" + folder + L"\"";
    if (!job.googleId.empty()) arguments += L" -googleid=" + plainArgument(job.googleId);
    return arguments;
}

std::wstring dataFolder(const std::wstring& installPath) {
    const bool separated =
        !installPath.empty() && (installPath.back() == L'\\' || installPath.back() == L'/');
    return installPath + (separated ? L"" : L"\\") + L"data\\";
}

namespace {

const wchar_t kSection[] = L"setting";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void writeWide(const std::wstring& file, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(kSection, key, value.c_str(), file.c_str());
}

// The emulator reads these two as UTF-8 bytes; what the code page cannot
// hold arrives as its default character.
void writeNarrow(const std::wstring& file, const char* key, const std::wstring& value) {
    const std::string bytes = common::ansiToUtf8(common::wideToAnsi(value));
    WritePrivateProfileStringA("setting", key, bytes.c_str(), common::wideToAnsi(file).c_str());
}

void removeNewsAutostart() {
    common::RegKey run;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, run.put()) != ERROR_SUCCESS) return;
    RegDeleteValueW(run.get(), L"OvNews");
}

}  // namespace

void writeSettings(const std::wstring& settingsFile, const InstallJob& job) {
    if (!job.adShow) writeWide(settingsFile, L"adshow", L"0");
    if (job.cleanModel) writeWide(settingsFile, L"cleanmodel", L"1");
    if (!job.adShow || job.cleanModel) removeNewsAutostart();
    if (job.useRoot == 0) writeWide(settingsFile, L"useroot", L"0");
    if (!job.runAppStore) writeWide(settingsFile, L"runappstore", L"0");
    if (!job.title.empty()) writeNarrow(settingsFile, "title", job.title);
    if (!job.heapSize.empty()) writeNarrow(settingsFile, "heapsize", job.heapSize);
    if (!job.qqLink.empty()) writeWide(settingsFile, L"qqlink", job.qqLink);
    if (!job.runApp.empty()) writeWide(settingsFile, L"runapp", job.runApp);
}

void ModelLink::cut() {
    std::lock_guard<std::mutex> guard(lock_);
    model_ = nullptr;
}

bool ModelLink::withModel(const std::function<void(DownloaderModel&)>& use) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!model_) return false;
    use(*model_);
    return true;
}

}  // namespace playerinstall

namespace {

const DWORD kInstallerWaitMs = 180000;
const int kImageTries = 3;
const DWORD kImageRetryPauseMs = 200;

std::atomic<DWORD> g_installerWaitMs{kInstallerWaitMs};

// Install tasks run on threads of their own that may outlive the model; the
// handles stay here until the process ends.
class InstallTasks {
public:
    static InstallTasks& instance() {
        static InstallTasks* tasks = new InstallTasks();  // never destroyed: tasks may still run at exit
        return *tasks;
    }

    bool start(std::function<void()> work) {
        auto* item = new std::function<void()>(std::move(work));  // owned by the thread once it runs
        const uintptr_t thread = _beginthreadex(nullptr, 0, &threadProc, item, 0, nullptr);
        if (thread == 0) {
            delete item;
            return false;
        }
        std::lock_guard<std::mutex> guard(lock_);
        threads_.emplace_back(reinterpret_cast<HANDLE>(thread));
        return true;
    }

    bool waitAll(DWORD waitMs) {
        std::vector<HANDLE> threads;
        {
            std::lock_guard<std::mutex> guard(lock_);
            for (const common::Handle& thread : threads_) threads.push_back(thread.get());
        }
        const DWORD start = GetTickCount();
        for (HANDLE thread : threads) {
            const DWORD spent = GetTickCount() - start;
            if (WaitForSingleObject(thread, spent < waitMs ? waitMs - spent : 0) != WAIT_OBJECT_0)
                return false;
        }
        return true;
    }

private:
    static unsigned __stdcall threadProc(void* arg) {
        std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(arg));
        (*work)();
        return 0;
    }

    std::mutex lock_;
    std::vector<common::Handle> threads_;
};

// A fresh client, three tries with a short pause after each failure.
bool downloadWithRetries(const std::wstring& url, const std::wstring& path) {
    utility::CHttpDownloader client;
    for (int i = 0; i < kImageTries; ++i) {
        if (client.downloadToFile(url, path, nullptr)) return true;
        Sleep(kImageRetryPauseMs);
    }
    return false;
}

void reportInstallFail(const char* reason) {
    const std::string text = reason;
    OvReporter::instance()->report(L"install_fail", [text](JsonValue& p, JsonAllocator& a) {
        p.AddMember("failure_reason", JsonValue(text.c_str(), a), a);
    });
}

// COM for the shell-link object of the shortcut, on the task's thread.
class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (ok_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool ok_;
};

}  // namespace

void DownloaderModel::setInstallerWaitMs(DWORD waitMs) {
    g_installerWaitMs = waitMs ? waitMs : kInstallerWaitMs;
}

bool DownloaderModel::waitInstallTasks(DWORD waitMs) {
    return InstallTasks::instance().waitAll(waitMs);
}

void DownloaderModel::cutInstallLink() {
    if (installLink_) installLink_->cut();
}

void DownloaderModel::startInstallPlayer() {
    playerinstall::InstallJob job;
    job.openId = openId;
    job.language = language;
    job.installPath = installPath;
    job.googleId = googleId;
    job.installer = ConfigImp::getInstance()->getInstallerFileName(installPath);
    job.downloadStartTick = downloadStartTick;
    job.launchImage1920Url = launchImage1920Url;
    job.launchImage1080Url = launchImage1080Url;
    job.shortcutName = shortcutName;
    job.shortcutUrl = shortcutUrl;
    job.adShow = adShow;
    job.cleanModel = cleanModel;
    job.useRoot = useRoot;
    job.runAppStore = runAppStore;
    job.title = title;
    job.heapSize = heapSize;
    job.qqLink = qqLink;
    job.runApp = runApp;
    if (!installLink_) installLink_ = std::make_shared<playerinstall::ModelLink>(this);

    std::shared_ptr<playerinstall::ModelLink> link = installLink_;
    if (InstallTasks::instance().start([job, link] { _threadInsPlayer(job, link); })) return;
    // Without a task the window would wait for an answer that never comes.
    OV_LOG("DownloaderModel::_threadInsPlayer", L"start install task failed! lastError = %d",
           static_cast<int>(GetLastError()));
    uiTasks_.post(new FunctionRunable([this] {
        if (onInstallFinished) onInstallFinished(false);
    }));
}

void DownloaderModel::_threadInsPlayer(const playerinstall::InstallJob& job,
                                       const std::shared_ptr<playerinstall::ModelLink>& link) {
    const char* tag = "DownloaderModel::_threadInsPlayer";
    ComScope com;
    const std::wstring arguments = playerinstall::installerArguments(job);
    OV_LOG(tag, L"install player param: %s", arguments.c_str());
    killEmulatorProcesses();
    if (!utility::ufile::exists(job.installer)) {
        link->withModel([&job](DownloaderModel& model) {
            model.trackEvent(L"download_installPlayerNotExit", job.openId + L"_" + L"1");
        });
    }
    const bool success = runInstaller(job.installer, arguments, job.downloadStartTick);

    // Applied whatever the installer did: a slow installer may still finish.
    const std::wstring data = playerinstall::dataFolder(job.installPath);
    utility::ufile::makeDir(data);
    if (!job.launchImage1920Url.empty())
        downloadWithRetries(job.launchImage1920Url, data + L"launch_1920.jpg");
    if (!job.launchImage1080Url.empty())
        downloadWithRetries(job.launchImage1080Url, data + L"launch_1080.jpg");
    // The name comes from the channel's document: it must stay one file name.
    const std::wstring name = utility::filename::safeFileName(job.shortcutName);
    const std::wstring icon = name.empty() ? std::wstring() : data + name + L".ico";
    if (!icon.empty() && !job.shortcutUrl.empty()) downloadWithRetries(job.shortcutUrl, icon);
    playerinstall::writeSettings(data + L"data.ini", job);
    if (!icon.empty() && utility::ufile::exists(icon)) {
        helper::disk::createShortcut(name, icon, job.installPath, job.installPath + L"\\doririda.exe",
                                     L"package=" + utility::process::plainArgument(job.runApp));
    }

    link->withModel([success](DownloaderModel& model) {
        DownloaderModel* target = &model;
        model.uiTasks_.post(new FunctionRunable([target, success] {
            if (target->onInstallFinished) target->onInstallFinished(success);
        }));
    });
}

bool DownloaderModel::runInstaller(const std::wstring& installer, const std::wstring& arguments,
                                   DWORD downloadStartTick) {
    const char* tag = "DownloaderModel::runInstaller";
    std::wstring commandLine = L"\"" + installer + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &info)) {
        OV_LOG(tag, L"create installer process failed! lastError = %d", static_cast<int>(GetLastError()));
        reportInstallFail("package_error");
        return false;
    }
    common::Handle process(info.hProcess);
    common::Handle(info.hThread).reset();
    // A timed-out installer is left running: it may still finish by itself.
    const DWORD waited = WaitForSingleObject(process.get(), g_installerWaitMs.load());
    if (waited == WAIT_OBJECT_0) {
        OvReporter::instance()->report(L"install_success");
        const int duration = static_cast<int>(GetTickCount() - downloadStartTick);
        OvReporter::instance()->report(
            L"downloader_full_duration",
            [duration](JsonValue& p, JsonAllocator& a) { p.AddMember("duration", JsonValue(duration), a); });
        return true;
    }
    const char* reason = waited == WAIT_TIMEOUT ? "timeout" : waited == WAIT_FAILED ? "failed" : "other";
    OV_LOG(tag, L"installer wait ended without the installer: %s", common::ansiToWide(reason).c_str());
    reportInstallFail(reason);
    return false;
}
