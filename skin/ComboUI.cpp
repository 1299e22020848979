#include "skin/ComboUI.h"

#include <windowsx.h>

#include "skin/PaintManager.h"

namespace DuiLib {

// The pop-up list of a combo: a top-level window that never takes the
// activation, holds the mouse capture while open and closes on any click
// outside it.
class CComboDropWnd {
public:
    explicit CComboDropWnd(CComboUI* owner) : owner_(owner) {}
    ~CComboDropWnd() {
        if (hwnd_) {
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
    }
    CComboDropWnd(const CComboDropWnd&) = delete;
    CComboDropWnd& operator=(const CComboDropWnd&) = delete;

    bool Open();
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    int ItemAt(POINT pt) const;
    void Paint();

    CComboUI* owner_;
    HWND hwnd_ = nullptr;
    int hot_ = -1;
};

namespace {

const wchar_t kDropClass[] = L"SkinComboDropDown";

bool registerDropClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kDropClass;
    return RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool CComboDropWnd::Open() {
    CPaintManagerUI* manager = owner_->GetManager();
    if (!manager || !manager->GetPaintWindow() || !registerDropClass()) return false;
    RECT rc = owner_->GetPos();
    SIZE box = owner_->GetDropBoxSize();
    int width = box.cx > 0 ? box.cx : rc.right - rc.left;
    int content = owner_->GetCount() * owner_->GetItemHeight();
    int height = content < box.cy ? content : box.cy;
    if (height <= 0) height = owner_->GetItemHeight();
    POINT origin = {rc.left, rc.bottom};
    ClientToScreen(manager->GetPaintWindow(), &origin);
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kDropClass, L"",
                            WS_POPUP | WS_BORDER, origin.x, origin.y, width, height,
                            manager->GetPaintWindow(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return false;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CComboDropWnd::Proc));
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    SetCapture(hwnd_);
    return true;
}

int CComboDropWnd::ItemAt(POINT pt) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    if (!PtInRect(&client, pt) || owner_->GetItemHeight() <= 0) return -1;
    int index = pt.y / owner_->GetItemHeight();
    return index < owner_->GetCount() ? index : -1;
}

void CComboDropWnd::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    Canvas canvas(client.right, client.bottom);
    if (canvas.valid()) {
        canvas.clear(0xFFFFFFFF);
        for (int i = 0; i < owner_->GetCount(); ++i) {
            RECT item = {0, i * owner_->GetItemHeight(), client.right, (i + 1) * owner_->GetItemHeight()};
            owner_->DrawItem(canvas.dc(), i, item, i == hot_);
        }
        BitBlt(dc, 0, 0, client.right, client.bottom, canvas.dc(), 0, 0, SRCCOPY);
    }
    EndPaint(hwnd_, &ps);
}

LRESULT CALLBACK CComboDropWnd::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CComboDropWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_PAINT:
            self->Paint();
            return 0;
        case WM_MOUSEMOVE: {
            int hot = self->ItemAt(pt);
            if (hot != self->hot_) {
                self->hot_ = hot;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (self->ItemAt(pt) < 0) self->owner_->CloseDropDown();  // a click outside
            return 0;
        case WM_LBUTTONUP: {
            int index = self->ItemAt(pt);
            if (index < 0) return 0;  // the release of the click that opened the list
            CComboUI* owner = self->owner_;
            owner->CloseDropDown();  // deletes self
            owner->SelectItem(index);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd) self->owner_->CloseDropDown();
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

CComboUI::CComboUI() = default;

CComboUI::~CComboUI() {
    CloseDropDown();
}

LPVOID CComboUI::GetInterface(const std::wstring& name) {
    return name == L"Combo" ? this : CContainerUI::GetInterface(name);
}

HWND CComboUI::GetDropWindow() const {
    return m_pDrop ? m_pDrop->hwnd() : nullptr;
}

bool CComboUI::SelectItem(int index, bool raise) {
    if (index < -1 || index >= GetCount() || index == m_iCurSel) return false;
    int old = m_iCurSel;
    m_iCurSel = index;
    Invalidate();
    if (raise && m_pManager) m_pManager->SendNotify(this, L"itemselect", index, old);
    return true;
}

std::wstring CComboUI::GetText() const {
    CControlUI* item = GetItemAt(m_iCurSel);
    return item ? item->GetText() : m_sText;
}

bool CComboUI::Activate() {
    if (!CControlUI::Activate() || m_pDrop) return false;
    m_pDrop = new CComboDropWnd(this);
    if (!m_pDrop->Open()) {
        delete m_pDrop;
        m_pDrop = nullptr;
        return false;
    }
    Invalidate();
    return true;
}

void CComboUI::CloseDropDown() {
    CComboDropWnd* drop = m_pDrop;
    if (!drop) return;
    m_pDrop = nullptr;
    if (GetCapture() == drop->hwnd()) ReleaseCapture();
    delete drop;
    m_uState &= ~UISTATE_PUSHED;
    Invalidate();
}

void CComboUI::DropClosed() {
    m_pDrop = nullptr;
}

void CComboUI::DrawItem(HDC dc, int index, const RECT& rc, bool hot) {
    CControlUI* item = GetItemAt(index);
    if (!item) return;
    DWORD back = m_dwItemBkColor, text = m_dwItemTextColor;
    if (index == m_iCurSel) {
        back = m_dwItemSelectedBkColor;
        text = m_dwItemSelectedTextColor;
    }
    if (hot) {
        back = m_dwItemHotBkColor;
        text = m_dwItemHotTextColor;
    }
    render::fillColor(dc, rc, rc, back);
    RECT t = {rc.left + m_rcItemTextPadding.left, rc.top + m_rcItemTextPadding.top,
              rc.right - m_rcItemTextPadding.right, rc.bottom - m_rcItemTextPadding.bottom};
    render::drawText(dc, m_pManager, t, rc, item->GetText(), text, m_iFont,
                     DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

bool CComboUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index)) return false;
    if (m_iCurSel >= index) ++m_iCurSel;
    return true;
}

bool CComboUI::RemoveAt(int index) {
    if (!CContainerUI::RemoveAt(index)) return false;
    if (m_iCurSel == index) m_iCurSel = -1;
    if (m_iCurSel > index) --m_iCurSel;
    return true;
}

void CComboUI::RemoveAll() {
    CloseDropDown();
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}

void CComboUI::SetPos(RECT rc, bool needInvalidate) {
    // The items live in the drop-down list, not in the combo's rectangle.
    CControlUI::SetPos(rc, needInvalidate);
}

void CComboUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    if (!IsEnabled()) {
        if (!DrawImage(hDC, m_diDisabled)) DrawImage(hDC, m_diNormal);
    } else if ((m_uState & UISTATE_PUSHED) || m_pDrop) {
        if (m_dwPushedBkColor) render::fillColor(hDC, m_rcItem, m_rcPaint, m_dwPushedBkColor);
        if (!DrawImage(hDC, m_diPushed)) DrawImage(hDC, m_diNormal);
    } else if (m_uState & UISTATE_HOT) {
        if (m_dwHotBkColor) render::fillColor(hDC, m_rcItem, m_rcPaint, m_dwHotBkColor);
        if (!DrawImage(hDC, m_diHot)) DrawImage(hDC, m_diNormal);
    } else {
        DrawImage(hDC, m_diNormal);
    }
    RECT t = {m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
              m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
    DWORD color =
        m_dwTextColor ? m_dwTextColor : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFF000000);
    render::drawText(hDC, m_pManager, t, m_rcPaint, GetText(), color, m_iFont,
                     DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    PaintBorder(hDC);
}

void CComboUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_BUTTONDOWN:
            if (IsEnabled()) {
                if (m_pDrop)
                    CloseDropDown();
                else
                    Activate();
            }
            return;
        case UIEVENT_MOUSEENTER:
            m_uState |= UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            m_uState &= ~UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_KEYDOWN:
            if (event.chKey == VK_DOWN) SelectItem(m_iCurSel + 1 < GetCount() ? m_iCurSel + 1 : m_iCurSel);
            if (event.chKey == VK_UP && m_iCurSel > 0) SelectItem(m_iCurSel - 1);
            return;
        case UIEVENT_KILLFOCUS:
            CloseDropDown();
            break;
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_BUTTONUP:
            return;
        default:
            break;
    }
    CContainerUI::DoEvent(event);
}

void CComboUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"dropboxsize") {
        m_szDropBox = value::toSize(v);
    } else if (name == L"itemheight") {
        m_nItemHeight = value::toInt(v);
    } else if (name == L"itemtextpadding") {
        m_rcItemTextPadding = value::toRect(v);
    } else if (name == L"itemtextcolor") {
        m_dwItemTextColor = value::toColor(v);
    } else if (name == L"itembkcolor") {
        m_dwItemBkColor = value::toColor(v);
    } else if (name == L"itemhottextcolor") {
        m_dwItemHotTextColor = value::toColor(v);
    } else if (name == L"itemhotbkcolor") {
        m_dwItemHotBkColor = value::toColor(v);
    } else if (name == L"itemselectedtextcolor") {
        m_dwItemSelectedTextColor = value::toColor(v);
    } else if (name == L"itemselectedbkcolor") {
        m_dwItemSelectedBkColor = value::toColor(v);
    } else if (name == L"normalimage") {
        m_diNormal.Set(v);
    } else if (name == L"hotimage") {
        m_diHot.Set(v);
    } else if (name == L"pushedimage") {
        m_diPushed.Set(v);
    } else if (name == L"disabledimage") {
        m_diDisabled.Set(v);
    } else if (name == L"hotbkcolor") {
        m_dwHotBkColor = value::toColor(v);
    } else if (name == L"pushedbkcolor") {
        m_dwPushedBkColor = value::toColor(v);
    } else if (name == L"textpadding") {
        m_rcTextPadding = value::toRect(v);
    } else if (name == L"font") {
        m_iFont = value::toInt(v);
    } else if (name == L"textcolor") {
        m_dwTextColor = value::toColor(v);
    } else if (name == L"selectedid" || name == L"cursel") {
        SelectItem(value::toInt(v), false);
    } else {
        CContainerUI::SetAttribute(name, v);
    }
}

}  // namespace DuiLib
