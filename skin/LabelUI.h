// Text controls: the label, and the plain text item of combo lists.
#pragma once

#include "skin/ControlUI.h"

namespace DuiLib {

class CLabelUI : public CControlUI {
public:
    std::wstring GetClass() const override { return L"LabelUI"; }
    LPVOID GetInterface(const std::wstring& name) override;

    int GetFont() const { return m_iFont; }
    void SetFont(int id);
    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetTextColor(DWORD color);
    void SetDisabledTextColor(DWORD color);
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(const RECT& padding);
    UINT GetTextStyle() const { return m_uTextStyle; }
    void SetTextStyle(UINT style);
    bool IsShowHtml() const { return m_bShowHtml; }
    void SetShowHtml(bool showHtml = true);
    bool IsMultiLine() const { return (m_uTextStyle & DT_SINGLELINE) == 0; }
    void SetMultiLine(bool multiLine);

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintText(HDC hDC) override;

protected:
    // Draws the text in `color` with the label's font, padding and style.
    void DrawLabelText(HDC hDC, DWORD color);

    int m_iFont = -1;
    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    RECT m_rcTextPadding = {0, 0, 0, 0};
    UINT m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
    bool m_bShowHtml = false;
};

// Plain text that, unlike a label, never moves its window when dragged.
class CTextUI : public CLabelUI {
public:
    std::wstring GetClass() const override { return L"TextUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
};

// One item of a combo's list: its text is what the combo shows and returns.
class CListLabelElementUI : public CLabelUI {
public:
    std::wstring GetClass() const override { return L"ListLabelElementUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
};

}  // namespace DuiLib
