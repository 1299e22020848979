#include "skin/WindowWnd.h"

#include <map>

#include "skin/PaintManager.h"

namespace DuiLib {
namespace {

HINSTANCE moduleInstance() {
    HINSTANCE instance = CPaintManagerUI::GetInstance();
    return instance ? instance : GetModuleHandleW(nullptr);
}

// The procedures of super classes, by our class name.
std::map<std::wstring, WNDPROC>& superProcs() {
    static std::map<std::wstring, WNDPROC> procs;
    return procs;
}

}  // namespace

CWindowWnd::~CWindowWnd() {
    // A window still alive must not call into a destroyed object.
    if (m_hWnd && IsWindow(m_hWnd)) SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
}

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    const wchar_t* super = GetSuperClassName();
    if (super) {
        if (!GetClassInfoExW(nullptr, super, &wc) && !GetClassInfoExW(moduleInstance(), super, &wc))
            return false;
        superProcs()[GetWindowClassName()] = wc.lpfnWndProc;
    } else {
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    }
    wc.cbSize = sizeof wc;
    wc.style = GetClassStyle();
    wc.lpfnWndProc = &CWindowWnd::WndProc;
    wc.hInstance = moduleInstance();
    wc.hbrBackground = nullptr;
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = GetWindowClassName();
    if (RegisterClassExW(&wc)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND parent, const std::wstring& name, DWORD style, DWORD exStyle, int x, int y,
                        int cx, int cy, HMENU menu) {
    if (!RegisterWindowClass()) return nullptr;
    auto it = superProcs().find(GetWindowClassName());
    m_superProc = it == superProcs().end() ? nullptr : it->second;
    return CreateWindowExW(exStyle, GetWindowClassName(), name.c_str(), style, x, y, cx, cy, parent, menu,
                           moduleInstance(), this);
}

HWND CWindowWnd::Create(HWND parent, const std::wstring& name, DWORD style, DWORD exStyle, const RECT& rc,
                        HMENU menu) {
    return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                  menu);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!IsWindow(m_hWnd)) return;
    ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
    if (!IsWindow(m_hWnd)) return 0;
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    if (owner) EnableWindow(owner, FALSE);
    HWND self = m_hWnd;
    MSG msg;
    while (IsWindow(self)) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
            break;
        }
        if (msg.hwnd == self && msg.message == WM_CLOSE) {
            if (owner) {
                EnableWindow(owner, TRUE);
                SetFocus(owner);
            }
        }
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    if (owner) EnableWindow(owner, TRUE);
    return m_modalResult;
}

void CWindowWnd::Close(UINT ret) {
    if (IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, ret, 0);
}

void CWindowWnd::CenterWindow() {
    RECT rc;
    GetWindowRect(m_hWnd, &rc);
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT center = area;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &center);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (center.left + center.right - w) / 2, y = (center.top + center.bottom - h) / 2;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    if (x + w > area.right) x = area.right - w;
    if (y + h > area.bottom) y = area.bottom - h;
    SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
    RECT client;
    if (!GetClientRect(m_hWnd, &client)) return;
    if (cx != -1) client.right = cx;
    if (cy != -1) client.bottom = cy;
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE), ex = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    AdjustWindowRectEx(&client, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(ex));
    SetWindowPos(m_hWnd, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (m_superProc) return CallWindowProcW(m_superProc, m_hWnd, uMsg, wParam, lParam);
    return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CALLBACK CWindowWnd::WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (uMsg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<LPCREATESTRUCTW>(lParam);
        self = static_cast<CWindowWnd*>(cs->lpCreateParams);
        self->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_CLOSE) self->m_modalResult = static_cast<UINT>(wParam);
    if (uMsg == WM_NCDESTROY) {
        LRESULT r = self->HandleMessage(uMsg, wParam, lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->OnFinalMessage(hWnd);
        return r;
    }
    return self->HandleMessage(uMsg, wParam, lParam);
}

}  // namespace DuiLib
