#include "skin/WindowImplBase.h"

#include <windowsx.h>

#include "skin/ControlUI.h"
#include "skin/DialogBuilder.h"

namespace DuiLib {

SKIN_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
SKIN_ON_NOTIFY(L"click", L"", &WindowImplBase::OnClick)
SKIN_END_NOTIFY_MAP()

void WindowImplBase::OnClick(TNotifyUI& msg) {
    const std::wstring name = msg.pSender ? msg.pSender->GetName() : std::wstring();
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

void WindowImplBase::Notify(TNotifyUI& msg) {
    NotifyPump(msg);
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
    if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        LRESULT r = ResponseDefaultKeyEvent(wParam);
        bHandled = r != FALSE;
        return r;
    }
    return 0;
}

CControlUI* WindowImplBase::CreateControl(const std::wstring&) {
    return nullptr;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
    if (wParam == VK_ESCAPE) {
        Close(1);
        return TRUE;
    }
    return FALSE;
}

#define SKIN_UNHANDLED_MESSAGE(fn)                                     \
    LRESULT WindowImplBase::fn(UINT, WPARAM, LPARAM, BOOL& bHandled) { \
        bHandled = FALSE;                                              \
        return 0;                                                      \
    }

SKIN_UNHANDLED_MESSAGE(OnClose)
SKIN_UNHANDLED_MESSAGE(OnDestroy)
SKIN_UNHANDLED_MESSAGE(OnNcActivate)
SKIN_UNHANDLED_MESSAGE(OnNcCalcSize)
SKIN_UNHANDLED_MESSAGE(OnNcPaint)
SKIN_UNHANDLED_MESSAGE(OnMouseWheel)
SKIN_UNHANDLED_MESSAGE(OnMouseHover)
SKIN_UNHANDLED_MESSAGE(OnChar)
SKIN_UNHANDLED_MESSAGE(OnSysCommand)
SKIN_UNHANDLED_MESSAGE(OnKeyDown)
SKIN_UNHANDLED_MESSAGE(OnKillFocus)
SKIN_UNHANDLED_MESSAGE(OnSetFocus)
SKIN_UNHANDLED_MESSAGE(OnLButtonDown)
SKIN_UNHANDLED_MESSAGE(OnLButtonUp)
SKIN_UNHANDLED_MESSAGE(OnMouseMove)
SKIN_UNHANDLED_MESSAGE(HandleCustomMessage)

#undef SKIN_UNHANDLED_MESSAGE

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    // The layout's limits; the system's own handling still follows.
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    SIZE minSize = m_pm.GetMinInfo(), maxSize = m_pm.GetMaxInfo();
    if (minSize.cx > 0) info->ptMinTrackSize.x = minSize.cx;
    if (minSize.cy > 0) info->ptMinTrackSize.y = minSize.cy;
    if (maxSize.cx > 0) info->ptMaxTrackSize.x = maxSize.cx;
    if (maxSize.cy > 0) info->ptMaxTrackSize.y = maxSize.cy;
    bHandled = FALSE;
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    SIZE round = m_pm.GetRoundCorner();
    if ((round.cx || round.cy) && !IsIconic(m_hWnd)) {
        RECT rc;
        GetWindowRect(m_hWnd, &rc);
        HRGN region =
            CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, round.cx, round.cy);
        SetWindowRgn(m_hWnd, region, TRUE);  // the window owns the region from here on
    }
    bHandled = FALSE;
    return 0;
}

bool WindowImplBase::IsCaptionPoint(POINT pt) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    RECT caption = m_pm.GetCaptionRect();
    if (pt.x < client.left + caption.left || pt.x >= client.right - caption.right) return false;
    if (pt.y < caption.top || pt.y >= caption.bottom) return false;
    CControlUI* control = m_pm.FindControl(pt);
    return !control || (!control->GetInterface(L"Button") && !control->GetInterface(L"Option") &&
                        !control->GetInterface(L"Text"));
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL&) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hWnd, &pt);
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (!IsZoomed(m_hWnd)) {
        RECT box = m_pm.GetSizeBox();
        bool top = pt.y < client.top + box.top, bottom = pt.y >= client.bottom - box.bottom;
        bool left = pt.x < client.left + box.left, right = pt.x >= client.right - box.right;
        if (top) return left ? HTTOPLEFT : (right ? HTTOPRIGHT : HTTOP);
        if (bottom) return left ? HTBOTTOMLEFT : (right ? HTBOTTOMRIGHT : HTBOTTOM);
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    return IsCaptionPoint(pt) ? HTCAPTION : HTCLIENT;
}

LONG WindowImplBase::GetStyle() {
    LONG style = static_cast<LONG>(GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    return style & ~static_cast<LONG>(WS_CAPTION);
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_pm.Init(m_hWnd);
    m_pm.AddPreMessageFilter(this);
    std::wstring folder = GetSkinFolder();
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    CDialogBuilder builder;
    CControlUI* root = builder.Create(folder + GetSkinFile(), L"", this, &m_pm);
    if (!root) {
        std::wstring text = L"load resource errr. location:" + builder.GetLastErrorLocation() + L" msg:" +
                            builder.GetLastErrorMessage();
        MessageBoxW(nullptr, text.c_str(), L"Duilib", MB_OK);
        ExitProcess(1);
    }
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT lRes = 0;
    BOOL bHandled = TRUE;
    switch (uMsg) {
        case WM_CREATE:
            lRes = OnCreate(uMsg, wParam, lParam, bHandled);
            break;
        case WM_CLOSE:
            lRes = OnClose(uMsg, wParam, lParam, bHandled);
            break;
        case WM_DESTROY:
            lRes = OnDestroy(uMsg, wParam, lParam, bHandled);
            break;
        case WM_NCACTIVATE:
            lRes = OnNcActivate(uMsg, wParam, lParam, bHandled);
            break;
        case WM_NCCALCSIZE:
            lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled);
            break;
        case WM_NCPAINT:
            lRes = OnNcPaint(uMsg, wParam, lParam, bHandled);
            break;
        case WM_NCHITTEST:
            lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled);
            break;
        case WM_GETMINMAXINFO:
            lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled);
            break;
        case WM_MOUSEWHEEL:
            lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled);
            break;
        case WM_MOUSEHOVER:
            lRes = OnMouseHover(uMsg, wParam, lParam, bHandled);
            break;
        case WM_SIZE:
            lRes = OnSize(uMsg, wParam, lParam, bHandled);
            break;
        case WM_CHAR:
            lRes = OnChar(uMsg, wParam, lParam, bHandled);
            break;
        case WM_SYSCOMMAND:
            lRes = OnSysCommand(uMsg, wParam, lParam, bHandled);
            break;
        case WM_KEYDOWN:
            lRes = OnKeyDown(uMsg, wParam, lParam, bHandled);
            break;
        case WM_KILLFOCUS:
            lRes = OnKillFocus(uMsg, wParam, lParam, bHandled);
            break;
        case WM_SETFOCUS:
            lRes = OnSetFocus(uMsg, wParam, lParam, bHandled);
            break;
        case WM_LBUTTONDOWN:
            lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled);
            break;
        case WM_LBUTTONUP:
            lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled);
            break;
        case WM_MOUSEMOVE:
            lRes = OnMouseMove(uMsg, wParam, lParam, bHandled);
            break;
        default:
            bHandled = FALSE;
            break;
    }
    if (bHandled) return lRes;
    bHandled = TRUE;
    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled) return lRes;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void WindowImplBase::OnFinalMessage(HWND) {
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    if (m_pm.GetRoot()) m_pm.ReapObjects(m_pm.GetRoot());
}

}  // namespace DuiLib
