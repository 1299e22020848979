// Clickable controls: the button with its state images and colours, and the
// option (check box / radio) with a selected state.
#pragma once

#include "skin/LabelUI.h"

namespace DuiLib {

class CButtonUI : public CLabelUI {
public:
    CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }
    std::wstring GetClass() const override { return L"ButtonUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
    UINT GetControlFlags() const override;

    bool Activate() override;  // raises "click"
    void SetEnabled(bool enabled = true) override;
    void DoEvent(TEventUI& event) override;

    UINT GetButtonState() const { return m_uButtonState; }
    void SetNormalImage(const std::wstring& image);
    void SetHotImage(const std::wstring& image);
    void SetPushedImage(const std::wstring& image);
    void SetFocusedImage(const std::wstring& image);
    void SetDisabledImage(const std::wstring& image);
    void SetHotBkColor(DWORD color) { m_dwHotBkColor = color; }
    void SetPushedBkColor(DWORD color) { m_dwPushedBkColor = color; }
    void SetHotTextColor(DWORD color) { m_dwHotTextColor = color; }
    void SetPushedTextColor(DWORD color) { m_dwPushedTextColor = color; }
    void SetFocusedTextColor(DWORD color) { m_dwFocusedTextColor = color; }
    void SetShowCursor(bool hand) { m_bHandCursor = hand; }

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintBorder(HDC hDC) override;

protected:
    UINT m_uButtonState = 0;
    bool m_bHandCursor = false;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwPushedBkColor = 0;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwPushedTextColor = 0;
    DWORD m_dwFocusedTextColor = 0;
    DWORD m_dwHotBorderColor = 0;
    TDrawInfo m_diNormal, m_diHot, m_diPushed, m_diFocused, m_diDisabled;
    TDrawInfo m_diNormalEnlarge, m_diHotEnlarge, m_diPushedEnlarge, m_diFocusedEnlarge, m_diDisabledEnlarge;
    TDrawInfo m_diFore;
};

class COptionUI : public CButtonUI {
public:
    std::wstring GetClass() const override { return L"OptionUI"; }
    LPVOID GetInterface(const std::wstring& name) override;

    bool IsSelected() const { return m_bSelected; }
    // Changes the state; raises "selectchanged" when it changed and `raise`.
    void Selected(bool selected, bool raise = true);
    // A click toggles a stand-alone option and selects a grouped one.
    bool Activate() override;
    const std::wstring& GetGroup() const { return m_sGroup; }

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

private:
    bool m_bSelected = false;
    std::wstring m_sGroup;
    DWORD m_dwSelectedBkColor = 0;
    DWORD m_dwSelectedTextColor = 0;
    TDrawInfo m_diSelected, m_diSelectedHot, m_diSelectedDisabled;
    TDrawInfo m_diSelectedEnlarge, m_diSelectedHotEnlarge, m_diSelectedDisabledEnlarge;
};

}  // namespace DuiLib
