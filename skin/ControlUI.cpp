#include "skin/ControlUI.h"

#include "skin/PaintManager.h"

namespace DuiLib {
namespace {

bool g_enlargeImages = false;

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (m_pManager) m_pManager->ReapObjects(this);
}

LPVOID CControlUI::GetInterface(const std::wstring& name) {
    return name == L"Control" ? this : nullptr;
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
    m_pManager = manager;
    m_pParent = parent;
    if (manager && manager->GetPaintWindow()) DoInit();
}

void CControlUI::SetText(const std::wstring& text) {
    if (m_sText == text) return;
    m_sText = text;
    Invalidate();
}

void CControlUI::SetBkColor(DWORD color) {
    m_dwBackColor = color;
    Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
    m_diBk.Set(image);
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
    m_dwBorderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
    m_dwFocusBorderColor = color;
    Invalidate();
}

void CControlUI::SetBorderSize(const RECT& widths) {
    m_rcBorderSize = widths;
    Invalidate();
}

void CControlUI::SetPos(RECT rc, bool needInvalidate) {
    if (rc.right < rc.left) rc.right = rc.left;
    if (rc.bottom < rc.top) rc.bottom = rc.top;
    if (needInvalidate) Invalidate();
    m_rcItem = rc;
    if (needInvalidate) Invalidate();
}

void CControlUI::SetPadding(const RECT& padding) {
    m_rcPadding = padding;
    NeedParentUpdate();
}

void CControlUI::SetFixedXY(SIZE xy) {
    m_cXY = xy;
    NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0) return;
    m_cxyFixed.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0) return;
    m_cxyFixed.cy = cy;
    NeedParentUpdate();
}

void CControlUI::SetMinWidth(int cx) {
    if (cx < 0) return;
    m_cxyMin.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0) return;
    m_cxyMax.cx = cx;
    NeedParentUpdate();
}

void CControlUI::SetMinHeight(int cy) {
    if (cy < 0) return;
    m_cxyMin.cy = cy;
    NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0) return;
    m_cxyMax.cy = cy;
    NeedParentUpdate();
}

void CControlUI::SetFloat(bool floating) {
    m_bFloat = floating;
    NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE) {
    return m_cxyFixed;
}

void CControlUI::SetVisible(bool visible) {
    if (m_bVisible == visible) return;
    bool wasVisible = IsVisible();
    m_bVisible = visible;
    if (m_bFocused && !visible && m_pManager) m_pManager->SetFocus(nullptr);
    if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
    m_bInternVisible = visible;
    if (!visible && m_bFocused && m_pManager) m_pManager->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool enabled) {
    if (m_bEnabled == enabled) return;
    m_bEnabled = enabled;
    Invalidate();
}

void CControlUI::SetFocus() {
    if (m_pManager) m_pManager->SetFocus(this);
}

bool CControlUI::Activate() {
    return IsVisible() && IsEnabled();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((flags & UIFIND_HITTEST) &&
        (!m_bMouseEnabled || !PtInRect(&m_rcItem, *static_cast<const POINT*>(data))))
        return nullptr;
    return proc(this, data);
}

void CControlUI::Invalidate() {
    if (!m_pManager || !IsVisible()) return;
    RECT rc = m_rcItem;
    // Only the part that shows through every ancestor.
    for (CControlUI* p = m_pParent; p; p = p->GetParent()) {
        if (!IntersectRect(&rc, &rc, &p->GetPos())) return;
    }
    m_pManager->Invalidate(rc);
}

void CControlUI::NeedUpdate() {
    if (m_pManager) m_pManager->NeedUpdate();
    Invalidate();
}

void CControlUI::NeedParentUpdate() {
    if (m_pManager) {
        m_pManager->NeedUpdate();
        if (m_pManager->GetPaintWindow()) InvalidateRect(m_pManager->GetPaintWindow(), nullptr, FALSE);
    }
}

void CControlUI::Event(TEventUI& event) {
    for (auto& handler : OnEvent)
        if (!handler(event)) return;
    DoEvent(event);
}

void CControlUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            return;
        case UIEVENT_SETFOCUS:
            m_bFocused = true;
            Invalidate();
            return;
        case UIEVENT_KILLFOCUS:
            m_bFocused = false;
            Invalidate();
            return;
        case UIEVENT_TIMER:
            if (m_pManager) m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam);
            return;
        default:
            break;
    }
    // Unhandled mouse and key input goes to the parent, so a label inside a
    // button area does not swallow it.
    if (m_pParent) m_pParent->DoEvent(event);
}

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"name") {
        SetName(v);
    } else if (name == L"pos") {
        RECT rc = value::toRect(v);
        SetFixedXY(SIZE{rc.left, rc.top});
        SetFixedWidth(rc.right - rc.left);  // negative sizes keep the earlier value
        SetFixedHeight(rc.bottom - rc.top);
    } else if (name == L"float") {
        SetFloat(v.find(L',') != std::wstring::npos || value::toBool(v));
    } else if (name == L"width") {
        SetFixedWidth(value::toInt(v));
    } else if (name == L"height") {
        SetFixedHeight(value::toInt(v));
    } else if (name == L"padding") {
        SetPadding(value::toRect(v));
    } else if (name == L"visible") {
        SetVisible(value::toBool(v));
    } else if (name == L"enabled") {
        SetEnabled(value::toBool(v));
    } else if (name == L"mouse") {
        SetMouseEnabled(value::toBool(v));
    } else if (name == L"bkcolor" || name == L"bkcolor1") {
        SetBkColor(value::toColor(v));
    } else if (name == L"bkcolorIndex") {
        SetBkColor(CPaintManagerUI::GetThemeColor(value::toInt(v)));
    } else if (name == L"bkimage") {
        SetBkImage(v);
    } else if (name == L"bkEnlargeimage") {
        m_diBkEnlarge.Set(v);
    } else if (name == L"bordersize") {
        int w[4] = {0, 0, 0, 0};
        int n = value::toInts(v, w, 4);
        SetBorderSize(n >= 4 ? RECT{w[0], w[1], w[2], w[3]} : RECT{w[0], w[0], w[0], w[0]});
    } else if (name == L"bordercolor") {
        SetBorderColor(value::toColor(v));
    } else if (name == L"focusbordercolor") {
        SetFocusBorderColor(value::toColor(v));
    } else if (name == L"text") {
        SetText(v);
    } else if (name == L"tooltip") {
        SetToolTip(v);
    } else if (name == L"userdata") {
        SetUserData(v);
    } else if (name == L"minwidth") {
        SetMinWidth(value::toInt(v));
    } else if (name == L"minheight") {
        SetMinHeight(value::toInt(v));
    } else if (name == L"maxwidth") {
        SetMaxWidth(value::toInt(v));
    } else if (name == L"maxheight") {
        SetMaxHeight(value::toInt(v));
    }
    // Anything else (gradients, hsl, border style, shortcuts, ...) is accepted
    // and has no effect.
}

void CControlUI::ApplyAttributeList(const std::wstring& list) {
    size_t pos = 0;
    while (pos < list.size()) {
        while (pos < list.size() && list[pos] <= L' ') ++pos;
        size_t eq = list.find(L'=', pos);
        if (eq == std::wstring::npos) return;
        std::wstring name = list.substr(pos, eq - pos);
        while (!name.empty() && name.back() <= L' ') name.pop_back();
        size_t open = list.find_first_of(L"\"'", eq);
        if (open == std::wstring::npos) return;
        size_t close = list.find(list[open], open + 1);
        if (close == std::wstring::npos) return;
        SetAttribute(name, list.substr(open + 1, close - open - 1));
        pos = close + 1;
    }
}

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
}

void CControlUI::PaintBkColor(HDC hDC) {
    if (m_dwBackColor) render::fillColor(hDC, m_rcItem, m_rcPaint, m_dwBackColor);
}

void CControlUI::PaintBkImage(HDC hDC) {
    DrawImage(hDC, Pick(m_diBk, m_diBkEnlarge));
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC) {
    DWORD color = m_bFocused && m_dwFocusBorderColor ? m_dwFocusBorderColor : m_dwBorderColor;
    const RECT& w = m_rcBorderSize;
    if (color && (w.left || w.top || w.right || w.bottom))
        render::drawBorder(hDC, m_rcItem, m_rcPaint, w, color);
}

bool CControlUI::DrawImage(HDC hDC, TDrawInfo& info) {
    return render::drawImage(hDC, m_pManager, m_rcItem, m_rcPaint, info);
}

void CControlUI::SetEnlargeImages(bool on) {
    g_enlargeImages = on;
}

bool CControlUI::UseEnlargeImages() {
    return g_enlargeImages;
}

TDrawInfo& CControlUI::Pick(TDrawInfo& normal, TDrawInfo& enlarge) {
    return g_enlargeImages && !enlarge.IsEmpty() ? enlarge : normal;
}

}  // namespace DuiLib
