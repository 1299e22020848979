#include "model/DownloaderModel.h"

#include <mutex>
#include <optional>
#include <utility>

#include "common/log.h"
#include "common/textconv.h"
#include "config/ConfigImp.h"
#include "config/endpoints.h"
#include "config/names.h"
#include "model/documents.h"
#include "model/language.h"
#include "model/launch.h"
#include "net/OvCurlDownloader.h"
#include "telemetry/OvReporter.h"
#include "utility/WindowIPC.h"
#include "utility/ufile.h"
#include "utility/usystem.h"

namespace {

const DWORD kWorkerStopMs = 1000;
// Bounds the module path we accept; longer paths are not real ones.
const DWORD kMaxModulePath = 32768;

std::mutex g_instanceLock;
DownloaderModel* g_instance = nullptr;  // guarded by g_instanceLock

// The whole path however long it is: a cut path would cut the launch name.
std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) return path.substr(0, length);
        if (path.size() >= kMaxModulePath) return std::wstring();
        path.resize(path.size() * 2);
    }
}

const char kPlayerUrlTag[] = "DownloaderModel::_threadGetPlayerUrl";

// The system client first, then libcurl on the same address; the text is
// empty when both fail. A worker being stopped had its system client aborted
// and does not start libcurl, which cannot be aborted.
std::string fetchDocument(utility::CHttpDownloader& client, const RunableThread& worker,
                          const std::wstring& url, const char* tag, const wchar_t* fallbackLine) {
    std::string text;
    if (client.downloadToMemory(url, text)) return text;
    OV_LOG(tag, L"%s", fallbackLine);
    if (worker.isStopping()) return std::string();
    if (!OvCurlDownloader::downloadMemory(common::wideToAnsi(url), text)) text.clear();
    return text;
}

bool isPartnerChannel(const std::wstring& openId) {
    const long number = launch::readInteger(openId);
    return number >= 2001 && number <= 2999;
}

}  // namespace

DownloaderModel* DownloaderModel::instance() {
    std::lock_guard<std::mutex> guard(g_instanceLock);
    if (!g_instance) g_instance = new DownloaderModel();
    return g_instance;
}

DownloaderModel* DownloaderModel::existingInstance() {
    std::lock_guard<std::mutex> guard(g_instanceLock);
    return g_instance;
}

void DownloaderModel::destroyInstance() {
    DownloaderModel* model = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_instanceLock);
        std::swap(model, g_instance);
    }
    delete model;
}

// Workers and queued callbacks use the object, so they go first.
DownloaderModel::~DownloaderModel() {
    shutdown();
}

void DownloaderModel::init(const wchar_t* commandLine) {
    initFromPath(modulePath(), commandLine);
}

void DownloaderModel::initFromPath(const std::wstring& exePath, const wchar_t* commandLine) {
    const std::wstring baseName = utility::ufile::getFileName(exePath, false);
    OV_LOG("DownloaderModel::init", L"DownloaderModel exe filename= %s", baseName.c_str());
    applyFileName(baseName);
    applyLanguage();
    ConfigImp* config = ConfigImp::getInstance();
    analytics_.setMeasurement(config->getMeasurementId(), config->getApiSecret());
    OV_LOG("DownloaderModel::init", L"openid is %s, package is %s", openId.c_str(), package.c_str());
    _calcInstallPath();
    applyAdId();
    if (commandLine) applyCommandLine(commandLine);
    _startReporter();
    Runable* work = new MemberFuncRunable<DownloaderModel>(this, &DownloaderModel::_threadGetPlayerUrl);
    if (!playerUrlThread_.start(work)) work->release();  // not taken: still ours
}

void DownloaderModel::applyFileName(const std::wstring& baseName) {
    const launch::FileNameParams params = launch::parseFileName(baseName);
    if (!params.present) return;
    googleId += params.trackingId;
    OV_LOG("DownloaderModel::init", L"type: %s, package:%s, openID:%s google id %s", params.type.c_str(),
           params.package.c_str(), params.openId.c_str(), googleId.c_str());
    OV_LOG("DownloaderModel::init", L"model. type: %s, language %s package:%s, openID:%s",
           params.type.c_str(), params.language.c_str(), params.package.c_str(), params.openId.c_str());

    if (!params.openId.empty() && openId == L"100") openId = params.openId;

    ConfigImp* config = ConfigImp::getInstance();
    const std::size_t languageLength = params.language.size();
    if (languageLength >= 1 && languageLength <= 3) {
        // "ens": English content, but the interface follows the user's system.
        if (params.language == L"ens") {
            config->setLanguageCode(L"en");
        } else {
            config->setLanguageCode(params.language);
            language = params.language;
        }
    }

    if (params.package.size() > 5) package = params.package;

    if (const std::optional<Edition> edition = launch::editionForType(params.type)) {
        if (*edition == Edition::Player4) {
            config->setPlayer4();
        } else if (*edition == Edition::Player64) {
            config->setPlayer64();
        } else {
            config->setEdition(*edition);
        }
    }
}

void DownloaderModel::applyLanguage() {
    if (!language.empty()) {
        languageCode = language::codeForShort(language);
    } else {
        languageCode = language::uiLanguageCode();
        language = language::shortForCode(languageCode);
    }
    languageProfile = language::languageProfileFor(language);
}

void DownloaderModel::applyAdId() {
    ConfigImp* config = ConfigImp::getInstance();
    if (isPartnerChannel(openId)) config->setAdId(L"Orvane Installer_200");
    OV_LOG("DownloaderModel::init", L"ad id : %s", config->getAdId().c_str());
}

void DownloaderModel::applyCommandLine(const std::wstring& commandLine) {
    const launch::CommandLineParams params = launch::parseCommandLine(commandLine);
    if (!params.hasPairs) return;
    if (!params.apkurl.empty()) {
        GamePackage game;
        game.url = params.apkurl;
        game.packageName = params.package;
        game.name = params.name;
        gamePackages.push_back(game);
    }
    OV_LOG("DownloaderModel::init", L"cmdline is %s, %s, %s", params.name.c_str(), params.package.c_str(),
           params.apkurl.c_str());
}

bool DownloaderModel::popupExistPwnd() {
    common::Handle mutex =
        utility::usystem::createSingleInstanceMutex(config::names::kInstanceName, false, true);
    if (mutex) {
        singleInstance_ = std::move(mutex);
        OV_LOG("DownloaderModel::popupExistPwnd", L"wnd not exist");
        return false;
    }
    utility::WindowIPC peer;
    if (peer.open(config::names::kInstanceName, L"")) peer.post(config::names::kMsgActivate, 0, 0);
    OV_LOG("DownloaderModel::popupExistPwnd", L"wnd exist");
    return true;
}

void DownloaderModel::shutdown() {
    defaultUrlTimer_.stop();
    singleInstance_.reset();
    // Transfers are aborted before the waits so a worker blocked in one ends
    // by itself instead of being terminated mid-call.
    playerUrlThread_.signal();
    downloadThread_.signal();
    packageClient_.abort();
    playerUrlClient_.abort();
    customerInfoClient_.abort();
    playerUrlThread_.stop(kWorkerStopMs);
    downloadThread_.stop(kWorkerStopMs);
    // Before the cancel: a running install task posts nothing after this.
    cutInstallLink();
    uiTasks_.cancel();
    analytics_.disable();
}

void DownloaderModel::setLanguageCode(const std::wstring& localeCode) {
    language::applyLanguageCode(localeCode, language, languageCode);
}

bool DownloaderModel::loadLanguage(const std::wstring& xml) {
    return language::loadStringBundle(xml, strings);
}

// The edition profile is made first: the client's ids come from it.
void DownloaderModel::trackEvent(const std::wstring& name, const std::wstring& label) {
    ConfigImp::getInstance();
    analytics_.sendEvent(name, label);
}

void DownloaderModel::trackEventNow(const std::wstring& name, const std::wstring& label) {
    ConfigImp::getInstance();
    analytics_.sendEventNow(name, label);
}

void DownloaderModel::_threadGetPlayerUrl() {
    OV_LOG(kPlayerUrlTag, L"start get player url");
    ConfigImp* config = ConfigImp::getInstance();
    const std::string text = fetchDocument(playerUrlClient_, playerUrlThread_, config->getPlayerUrlDocument(),
                                           kPlayerUrlTag, L"error 1");
    // An aborted fetch at shutdown is not the server's failure.
    if (playerUrlThread_.isStopping()) return;
    if (!documents::readPlayerUrls(text, config->getEdition(), player4Url, playerUrl)) {
        OV_LOG(kPlayerUrlTag, L"error 2");
        OvReporter::instance()->report(L"download_address_fail");
    }
    // A game from the command line replaces the channel's games and settings.
    if (!gamePackages.empty()) return;
    _getPackageByOpenID(gamePackages);
    if (playerUrlThread_.isStopping()) return;
    _threadCustomerInfo();
}

void DownloaderModel::_getPackageByOpenID(std::vector<GamePackage>& target) {
    const char* tag = "DownloaderModel::_getPackageByOpenID";
    if (openId.size() > 4) {
        OV_LOG(tag, L"start get package.");
        utility::CHttpDownloader client;
        const std::string text =
            fetchDocument(client, playerUrlThread_, ConfigImp::getInstance()->getOpenIdConfigUrl(openId), tag,
                          L"get package data by ovcurl ");
        parseGamePackages(text, target);
        parseCustomerSettings(text);
    }
    OV_LOG(tag, L"package is %s", package.c_str());
}

void DownloaderModel::parseGamePackages(const std::string& text, std::vector<GamePackage>& target) {
    documents::readGamePackages(text, target);
}

void DownloaderModel::parseCustomerSettings(const std::string& text) {
    const std::optional<documents::ChannelSettings> settings = documents::readChannelSettings(text);
    if (!settings) return;
    launchImage1920Url = settings->launchImage1920Url;
    launchImage1080Url = settings->launchImage1080Url;
    title = settings->title;
    runApp = settings->runApp;
    qqLink = settings->qqLink;
    shortcutName = settings->shortcutName;
    shortcutUrl = settings->shortcutUrl;
    heapSize = settings->heapSize;
    adShow = settings->adShow;
    cleanModel = settings->cleanModel;
    runAppStore = settings->runAppStore;
    useRoot = settings->useRoot;
}

void DownloaderModel::_threadCustomerInfo() {
    const char* tag = "DownloaderModel::_threadCustomerInfo";
    OV_LOG(tag, L"start get curstomer info");
    const std::wstring url =
        config::endpoints::origin(config::endpoints::Host::Content) + L"/player_files/en/kavoraex";
    const std::string text = fetchDocument(customerInfoClient_, playerUrlThread_, url, tag, L"error 1111");
    if (playerUrlThread_.isStopping()) return;
    documents::readCustomerInfo(text, languageProfile.key, installErrorText, customerLink);
}

// The reporter identifies the device by the analytics client id.
void DownloaderModel::_startReporter() {
    OvReporter::instance()->init(openId, analytics_.getClientId(), language);
}
