#include "ui/DownloaderBox.h"

#include "model/DownloaderModel.h"
#include "skin/ButtonUI.h"
#include "skin/StringTable.h"
#include "ui/controls.h"

namespace {

// The box now open, or null.
DownloaderBox*& openBox() {
    static DownloaderBox* box = nullptr;  // window thread only
    return box;
}

void setText(DuiLib::CPaintManagerUI& pm, const wchar_t* control, const wchar_t* stringId) {
    if (DuiLib::CControlUI* found = pm.FindControl(control)) found->SetText(DuiLib::textFor(stringId));
}

void setStripImages(DuiLib::CPaintManagerUI& pm, const wchar_t* control, const std::wstring& file) {
    auto* button = ui::findAs<DuiLib::CButtonUI>(pm, control, L"Button");
    if (!button) return;
    button->SetNormalImage(L"file='" + file + L"' source='0,0,100,32'");
    button->SetHotImage(L"file='" + file + L"' source='100,0,200,32'");
    button->SetPushedImage(L"file='" + file + L"' source='200,0,300,32'");
}

}  // namespace

void showDownloaderBox(HWND owner, int progress) {
    if (DuiLib::CWindowWnd* old = openBox()) {
        old->Close(1);
        openBox() = nullptr;
    }
    auto* box = new DownloaderBox(owner, progress, [owner] {
        // A box that was replaced leaves the owner to the newer one.
        if (openBox()) return;
        EnableWindow(owner, TRUE);
        BringWindowToTop(owner);
        ShowWindow(owner, SW_SHOW);
    });
    openBox() = box;
    if (!box->Create(owner, L"", 0, 0)) {
        // Unless the window got as far as its final message, which deleted it.
        if (openBox() == box) {
            openBox() = nullptr;
            delete box;
        }
        return;
    }
    box->fill();
    box->CenterWindow();
    box->ShowWindow(true);
    EnableWindow(owner, FALSE);
}

SKIN_BEGIN_NOTIFY_MAP(DownloaderBox, DuiLib::WindowImplBase)
SKIN_ON_CLICK(L"btnLeft", &DownloaderBox::onStopInstall)
SKIN_ON_CLICK(L"btnRight", &DownloaderBox::onGoOn)
SKIN_ON_CLICK(L"btnSure", &DownloaderBox::onGoOn)
SKIN_END_NOTIFY_MAP()

DownloaderBox::DownloaderBox(HWND owner, int progress, std::function<void()> onClose)
    : onClose_(std::move(onClose)), owner_(owner), progress_(progress) {}

void DownloaderBox::InitWindow() {
    probe_.attach(m_pm);
}

void DownloaderBox::fill() {
    setText(m_pm, L"titlelabel", L"MSGBox_noice");
    setText(m_pm, L"descriptlabel", L"MsgBox_exit");
    setText(m_pm, L"btnLeft", L"Yes");
    setText(m_pm, L"btnRight", L"No");
    setText(m_pm, L"btnSure", L"Yes");
    setStripImages(m_pm, L"btnLeft", L"button_box_cancel.png");
    setStripImages(m_pm, L"btnRight", L"button_box_hot.png");
}

// "Yes": the run ends. The event goes out now, before the process does,
// and the owner is not shown again when the box goes.
void DownloaderBox::onStopInstall(DuiLib::TNotifyUI&) {
    onClose_ = nullptr;
    ShowWindow(false);
    if (DownloaderModel* model = DownloaderModel::existingInstance())
        model->trackEventNow(L"userCancel", model->openId);
    Close(1);
    // Minimised before hidden: minimising a hidden window would show it again.
    ::ShowWindow(owner_, SW_SHOWMINNOACTIVE);
    ::ShowWindow(owner_, SW_HIDE);
    PostQuitMessage(0);
}

void DownloaderBox::onGoOn(DuiLib::TNotifyUI&) {
    Close(1);
}

void DownloaderBox::OnFinalMessage(HWND hWnd) {
    WindowImplBase::OnFinalMessage(hWnd);
    if (openBox() == this) openBox() = nullptr;
    if (onClose_) onClose_();
    delete this;
}
