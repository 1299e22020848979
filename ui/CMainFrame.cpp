#include "ui/CMainFrame.h"

#include "config/ConfigImp.h"
#include "config/endpoints.h"
#include "model/DownloaderModel.h"
#include "skin/ButtonUI.h"
#include "skin/ContainerUI.h"
#include "skin/EditUI.h"
#include "skin/StringTable.h"
#include "telemetry/OvReporter.h"
#include "ui/DownloaderBox.h"
#include "ui/MessageBox.h"
#include "ui/controls.h"
#include "ui/OvDownloaderErrorBox.h"
#include "utility/disk.h"
#include "utility/usystem.h"

using ui::findAs;

namespace {

const double kLeastFreeMB = 1024.0;
const std::size_t kLinkTextMax = 255;
const wchar_t kLicencePath[] = L"/other/protocol.html";
const DWORD kHomepageTextColor = 0xFFFFFFFF;

// Font ids 0 to 8 of the language face for Thai; every other language one larger.
const int kLanguageFontSizes[] = {12, 14, 16, 18, 20, 22, 24, 28, 32};

DownloaderModel* model() {
    return DownloaderModel::instance();
}

bool isTicked(DuiLib::CPaintManagerUI& pm) {
    auto* option = findAs<DuiLib::COptionUI>(pm, L"acceptprotocolopt", L"Option");
    return option && option->IsSelected();
}

}  // namespace

SKIN_BEGIN_NOTIFY_MAP(CMainFrame, DuiLib::WindowImplBase)
SKIN_ON_CLICK(L"installnowbtn", &CMainFrame::onInstallNow)
SKIN_ON_CLICK(L"userdefinitionBtn", &CMainFrame::onOpenFolderSection)
SKIN_ON_CLICK(L"backBtn", &CMainFrame::onCloseFolderSection)
SKIN_ON_KILLFOCUS(L"pathedit", &CMainFrame::onPathEditKillFocus)
SKIN_ON_CLICK(L"browsebtn", &CMainFrame::onBrowse)
SKIN_ON_CLICK(L"protocollinkbtn", &CMainFrame::onLicenceLink)
SKIN_ON_CLICK(L"joinfacebookBtn", &CMainFrame::onCommunityLink)
SKIN_ON_CLICK(L"closebtn", &CMainFrame::onCloseButton)
SKIN_ON_CLICK(L"homepageBtn", &CMainFrame::onHomepage)
SKIN_ON_CLICK(L"tastenowbtn", &CMainFrame::onFinishButton)
SKIN_ON_CLICK(L"confirmprotocolbtn", &CMainFrame::onLicenceLink)
SKIN_ON_SELECTCHANGED(L"acceptprotocolopt", &CMainFrame::onLicenceTicked)
SKIN_ON_ITEMSELECT(L"languageCombo", &CMainFrame::onLanguageComSelected)
SKIN_END_NOTIFY_MAP()

CMainFrame::CMainFrame(std::function<void()> onGone) : onGone_(std::move(onGone)) {}

CMainFrame::~CMainFrame() = default;

// --- window life ---------------------------------------------------------------

void CMainFrame::InitWindow() {
    applyLanguageFonts();
    refreshInstallState();
    SetWindowTextW(m_hWnd, DuiLib::textFor(L"Title_wndTitle").c_str());
    setText(L"pathedit", model()->getInstallPath());
    connectModelHooks();
    languageCodeText_ = model()->getLanguageCode();
    showLogos();
    if (auto* homepage = findAs<DuiLib::CButtonUI>(m_pm, L"homepageBtn", L"Button")) {
        homepage->SetTextColor(kHomepageTextColor);
        homepage->SetText(ConfigImp::getInstance()->getHomepage());
    }
    std::wstring link = L"<u>" + DuiLib::textFor(L"protocol_accept_btn") + L"</u>";
    if (link.size() > kLinkTextMax) link.resize(kLinkTextMax);
    setText(L"protocollinkbtn", link);
    probe_.attach(m_pm);
}

// Shared fonts: the boxes, whose layouts declare none, draw with these; the
// main window's own layout fonts are found first.
void CMainFrame::applyLanguageFonts() {
    const std::wstring face = model()->languageProfile.fontFace;
    const int extra = DuiLib::skinLanguage() == L"th_TH" ? 0 : 1;
    for (int id = 0; id < 9; ++id)
        m_pm.AddFont(id, face, kLanguageFontSizes[id] + extra, false, false, false, true);
    m_pm.SetDefaultFont(face, kLanguageFontSizes[0] + extra, false, false, false, true);
}

void CMainFrame::connectModelHooks() {
    DownloaderModel* m = model();
    m->onProgress = [this](int percent, int done, int total) { onDownloadProgress(percent, done, total); };
    m->onCurlProgress = [this](int percent) { onCurlProgress(percent); };
    m->onDownloadSucceeded = [this] { onDownloadSucceeded(); };
    m->onDownloadFailed = [this] { postDownloadError(); };
    m->onInstallFinished = [this](bool success) { onInstallFinished(success); };
}

void CMainFrame::showLogos() {
    const bool nine = ConfigImp::getInstance()->isDefaultPlayer();
    setVisible(L"logoControl9", nine);
    setVisible(L"logoControl", !nine);
}

LRESULT CMainFrame::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_TIMER && wParam == 800) onPackageInstallTick();
    return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

// The model goes with the window: its workers and posts end here, and the
// install task's link to it is cut, so nothing reaches a destroyed window.
LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    killPackageTimer();
    if (DownloaderModel* m = DownloaderModel::existingInstance()) {
        m->shutdown();
        DownloaderModel::destroyInstance();
    }
    uiTasks_.cancel();
    bHandled = FALSE;
    return 0;
}

void CMainFrame::OnFinalMessage(HWND hWnd) {
    installTimer_.stop();
    WindowImplBase::OnFinalMessage(hWnd);
    std::function<void()> onGone = std::move(onGone_);
    delete this;
    if (onGone) onGone();
    PostQuitMessage(0);
}

// --- start page ----------------------------------------------------------------

void CMainFrame::refreshEditionView() {
    setText(L"pathedit", model()->getInstallPath());
    showLogos();
    refreshInstallState();
}

void CMainFrame::selectPage(int index) {
    if (auto* tab = findAs<DuiLib::CTabLayoutUI>(m_pm, L"maintab", L"TabLayout"))
        tab->SelectItem(index, true);
    showCustomPath(isFolderSectionOpen());
}

void CMainFrame::showCustomPath(bool expanded) {
    setVisible(L"userdefinitionsui", expanded);
    setVisible(L"userdefinitionLayout", !expanded);
    setVisible(L"backLayout", expanded);
    setText(L"installnowbtn", DuiLib::textFor(expanded ? L"Button_install_now" : L"Button_install_fast"));
}

bool CMainFrame::isFolderSectionOpen() {
    DuiLib::CControlUI* opener = m_pm.FindControl(L"userdefinitionBtn");
    return !opener || !opener->IsVisible();
}

void CMainFrame::refreshInstallState() {
    const std::wstring path = model()->getInstallPath();
    const bool valid = helper::disk::isValidInstallPath(path);
    auto* pathEdit = findAs<DuiLib::CEditUI>(m_pm, L"pathedit", L"Edit");
    if (pathEdit && pathEdit->GetText() != path) pathEdit->SetText(path);
    setVisible(L"errorpathnoticeui", !valid);
    if (DuiLib::CControlUI* install = m_pm.FindControl(L"installnowbtn"))
        install->SetEnabled(valid && isTicked(m_pm));
    showCustomPath(isFolderSectionOpen());
    if (!pathEdit) return;
    if (!valid) {
        const wchar_t errorFrame[] = L"file='error_edit_bg.png' source='0,0,10,10' corner='4,4,4,4'";
        pathEdit->SetNormalImage(errorFrame);
        pathEdit->SetHotImage(errorFrame);
        pathEdit->SetFocusedImage(errorFrame);
        return;
    }
    pathEdit->SetNormalImage(L"file='browse_button.png' source='0,0,28,28' corner='4,4,4,4'");
    pathEdit->SetHotImage(L"file='browse_button.png' source='28,0,56,28' corner='4,4,4,4'");
    pathEdit->SetFocusedImage(L"file='browse_button.png' source='56,0,84,28' corner='4,4,4,4'");
}

bool CMainFrame::checkBeforeInstall() {
    const wchar_t* problem = nullptr;
    const std::wstring path = model()->getInstallPath();
    if (!isTicked(m_pm)) {
        problem = L"MsgBox_accept_protocol";
    } else if (!helper::disk::isValidInstallPath(path)) {
        problem = L"MsgBox_error_path";
    } else if (helper::disk::freeSpaceMB(path) < kLeastFreeMB) {
        problem = L"MsgBox_disk_notEnough";
    }
    if (!problem) return true;
    msg::showMessageBox(m_hWnd, {L"confirm", nullptr, true}, L"MsgBox_error", problem);
    return false;
}

void CMainFrame::onInstallNow(DuiLib::TNotifyUI&) {
    if (!checkBeforeInstall()) return;
    selectPage(2);
    setVisible(L"languageCombo", false);
    downloadStartTick_ = GetTickCount();
    model()->startDownloadPlayer();
    OvReporter::instance()->report(L"start_downloader");
}

void CMainFrame::onOpenFolderSection(DuiLib::TNotifyUI&) {
    showCustomPath(true);
}

void CMainFrame::onCloseFolderSection(DuiLib::TNotifyUI&) {
    showCustomPath(false);
}

void CMainFrame::onLicenceTicked(DuiLib::TNotifyUI&) {
    refreshInstallState();
}

void CMainFrame::onLicenceLink(DuiLib::TNotifyUI&) {
    utility::usystem::openInBrowser(config::endpoints::origin(config::endpoints::Host::Site) + kLicencePath);
}

void CMainFrame::onCommunityLink(DuiLib::TNotifyUI&) {
    const std::wstring& link = model()->customerLink;
    utility::usystem::openInBrowser(link.empty() ? DuiLib::textFor(L"customerLink") : link);
}

void CMainFrame::onHomepage(DuiLib::TNotifyUI&) {
    utility::usystem::openInBrowser(ConfigImp::getInstance()->getHomepage());
    model()->trackEvent(L"Download_googleDriver", L"downloadingPage");
}

void CMainFrame::onCloseButton(DuiLib::TNotifyUI&) {
    if (closeQuitsAtOnce_) {
        ShowWindow(false);
        Close(1);
        PostQuitMessage(0);
        return;
    }
    if (downloadStartTick_ != 0 && downloadPercent_ < 100) {
        msg::showMessageBox2(m_hWnd, {L"downloadBybrowser", [this] { downloadByBrowser(); }, true},
                             {L"download_close",
                              [this] {
                                  OvReporter::instance()->report(L"cancel_download");
                                  endRun();
                              },
                              false},
                             L"MSGBox_noice", L"download_slowtip");
        return;
    }
    showDownloaderBox(m_hWnd, downloadPercent_);
}

void CMainFrame::downloadByBrowser() {
    utility::usystem::openInBrowser(model()->playerUrl);
    OvReporter::instance()->report(L"cancel_download");
    endRun();
}

// Hidden at once; the window then goes the ordinary way.
void CMainFrame::endRun() {
    ShowWindow(false);
    Close(1);
    PostQuitMessage(0);
}

void CMainFrame::onFinishButton(DuiLib::TNotifyUI&) {
    model()->launchPlayerForPackage();
    ShowWindow(false);
    PostQuitMessage(0);
}

void CMainFrame::onInstallFinished(bool success) {
    installTimer_.stop();
    if (!success) {
        postDownloadError();
        return;
    }
    setBar(L"installprogressbar", 100);
    DownloaderModel* m = model();
    if (!m->gamePackages.empty()) {
        handOverGamePackages();
        return;
    }
    if (!m->package.empty()) {
        m->launchPlayerForPackage();
        PostQuitMessage(0);
        return;
    }
    showFinishPage();
}

// Not under an open error box: that one ends the run.
void CMainFrame::showFinishPage() {
    if (errorBox_) return;
    selectPage(4);
    closeQuitsAtOnce_ = true;
}

// The error box runs a nested loop: from the window's own work item, not
// from inside the model's hook, which the take-down may destroy meanwhile.
void CMainFrame::postDownloadError() {
    uiTasks_.post(new FunctionRunable([this] { showDownloadError(); }));
}

void CMainFrame::showDownloadError() {
    if (!errorBox_) {
        errorBox_ = OvDownloaderErrorBox::create(m_hWnd, downloadPercent_, [this] { errorBox_ = nullptr; });
        if (!errorBox_) return;
    }
    // Nothing of this object is used after the loop: the window may be gone.
    OvDownloaderErrorBox::runModal(errorBox_->GetHWND());
}

// --- controls ------------------------------------------------------------------

void CMainFrame::setText(const wchar_t* name, const std::wstring& text) {
    if (DuiLib::CControlUI* control = m_pm.FindControl(name)) control->SetText(text);
}

void CMainFrame::setVisible(const wchar_t* name, bool visible) {
    if (DuiLib::CControlUI* control = m_pm.FindControl(name)) control->SetVisible(visible);
}
