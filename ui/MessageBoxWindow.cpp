#include "ui/MessageBoxWindow.h"

#include <map>

#include "skin/ContainerUI.h"
#include "skin/LabelUI.h"
#include "ui/controls.h"

namespace msg {

namespace {

const wchar_t kFontFace[] = L"微软雅黑";
const int kFontSizes[] = {12, 14, 16, 18};

// The open-box register: the text of every open box, with its owner.
std::map<std::wstring, HWND>& openBoxes() {
    static std::map<std::wstring, HWND> boxes;  // window thread only
    return boxes;
}

// A box opened from another box's button (the path prompts chain this way)
// must keep the owner disabled when the first box goes.
bool ownerHasOtherBox(HWND owner, const std::wstring& text) {
    for (const auto& box : openBoxes()) {
        if (box.second == owner && box.first != text) return true;
    }
    return false;
}

}  // namespace

const wchar_t MessageBoxWindow::kSkinWithIcon[] = L"common/xml_messagebox.xml";
const wchar_t MessageBoxWindow::kSkinWithoutIcon[] = L"common/xml_messagebox_noicon.xml";

bool isMessageBoxOpen(const std::wstring& text) {
    return openBoxes().count(text) != 0;
}

MessageBoxWindow* MessageBoxWindow::open(HWND owner, const std::wstring& skinFile, const std::wstring& text) {
    if (!openBoxes().emplace(text, owner).second) return nullptr;
    auto* box = new MessageBoxWindow(owner, skinFile, text);
    if (!box->Create(owner, L"", WS_POPUP | WS_BORDER | WS_SYSMENU, WS_EX_TOPMOST | WS_EX_TOOLWINDOW)) {
        // A window that got as far as its final message deleted the box and
        // left the register; otherwise it is ours to undo.
        if (isMessageBoxOpen(text)) {
            box->enableOwner();
            openBoxes().erase(text);
            delete box;
        }
        return nullptr;
    }
    box->CenterWindow();
    box->ShowWindow(true);
    return box;
}

MessageBoxWindow::MessageBoxWindow(HWND owner, std::wstring skinFile, std::wstring text)
    : owner_(owner), skinFile_(std::move(skinFile)), text_(std::move(text)) {
    if (owner_) EnableWindow(owner_, FALSE);
}

// Shared fonts: every window that takes ids 0 to 3 from the shared table
// draws with these from now on.
void MessageBoxWindow::InitWindow() {
    m_pm.SetDefaultFont(kFontFace, 12, false, false, false, true);
    for (int id = 0; id < 4; ++id) m_pm.AddFont(id, kFontFace, kFontSizes[id], false, false, false, true);
    probe_.attach(m_pm);
}

void MessageBoxWindow::setIcon(int kind) {
    const std::wstring file = iconFileFor(kind);
    DuiLib::CControlUI* icon = m_pm.FindControl(L"msgiconimage");
    if (!file.empty()) {
        if (icon) icon->SetBkImage(file);
        return;
    }
    if (icon) icon->SetVisible(false);
    if (DuiLib::CControlUI* label = m_pm.FindControl(L"descriptlabel")) label->SetAttribute(L"width", L"340");
}

void MessageBoxWindow::setTitle(const std::wstring& title) {
    if (DuiLib::CControlUI* label = m_pm.FindControl(L"titlelabel")) label->SetText(title);
}

void MessageBoxWindow::setText(const std::wstring& text) {
    if (DuiLib::CControlUI* label = m_pm.FindControl(L"descriptlabel")) {
        label->SetAttribute(L"align", L"center");
        label->SetAttribute(L"valign", L"vcenter");
        label->SetAttribute(L"multiline", L"true");
        label->SetText(text);
    }
    if (text == text_) return;
    // The register follows the text the box shows.
    openBoxes().erase(text_);
    text_ = text;
    openBoxes()[text_] = owner_;
}

void MessageBoxWindow::setCloseCallback(std::function<void()> onClose) {
    onClose_ = std::move(onClose);
}

void MessageBoxWindow::addButton(const ButtonDesc& button) {
    insertButton(new CSelectionUI(button));
}

void MessageBoxWindow::addRemoteButton(const ButtonDesc& button) {
    insertButton(new CSelectionUIRemote(button));
}

// Before the last of the bar's two spacers, so the buttons stand between
// them in the order added.
void MessageBoxWindow::insertButton(DuiLib::CControlUI* button) {
    auto* bar = ui::findAs<DuiLib::CContainerUI>(m_pm, L"bottombar", L"Container");
    if (!bar) {
        delete button;
        return;
    }
    bar->AddAt(button, bar->GetCount() > 0 ? bar->GetCount() - 1 : 0);
}

void MessageBoxWindow::Notify(DuiLib::TNotifyUI& msg) {
    if (msg.sType == L"click" && msg.pSender) {
        if (msg.pSender->GetName() == L"closebtn") {
            enableOwner();
            if (onClose_) onClose_();
        } else if (msg.pSender->GetInterface(L"Selection")) {
            onSelection(msg.pSender);
        }
    }
    WindowImplBase::Notify(msg);
}

void MessageBoxWindow::onSelection(DuiLib::CControlUI* sender) {
    enableOwner();
    ShowWindow(false);
    // A copy: the callback may open another box or close this one.
    const std::function<void()> onClick =
        static_cast<CSelectionUI*>(sender->GetInterface(L"Selection"))->onClick();
    if (onClick) onClick();
    Close(1);
}

LRESULT MessageBoxWindow::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    enableOwner();
    bHandled = FALSE;
    return 0;
}

void MessageBoxWindow::OnFinalMessage(HWND hWnd) {
    WindowImplBase::OnFinalMessage(hWnd);
    openBoxes().erase(text_);
    delete this;
}

void MessageBoxWindow::enableOwner() {
    if (owner_ && !ownerHasOtherBox(owner_, text_)) EnableWindow(owner_, TRUE);
}

}  // namespace msg
