// A hidden top-level window, found by its class name, through which other
// processes reach the running installer with plain window messages. The same
// object is the sending side: open() finds a peer's window, post() messages it.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class IWindowIPCHandle {
public:
    virtual int onHandleWindowIPC(unsigned int message, int wParam, int lParam) = 0;

protected:
    ~IWindowIPCHandle() = default;
};

class WindowIPC {
public:
    WindowIPC() = default;
    WindowIPC(const WindowIPC&) = delete;
    WindowIPC& operator=(const WindowIPC&) = delete;

    // Receiving side, window thread. The window lives until the process ends.
    bool create(const std::wstring& name, IWindowIPCHandle* handler);

    // Sending side: finds a top-level window; an empty name matches any.
    bool open(const std::wstring& className, const std::wstring& windowName);
    bool post(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND window_ = nullptr;
    IWindowIPCHandle* handler_ = nullptr;
};

}  // namespace utility
