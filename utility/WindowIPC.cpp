#include "utility/WindowIPC.h"

#include "common/log.h"

namespace utility {

namespace {

// Only messages above WM_USER and WM_COPYDATA travel between processes here.
bool isIpcMessage(UINT msg) { return msg > WM_USER || msg == WM_COPYDATA; }

}  // namespace

bool WindowIPC::create(const std::wstring& name, IWindowIPCHandle* handler) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WindowIPC::windowProc;
    wc.hInstance = module;
    wc.lpszClassName = name.c_str();
    RegisterClassExW(&wc);  // may already exist; creation below decides

    // Top-level, never shown: peers find it with FindWindowExW, which does not
    // see message-only windows.
    CreateWindowExW(0, name.c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, this);
    if (!window_) return false;
    handler_ = handler;
    return true;
}

bool WindowIPC::open(const std::wstring& className, const std::wstring& windowName) {
    window_ = FindWindowExW(nullptr, nullptr, className.empty() ? nullptr : className.c_str(),
                            windowName.empty() ? nullptr : windowName.c_str());
    if (!window_) {
        DWORD error = GetLastError();
        if (error != 0 && error != ERROR_FILE_NOT_FOUND) {
            OV_LOG("utility::WindowIPC::open", L"className:%s, windowName:%s, error:%d", className.c_str(),
                   windowName.c_str(), static_cast<int>(error));
        }
    }
    return window_ != nullptr;
}

bool WindowIPC::post(UINT message, WPARAM wParam, LPARAM lParam) {
    return window_ && PostMessageW(window_, message, wParam, lParam);
}

LRESULT CALLBACK WindowIPC::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<WindowIPC*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->window_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (!isIpcMessage(msg)) return DefWindowProcW(hwnd, msg, wp, lp);

    auto* self = reinterpret_cast<WindowIPC*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->window_ == hwnd && self->handler_) {
        // Peers send 32-bit values; keep the sign of wParam (installer error codes).
        self->handler_->onHandleWindowIPC(msg, static_cast<int>(wp), static_cast<int>(lp));
    }
    return 0;
}

}  // namespace utility
