// The main window's progress page: the download texts and bar, the install
// phase's timer, and the package install timer.
#include <algorithm>

#include "config/ConfigImp.h"
#include "model/DownloaderModel.h"
#include "skin/ProgressUI.h"
#include "skin/StringTable.h"
#include "ui/CMainFrame.h"
#include "ui/controls.h"
#include "ui/progresstext.h"

namespace {

const unsigned kInstallTickMs = 1500;
const UINT_PTR kPackageTimerId = 800;
const int kLeastCurlBar = 3;

}  // namespace

void CMainFrame::onDownloadProgress(int percent, int done, int total) {
    using ui::progresstext::DownloadUpdate;
    const bool arabic = ConfigImp::getInstance()->getLanguageCode() == L"ar";
    const ui::progresstext::DownloadView view =
        ui::progresstext::downloadView(percent, done, total, arabic, DuiLib::textFor(L"Label_downloading"),
                                       DuiLib::textFor(L"Label_getversion_info"));
    if (view.kind == DownloadUpdate::Ignored) return;
    setText(L"loadingprogresslabel", view.status);
    setText(L"downloadProgressLabel", view.counter);
    if (view.kind == DownloadUpdate::FetchingAddress) return;
    setBar(L"installprogressbar", view.bar);
    downloadPercent_ = std::max(percent, 1);
}

void CMainFrame::onCurlProgress(int percent) {
    setBar(L"installprogressbar", std::max(percent, kLeastCurlBar));
}

void CMainFrame::onDownloadSucceeded() {
    setText(L"loadingprogresslabel", DuiLib::textFor(L"Label_installing_waiting"));
    setVisible(L"downloadProgressLabel", false);
    installTimer_.stop();
    downloadPercent_ = 100;
    DownloaderModel::instance()->startInstallPlayer();
    installStep_ = 0;
    installTimer_.start(kInstallTickMs, new FunctionRunable([this] { installTick(); }));
}

void CMainFrame::installTick() {
    setBar(L"installprogressbar", ui::progresstext::installTickBar(installStep_));
}

void CMainFrame::onPackageInstallTick() {
    if (!packageTimerId_) return;
    if (ui::progresstext::packageInstallTick(packageInstallCounter_)) killPackageTimer();
    setBar(L"apkinstallprogressbar", packageInstallCounter_);
}

void CMainFrame::killPackageTimer() {
    if (!packageTimerId_) return;
    KillTimer(m_hWnd, kPackageTimerId);
    packageTimerId_ = 0;
}

void CMainFrame::setBar(const wchar_t* name, int value) {
    if (auto* bar = ui::findAs<DuiLib::CProgressUI>(m_pm, name, L"Progress")) bar->SetValue(value);
}
