#include "skin/ButtonUI.h"

#include "skin/ContainerUI.h"
#include "skin/PaintManager.h"

namespace DuiLib {
namespace {

LPARAM pointParam(POINT pt) {
    return MAKELPARAM(pt.x, pt.y);
}

// Every option of the tree under `root` in `group`, except `self`.
void unselectGroup(CControlUI* root, const std::wstring& group, COptionUI* self) {
    if (!root) return;
    auto* option = static_cast<COptionUI*>(root->GetInterface(L"Option"));
    if (option && option != self && option->GetGroup() == group) option->Selected(false);
    auto* container = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    if (!container) return;
    for (int i = 0; i < container->GetCount(); ++i) unselectGroup(container->GetItemAt(i), group, self);
}

}  // namespace

LPVOID CButtonUI::GetInterface(const std::wstring& name) {
    return name == L"Button" ? this : CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
    return (IsEnabled() ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u) | UIFLAG_TABSTOP;
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate()) return false;
    if (m_pManager) m_pManager->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!enabled) m_uButtonState = 0;
}

void CButtonUI::DoEvent(TEventUI& event) {
    const bool inside = PtInRect(&m_rcItem, event.ptMouse) != 0;
    switch (event.Type) {
        case UIEVENT_KEYDOWN:
            if (IsEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
                Activate();
                return;
            }
            break;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled() && inside) {
                m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
                Invalidate();
                if (event.Type == UIEVENT_DBLCLICK && m_pManager)
                    m_pManager->SendNotify(this, L"doubblebuttonclick", pointParam(event.ptMouse));
            }
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_uButtonState & UISTATE_CAPTURED) {
                if (inside)
                    m_uButtonState |= UISTATE_PUSHED;
                else
                    m_uButtonState &= ~UISTATE_PUSHED;
                Invalidate();
            }
            return;
        case UIEVENT_BUTTONUP:
            if (m_uButtonState & UISTATE_CAPTURED) {
                m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
                Invalidate();
                if (inside) Activate();
            }
            return;
        case UIEVENT_RBUTTONDOWN:
            if (IsEnabled() && m_pManager)
                m_pManager->SendNotify(this, L"rightbuttondown", pointParam(event.ptMouse));
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                m_uButtonState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, m_bHandCursor && IsEnabled() ? IDC_HAND : IDC_ARROW));
            return;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(const std::wstring& image) {
    m_diNormal.Set(image);
    Invalidate();
}

void CButtonUI::SetHotImage(const std::wstring& image) {
    m_diHot.Set(image);
    Invalidate();
}

void CButtonUI::SetPushedImage(const std::wstring& image) {
    m_diPushed.Set(image);
    Invalidate();
}

void CButtonUI::SetFocusedImage(const std::wstring& image) {
    m_diFocused.Set(image);
    Invalidate();
}

void CButtonUI::SetDisabledImage(const std::wstring& image) {
    m_diDisabled.Set(image);
    Invalidate();
}

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"normalimage") {
        SetNormalImage(v);
    } else if (name == L"hotimage") {
        SetHotImage(v);
    } else if (name == L"pushedimage") {
        SetPushedImage(v);
    } else if (name == L"focusedimage") {
        SetFocusedImage(v);
    } else if (name == L"disabledimage") {
        SetDisabledImage(v);
    } else if (name == L"foreimage") {
        m_diFore.Set(v);
    } else if (name == L"normalEnlargeImage") {
        m_diNormalEnlarge.Set(v);
    } else if (name == L"hotEnlargeImage") {
        m_diHotEnlarge.Set(v);
    } else if (name == L"pushedEnlargeImage") {
        m_diPushedEnlarge.Set(v);
    } else if (name == L"focusedEnlargeImage") {
        m_diFocusedEnlarge.Set(v);
    } else if (name == L"disabledEnlargeImage") {
        m_diDisabledEnlarge.Set(v);
    } else if (name == L"hotbkcolor") {
        SetHotBkColor(value::toColor(v));
    } else if (name == L"pushbkcolor" || name == L"pushedbkcolor") {
        SetPushedBkColor(value::toColor(v));
    } else if (name == L"hottextcolor") {
        SetHotTextColor(value::toColor(v));
    } else if (name == L"pushedtextcolor") {
        SetPushedTextColor(value::toColor(v));
    } else if (name == L"focusedtextcolor") {
        SetFocusedTextColor(value::toColor(v));
    } else if (name == L"hotbordercolor") {
        m_dwHotBorderColor = value::toColor(v);
    } else if (name == L"showcursor") {
        SetShowCursor(value::toBool(v));
    } else {
        CLabelUI::SetAttribute(name, v);
    }
}

void CButtonUI::PaintText(HDC hDC) {
    DWORD color = m_dwTextColor;
    if (!IsEnabled()) {
        color = m_dwDisabledTextColor;
    } else if ((m_uButtonState & UISTATE_PUSHED) && m_dwPushedTextColor) {
        color = m_dwPushedTextColor;
    } else if ((m_uButtonState & UISTATE_HOT) && m_dwHotTextColor) {
        color = m_dwHotTextColor;
    } else if (IsFocused() && m_dwFocusedTextColor) {
        color = m_dwFocusedTextColor;
    }
    DrawLabelText(hDC, color);
}

void CButtonUI::PaintStatusImage(HDC hDC) {
    TDrawInfo& normal = Pick(m_diNormal, m_diNormalEnlarge);
    if (!IsEnabled()) {
        if (!DrawImage(hDC, Pick(m_diDisabled, m_diDisabledEnlarge))) DrawImage(hDC, normal);
    } else if (m_uButtonState & UISTATE_PUSHED) {
        if (m_dwPushedBkColor) render::fillColor(hDC, m_rcItem, m_rcPaint, m_dwPushedBkColor);
        if (!DrawImage(hDC, Pick(m_diPushed, m_diPushedEnlarge))) DrawImage(hDC, normal);
    } else if (m_uButtonState & UISTATE_HOT) {
        if (m_dwHotBkColor) render::fillColor(hDC, m_rcItem, m_rcPaint, m_dwHotBkColor);
        if (!DrawImage(hDC, Pick(m_diHot, m_diHotEnlarge))) DrawImage(hDC, normal);
    } else if (IsFocused()) {
        if (!DrawImage(hDC, Pick(m_diFocused, m_diFocusedEnlarge))) DrawImage(hDC, normal);
    } else {
        DrawImage(hDC, normal);
    }
    DrawImage(hDC, m_diFore);
}

void CButtonUI::PaintBorder(HDC hDC) {
    if ((m_uButtonState & UISTATE_HOT) && m_dwHotBorderColor) {
        DWORD saved = m_dwBorderColor;
        m_dwBorderColor = m_dwHotBorderColor;
        CLabelUI::PaintBorder(hDC);
        m_dwBorderColor = saved;
        return;
    }
    CLabelUI::PaintBorder(hDC);
}

LPVOID COptionUI::GetInterface(const std::wstring& name) {
    return name == L"Option" ? this : CButtonUI::GetInterface(name);
}

void COptionUI::Selected(bool selected, bool raise) {
    if (m_bSelected == selected) return;
    m_bSelected = selected;
    if (selected && !m_sGroup.empty() && m_pManager) unselectGroup(m_pManager->GetRoot(), m_sGroup, this);
    Invalidate();
    if (raise && m_pManager) m_pManager->SendNotify(this, L"selectchanged");
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate()) return false;
    Selected(m_sGroup.empty() ? !m_bSelected : true);
    return true;
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"selected") {
        Selected(value::toBool(v), false);
    } else if (name == L"group") {
        m_sGroup = v;
    } else if (name == L"selectedimage") {
        m_diSelected.Set(v);
    } else if (name == L"selectedhotimage") {
        m_diSelectedHot.Set(v);
    } else if (name == L"selecteddisabledimage") {
        m_diSelectedDisabled.Set(v);
    } else if (name == L"selectedEnlargeImage" || name == L"selectedEnlargeimage") {
        m_diSelectedEnlarge.Set(v);
    } else if (name == L"selectedhotEnlargeImage" || name == L"selectedhotEnlargeimage") {
        m_diSelectedHotEnlarge.Set(v);
    } else if (name == L"selecteddisabledEnlargeImage" || name == L"selecteddisabledEnlargeimage") {
        m_diSelectedDisabledEnlarge.Set(v);
    } else if (name == L"selectedbkcolor") {
        m_dwSelectedBkColor = value::toColor(v);
    } else if (name == L"selectedtextcolor") {
        m_dwSelectedTextColor = value::toColor(v);
    } else {
        CButtonUI::SetAttribute(name, v);
    }
}

void COptionUI::PaintText(HDC hDC) {
    if (m_bSelected && IsEnabled() && m_dwSelectedTextColor) {
        DrawLabelText(hDC, m_dwSelectedTextColor);
        return;
    }
    CButtonUI::PaintText(hDC);
}

void COptionUI::PaintStatusImage(HDC hDC) {
    if (!m_bSelected) {
        CButtonUI::PaintStatusImage(hDC);
        return;
    }
    if (m_dwSelectedBkColor) render::fillColor(hDC, m_rcItem, m_rcPaint, m_dwSelectedBkColor);
    TDrawInfo& selected = Pick(m_diSelected, m_diSelectedEnlarge);
    bool drawn = false;
    if (!IsEnabled()) {
        drawn = DrawImage(hDC, Pick(m_diSelectedDisabled, m_diSelectedDisabledEnlarge));
    } else if (m_uButtonState & UISTATE_HOT) {
        drawn = DrawImage(hDC, Pick(m_diSelectedHot, m_diSelectedHotEnlarge));
    }
    if (!drawn && !DrawImage(hDC, selected))
        CButtonUI::PaintStatusImage(hDC);
    else
        DrawImage(hDC, m_diFore);
}

}  // namespace DuiLib
