// The base of every control: a rectangle in its window with a name, layout
// properties, background colour and image, border, text and tool-tip, and
// the hooks through which the paint manager lays it out, paints it and
// hands it input. Controls belong to the window thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/RenderEngine.h"
#include "skin/UIDefs.h"

namespace DuiLib {

class CPaintManagerUI;

// FindControl flags.
enum : UINT {
    UIFIND_ALL = 0x00,
    UIFIND_VISIBLE = 0x01,
    UIFIND_ENABLED = 0x02,
    UIFIND_HITTEST = 0x04,
    UIFIND_TOP_FIRST = 0x08,
};

// GetControlFlags bits.
enum : UINT {
    UIFLAG_TABSTOP = 0x01,
    UIFLAG_SETCURSOR = 0x02,
};

using FINDCONTROLPROC = CControlUI*(CALLBACK*)(CControlUI*, LPVOID);

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual std::wstring GetClass() const { return L"ControlUI"; }
    // Non-null when the control is of the named kind ("Control", "Button", ...).
    virtual LPVOID GetInterface(const std::wstring& name);
    virtual UINT GetControlFlags() const { return 0; }

    const std::wstring& GetName() const { return m_sName; }
    void SetName(const std::wstring& name) { m_sName = name; }
    CPaintManagerUI* GetManager() const { return m_pManager; }
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent);
    CControlUI* GetParent() const { return m_pParent; }

    virtual std::wstring GetText() const { return m_sText; }
    virtual void SetText(const std::wstring& text);
    std::wstring GetToolTip() const { return m_sToolTip; }
    void SetToolTip(const std::wstring& text) { m_sToolTip = text; }
    const std::wstring& GetUserData() const { return m_sUserData; }
    void SetUserData(const std::wstring& data) { m_sUserData = data; }

    DWORD GetBkColor() const { return m_dwBackColor; }
    void SetBkColor(DWORD color);
    const std::wstring& GetBkImage() const { return m_diBk.sDrawString; }
    void SetBkImage(const std::wstring& image);
    void SetBorderColor(DWORD color);
    void SetFocusBorderColor(DWORD color);
    void SetBorderSize(const RECT& widths);

    // Layout.
    const RECT& GetPos() const { return m_rcItem; }
    virtual void SetPos(RECT rc, bool needInvalidate = true);
    int GetWidth() const { return m_rcItem.right - m_rcItem.left; }
    int GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
    RECT GetPadding() const { return m_rcPadding; }
    void SetPadding(const RECT& padding);
    SIZE GetFixedXY() const { return m_cXY; }
    void SetFixedXY(SIZE xy);
    int GetFixedWidth() const { return m_cxyFixed.cx; }
    void SetFixedWidth(int cx);
    int GetFixedHeight() const { return m_cxyFixed.cy; }
    void SetFixedHeight(int cy);
    int GetMinWidth() const { return m_cxyMin.cx; }
    void SetMinWidth(int cx);
    int GetMaxWidth() const { return m_cxyMax.cx; }
    void SetMaxWidth(int cx);
    int GetMinHeight() const { return m_cxyMin.cy; }
    void SetMinHeight(int cy);
    int GetMaxHeight() const { return m_cxyMax.cy; }
    void SetMaxHeight(int cy);
    bool IsFloat() const { return m_bFloat; }
    void SetFloat(bool floating);
    // Size wanted inside `available`; 0 in a dimension = take a share.
    virtual SIZE EstimateSize(SIZE available);

    // State.
    virtual bool IsVisible() const { return m_bVisible && m_bInternVisible; }
    virtual void SetVisible(bool visible = true);
    virtual void SetInternVisible(bool visible = true);  // set by a parent hiding its subtree
    virtual bool IsEnabled() const { return m_bEnabled; }
    virtual void SetEnabled(bool enabled = true);
    bool IsMouseEnabled() const { return m_bMouseEnabled; }
    void SetMouseEnabled(bool enabled = true) { m_bMouseEnabled = enabled; }
    bool IsFocused() const { return m_bFocused; }
    virtual void SetFocus();
    // The control's action (a click); false when disabled or hidden.
    virtual bool Activate();

    // Tree search: `proc` decides per control; see UIFIND_*.
    virtual CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags);

    void Invalidate();
    void NeedUpdate();
    void NeedParentUpdate();

    // Input: the delegates in OnEvent see an event first; returning false
    // from one stops it.
    void Event(TEventUI& event);
    virtual void DoEvent(TEventUI& event);
    std::vector<std::function<bool(TEventUI&)>> OnEvent;
    // Run for each notification this control raises, before the window's.
    std::vector<std::function<void(TNotifyUI&)>> OnNotify;

    virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
    // Applies `name="value" name2="value2"` in order.
    void ApplyAttributeList(const std::wstring& list);

    // Painting: DoPaint draws the control where it meets rcPaint.
    virtual void DoPaint(HDC hDC, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    bool DrawImage(HDC hDC, TDrawInfo& info);

    // Called once the control has a paint manager with a window.
    virtual void DoInit() {}

    // Process-wide switch between normal and "Enlarge" images; off in the
    // system, kept for the high-resolution variants.
    static void SetEnlargeImages(bool on);
    static bool UseEnlargeImages();

protected:
    // The image to draw: the Enlarge variant when the switch is on and it exists.
    static TDrawInfo& Pick(TDrawInfo& normal, TDrawInfo& enlarge);

    CPaintManagerUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    std::wstring m_sName;
    std::wstring m_sText;
    std::wstring m_sToolTip;
    std::wstring m_sUserData;
    RECT m_rcItem = {0, 0, 0, 0};
    RECT m_rcPaint = {0, 0, 0, 0};
    RECT m_rcPadding = {0, 0, 0, 0};
    SIZE m_cXY = {0, 0};
    SIZE m_cxyFixed = {0, 0};
    SIZE m_cxyMin = {0, 0};
    SIZE m_cxyMax = {9999, 9999};
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bFocused = false;
    bool m_bFloat = false;
    DWORD m_dwBackColor = 0;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    RECT m_rcBorderSize = {0, 0, 0, 0};
    TDrawInfo m_diBk;
    TDrawInfo m_diBkEnlarge;
};

}  // namespace DuiLib
