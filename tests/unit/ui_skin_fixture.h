// Helpers for the tests that open the installer's real skinned windows in
// the test process: the shipped skin staged by the build, a message pump,
// and a way from a window handle to its object and controls.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/ControlUI.h"
#include "skin/PaintManager.h"
#include "skin/SkinPackage.h"
#include "skin/StringTable.h"
#include "skin/WindowImplBase.h"
#include "support/TestSupport.h"
#include "utility/ufile.h"

namespace uitest {

// The shipped skin as the build stages it (build/<arch>/resources/skin),
// with the English column of its language table. Once per process.
inline void useShippedSkin() {
    static bool done = false;
    if (done) return;
    done = true;
    testsupport::captureLog();
    const std::wstring skin = utility::ufile::getModuleDir() + L"..\\resources\\skin\\";
    DuiLib::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    DuiLib::CPaintManagerUI::SetCurrentLanguage(L"en_US");
    DuiLib::CPaintManagerUI::SetResourcePath(skin);
    DuiLib::loadStringTableFrom(skin, L"multi_language.tsv");
}

// Runs the thread's messages until done() holds or maxMs pass; false then.
// A quit request is noted, not acted on.
class Pump {
public:
    bool until(const std::function<bool()>& done, DWORD maxMs = 15000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > maxMs) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quitSeen = true;
                    continue;
                }
                if (DuiLib::CPaintManagerUI::TranslateMessage(&msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        return true;
    }
    // Lets what is queued now run.
    void settle() {
        int rounds = 0;
        until([&] { return ++rounds > 5; });
    }

    bool quitSeen = false;
};

// This process's top-level windows of a class, shown or hidden (other
// test programs share the desktop).
inline std::vector<HWND> windowsOf(const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
         w = FindWindowExW(nullptr, w, className, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId()) found.push_back(w);
    }
    return found;
}

inline int countWindows(const wchar_t* className) {
    return static_cast<int>(windowsOf(className).size());
}

inline HWND findWindow(const wchar_t* className) {
    const std::vector<HWND> found = windowsOf(className);
    return found.empty() ? nullptr : found.front();
}

// The skin window object behind a handle of this process.
inline DuiLib::WindowImplBase* skinWindow(HWND hwnd) {
    auto* window = reinterpret_cast<DuiLib::CWindowWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return dynamic_cast<DuiLib::WindowImplBase*>(window);
}

inline DuiLib::CControlUI* control(HWND hwnd, const std::wstring& name) {
    DuiLib::WindowImplBase* window = hwnd ? skinWindow(hwnd) : nullptr;
    return window ? window->GetPaintManager().FindControl(name) : nullptr;
}

// The text a control shows ("@id" texts resolved as the control draws them).
inline std::wstring textOf(HWND hwnd, const std::wstring& name) {
    DuiLib::CControlUI* found = control(hwnd, name);
    return found ? DuiLib::resolveTextId(found->GetText()) : L"<no " + name + L">";
}

// A plain top-level window to own boxes.
class OwnerWindow {
public:
    OwnerWindow()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 640, 400, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~OwnerWindow() {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

}  // namespace uitest
