#include "skin/EditUI.h"

#include "skin/PaintManager.h"

namespace DuiLib {
namespace {

// Posted to the native edit when it loses the focus: it is removed once the
// focus change has finished.
const UINT kEndEditMessage = WM_APP + 0x3B0;

}  // namespace

CEditUI::CEditUI() {
    m_rcTextPadding = RECT{4, 3, 4, 3};
}

CEditUI::~CEditUI() {
    if (m_hwndNative) {
        SetWindowLongPtrW(m_hwndNative, GWLP_USERDATA, 0);
        DestroyWindow(m_hwndNative);
    }
}

LPVOID CEditUI::GetInterface(const std::wstring& name) {
    return name == L"Edit" ? this : CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const {
    return IsEnabled() ? UIFLAG_TABSTOP | UIFLAG_SETCURSOR : 0;
}

void CEditUI::SetText(const std::wstring& text) {
    CLabelUI::SetText(text);
    if (m_hwndNative) SetWindowTextW(m_hwndNative, text.c_str());
}

void CEditUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!enabled) {
        m_uState = 0;
        EndEdit();
    }
}

void CEditUI::SetNormalImage(const std::wstring& image) {
    m_diNormal.Set(image);
    Invalidate();
}

void CEditUI::SetHotImage(const std::wstring& image) {
    m_diHot.Set(image);
    Invalidate();
}

void CEditUI::SetFocusedImage(const std::wstring& image) {
    m_diFocused.Set(image);
    Invalidate();
}

void CEditUI::SetDisabledImage(const std::wstring& image) {
    m_diDisabled.Set(image);
    Invalidate();
}

RECT CEditUI::TextRect() const {
    return RECT{m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
                m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
}

void CEditUI::BeginEdit() {
    if (m_hwndNative || !m_pManager || !m_pManager->GetPaintWindow() || !IsEnabled()) return;
    RECT rc = TextRect();
    // A single-line edit draws its text at the top: centre the window on the line.
    HFONT font = m_pManager->GetFont(m_iFont);
    HDC dc = GetDC(m_pManager->GetPaintWindow());
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(m_pManager->GetPaintWindow(), dc);
    int line = tm.tmHeight;
    if (rc.bottom - rc.top > line) {
        rc.top += (rc.bottom - rc.top - line) / 2;
        rc.bottom = rc.top + line;
    }
    DWORD style = WS_CHILD | ES_AUTOHSCROLL | (m_bPassword ? ES_PASSWORD : 0) |
                  (m_bReadOnly ? ES_READONLY : 0) | (m_bNumberOnly ? ES_NUMBER : 0);
    m_hwndNative = CreateWindowExW(0, L"EDIT", m_sText.c_str(), style, rc.left, rc.top, rc.right - rc.left,
                                   rc.bottom - rc.top, m_pManager->GetPaintWindow(), nullptr,
                                   CPaintManagerUI::GetInstance(), nullptr);
    if (!m_hwndNative) return;
    SetWindowLongPtrW(m_hwndNative, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_hwndNative, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CEditUI::NativeProc)));
    SendMessageW(m_hwndNative, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(m_hwndNative, EM_LIMITTEXT, m_nMaxChar, 0);
    if (m_bPassword) SendMessageW(m_hwndNative, EM_SETPASSWORDCHAR, L'*', 0);
    int length = GetWindowTextLengthW(m_hwndNative);
    SendMessageW(m_hwndNative, EM_SETSEL, m_bAutoSelAll ? 0 : length, length);
    ShowWindow(m_hwndNative, SW_SHOW);
    ::SetFocus(m_hwndNative);
}

void CEditUI::EndEdit() {
    HWND native = m_hwndNative;
    if (!native) return;
    m_hwndNative = nullptr;
    int length = GetWindowTextLengthW(native);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(native, &text[0], length + 1);
    text.resize(length);
    SetWindowLongPtrW(native, GWLP_USERDATA, 0);
    DestroyWindow(native);
    CLabelUI::SetText(text);
    if (m_pManager && m_pManager->GetFocus() == this) m_pManager->SetFocus(nullptr);
}

LRESULT CALLBACK CEditUI::NativeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CEditUI*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    WNDPROC old = self->m_oldProc;
    if (msg == kReflectBase + WM_CTLCOLOREDIT || msg == kReflectBase + WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        DWORD text = self->m_dwTextColor ? self->m_dwTextColor : 0xFF000000;
        ::SetTextColor(dc, RGB((text >> 16) & 0xFF, (text >> 8) & 0xFF, text & 0xFF));
        DWORD back = self->m_dwNativeBkColor;
        ::SetBkColor(dc, RGB((back >> 16) & 0xFF, (back >> 8) & 0xFF, back & 0xFF));
        return reinterpret_cast<LRESULT>(self->m_pManager->NativeBrush(back));
    }
    if (msg == kReflectBase + WM_COMMAND) {
        if (HIWORD(wParam) == EN_CHANGE) {
            int length = GetWindowTextLengthW(hwnd);
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            GetWindowTextW(hwnd, &text[0], length + 1);
            text.resize(length);
            self->m_sText = text;
            if (self->m_pManager) self->m_pManager->SendNotify(self, L"textchanged");
        }
        return 0;
    }
    switch (msg) {
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                if (self->m_pManager) self->m_pManager->SendNotify(self, L"return");
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == VK_RETURN) return 0;  // no beep
            break;
        case WM_KILLFOCUS: {
            LRESULT r = CallWindowProcW(old, hwnd, msg, wParam, lParam);
            PostMessageW(hwnd, kEndEditMessage, 0, 0);
            return r;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            return CallWindowProcW(old, hwnd, msg, wParam, lParam);
        default:
            if (msg == kEndEditMessage) {
                if (GetFocus() != hwnd) self->EndEdit();
                return 0;
            }
            break;
    }
    return CallWindowProcW(old, hwnd, msg, wParam, lParam);
}

void CEditUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
        case UIEVENT_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IsEnabled() ? IDC_IBEAM : IDC_ARROW));
            return;
        case UIEVENT_SETFOCUS:
            CLabelUI::DoEvent(event);
            BeginEdit();
            return;
        case UIEVENT_KILLFOCUS:
            CLabelUI::DoEvent(event);
            EndEdit();
            return;
        case UIEVENT_BUTTONDOWN:
        case UIEVENT_DBLCLICK:
            if (IsEnabled() && !m_hwndNative && IsFocused()) BeginEdit();
            return;
        case UIEVENT_MOUSEENTER:
            if (IsEnabled()) {
                m_uState |= UISTATE_HOT;
                Invalidate();
            }
            return;
        case UIEVENT_MOUSELEAVE:
            m_uState &= ~UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_MOUSEMOVE:
        case UIEVENT_BUTTONUP:
            return;
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetPos(RECT rc, bool needInvalidate) {
    CLabelUI::SetPos(rc, needInvalidate);
    if (m_hwndNative) {
        RECT t = TextRect();
        RECT current;
        GetWindowRect(m_hwndNative, &current);
        int h = current.bottom - current.top;
        SetWindowPos(m_hwndNative, nullptr, t.left, t.top + (t.bottom - t.top - h) / 2, t.right - t.left, h,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CEditUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    if (name == L"normalimage") {
        SetNormalImage(v);
    } else if (name == L"hotimage") {
        SetHotImage(v);
    } else if (name == L"focusedimage") {
        SetFocusedImage(v);
    } else if (name == L"disabledimage") {
        SetDisabledImage(v);
    } else if (name == L"normalEnlargeImage") {
        m_diNormalEnlarge.Set(v);
    } else if (name == L"hotEnlargeImage") {
        m_diHotEnlarge.Set(v);
    } else if (name == L"focusedEnlargeImage") {
        m_diFocusedEnlarge.Set(v);
    } else if (name == L"disabledEnlargeImage") {
        m_diDisabledEnlarge.Set(v);
    } else if (name == L"hotbordercolor") {
        m_dwHotBorderColor = value::toColor(v);
    } else if (name == L"nativebkcolor") {
        m_dwNativeBkColor = value::toColor(v);
    } else if (name == L"readonly") {
        SetReadOnly(value::toBool(v));
    } else if (name == L"password") {
        SetPasswordMode(value::toBool(v));
    } else if (name == L"numberonly") {
        m_bNumberOnly = value::toBool(v);
    } else if (name == L"autoselall") {
        m_bAutoSelAll = value::toBool(v);
    } else if (name == L"maxchar") {
        SetMaxChar(value::toInt(v));
    } else if (name == L"caretcolor") {
        // the native caret keeps the system colour
    } else {
        CLabelUI::SetAttribute(name, v);
    }
}

void CEditUI::PaintStatusImage(HDC hDC) {
    TDrawInfo& normal = Pick(m_diNormal, m_diNormalEnlarge);
    if (!IsEnabled()) {
        if (!DrawImage(hDC, Pick(m_diDisabled, m_diDisabledEnlarge))) DrawImage(hDC, normal);
    } else if (IsFocused()) {
        if (!DrawImage(hDC, Pick(m_diFocused, m_diFocusedEnlarge))) DrawImage(hDC, normal);
    } else if (m_uState & UISTATE_HOT) {
        if (!DrawImage(hDC, Pick(m_diHot, m_diHotEnlarge))) DrawImage(hDC, normal);
    } else {
        DrawImage(hDC, normal);
    }
}

void CEditUI::PaintText(HDC hDC) {
    if (m_hwndNative) return;  // the native window shows the text while editing
    if (!m_bPassword) {
        CLabelUI::PaintText(hDC);
        return;
    }
    std::wstring real = m_sText;
    m_sText.assign(real.size(), L'*');
    CLabelUI::PaintText(hDC);
    m_sText = real;
}

void CEditUI::PaintBorder(HDC hDC) {
    if ((m_uState & UISTATE_HOT) && !IsFocused() && m_dwHotBorderColor) {
        DWORD saved = m_dwBorderColor;
        m_dwBorderColor = m_dwHotBorderColor;
        CLabelUI::PaintBorder(hDC);
        m_dwBorderColor = saved;
        return;
    }
    CLabelUI::PaintBorder(hDC);
}

}  // namespace DuiLib
