// A drop-down list: the items are the combo's children (list label
// elements); the combo shows the selected item's text, and a click opens a
// pop-up list under it. Picking another item raises "itemselect" with the
// new and old index.
#pragma once

#include "skin/ContainerUI.h"

namespace DuiLib {

class CComboDropWnd;

class CComboUI : public CContainerUI {
public:
    CComboUI();
    ~CComboUI() override;

    std::wstring GetClass() const override { return L"ComboUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
    UINT GetControlFlags() const override { return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0; }

    int GetCurSel() const { return m_iCurSel; }
    bool SelectItem(int index, bool raise = true);
    std::wstring GetText() const override;
    bool Activate() override;  // opens the list
    bool IsDropped() const { return m_pDrop != nullptr; }
    void CloseDropDown();
    HWND GetDropWindow() const;

    // Item look, used by the drop-down list.
    int GetItemHeight() const { return m_nItemHeight; }
    SIZE GetDropBoxSize() const { return m_szDropBox; }
    void DrawItem(HDC dc, int index, const RECT& rc, bool hot);

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    friend class CComboDropWnd;
    void DropClosed();

    int m_iCurSel = -1;
    UINT m_uState = 0;
    CComboDropWnd* m_pDrop = nullptr;
    SIZE m_szDropBox = {0, 150};
    int m_nItemHeight = 24;
    int m_iFont = -1;
    DWORD m_dwTextColor = 0;
    RECT m_rcTextPadding = {4, 0, 4, 0};
    RECT m_rcItemTextPadding = {6, 0, 6, 0};
    DWORD m_dwItemTextColor = 0xFF000000;
    DWORD m_dwItemBkColor = 0xFFFFFFFF;
    DWORD m_dwItemHotTextColor = 0xFF000000;
    DWORD m_dwItemHotBkColor = 0xFFE9F5FF;
    DWORD m_dwItemSelectedTextColor = 0xFF000000;
    DWORD m_dwItemSelectedBkColor = 0xFFC1E3FF;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwPushedBkColor = 0;
    TDrawInfo m_diNormal, m_diHot, m_diPushed, m_diDisabled;
};

}  // namespace DuiLib
