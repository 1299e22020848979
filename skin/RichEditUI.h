// A text area on the system rich-edit control: a native child window kept
// over the control's rectangle while the control is visible.
#pragma once

#include "skin/ControlUI.h"

namespace DuiLib {

class CRichEditUI : public CControlUI {
public:
    ~CRichEditUI() override;

    std::wstring GetClass() const override { return L"RichEditUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
    UINT GetControlFlags() const override { return UIFLAG_TABSTOP; }

    std::wstring GetText() const override;
    void SetText(const std::wstring& text) override;
    void SetTextColor(DWORD color);
    void SetFont(int id);
    HWND GetNativeWindow() const { return m_hwnd; }

    void DoInit() override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void DoEvent(TEventUI& event) override;

private:
    static LRESULT CALLBACK NativeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void ApplyFormat();
    void PlaceWindow();

    HWND m_hwnd = nullptr;
    WNDPROC m_oldProc = nullptr;
    DWORD m_dwStyle = WS_CHILD | ES_AUTOHSCROLL;
    bool m_bTransparent = false;
    bool m_bWantTab = false;
    int m_iFont = -1;
    DWORD m_dwTextColor = 0xFF000000;
    RECT m_rcTextPadding = {0, 0, 0, 0};
};

}  // namespace DuiLib
