// Containers: the base (children stacked over the whole inner rectangle),
// vertical and horizontal layouts, and the tab layout that shows one page.
#pragma once

#include <vector>

#include "skin/ControlUI.h"

namespace DuiLib {

class CContainerUI : public CControlUI {
public:
    CContainerUI() = default;
    ~CContainerUI() override;

    std::wstring GetClass() const override { return L"ContainerUI"; }
    LPVOID GetInterface(const std::wstring& name) override;

    // Children are owned by the container and deleted with it.
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(CControlUI* control) const;
    int GetCount() const { return static_cast<int>(m_items.size()); }
    virtual bool Add(CControlUI* control);
    virtual bool AddAt(CControlUI* control, int index);
    // Removes and deletes.
    virtual bool Remove(CControlUI* control);
    virtual bool RemoveAt(int index);
    virtual void RemoveAll();
    // Drawn over the children and laid out over the whole rectangle.
    void SetCover(CControlUI* control);
    CControlUI* GetCover() const { return m_pCover; }

    RECT GetInset() const { return m_rcInset; }
    void SetInset(const RECT& inset);
    int GetChildPadding() const { return m_iChildPadding; }
    void SetChildPadding(int padding);
    void SetChildAlign(UINT align);   // DT_LEFT, DT_CENTER, DT_RIGHT
    void SetChildVAlign(UINT align);  // DT_TOP, DT_VCENTER, DT_BOTTOM
    void SetMouseChildEnabled(bool enabled) { m_bMouseChildEnabled = enabled; }

    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;

protected:
    RECT InnerRect() const;
    // Places a floating child by its fixed position and size.
    void SetFloatPos(CControlUI* child);
    static SIZE Clamp(CControlUI* child, SIZE size);
    // Stacks the flowing children one after another, top to bottom or left to right.
    void LayoutAlong(bool vertical);

    std::vector<CControlUI*> m_items;
    CControlUI* m_pCover = nullptr;
    RECT m_rcInset = {0, 0, 0, 0};
    int m_iChildPadding = 0;
    UINT m_uChildAlign = DT_LEFT;
    UINT m_uChildVAlign = DT_TOP;
    bool m_bMouseChildEnabled = true;
};

class CVerticalLayoutUI : public CContainerUI {
public:
    std::wstring GetClass() const override { return L"VerticalLayoutUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    std::wstring GetClass() const override { return L"HorizontalLayoutUI"; }
    LPVOID GetInterface(const std::wstring& name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
};

class CTabLayoutUI : public CContainerUI {
public:
    std::wstring GetClass() const override { return L"TabLayoutUI"; }
    LPVOID GetInterface(const std::wstring& name) override;

    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    int GetCurSel() const { return m_iCurSel; }
    // Shows page `index`; with `raise`, notifies "tabselect" (new, old index).
    bool SelectItem(int index, bool raise = true);
    bool SelectItem(CControlUI* control, bool raise = true);
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    int m_iCurSel = -1;
};

}  // namespace DuiLib
