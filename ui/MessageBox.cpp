#include "ui/MessageBox.h"

#include <vector>

#include "skin/StringTable.h"
#include "ui/MessageBoxWindow.h"

namespace msg {

namespace {

const int kNoticeIcon = 2;

struct BoxContent {
    std::wstring title;  // shown as given
    std::wstring text;   // shown as given; the register key
    std::vector<ButtonDesc> buttons;
    std::function<void()> onClose;
};

ButtonDesc resolved(const ButtonDesc& button) {
    return {DuiLib::textFor(button.caption), button.onClick, button.highlight};
}

bool showBox(HWND owner, const BoxContent& content) {
    const std::wstring icon = iconFileFor(kNoticeIcon);
    const wchar_t* skin = icon.empty() ? MessageBoxWindow::kSkinWithoutIcon : MessageBoxWindow::kSkinWithIcon;
    MessageBoxWindow* box = MessageBoxWindow::open(owner, skin, content.text);
    if (!box) return false;
    box->setIcon(kNoticeIcon);
    box->setTitle(content.title);
    box->setText(content.text);
    if (content.onClose) box->setCloseCallback(content.onClose);
    for (const ButtonDesc& button : content.buttons) box->addButton(button);
    return true;
}

}  // namespace

std::wstring iconFileFor(int kind) {
    if (kind >= 0 && kind <= 2) return L"common/msg_noice48.png";
    if (kind == 3) return L"common/msg_ok48.png";
    return std::wstring();
}

bool showMessageBox(HWND owner, const ButtonDesc& button, const std::wstring& title,
                    const std::wstring& message) {
    return showBox(owner, {DuiLib::textFor(title), DuiLib::textFor(message), {resolved(button)}, nullptr});
}

bool showMessageBox2(HWND owner, const ButtonDesc& first, const ButtonDesc& second, const std::wstring& title,
                     const std::wstring& message) {
    return showBox(
        owner,
        {DuiLib::textFor(title), DuiLib::textFor(message), {resolved(first), resolved(second)}, nullptr});
}

bool showPathCheckBox(HWND owner, const ButtonDesc& first, const ButtonDesc& second,
                      const std::wstring& title, const std::wstring& text, std::function<void()> onClose) {
    return showBox(owner,
                   {DuiLib::textFor(title), text, {resolved(first), resolved(second)}, std::move(onClose)});
}

}  // namespace msg
