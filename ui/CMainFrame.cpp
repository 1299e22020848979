#include "ui/CMainFrame.h"

#include "common/log.h"

namespace {
const wchar_t kClassName[] = L"cmainframe";
}

HWND CMainFrame::Create(HWND parent, const wchar_t* name, DWORD style, DWORD exStyle) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &CMainFrame::windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    CreateWindowExW(exStyle, kClassName, name, style, 0, 0, 640, 420, parent, nullptr, wc.hInstance, this);
    return hwnd_;
}

void CMainFrame::CenterWindow() {
    if (!hwnd_) return;
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &mi);
    const RECT& area = mi.rcWork;
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainFrame::ShowWindow(bool show, bool takeFocus) {
    if (hwnd_) ::ShowWindow(hwnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CMainFrame::Close(UINT result) {
    if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, result, 0);
}

// The plain stand-in has no path field, logo or error box to show yet.
void CMainFrame::refreshEdition() {}

void CMainFrame::showDownloadError() {}

LRESULT CALLBACK CMainFrame::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CMainFrame*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CMainFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_NCDESTROY && self) self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
}
