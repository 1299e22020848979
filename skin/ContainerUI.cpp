#include "skin/ContainerUI.h"

#include <algorithm>

#include "skin/PaintManager.h"

namespace DuiLib {
namespace {

UINT horizontalAlign(const std::wstring& v) {
    if (v.find(L"center") != std::wstring::npos) return DT_CENTER;
    if (v.find(L"right") != std::wstring::npos) return DT_RIGHT;
    return DT_LEFT;
}

UINT verticalAlign(const std::wstring& v) {
    if (v.find(L"vcenter") != std::wstring::npos || v.find(L"center") != std::wstring::npos)
        return DT_VCENTER;
    if (v.find(L"bottom") != std::wstring::npos) return DT_BOTTOM;
    return DT_TOP;
}

// Offset of a child of `size` inside `space` (after its margins) by alignment.
int aligned(int start, int space, int size, bool center, bool end) {
    if (center) return start + (space - size) / 2;
    if (end) return start + space - size;
    return start;
}

}  // namespace

CContainerUI::~CContainerUI() {
    for (CControlUI* item : m_items) delete item;
    delete m_pCover;
}

LPVOID CContainerUI::GetInterface(const std::wstring& name) {
    return name == L"Container" ? this : CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    return index >= 0 && index < GetCount() ? m_items[index] : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
    auto it = std::find(m_items.begin(), m_items.end(), control);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CContainerUI::AddAt(CControlUI* control, int index) {
    if (!control || index < 0 || index > GetCount()) return false;
    m_items.insert(m_items.begin() + index, control);
    if (m_pManager) m_pManager->InitControls(control, this);
    control->SetInternVisible(IsVisible());
    NeedUpdate();
    return true;
}

bool CContainerUI::Remove(CControlUI* control) {
    return RemoveAt(GetItemIndex(control));
}

bool CContainerUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    if (!control) return false;
    m_items.erase(m_items.begin() + index);
    delete control;
    NeedUpdate();
    return true;
}

void CContainerUI::RemoveAll() {
    for (CControlUI* item : m_items) delete item;
    m_items.clear();
    NeedUpdate();
}

void CContainerUI::SetCover(CControlUI* control) {
    delete m_pCover;
    m_pCover = control;
    if (control && m_pManager) m_pManager->InitControls(control, this);
    NeedUpdate();
}

void CContainerUI::SetInset(const RECT& inset) {
    m_rcInset = inset;
    NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
    m_iChildPadding = padding;
    NeedUpdate();
}

void CContainerUI::SetChildAlign(UINT align) {
    m_uChildAlign = align;
    NeedUpdate();
}

void CContainerUI::SetChildVAlign(UINT align) {
    m_uChildVAlign = align;
    NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
    CControlUI::SetManager(manager, parent);
    for (CControlUI* item : m_items) item->SetManager(manager, this);
    if (m_pCover) m_pCover->SetManager(manager, this);
}

void CContainerUI::SetVisible(bool visible) {
    bool wasVisible = IsVisible();
    CControlUI::SetVisible(visible);
    if (IsVisible() == wasVisible) return;
    for (CControlUI* item : m_items) item->SetInternVisible(IsVisible());
    if (m_pCover) m_pCover->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    for (CControlUI* item : m_items) item->SetInternVisible(IsVisible());
    if (m_pCover) m_pCover->SetInternVisible(IsVisible());
}

RECT CContainerUI::InnerRect() const {
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    return rc;
}

SIZE CContainerUI::Clamp(CControlUI* child, SIZE size) {
    size.cx = std::max<LONG>(child->GetMinWidth(), std::min<LONG>(size.cx, child->GetMaxWidth()));
    size.cy = std::max<LONG>(child->GetMinHeight(), std::min<LONG>(size.cy, child->GetMaxHeight()));
    return size;
}

void CContainerUI::SetFloatPos(CControlUI* child) {
    SIZE xy = child->GetFixedXY();
    SIZE size = Clamp(child, SIZE{child->GetFixedWidth(), child->GetFixedHeight()});
    RECT rc = {m_rcItem.left + xy.cx, m_rcItem.top + xy.cy, m_rcItem.left + xy.cx + size.cx,
               m_rcItem.top + xy.cy + size.cy};
    child->SetPos(rc, false);
}

void CContainerUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    RECT inner = InnerRect();
    for (CControlUI* item : m_items) {
        if (!item->IsVisible()) continue;
        if (item->IsFloat()) {
            SetFloatPos(item);
            continue;
        }
        RECT pad = item->GetPadding();
        item->SetPos(RECT{inner.left + pad.left, inner.top + pad.top, inner.right - pad.right,
                          inner.bottom - pad.bottom},
                     false);
    }
    if (m_pCover) m_pCover->SetPos(m_rcItem, false);
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    RECT clip;
    if (!IntersectRect(&clip, &rcPaint, &m_rcItem)) return;
    CControlUI::DoPaint(hDC, rcPaint);
    for (CControlUI* item : m_items)
        if (item->IsVisible()) item->DoPaint(hDC, clip);
    if (m_pCover && m_pCover->IsVisible()) m_pCover->DoPaint(hDC, clip);
}

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"inset") {
        SetInset(value::toRect(v));
    } else if (name == L"childpadding") {
        SetChildPadding(value::toInt(v));
    } else if (name == L"childalign") {
        SetChildAlign(horizontalAlign(v));
    } else if (name == L"childvalign") {
        SetChildVAlign(verticalAlign(v));
    } else if (name == L"mousechild") {
        SetMouseChildEnabled(value::toBool(v));
    } else {
        // "vscrollbar", "hscrollbar", "sepimm", "align": accepted, no effect.
        CControlUI::SetAttribute(name, v);
    }
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if (hitTest && !PtInRect(&m_rcItem, *static_cast<const POINT*>(data))) return nullptr;
    if (!hitTest) {
        if (CControlUI* self = proc(this, data)) return self;
    }
    if (!hitTest || m_bMouseChildEnabled) {
        if (m_pCover) {
            if (CControlUI* found = m_pCover->FindControl(proc, data, flags)) return found;
        }
        if (hitTest) {
            // Later children are drawn on top, so they are hit first.
            for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
                if (CControlUI* found = (*it)->FindControl(proc, data, flags)) return found;
        } else {
            for (CControlUI* item : m_items)
                if (CControlUI* found = item->FindControl(proc, data, flags)) return found;
        }
    }
    if (!hitTest || !m_bMouseEnabled) return nullptr;
    return proc(this, data);
}

void CContainerUI::LayoutAlong(bool vertical) {
    // Main-axis and cross-axis views of sizes and rectangles, so one pass serves both layouts.
    auto along = [vertical](SIZE s) -> int { return vertical ? s.cy : s.cx; };
    auto across = [vertical](SIZE s) -> int { return vertical ? s.cx : s.cy; };
    auto sized = [vertical](int along, int across) {
        return vertical ? SIZE{across, along} : SIZE{along, across};
    };
    auto lead = [vertical](const RECT& r) -> int { return vertical ? r.top : r.left; };
    auto trail = [vertical](const RECT& r) -> int { return vertical ? r.bottom : r.right; };
    auto crossLead = [vertical](const RECT& r) -> int { return vertical ? r.left : r.top; };
    auto crossTrail = [vertical](const RECT& r) -> int { return vertical ? r.right : r.bottom; };
    const bool center = vertical ? m_uChildAlign == DT_CENTER : m_uChildVAlign == DT_VCENTER;
    const bool end = vertical ? m_uChildAlign == DT_RIGHT : m_uChildVAlign == DT_BOTTOM;

    RECT inner = InnerRect();
    SIZE avail = {inner.right - inner.left, inner.bottom - inner.top};
    int fixedTotal = 0, flexible = 0, flowing = 0;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible() || item->IsFloat()) continue;
        RECT pad = item->GetPadding();
        fixedTotal += lead(pad) + trail(pad);
        SIZE sz = item->EstimateSize(avail);
        if (along(sz) == 0)
            ++flexible;
        else
            fixedTotal += along(Clamp(item, sz));
        ++flowing;
    }
    if (flowing > 1) fixedTotal += m_iChildPadding * (flowing - 1);
    int left = std::max(0, along(avail) - fixedTotal);
    const int share = flexible ? left / flexible : 0;
    int pos = lead(inner), flexSeen = 0;
    for (CControlUI* item : m_items) {
        if (!item->IsVisible()) continue;
        if (item->IsFloat()) {
            SetFloatPos(item);
            continue;
        }
        RECT pad = item->GetPadding();
        SIZE sz = item->EstimateSize(avail);
        int length;
        if (along(sz) != 0) {
            length = along(Clamp(item, sz));
        } else {
            length = ++flexSeen == flexible ? left : share;  // the last one takes the remainder
            length = along(Clamp(item, sized(length, 0)));
            left -= length;
        }
        int space = across(avail) - crossLead(pad) - crossTrail(pad);
        int breadth = across(Clamp(item, sized(0, across(sz) ? across(sz) : space)));
        int offset = aligned(crossLead(inner) + crossLead(pad), space, breadth, center, end);
        pos += lead(pad);
        RECT placed = vertical ? RECT{offset, pos, offset + breadth, pos + length}
                               : RECT{pos, offset, pos + length, offset + breadth};
        item->SetPos(placed, false);
        pos += length + trail(pad) + m_iChildPadding;
    }
    if (m_pCover) m_pCover->SetPos(m_rcItem, false);
}

LPVOID CVerticalLayoutUI::GetInterface(const std::wstring& name) {
    return name == L"VerticalLayout" ? this : CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    LayoutAlong(true);
}

LPVOID CHorizontalLayoutUI::GetInterface(const std::wstring& name) {
    return name == L"HorizontalLayout" ? this : CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    LayoutAlong(false);
}

LPVOID CTabLayoutUI::GetInterface(const std::wstring& name) {
    return name == L"TabLayout" ? this : CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (m_iCurSel == -1) {
        m_iCurSel = index;
    } else if (index <= m_iCurSel) {
        ++m_iCurSel;
    }
    control->SetVisible(index == m_iCurSel);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
    int index = GetItemIndex(control);
    if (!CContainerUI::RemoveAt(index)) return false;
    if (m_iCurSel == index) {
        m_iCurSel = -1;
        if (GetCount() > 0) SelectItem(0, false);
    } else if (m_iCurSel > index) {
        --m_iCurSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index, bool raise) {
    if (index < 0 || index >= GetCount()) return false;
    int old = m_iCurSel;
    m_iCurSel = index;
    for (int i = 0; i < GetCount(); ++i) m_items[i]->SetVisible(i == index);
    NeedParentUpdate();
    if (raise && m_pManager) m_pManager->SendNotify(this, L"tabselect", index, old);
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control, bool raise) {
    return SelectItem(GetItemIndex(control), raise);
}

void CTabLayoutUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    RECT inner = InnerRect();
    for (CControlUI* item : m_items) {
        if (item->IsFloat()) {
            SetFloatPos(item);
            continue;
        }
        RECT pad = item->GetPadding();
        item->SetPos(RECT{inner.left + pad.left, inner.top + pad.top, inner.right - pad.right,
                          inner.bottom - pad.bottom},
                     false);
    }
}

void CTabLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"selectedid") {
        SelectItem(value::toInt(v), false);
    } else {
        CContainerUI::SetAttribute(name, v);
    }
}

}  // namespace DuiLib
