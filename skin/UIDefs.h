// Shared vocabulary of the skin engine: events a control receives,
// notifications it raises, the interfaces windows implement, and the value
// formats of the layout language.
#pragma once

#include <windows.h>

#include <string>

namespace DuiLib {

class CControlUI;
class CPaintManagerUI;

enum EventType {
    UIEVENT_MOUSEMOVE = 1,
    UIEVENT_MOUSELEAVE,
    UIEVENT_MOUSEENTER,
    UIEVENT_MOUSEHOVER,
    UIEVENT_BUTTONDOWN,
    UIEVENT_BUTTONUP,
    UIEVENT_RBUTTONDOWN,
    UIEVENT_DBLCLICK,
    UIEVENT_SCROLLWHEEL,
    UIEVENT_KILLFOCUS,
    UIEVENT_SETFOCUS,
    UIEVENT_KEYDOWN,
    UIEVENT_CHAR,
    UIEVENT_SETCURSOR,
    UIEVENT_TIMER,
};

// Interaction states of buttons, options and edits.
enum ControlState : UINT {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    UISTATE_CAPTURED = 0x40,
};

struct TEventUI {
    int Type = 0;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    WCHAR chKey = 0;
    WORD wKeyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct TNotifyUI {
    std::wstring sType;
    std::wstring sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Receives every notification of a paint manager's controls.
class INotifyUI {
public:
    virtual void Notify(TNotifyUI& msg) = 0;

protected:
    ~INotifyUI() = default;
};

// Sees window messages before the paint manager handles them.
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

// Creates controls for element names the builder does not know.
class IDialogBuilderCallback {
public:
    virtual CControlUI* CreateControl(const std::wstring& className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// Value formats of the layout language.
namespace value {
int toInt(const std::wstring& text);      // optional sign, decimal digits
bool toBool(const std::wstring& text);    // "true" only
DWORD toColor(const std::wstring& text);  // optional "#", hex, 0xAARRGGBB
RECT toRect(const std::wstring& text);    // "l,t,r,b"
SIZE toSize(const std::wstring& text);    // "cx,cy"
// Reads up to `count` comma-separated integers; returns how many were read.
int toInts(const std::wstring& text, int* out, int count);
}  // namespace value

}  // namespace DuiLib
