#include "skin/PaintManager.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwctype>

#include "config/theme.h"
#include "skin/ControlUI.h"
#include "skin/SkinPackage.h"
#include "skin/StringTable.h"
#include "utility/ufile.h"

namespace DuiLib {
namespace {

// Posted to a manager's window: deliver queued notifications / repaint a
// layered window.
const UINT kAsyncNotifyMessage = WM_APP + 0x3A0;
const UINT kLayeredPaintMessage = WM_APP + 0x3A1;
const DWORD kToolTipDelay = 400;

struct Statics {
    HINSTANCE instance = nullptr;
    int systemMajor = 0;
    std::vector<DWORD> themeColors;
    std::map<std::wstring, std::wstring> sharedDefaults;
    std::map<std::wstring, std::pair<DWORD, bool>> sharedImageMasks;
};

Statics& statics() {
    static Statics s;
    return s;
}

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring imageKey(const std::wstring& name, const std::wstring& resType, bool hasMask, DWORD mask) {
    std::wstring key = name;
    for (wchar_t& c : key)
        if (c == L'\\') c = L'/';
    return key + L"|" + resType + L"|" + (hasMask ? std::to_wstring(mask & 0xFFFFFF) : L"-");
}

CControlUI* CALLBACK findByName(CControlUI* control, LPVOID data) {
    return control->GetName() == *static_cast<const std::wstring*>(data) ? control : nullptr;
}

CControlUI* CALLBACK findAny(CControlUI* control, LPVOID) {
    return control;
}

DWORD colorSkippingFirst(const std::wstring& v) {
    return v.empty() ? 0 : static_cast<DWORD>(wcstoul(v.c_str() + 1, nullptr, 16));
}

// Notifier and filter lists hold each listener at most once.
template <typename T>
bool addListener(std::vector<T*>& list, T* listener) {
    if (!listener || std::find(list.begin(), list.end(), listener) != list.end()) return false;
    list.push_back(listener);
    return true;
}

template <typename T>
bool removeListener(std::vector<T*>& list, T* listener) {
    auto it = std::find(list.begin(), list.end(), listener);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() {
    Managers().push_back(this);
}

CPaintManagerUI::~CPaintManagerUI() {
    auto& all = Managers();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    for (const Timer& t : m_timers)
        if (m_hWnd) ::KillTimer(m_hWnd, t.winId);
    m_timers.clear();
    CControlUI* root = m_pRoot;
    m_pRoot = nullptr;
    m_pFocus = m_pHover = m_pCaptured = m_pTooltipOwner = nullptr;
    delete root;
    if (m_hwndTooltip) DestroyWindow(m_hwndTooltip);
}

std::vector<CPaintManagerUI*>& CPaintManagerUI::Managers() {
    static std::vector<CPaintManagerUI*> managers;
    return managers;
}

void CPaintManagerUI::SetInstance(HINSTANCE instance) {
    Statics& s = statics();
    s.instance = instance;
    setResourceInstance(instance);
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExW(&info)) s.systemMajor = static_cast<int>(info.dwMajorVersion);
#pragma GCC diagnostic pop
    s.themeColors.clear();
    for (const std::wstring& c : config::theme::colorsFor(utility::ufile::getModuleDir()))
        s.themeColors.push_back(value::toColor(c));
}

HINSTANCE CPaintManagerUI::GetInstance() {
    return statics().instance;
}

void CPaintManagerUI::SetResourcePath(const std::wstring& folder) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    setResourceFolder(path);
}

std::wstring CPaintManagerUI::GetResourcePath() {
    return resourceFolder();
}

void CPaintManagerUI::SetCurrentLanguage(const std::wstring& localeCode) {
    setSkinLanguage(localeCode);
}

int CPaintManagerUI::GetSystemMajorVersion() {
    return statics().systemMajor;
}

DWORD CPaintManagerUI::GetThemeColor(int index) {
    const auto& colors = statics().themeColors;
    if (colors.empty() && statics().instance == nullptr) {
        // Before SetInstance the built-in list applies.
        auto defaults = config::theme::defaultColors();
        if (index >= 0 && index < static_cast<int>(defaults.size())) return value::toColor(defaults[index]);
        return 0;
    }
    return index >= 0 && index < static_cast<int>(colors.size()) ? colors[index] : 0;
}

bool CPaintManagerUI::TranslateMessage(const MSG* msg) {
    if (!msg) return false;
    // A copy: a filter may close a window and so remove its manager.
    std::vector<CPaintManagerUI*> managers = Managers();
    for (CPaintManagerUI* m : managers) {
        auto& live = Managers();
        if (std::find(live.begin(), live.end(), m) == live.end()) continue;
        HWND hwnd = m->m_hWnd;
        if (!hwnd || !(msg->hwnd == hwnd || IsChild(hwnd, msg->hwnd))) continue;
        LRESULT result = 0;
        if (m->PreMessageHandler(msg->message, msg->wParam, msg->lParam, result)) return true;
    }
    return false;
}

void CPaintManagerUI::MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateMessage(&msg)) continue;
        ::TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CPaintManagerUI::Init(HWND hWnd) {
    m_hWnd = hWnd;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    if (m_pRoot) InitControls(m_pRoot, nullptr);
}

CPaintManagerUI::FontEntry CPaintManagerUI::MakeFont(const std::wstring& face, int size, bool bold,
                                                     bool underline, bool italic) {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold) lf.lfWeight += FW_BOLD;
    lf.lfUnderline = underline;
    lf.lfItalic = italic;
    FontEntry entry;
    entry.font.reset(CreateFontIndirectW(&lf));
    entry.face = face;
    entry.size = size;
    entry.bold = bold;
    entry.underline = underline;
    entry.italic = italic;
    return entry;
}

CPaintManagerUI::FontTable& CPaintManagerUI::SharedFonts() {
    static FontTable table;
    return table;
}

std::unique_ptr<CPaintManagerUI::FontEntry>& CPaintManagerUI::SharedDefaultFont() {
    static std::unique_ptr<FontEntry> font;
    return font;
}

void CPaintManagerUI::RemoveSharedFonts() {
    SharedFonts().clear();
    SharedDefaultFont().reset();
}

bool CPaintManagerUI::AddFont(int id, const std::wstring& face, int size, bool bold, bool underline,
                              bool italic, bool shared) {
    FontEntry entry = MakeFont(face, size, bold, underline, italic);
    if (!entry.font) return false;
    FontTable& table = shared ? SharedFonts() : m_fonts;
    table[id] = std::move(entry);  // replaces (and deletes) an earlier font of this id
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

void CPaintManagerUI::SetDefaultFont(const std::wstring& face, int size, bool bold, bool underline,
                                     bool italic, bool shared) {
    auto entry = std::make_unique<FontEntry>(MakeFont(face, size, bold, underline, italic));
    if (!entry->font) return;
    (shared ? SharedDefaultFont() : m_defaultFont) = std::move(entry);
}

HFONT CPaintManagerUI::GetFont(int id) const {
    if (id >= 0) {
        auto own = m_fonts.find(id);
        if (own != m_fonts.end()) return own->second.font.get();
        auto shared = SharedFonts().find(id);
        if (shared != SharedFonts().end()) return shared->second.font.get();
    }
    return GetDefaultFont();
}

HFONT CPaintManagerUI::GetDefaultFont() const {
    if (m_defaultFont) return m_defaultFont->font.get();
    if (SharedDefaultFont()) return SharedDefaultFont()->font.get();
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CPaintManagerUI::AddImage(const std::wstring& name, const std::wstring& resType, DWORD mask,
                               bool hasMask, bool shared) {
    if (shared) {
        statics().sharedImageMasks[name] = {mask, hasMask};
        return;
    }
    ImageEntry entry;
    entry.resType = resType;
    entry.mask = mask;
    entry.hasMask = hasMask;
    m_imageEntries[name] = entry;
}

SkinImagePtr CPaintManagerUI::GetImage(const std::wstring& name, const std::wstring& resType, bool hasMask,
                                       DWORD mask) {
    if (name.empty()) return nullptr;
    std::wstring type = resType;
    if (!hasMask) {
        // An `Image` registration supplies the mask (and type) of its file.
        auto own = m_imageEntries.find(name);
        if (own != m_imageEntries.end()) {
            hasMask = own->second.hasMask;
            mask = own->second.mask;
            if (type.empty()) type = own->second.resType;
        } else {
            auto shared = statics().sharedImageMasks.find(name);
            if (shared != statics().sharedImageMasks.end()) {
                mask = shared->second.first;
                hasMask = shared->second.second;
            }
        }
    }
    std::wstring key = imageKey(name, type, hasMask, mask);
    auto cached = m_images.find(key);
    if (cached != m_images.end()) return cached->second;
    SkinImagePtr image = loadSkinImage(name, type, hasMask, mask);
    m_images[key] = image;  // a missing image is remembered as missing
    return image;
}

void CPaintManagerUI::AddDefaultAttributeList(const std::wstring& className, const std::wstring& list,
                                              bool shared) {
    (shared ? statics().sharedDefaults : m_defaultAttributes)[lower(className)] = list;
}

std::wstring CPaintManagerUI::GetDefaultAttributeList(const std::wstring& className) const {
    auto own = m_defaultAttributes.find(lower(className));
    if (own != m_defaultAttributes.end()) return own->second;
    auto shared = statics().sharedDefaults.find(lower(className));
    return shared != statics().sharedDefaults.end() ? shared->second : std::wstring();
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
    m_szInitWindowSize = SIZE{cx, cy};
    if (!m_hWnd) return;
    RECT window, client;
    GetWindowRect(m_hWnd, &window);
    GetClientRect(m_hWnd, &client);
    int extraX = (window.right - window.left) - (client.right - client.left);
    int extraY = (window.bottom - window.top) - (client.bottom - client.top);
    SetWindowPos(m_hWnd, nullptr, 0, 0, cx + extraX, cy + extraY, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CPaintManagerUI::SetWindowAttribute(const std::wstring& name, const std::wstring& v) {
    std::wstring n = lower(name);
    if (n == L"size") {
        SIZE size = value::toSize(v);
        SetInitSize(size.cx, size.cy);
    } else if (n == L"caption") {
        m_rcCaption = value::toRect(v);
    } else if (n == L"mininfo") {
        m_szMinWindow = value::toSize(v);
    } else if (n == L"maxinfo") {
        m_szMaxWindow = value::toSize(v);
    } else if (n == L"sizebox") {
        m_rcSizeBox = value::toRect(v);
    } else if (n == L"roundcorner") {
        m_szRoundCorner = value::toSize(v);
    } else if (n == L"layeredimage") {
        m_diLayered.Set(v);
        if (m_hWnd) {
            LONG_PTR ex = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
            SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        }
    } else if (n == L"layeredenlargeimage") {
        m_diLayeredEnlarge.Set(v);
    } else if (n == L"opacity" || n == L"layeredopacity") {
        int o = value::toInt(v);
        m_nOpacity = static_cast<BYTE>(o < 0 ? 0 : (o > 255 ? 255 : o));
    } else if (n == L"defaultfontcolor") {
        m_dwDefaultFontColor = colorSkippingFirst(v);
    } else if (n == L"disabledfontcolor") {
        m_dwDefaultDisabledColor = colorSkippingFirst(v);
    } else if (n == L"linkfontcolor") {
        m_dwDefaultLinkFontColor = colorSkippingFirst(v);
    } else if (n == L"linkhoverfontcolor") {
        m_dwDefaultLinkHoverColor = colorSkippingFirst(v);
    } else if (n == L"selectedcolor") {
        m_dwDefaultSelectedColor = colorSkippingFirst(v);
    } else if (n == L"showdirty" || n == L"noactivate") {
        // debugging frames and activation: accepted, no effect here
    } else {
        m_customAttributes[name] = v;
    }
}

std::wstring CPaintManagerUI::GetWindowCustomAttribute(const std::wstring& name) const {
    auto it = m_customAttributes.find(name);
    return it == m_customAttributes.end() ? std::wstring() : it->second;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
    if (!root) return false;
    CControlUI* old = m_pRoot;
    m_pRoot = nullptr;
    m_pFocus = m_pHover = m_pCaptured = m_pTooltipOwner = nullptr;
    delete old;
    m_pRoot = root;
    InitControls(root, nullptr);
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

CControlUI* CPaintManagerUI::FindControl(const std::wstring& name) const {
    if (!m_pRoot || name.empty()) return nullptr;
    std::wstring key = name;
    return m_pRoot->FindControl(findByName, &key, UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
    if (!m_pRoot) return nullptr;
    return m_pRoot->FindControl(findAny, &pt, UIFIND_VISIBLE | UIFIND_HITTEST);
}

void CPaintManagerUI::InitControls(CControlUI* control, CControlUI* parent) {
    if (control) control->SetManager(this, parent);
}

void CPaintManagerUI::ReapObjects(CControlUI* control) {
    if (m_pFocus == control) m_pFocus = nullptr;
    if (m_pHover == control) m_pHover = nullptr;
    if (m_pCaptured == control) m_pCaptured = nullptr;
    if (m_pTooltipOwner == control) HideToolTip();
    KillTimers(control);
    m_asyncNotify.erase(std::remove_if(m_asyncNotify.begin(), m_asyncNotify.end(),
                                       [control](const TNotifyUI& n) { return n.pSender == control; }),
                        m_asyncNotify.end());
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
    if (!m_hWnd) return;
    if (IsLayered()) {
        if (!m_bLayeredPaintPending) PostMessageW(m_hWnd, kLayeredPaintMessage, 0, 0);
        m_bLayeredPaintPending = true;
        return;
    }
    InvalidateRect(m_hWnd, &rc, FALSE);
}

void CPaintManagerUI::PaintTo(HDC dc, const RECT& client) {
    if (!m_pRoot) return;
    if (m_bUpdateNeeded) {
        m_bUpdateNeeded = false;
        m_pRoot->SetPos(client, false);
    }
    if (IsLayered()) {
        TDrawInfo& layered = CControlUI::UseEnlargeImages() && !m_diLayeredEnlarge.IsEmpty()
                                 ? m_diLayeredEnlarge
                                 : m_diLayered;
        render::drawImage(dc, this, client, client, layered);
    }
    m_pRoot->DoPaint(dc, client);
}

void CPaintManagerUI::Paint() {
    RECT client;
    GetClientRect(m_hWnd, &client);
    int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    if (!m_canvas || m_canvas->width() != w || m_canvas->height() != h)
        m_canvas = std::make_unique<Canvas>(w, h);
    if (!m_canvas->valid()) return;
    m_canvas->clear(0);
    PaintTo(m_canvas->dc(), client);
    if (IsLayered()) {
        RECT window;
        GetWindowRect(m_hWnd, &window);
        POINT dst = {window.left, window.top}, src = {0, 0};
        SIZE size = {w, h};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
        HDC screen = GetDC(nullptr);
        UpdateLayeredWindow(m_hWnd, screen, &dst, &size, m_canvas->dc(), &src, 0, &blend, ULW_ALPHA);
        ReleaseDC(nullptr, screen);
    }
}

void CPaintManagerUI::NotifyWindowInit() {
    if (!m_bFirstLayout || !m_pRoot || !m_canvas) return;
    m_bFirstLayout = false;
    SendNotify(m_pRoot, L"windowinit");
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (control == m_pFocus) return;
    CControlUI* old = m_pFocus;
    m_pFocus = control;
    if (old) {
        SendEvent(old, UIEVENT_KILLFOCUS, POINT{0, 0});
        SendNotify(old, L"killfocus");
    }
    if (control && m_pFocus == control) {
        SendEvent(control, UIEVENT_SETFOCUS, POINT{0, 0});
        SendNotify(control, L"setfocus");
    }
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse) {
    if (!m_hWnd || !control) return false;
    KillTimer(control, id);
    UINT_PTR winId = m_nextTimerId++;
    if (!::SetTimer(m_hWnd, winId, elapse, nullptr)) return false;
    m_timers.push_back(Timer{control, id, winId});
    return true;
}

bool CPaintManagerUI::KillTimer(CControlUI* control, UINT id) {
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->control == control && it->localId == id) {
            if (m_hWnd) ::KillTimer(m_hWnd, it->winId);
            m_timers.erase(it);
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::KillTimers(CControlUI* control) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->control == control) {
            if (m_hWnd) ::KillTimer(m_hWnd, it->winId);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    return addListener(m_notifiers, notifier);
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    return removeListener(m_notifiers, notifier);
}

void CPaintManagerUI::SendNotify(CControlUI* control, const std::wstring& type, WPARAM wParam, LPARAM lParam,
                                 bool async) {
    TNotifyUI msg;
    msg.sType = type;
    msg.pSender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool async) {
    msg.dwTimestamp = GetTickCount();
    if (m_hWnd) {
        GetCursorPos(&msg.ptMouse);
        ScreenToClient(m_hWnd, &msg.ptMouse);
    }
    if (async) {
        // A later notification of the same sender and type replaces a queued one.
        for (TNotifyUI& queued : m_asyncNotify) {
            if (queued.pSender == msg.pSender && queued.sType == msg.sType) {
                queued = msg;
                return;
            }
        }
        m_asyncNotify.push_back(msg);
        if (m_hWnd) PostMessageW(m_hWnd, kAsyncNotifyMessage, 0, 0);
        return;
    }
    if (msg.pSender) {
        auto delegates = msg.pSender->OnNotify;
        for (auto& handler : delegates) handler(msg);
    }
    // A copy: a notifier may remove itself (a window closing).
    std::vector<INotifyUI*> notifiers = m_notifiers;
    for (INotifyUI* notifier : notifiers) {
        if (std::find(m_notifiers.begin(), m_notifiers.end(), notifier) != m_notifiers.end())
            notifier->Notify(msg);
    }
}

void CPaintManagerUI::FlushAsyncNotifications() {
    std::vector<TNotifyUI> queued;
    queued.swap(m_asyncNotify);
    for (TNotifyUI& msg : queued) SendNotify(msg, false);
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
    return addListener(m_preFilters, filter);
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    return removeListener(m_preFilters, filter);
}

bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
    return addListener(m_filters, filter);
}

bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
    return removeListener(m_filters, filter);
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    std::vector<IMessageFilterUI*> filters = m_preFilters;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        LRESULT r = filter->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::SendEvent(CControlUI* control, int type, POINT pt, WPARAM wParam, LPARAM lParam,
                                WCHAR key) {
    if (!control) return;
    TEventUI event;
    event.Type = type;
    event.pSender = control;
    event.dwTimestamp = GetTickCount();
    event.ptMouse = pt;
    event.chKey = key;
    event.wParam = wParam;
    event.lParam = lParam;
    event.wKeyState = static_cast<WORD>(wParam);
    control->Event(event);
}

void CPaintManagerUI::SetHot(CControlUI* control, POINT pt) {
    if (control == m_pHover) return;
    CControlUI* old = m_pHover;
    m_pHover = control;
    HideToolTip();
    SendEvent(old, UIEVENT_MOUSELEAVE, pt);
    if (m_pHover == control) SendEvent(control, UIEVENT_MOUSEENTER, pt);
}

void CPaintManagerUI::ShowToolTip(CControlUI* control, POINT pt) {
    if (!control || control->GetToolTip().empty() || !m_hWnd) return;
    std::wstring text = resolveTextId(control->GetToolTip());
    if (!m_hwndTooltip) {
        m_hwndTooltip = CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, GetInstance(), nullptr);
        if (!m_hwndTooltip) return;
        TOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
        ti.hwnd = m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
        ti.lpszText = const_cast<LPWSTR>(L"");
        SendMessageW(m_hwndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    m_sTooltipText = text;
    TOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    ti.lpszText = &m_sTooltipText[0];
    SendMessageW(m_hwndTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    POINT screen = pt;
    ClientToScreen(m_hWnd, &screen);
    SendMessageW(m_hwndTooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + 12, screen.y + 18));
    SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    m_pTooltipOwner = control;
}

void CPaintManagerUI::HideToolTip() {
    if (m_hwndTooltip && m_pTooltipOwner) {
        TOOLINFOW ti = {};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.hwnd = m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
        SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    }
    m_pTooltipOwner = nullptr;
}

HBRUSH CPaintManagerUI::NativeBrush(DWORD argb) {
    DWORD key = argb & 0xFFFFFF;
    auto it = m_brushes.find(key);
    if (it != m_brushes.end()) return it->second.get();
    HBRUSH brush = CreateSolidBrush(RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF));
    m_brushes[key].reset(brush);
    return brush;
}

bool CPaintManagerUI::HandleMouse(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (uMsg) {
        case WM_MOUSEMOVE: {
            if (!m_bMouseTracking) {
                TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE | TME_HOVER, m_hWnd, kToolTipDelay};
                TrackMouseEvent(&tme);
                m_bMouseTracking = true;
            }
            if (m_pCaptured) {
                SendEvent(m_pCaptured, UIEVENT_MOUSEMOVE, pt, wParam, lParam);
                return true;
            }
            CControlUI* control = FindControl(pt);
            SetHot(control, pt);
            SendEvent(control, UIEVENT_MOUSEMOVE, pt, wParam, lParam);
            return true;
        }
        case WM_MOUSELEAVE:
            m_bMouseTracking = false;
            HideToolTip();
            if (!m_pCaptured) SetHot(nullptr, pt);
            return true;
        case WM_MOUSEHOVER: {
            m_bMouseTracking = false;  // re-armed by the next move
            if (m_pHover && !m_pCaptured) ShowToolTip(m_pHover, pt);
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            HideToolTip();
            // Takes the keyboard focus back from a native edit, which then ends editing.
            if (::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
            CControlUI* control = FindControl(pt);
            if (!control) return true;
            ::SetCapture(m_hWnd);
            m_pCaptured = control;
            if (control->IsEnabled() && (control->GetControlFlags() & UIFLAG_TABSTOP)) SetFocus(control);
            if (m_pCaptured == control)
                SendEvent(control, uMsg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, pt, wParam,
                          lParam);
            return true;
        }
        case WM_LBUTTONUP: {
            CControlUI* control = m_pCaptured;
            m_pCaptured = nullptr;
            if (::GetCapture() == m_hWnd) ::ReleaseCapture();
            SendEvent(control, UIEVENT_BUTTONUP, pt, wParam, lParam);
            // The pointer may have left the control while it was held.
            SetHot(FindControl(pt), pt);
            return true;
        }
        case WM_RBUTTONDOWN:
            SendEvent(FindControl(pt), UIEVENT_RBUTTONDOWN, pt, wParam, lParam);
            return true;
        default:
            return false;
    }
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    if (!m_hWnd) return false;
    std::vector<IMessageFilterUI*> filters = m_filters;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        LRESULT r = filter->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    lRes = 0;
    switch (uMsg) {
        case WM_ERASEBKGND:
            lRes = 1;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hWnd, &ps);
            Paint();
            if (!IsLayered() && m_canvas && m_canvas->valid())
                BitBlt(dc, 0, 0, m_canvas->width(), m_canvas->height(), m_canvas->dc(), 0, 0, SRCCOPY);
            EndPaint(m_hWnd, &ps);
            NotifyWindowInit();
            return true;
        }
        case WM_PRINTCLIENT:
            Paint();
            if (m_canvas && m_canvas->valid())
                BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, m_canvas->width(), m_canvas->height(),
                       m_canvas->dc(), 0, 0, SRCCOPY);
            return true;
        case WM_SIZE:
            m_bUpdateNeeded = true;
            if (IsLayered())
                PostMessageW(m_hWnd, kLayeredPaintMessage, 0, 0);
            else
                InvalidateRect(m_hWnd, nullptr, FALSE);
            return false;
        case WM_SHOWWINDOW:
            if (wParam && IsLayered()) PostMessageW(m_hWnd, kLayeredPaintMessage, 0, 0);
            return false;
        case WM_TIMER:
            for (const Timer& t : m_timers) {
                if (t.winId == wParam) {
                    SendEvent(t.control, UIEVENT_TIMER, POINT{0, 0}, t.localId, 0);
                    return true;
                }
            }
            return false;
        case WM_SETCURSOR: {
            if (LOWORD(lParam) != HTCLIENT) return false;
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(m_hWnd, &pt);
            CControlUI* control = FindControl(pt);
            if (!control) return false;
            SendEvent(control, UIEVENT_SETCURSOR, pt, wParam, lParam);
            lRes = TRUE;
            return true;
        }
        case WM_KEYDOWN:
        case WM_CHAR:
            if (!m_pFocus) return false;
            SendEvent(m_pFocus, uMsg == WM_KEYDOWN ? UIEVENT_KEYDOWN : UIEVENT_CHAR, POINT{0, 0}, wParam,
                      lParam, static_cast<WCHAR>(wParam));
            return true;
        case WM_MOUSEWHEEL: {
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(m_hWnd, &pt);
            SendEvent(FindControl(pt), UIEVENT_SCROLLWHEEL, pt, wParam, lParam);
            return true;
        }
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != m_hWnd && m_pCaptured) {
                CControlUI* control = m_pCaptured;
                m_pCaptured = nullptr;
                POINT outside = {-1, -1};
                SendEvent(control, UIEVENT_BUTTONUP, outside);
            }
            return false;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_COMMAND: {
            // Native child windows of controls answer their own colours and commands.
            HWND child = reinterpret_cast<HWND>(lParam);
            if (!child || !IsChild(m_hWnd, child)) return false;
            lRes = SendMessageW(child, kReflectBase + uMsg, wParam, lParam);
            return lRes != 0 || uMsg == WM_COMMAND;
        }
        default:
            break;
    }
    if (uMsg == kAsyncNotifyMessage) {
        FlushAsyncNotifications();
        return true;
    }
    if (uMsg == kLayeredPaintMessage) {
        m_bLayeredPaintPending = false;
        Paint();
        NotifyWindowInit();  // layered windows get no WM_PAINT
        return true;
    }
    if (uMsg >= WM_MOUSEFIRST && uMsg <= WM_MOUSELAST) return HandleMouse(uMsg, wParam, lParam);
    if (uMsg == WM_MOUSELEAVE || uMsg == WM_MOUSEHOVER) return HandleMouse(uMsg, wParam, lParam);
    return false;
}

}  // namespace DuiLib
