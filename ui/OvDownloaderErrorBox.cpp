#include "ui/OvDownloaderErrorBox.h"

#include <memory>

#include "model/DownloaderModel.h"
#include "skin/ControlUI.h"
#include "skin/StringTable.h"
#include "utility/usystem.h"

SKIN_BEGIN_NOTIFY_MAP(OvDownloaderErrorBox, DuiLib::WindowImplBase)
SKIN_ON_CLICK(L"loadingContactUsBtn", &OvDownloaderErrorBox::onContactUs)
SKIN_ON_CLICK(L"btnLeft", &OvDownloaderErrorBox::onQuit)
SKIN_ON_CLICK(L"btnRight", &OvDownloaderErrorBox::onCloseAndQuit)
SKIN_ON_CLICK(L"btnSure", &OvDownloaderErrorBox::onCloseAndQuit)
SKIN_END_NOTIFY_MAP()

OvDownloaderErrorBox* OvDownloaderErrorBox::create(HWND owner, int value, std::function<void()> onClose) {
    // Tells whether a failed window got as far as its final message, which
    // took the object with it.
    auto gone = std::make_shared<bool>(false);
    auto* box = new OvDownloaderErrorBox(owner, value, [gone, onClose] {
        *gone = true;
        if (onClose) onClose();
    });
    if (!box->Create(owner, L"", 0, 0)) {
        if (!*gone) delete box;
        return nullptr;
    }
    box->CenterWindow();
    return box;
}

// Our own loop rather than the engine's ShowModal: the box deletes itself
// when its window goes, so nothing of the object may be read after that.
void OvDownloaderErrorBox::runModal(HWND box) {
    HWND owner = GetWindow(box, GW_OWNER);
    ::ShowWindow(box, SW_SHOWNORMAL);
    if (owner) EnableWindow(owner, FALSE);
    MSG msg;
    while (IsWindow(box)) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        // The owner takes the activation back before the box goes.
        if (msg.hwnd == box && msg.message == WM_CLOSE && owner) EnableWindow(owner, TRUE);
        if (DuiLib::CPaintManagerUI::TranslateMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (owner && IsWindow(owner)) EnableWindow(owner, TRUE);
}

OvDownloaderErrorBox::OvDownloaderErrorBox(HWND owner, int value, std::function<void()> onClose)
    : onClose_(std::move(onClose)), owner_(owner), value_(value) {}

// The customer information's text, when the server gave one, replaces the
// layout's generic one.
void OvDownloaderErrorBox::InitWindow() {
    probe_.attach(m_pm);
    DownloaderModel* model = DownloaderModel::existingInstance();
    if (!model || model->installErrorText.empty()) return;
    if (DuiLib::CControlUI* label = m_pm.FindControl(L"descriptlabel"))
        label->SetText(model->installErrorText);
}

void OvDownloaderErrorBox::onContactUs(DuiLib::TNotifyUI&) {
    DownloaderModel* model = DownloaderModel::existingInstance();
    const std::wstring link =
        model && !model->customerLink.empty() ? model->customerLink : DuiLib::textFor(L"customerLink");
    utility::usystem::openInBrowser(link);
}

void OvDownloaderErrorBox::onQuit(DuiLib::TNotifyUI&) {
    PostQuitMessage(0);
}

void OvDownloaderErrorBox::onCloseAndQuit(DuiLib::TNotifyUI&) {
    Close(1);
    PostQuitMessage(0);
}

void OvDownloaderErrorBox::OnFinalMessage(HWND hWnd) {
    WindowImplBase::OnFinalMessage(hWnd);
    if (onClose_) onClose_();
    delete this;
}
