#include "ui/SelectionUI.h"

namespace msg {

namespace {

const DWORD kHighlightTextColor = 0xFF000000;
const DWORD kPlainTextColor = 0xFF17171A;

// One state slice of a 20-pixel-wide, 28-pixel-high button strip.
std::wstring slice(const std::wstring& file, int index) {
    const int left = index * 20;
    return L"file='" + file + L"' source='" + std::to_wstring(left) + L",0," + std::to_wstring(left + 20) +
           L",28' corner='6,6,6,6'";
}

}  // namespace

CSelectionUI::CSelectionUI(const ButtonDesc& desc) : CSelectionUI(desc, L"common") {}

CSelectionUI::CSelectionUI(const ButtonDesc& desc, const std::wstring& folder) : onClick_(desc.onClick) {
    SetText(desc.caption);
    SetFixedHeight(30);
    SetTextStyle(DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SetTextPadding(RECT{20, 0, 20, 0});
    SetPadding(RECT{10, 0, 10, 0});
    SetMinWidth(90);
    SetAttribute(L"minwidthex", L"100");  // the Enlarge look's minimum
    SetShowCursor(true);
    SetShowHtml(true);
    SetFont(1);
    applyLook(desc.highlight, folder);
}

LPVOID CSelectionUI::GetInterface(const std::wstring& name) {
    return name == L"Selection" ? this : CButtonUI::GetInterface(name);
}

void CSelectionUI::applyLook(bool highlight, const std::wstring& folder) {
    const std::wstring file = folder + (highlight ? L"\\btn_bg_default.png" : L"\\btn_bg.png");
    SetNormalImage(slice(file, 0));
    SetHotImage(slice(file, 1));
    SetPushedImage(slice(file, 2));
    SetTextColor(highlight ? kHighlightTextColor : kPlainTextColor);
}

CSelectionUIRemote::CSelectionUIRemote(const ButtonDesc& desc) : CSelectionUI(desc, L"remote") {}

}  // namespace msg
