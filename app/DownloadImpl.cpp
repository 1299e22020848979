#include "app/DownloadImpl.h"

#include <curl/curl.h>

#include "common/log.h"
#include "config/ConfigImp.h"
#include "config/names.h"
#include "model/DownloaderModel.h"
#include "telemetry/OvReporter.h"
#include "skin/PaintManager.h"
#include "skin/SkinFonts.h"
#include "skin/SkinPackage.h"
#include "ui/CMainFrame.h"
#include "ui/MessageBox.h"
#include "utility/ufile.h"
#include "utility/usystem.h"

namespace {

const int kSkinArchiveId = 129;
const wchar_t kLanguageTable[] = L"multi_language.tsv";
const wchar_t kDefaultLanguage[] = L"en_US";
const int kMainIconId = 107;
const DWORD kReporterStopMs = 3000;

void reportStartFailure(const char* reason) {
    OvReporter::instance()->report(L"download_fail", [reason](JsonValue& properties, JsonAllocator& allocator) {
        properties.AddMember("failure_reason", JsonValue(reason, allocator), allocator);
    });
}

DWORD mainFrameStyle() {
    DWORD style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!utility::usystem::isVistaOrLater()) style |= WS_SYSMENU | WS_THICKFRAME;
    return style;
}

void setWindowIcons(HWND hwnd, HINSTANCE instance) {
    auto load = [&](int cx, int cy) {
        return static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(kMainIconId), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
    };
    if (HICON big = load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)))
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON small = load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)))
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

}  // namespace

std::wstring dataFolder() { return utility::ufile::getAppDataDir() + L"\\rodavezeroru_da\\"; }

void runMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (DuiLib::CPaintManagerUI::TranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

DownloadImpl::DownloadImpl() = default;
DownloadImpl::~DownloadImpl() = default;

bool DownloadImpl::entrance(HINSTANCE instance, const wchar_t* commandLine) {
    DownloaderModel* model = DownloaderModel::instance();
    if (model->popupExistPwnd()) {
        OV_LOG("DownloadImpl::entrance", L"It's exist");
        return false;
    }
    OV_LOG("DownloadImpl::entrance", L"path %s", utility::ufile::getModuleDir().c_str());
    curl_global_init(CURL_GLOBAL_ALL);
    model->init(commandLine);
    model->moduleInstance = instance;
    prepareSkin(instance);
    showMainFrame();
    ipc_.create(config::names::kInstanceName, this);
    model->trackEvent(L"download_run", model->openId);
    OvReporter::instance()->report(L"run_downloader");
    return true;
}

void DownloadImpl::prepareSkin(HINSTANCE instance) {
    DownloaderModel* model = DownloaderModel::instance();
    const std::wstring fonts = DuiLib::skinFontsFolder();
    if (!utility::ufile::exists(fonts)) utility::ufile::makeDir(fonts);
    fontPath_ = DuiLib::prepareSkinFonts(instance, fonts, model->getFontFile());

    DuiLib::CPaintManagerUI::SetInstance(instance);
    const std::wstring code = model->getLanguageCode();
    DuiLib::CPaintManagerUI::SetCurrentLanguage(code.empty() ? kDefaultLanguage : code);
    DuiLib::CPaintManagerUI::SetResourcePath(DuiLib::looseSkinFolder(utility::ufile::getModuleDir()));
    DuiLib::loadSkinPackage(kSkinArchiveId, kLanguageTable);
}

void DownloadImpl::showMainFrame() {
    OV_LOG("DownloadImpl::showMainFrame", L"create main");
    if (!mainFrameMade_) createMainFrame();
    HWND hwnd = mainFrame_ ? mainFrame_->GetHWND() : nullptr;
    if (!hwnd) return;
    ::ShowWindow(hwnd, SW_SHOW);
    BringWindowToTop(hwnd);
    utility::usystem::bringWindowToFront(hwnd);
    runSystemChecks();
}

void DownloadImpl::createMainFrame() {
    mainFrameMade_ = true;
    mainFrame_ = new CMainFrame([this] { mainFrame_ = nullptr; });
    HWND hwnd = mainFrame_->Create(nullptr, L"", mainFrameStyle(), 0);
    if (!hwnd) {
        // Without its window nothing could ever end the run.
        OV_LOG("DownloadImpl::showMainFrame", L"create main window failed! lastError = %d",
               static_cast<int>(GetLastError()));
        mainFrame_ = nullptr;
        PostQuitMessage(0);
        return;
    }
    setWindowIcons(hwnd, DownloaderModel::instance()->moduleInstance);
    mainFrame_->CenterWindow();
}

void DownloadImpl::runSystemChecks() {
    HWND owner = mainFrame_->GetHWND();
    // Closing the main window with result 1 ends the run.
    auto endRun = [owner] { PostMessageW(owner, WM_CLOSE, 1, 0); };
    if (!utility::usystem::isVistaOrLater()) {
        msg::showMessageBox(owner, {L"sure", endRun, true}, L"MsgBox_error", L"MsgBox_xp");
        reportStartFailure("xp");
        return;
    }
    if (utility::usystem::is64BitSystem()) return;
    OV_LOG("DownloadImpl::showMainFrame", L"32 system!!!");
    if (ConfigImp::getInstance()->isPlayer4()) return;
    msg::showMessageBox2(owner, {L"jump_download", [this] { switchToPlayer4(); }, true},
                         {L"do_exit", endRun, false}, L"MsgBox_error", L"MsgBox_32");
    reportStartFailure("system32");
}

void DownloadImpl::switchToPlayer4() {
    ConfigImp::getInstance()->setPlayer4();
    DownloaderModel* model = DownloaderModel::instance();
    model->installPath.clear();
    model->_calcInstallPath();
    model->playerUrl = model->player4Url;
    if (mainFrame_) mainFrame_->refreshEditionView();
}

int DownloadImpl::onHandleWindowIPC(unsigned int message, int wParam, int) {
    OV_LOG("DownloadImpl::onHandleWindowIPC", L"onHandleWindowIPC, msg = %d", static_cast<int>(message));
    if (message == config::names::kMsgActivate) {
        showMainFrame();
    } else if (message == config::names::kMsgInstallerFailed) {
        OV_LOG("DownloadImpl::onHandleWindowIPC", L"player install error! %d", wParam);
        if (mainFrame_) mainFrame_->showDownloadError();
    }
    return 0;
}

void DownloadImpl::shutdown() {
    if (mainFrame_) mainFrame_->ShowWindow(false);
    OvReporter::instance()->stop(kReporterStopMs);
    if (DownloaderModel::existingInstance()) DownloaderModel::destroyInstance();
    curl_global_cleanup();
}
