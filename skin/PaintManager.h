// One paint manager per skin window: owns the control tree, the window's
// fonts, images and default attribute lists, routes window messages to the
// controls (hover, press, focus, keys, cursor, tool-tips, timers), paints the
// tree into an off-screen canvas and delivers notifications. Process-wide
// parts (shared fonts, the resource module and folder, the theme colours,
// the message-filter chain of all managers) are static. Window thread only.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Handle.h"
#include "skin/RenderEngine.h"
#include "skin/SkinImage.h"
#include "skin/UIDefs.h"

namespace DuiLib {

class CControlUI;

// Messages the manager reflects to native child windows of controls:
// kReflectBase + WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC or WM_COMMAND.
const UINT kReflectBase = WM_APP + 0x2000;

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // Process-wide set-up.
    static void SetInstance(HINSTANCE instance);  // also reads the theme colours and system version
    static HINSTANCE GetInstance();
    static void SetResourcePath(const std::wstring& folder);
    static std::wstring GetResourcePath();
    static void SetCurrentLanguage(const std::wstring& localeCode);
    static int GetSystemMajorVersion();
    // Theme colour by position (bkcolorIndex); 0 when there is none.
    static DWORD GetThemeColor(int index);

    // Offers a message of the process's loop to every manager's pre-message
    // filters; true when one consumed it (the loop then skips it).
    static bool TranslateMessage(const MSG* msg);
    // A message loop that offers every message to TranslateMessage first;
    // returns when the quit request arrives.
    static void MessageLoop();

    void Init(HWND hWnd);
    HWND GetPaintWindow() const { return m_hWnd; }

    // Fonts. Shared fonts serve every window; a window's own are found first.
    bool AddFont(int id, const std::wstring& face, int size, bool bold, bool underline, bool italic,
                 bool shared);
    void SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline, bool italic,
                        bool shared);
    HFONT GetFont(int id) const;
    HFONT GetDefaultFont() const;
    static void RemoveSharedFonts();

    // Images: `Image` registrations (name and mask) and the decoded cache.
    void AddImage(const std::wstring& name, const std::wstring& resType, DWORD mask, bool hasMask,
                  bool shared);
    SkinImagePtr GetImage(const std::wstring& name, const std::wstring& resType, bool hasMask, DWORD mask);

    // Default attribute lists per control class name ("VScrollBar").
    void AddDefaultAttributeList(const std::wstring& className, const std::wstring& list, bool shared);
    std::wstring GetDefaultAttributeList(const std::wstring& className) const;

    // Window attributes of the layout.
    void SetWindowAttribute(const std::wstring& name, const std::wstring& value);
    std::wstring GetWindowCustomAttribute(const std::wstring& name) const;
    SIZE GetInitSize() const { return m_szInitWindowSize; }
    void SetInitSize(int cx, int cy);
    RECT GetCaptionRect() const { return m_rcCaption; }
    void SetCaptionRect(const RECT& rc) { m_rcCaption = rc; }
    RECT GetSizeBox() const { return m_rcSizeBox; }
    SIZE GetRoundCorner() const { return m_szRoundCorner; }
    SIZE GetMinInfo() const { return m_szMinWindow; }
    SIZE GetMaxInfo() const { return m_szMaxWindow; }
    bool IsLayered() const { return !m_diLayered.IsEmpty(); }
    TDrawInfo& GetLayeredImage() { return m_diLayered; }
    BYTE GetOpacity() const { return m_nOpacity; }
    DWORD GetDefaultFontColor() const { return m_dwDefaultFontColor; }
    DWORD GetDefaultDisabledColor() const { return m_dwDefaultDisabledColor; }
    DWORD GetDefaultLinkFontColor() const { return m_dwDefaultLinkFontColor; }

    // The control tree. The manager owns the root and deletes it.
    bool AttachDialog(CControlUI* root);
    CControlUI* GetRoot() const { return m_pRoot; }
    CControlUI* FindControl(const std::wstring& name) const;
    CControlUI* FindControl(POINT pt) const;
    // Gives every control of the subtree this manager (used when adding).
    void InitControls(CControlUI* control, CControlUI* parent);
    // Forgets a control that is being deleted (focus, hover, capture).
    void ReapObjects(CControlUI* control);

    void NeedUpdate() { m_bUpdateNeeded = true; }
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void Invalidate(const RECT& rc);
    // Lays the tree out over `client` when needed and paints it into `dc`.
    void PaintTo(HDC dc, const RECT& client);

    // Focus, capture, timers.
    CControlUI* GetFocus() const { return m_pFocus; }
    void SetFocus(CControlUI* control);
    bool SetTimer(CControlUI* control, UINT id, UINT elapse);
    bool KillTimer(CControlUI* control, UINT id);
    void KillTimers(CControlUI* control);

    // Notifications.
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    void SendNotify(CControlUI* control, const std::wstring& type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);
    void SendNotify(TNotifyUI& msg, bool async = false);

    // Message filters: pre-filters see messages of the process loop
    // (TranslateMessage); filters see this window's messages first.
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // The window's message handling; true when the message was consumed.
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

    // Native child windows of controls (edits) draw through these colours.
    HBRUSH NativeBrush(DWORD argb);

private:
    struct FontEntry {
        common::GdiObject<HFONT> font;
        std::wstring face;
        int size = 12;
        bool bold = false, underline = false, italic = false;
    };
    using FontTable = std::map<int, FontEntry>;
    struct ImageEntry {
        std::wstring resType;
        DWORD mask = 0;
        bool hasMask = false;
    };

    static FontEntry MakeFont(const std::wstring& face, int size, bool bold, bool underline, bool italic);
    static FontTable& SharedFonts();
    static std::unique_ptr<FontEntry>& SharedDefaultFont();
    static std::vector<CPaintManagerUI*>& Managers();

    void SetHot(CControlUI* control, POINT pt);
    void SendEvent(CControlUI* control, int type, POINT pt, WPARAM wParam = 0, LPARAM lParam = 0,
                   WCHAR key = 0);
    bool HandleMouse(UINT uMsg, WPARAM wParam, LPARAM lParam);
    void ShowToolTip(CControlUI* control, POINT pt);
    void HideToolTip();
    void FlushAsyncNotifications();
    void Paint();
    // Raises "windowinit" after the first paint of the tree.
    void NotifyWindowInit();

    HWND m_hWnd = nullptr;
    CControlUI* m_pRoot = nullptr;
    CControlUI* m_pFocus = nullptr;
    CControlUI* m_pHover = nullptr;
    CControlUI* m_pCaptured = nullptr;
    bool m_bUpdateNeeded = true;
    bool m_bFirstLayout = true;
    bool m_bMouseTracking = false;
    bool m_bLayeredPaintPending = false;
    SIZE m_szInitWindowSize = {0, 0};
    SIZE m_szMinWindow = {0, 0};
    SIZE m_szMaxWindow = {0, 0};
    SIZE m_szRoundCorner = {0, 0};
    RECT m_rcCaption = {0, 0, 0, 0};
    RECT m_rcSizeBox = {0, 0, 0, 0};
    BYTE m_nOpacity = 255;
    TDrawInfo m_diLayered;
    TDrawInfo m_diLayeredEnlarge;
    DWORD m_dwDefaultFontColor = 0xFF000000;
    DWORD m_dwDefaultDisabledColor = 0xFFA7A6AA;
    DWORD m_dwDefaultLinkFontColor = 0xFF0000FF;
    DWORD m_dwDefaultLinkHoverColor = 0xFFD3215F;
    DWORD m_dwDefaultSelectedColor = 0xFFBAE4FF;
    FontTable m_fonts;
    std::unique_ptr<FontEntry> m_defaultFont;
    std::map<std::wstring, ImageEntry> m_imageEntries;
    std::map<std::wstring, SkinImagePtr> m_images;
    std::map<std::wstring, std::wstring> m_defaultAttributes;
    std::map<std::wstring, std::wstring> m_customAttributes;
    std::vector<INotifyUI*> m_notifiers;
    std::vector<IMessageFilterUI*> m_preFilters;
    std::vector<IMessageFilterUI*> m_filters;
    std::vector<TNotifyUI> m_asyncNotify;
    struct Timer {
        CControlUI* control;
        UINT localId;
        UINT_PTR winId;
    };
    std::vector<Timer> m_timers;
    UINT_PTR m_nextTimerId = 0x100;
    std::unique_ptr<Canvas> m_canvas;
    HWND m_hwndTooltip = nullptr;
    CControlUI* m_pTooltipOwner = nullptr;
    std::wstring m_sTooltipText;
    std::map<DWORD, common::GdiObject<HBRUSH>> m_brushes;
};

}  // namespace DuiLib
