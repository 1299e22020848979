// The silent install's parts (DownloaderModel's install operations live in
// PlayerInstall.cpp): the copy of the model fields the install task works
// on, the installer's argument line, the data folder and its settings.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>

class DownloaderModel;

namespace playerinstall {

// What the install needs of the model, copied on the window thread.
struct InstallJob {
    std::wstring openId;
    std::wstring language;
    std::wstring installPath;
    std::wstring googleId;
    std::wstring installer;  // the downloaded full installer
    DWORD downloadStartTick = 0;
    std::wstring launchImage1920Url;
    std::wstring launchImage1080Url;
    std::wstring shortcutName;
    std::wstring shortcutUrl;
    bool adShow = true;
    bool cleanModel = false;
    int useRoot = -1;
    bool runAppStore = true;
    std::wstring title;
    std::wstring heapSize;
    std::wstring qqLink;
    std::wstring runApp;
};

// "-silence -downloader -openid=ID[ -language=XX] -path="FOLDER"[ -googleid=ID]".
// Values are made single arguments (utility::process::plainArgument) and
// the folder loses any double quote, so no value adds an argument.
std::wstring installerArguments(const InstallJob& job);

// installPath + "data\", with a backslash put between when installPath has
// none at its end (the emulator reads its settings only from there).
std::wstring dataFolder(const std::wstring& installPath);

// The channel's settings into the "setting" section of settingsFile, each
// only when it differs from the emulator's default, in the emulator's key
// order; removes the news autostart value "OvNews" when ads are off or the
// clean model is asked for.
void writeSettings(const std::wstring& settingsFile, const InstallJob& job);

// The install task's way back to the model. The model's shutdown cuts it,
// so a task that outlives the model neither touches it nor posts for it.
class ModelLink {
public:
    explicit ModelLink(DownloaderModel* model) : model_(model) {}
    ModelLink(const ModelLink&) = delete;
    ModelLink& operator=(const ModelLink&) = delete;

    void cut();
    // Runs use(model) while holding the link, unless it was cut; false then.
    bool withModel(const std::function<void(DownloaderModel&)>& use);

private:
    std::mutex lock_;
    DownloaderModel* model_;  // null once cut
};

}  // namespace playerinstall
