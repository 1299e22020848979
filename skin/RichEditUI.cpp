#include "skin/RichEditUI.h"

#include <richedit.h>

#include "common/Handle.h"
#include "skin/PaintManager.h"

namespace DuiLib {
namespace {

// The rich-edit library, loaded once for the process; returns its class.
const wchar_t* richEditClass() {
    static common::Module module;
    static const wchar_t* name = nullptr;
    if (!name) {
        module.reset(LoadLibraryW(L"msftedit.dll"));
        if (module) {
            name = L"RICHEDIT50W";
        } else {
            module.reset(LoadLibraryW(L"riched20.dll"));
            if (module) name = L"RichEdit20W";
        }
    }
    return name;
}

void setStyle(DWORD& style, DWORD bit, bool on) {
    style = on ? (style | bit) : (style & ~bit);
}

}  // namespace

CRichEditUI::~CRichEditUI() {
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

LPVOID CRichEditUI::GetInterface(const std::wstring& name) {
    return name == L"RichEdit" ? this : CControlUI::GetInterface(name);
}

std::wstring CRichEditUI::GetText() const {
    if (!m_hwnd) return m_sText;
    int length = GetWindowTextLengthW(m_hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(m_hwnd, &text[0], length + 1);
    text.resize(got > 0 ? got : 0);
    return text;
}

void CRichEditUI::SetText(const std::wstring& text) {
    m_sText = text;
    if (m_hwnd) SetWindowTextW(m_hwnd, text.c_str());
}

void CRichEditUI::SetTextColor(DWORD color) {
    m_dwTextColor = color;
    ApplyFormat();
}

void CRichEditUI::SetFont(int id) {
    m_iFont = id;
    ApplyFormat();
}

void CRichEditUI::DoInit() {
    if (m_hwnd || !m_pManager || !m_pManager->GetPaintWindow()) return;
    const wchar_t* cls = richEditClass();
    if (!cls) return;
    m_hwnd =
        CreateWindowExW(m_bTransparent ? WS_EX_TRANSPARENT : 0, cls, m_sText.c_str(), m_dwStyle, 0, 0, 0, 0,
                        m_pManager->GetPaintWindow(), nullptr, CPaintManagerUI::GetInstance(), nullptr);
    if (!m_hwnd) return;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CRichEditUI::NativeProc)));
    SendMessageW(m_hwnd, EM_SETEVENTMASK, 0, ENM_CHANGE);
    EnableWindow(m_hwnd, IsEnabled());
    ApplyFormat();
    PlaceWindow();
}

void CRichEditUI::ApplyFormat() {
    if (!m_hwnd || !m_pManager) return;
    SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_pManager->GetFont(m_iFont)), FALSE);
    CHARFORMAT2W cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = RGB((m_dwTextColor >> 16) & 0xFF, (m_dwTextColor >> 8) & 0xFF, m_dwTextColor & 0xFF);
    SendMessageW(m_hwnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    if (m_dwBackColor) {
        SendMessageW(m_hwnd, EM_SETBKGNDCOLOR, 0,
                     RGB((m_dwBackColor >> 16) & 0xFF, (m_dwBackColor >> 8) & 0xFF, m_dwBackColor & 0xFF));
    }
}

void CRichEditUI::PlaceWindow() {
    if (!m_hwnd) return;
    RECT rc = {m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
               m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
    SetWindowPos(m_hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (IsVisible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CRichEditUI::SetPos(RECT rc, bool needInvalidate) {
    CControlUI::SetPos(rc, needInvalidate);
    PlaceWindow();
}

void CRichEditUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    if (m_hwnd && !IsVisible()) ShowWindow(m_hwnd, SW_HIDE);
}

void CRichEditUI::SetInternVisible(bool visible) {
    CControlUI::SetInternVisible(visible);
    if (m_hwnd && !IsVisible()) ShowWindow(m_hwnd, SW_HIDE);
}

void CRichEditUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (m_hwnd) EnableWindow(m_hwnd, enabled);
}

void CRichEditUI::SetAttribute(const std::wstring& name, const std::wstring& v) {
    bool on = value::toBool(v);
    if (name == L"multiline") {
        setStyle(m_dwStyle, ES_MULTILINE, on);
    } else if (name == L"vscrollbar") {
        setStyle(m_dwStyle, WS_VSCROLL, on);
    } else if (name == L"autovscroll") {
        setStyle(m_dwStyle, ES_AUTOVSCROLL, on);
    } else if (name == L"hscrollbar") {
        setStyle(m_dwStyle, WS_HSCROLL, on);
    } else if (name == L"autohscroll") {
        setStyle(m_dwStyle, ES_AUTOHSCROLL, on);
    } else if (name == L"readonly") {
        setStyle(m_dwStyle, ES_READONLY, on);
        if (m_hwnd) SendMessageW(m_hwnd, EM_SETREADONLY, on, 0);
    } else if (name == L"password") {
        setStyle(m_dwStyle, ES_PASSWORD, on);
    } else if (name == L"wantreturn") {
        setStyle(m_dwStyle, ES_WANTRETURN, on);
    } else if (name == L"wanttab") {
        m_bWantTab = on;
    } else if (name == L"transparent") {
        m_bTransparent = on;
    } else if (name == L"font") {
        SetFont(value::toInt(v));
    } else if (name == L"textcolor") {
        SetTextColor(value::toColor(v));
    } else if (name == L"textpadding") {
        m_rcTextPadding = value::toRect(v);
        PlaceWindow();
    } else if (name == L"align") {
        m_dwStyle &= ~(ES_CENTER | ES_RIGHT);
        if (v.find(L"center") != std::wstring::npos) m_dwStyle |= ES_CENTER;
        if (v.find(L"right") != std::wstring::npos) m_dwStyle |= ES_RIGHT;
    } else if (name == L"rich" || name == L"wantctrlreturn") {
        // the native control is always rich; Ctrl+Enter follows wantreturn
    } else {
        CControlUI::SetAttribute(name, v);
        if (name == L"bkcolor") ApplyFormat();
    }
}

void CRichEditUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_SETFOCUS) {
        CControlUI::DoEvent(event);
        if (m_hwnd) ::SetFocus(m_hwnd);
        return;
    }
    CControlUI::DoEvent(event);
}

LRESULT CALLBACK CRichEditUI::NativeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CRichEditUI*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    WNDPROC old = self->m_oldProc;
    if (msg == kReflectBase + WM_COMMAND) {
        if (HIWORD(wParam) == EN_CHANGE && self->m_pManager)
            self->m_pManager->SendNotify(self, L"textchanged");
        return 0;
    }
    if (msg == WM_KEYDOWN && wParam == VK_RETURN && !(self->m_dwStyle & ES_WANTRETURN) && self->m_pManager) {
        self->m_pManager->SendNotify(self, L"return");
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        return CallWindowProcW(old, hwnd, msg, wParam, lParam);
    }
    return CallWindowProcW(old, hwnd, msg, wParam, lParam);
}

}  // namespace DuiLib
