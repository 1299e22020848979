#include "skin/LabelUI.h"

#include "skin/PaintManager.h"
#include "skin/StringTable.h"

namespace DuiLib {

LPVOID CLabelUI::GetInterface(const std::wstring& name) {
    return name == L"Label" ? this : CControlUI::GetInterface(name);
}

void CLabelUI::SetFont(int id) {
    m_iFont = id;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
    m_dwTextColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
    m_dwDisabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& padding) {
    m_rcTextPadding = padding;
    Invalidate();
}

void CLabelUI::SetTextStyle(UINT style) {
    m_uTextStyle = style;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml) {
    m_bShowHtml = showHtml;
    Invalidate();
}

void CLabelUI::SetMultiLine(bool multiLine) {
    if (multiLine) {
        m_uTextStyle = (m_uTextStyle & ~DT_SINGLELINE) | DT_WORDBREAK;
    } else {
        m_uTextStyle = (m_uTextStyle & ~DT_WORDBREAK) | DT_SINGLELINE;
    }
    Invalidate();
}

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"font") {
        SetFont(value::toInt(v));
    } else if (name == L"textcolor") {
        SetTextColor(value::toColor(v));
    } else if (name == L"disabledtextcolor") {
        SetDisabledTextColor(value::toColor(v));
    } else if (name == L"textpadding") {
        SetTextPadding(value::toRect(v));
    } else if (name == L"align") {
        UINT style = m_uTextStyle & ~(DT_LEFT | DT_CENTER | DT_RIGHT);
        if (v.find(L"left") != std::wstring::npos) style |= DT_LEFT;
        if (v.find(L"center") != std::wstring::npos) style |= DT_CENTER;
        if (v.find(L"right") != std::wstring::npos) style |= DT_RIGHT;
        SetTextStyle(style);
    } else if (name == L"valign") {
        UINT style = m_uTextStyle & ~(DT_TOP | DT_VCENTER | DT_BOTTOM);
        if (v.find(L"top") != std::wstring::npos) style |= DT_TOP;
        if (v.find(L"vcenter") != std::wstring::npos) style |= DT_VCENTER;
        if (v.find(L"bottom") != std::wstring::npos) style |= DT_BOTTOM;
        SetTextStyle(style);
    } else if (name == L"multiline") {
        SetMultiLine(value::toBool(v));
    } else if (name == L"endellipsis") {
        SetTextStyle(value::toBool(v) ? m_uTextStyle | DT_END_ELLIPSIS : m_uTextStyle & ~DT_END_ELLIPSIS);
    } else if (name == L"showhtml") {
        SetShowHtml(value::toBool(v));
    } else {
        CControlUI::SetAttribute(name, v);
    }
}

void CLabelUI::PaintText(HDC hDC) {
    DWORD color = m_dwTextColor;
    if (!IsEnabled()) color = m_dwDisabledTextColor;
    DrawLabelText(hDC, color);
}

void CLabelUI::DrawLabelText(HDC hDC, DWORD color) {
    if (m_sText.empty()) return;
    if (!color && m_pManager)
        color = IsEnabled() ? m_pManager->GetDefaultFontColor() : m_pManager->GetDefaultDisabledColor();
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    if (m_bShowHtml) {
        render::drawMarkupText(hDC, m_pManager, rc, m_rcPaint, m_sText, color, m_iFont, m_uTextStyle);
        return;
    }
    UINT style = m_uTextStyle;
    if (IsMultiLine() && (style & (DT_VCENTER | DT_BOTTOM))) {
        // DrawText centres single lines only: place the wrapped block by its height.
        RECT measure = rc;
        std::wstring shown = resolveTextId(m_sText);
        HGDIOBJ old =
            SelectObject(hDC, m_pManager ? m_pManager->GetFont(m_iFont) : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(hDC, shown.c_str(), -1, &measure,
                  (style & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT | DT_NOPREFIX);
        SelectObject(hDC, old);
        int height = measure.bottom - measure.top;
        int space = rc.bottom - rc.top;
        if (style & DT_VCENTER) rc.top += (space - height) / 2;
        if (style & DT_BOTTOM) rc.top = rc.bottom - height;
        style &= ~(DT_VCENTER | DT_BOTTOM);
    }
    render::drawText(hDC, m_pManager, rc, m_rcPaint, m_sText, color, m_iFont, style);
}

LPVOID CTextUI::GetInterface(const std::wstring& name) {
    return name == L"Text" ? this : CLabelUI::GetInterface(name);
}

LPVOID CListLabelElementUI::GetInterface(const std::wstring& name) {
    return name == L"ListLabelElement" ? this : CLabelUI::GetInterface(name);
}

}  // namespace DuiLib
