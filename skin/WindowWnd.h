// A system window owned by a C++ object: registers its class on first use
// and routes every message to HandleMessage. The object outlives its window;
// OnFinalMessage is the last call for it (a derived class may delete itself
// there). Window thread only.
#pragma once

#include <windows.h>

#include <string>

namespace DuiLib {

class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    HWND Create(HWND parent, const std::wstring& name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU menu = nullptr);
    HWND Create(HWND parent, const std::wstring& name, DWORD style, DWORD exStyle, const RECT& rc,
                HMENU menu = nullptr);
    void ShowWindow(bool show = true, bool takeFocus = true);
    // Disables the owner and runs a nested message loop until this window
    // is gone (or the quit request arrives, which is posted again). Returns
    // the value given to Close.
    UINT ShowModal();
    // Asks the window to close (WM_CLOSE with `ret` as wParam).
    void Close(UINT ret = IDOK);
    void CenterWindow();
    void ResizeClient(int cx = -1, int cy = -1);
    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    virtual const wchar_t* GetWindowClassName() const = 0;
    // A system class to build on (its procedure handles what ours does not).
    virtual const wchar_t* GetSuperClassName() const { return nullptr; }
    virtual UINT GetClassStyle() const { return CS_DBLCLKS; }
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);

public:
    virtual ~CWindowWnd();

protected:
    bool RegisterWindowClass();
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_superProc = nullptr;
    UINT m_modalResult = 0;
};

}  // namespace DuiLib
