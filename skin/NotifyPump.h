// Static notification maps: a window class lists (event, control name,
// handler) entries and names its base class's map. Dispatch tries the
// derived map first: within a map the first entry naming the sender wins,
// else the last type-only entry (empty control name); only a map with
// neither passes the notification on to its base map.
//
//   class CMyWnd : public WindowImplBase {
//       SKIN_DECLARE_NOTIFY_MAP()
//       void OnOk(TNotifyUI& msg);
//   };
//   SKIN_BEGIN_NOTIFY_MAP(CMyWnd, WindowImplBase)
//   SKIN_ON_CLICK(L"okbtn", &CMyWnd::OnOk)
//   SKIN_END_NOTIFY_MAP()
#pragma once

#include <map>
#include <string>

#include "skin/UIDefs.h"

namespace DuiLib {

class CNotifyPump;

using NotifyHandler = void (CNotifyPump::*)(TNotifyUI&);
using NotifyParamsHandler = void (CNotifyPump::*)(WPARAM, LPARAM);

struct NotifyMapEntry {
    const wchar_t* event;    // null ends the table
    const wchar_t* control;  // "" = any sender
    NotifyHandler handler;
    NotifyParamsHandler paramsHandler;
};

struct NotifyMap {
    const NotifyMap* base;
    const NotifyMapEntry* entries;
};

class CNotifyPump {
public:
    virtual const NotifyMap* GetNotifyMap() const;

    // Pumps registered under a virtual-window name (compared without case)
    // see notifications carrying that name first.
    bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const std::wstring& name);
    // Dispatches through the maps; false when no entry took it.
    bool NotifyPump(TNotifyUI& msg);

protected:
    virtual ~CNotifyPump() = default;
    bool LoopDispatch(TNotifyUI& msg);

    static const NotifyMap kNotifyMap_;
    static const NotifyMapEntry kNotifyEntries_[];

private:
    std::map<std::wstring, CNotifyPump*> m_virtualWnds;
};

}  // namespace DuiLib

#define SKIN_DECLARE_NOTIFY_MAP()                             \
private:                                                      \
    static const ::DuiLib::NotifyMapEntry kNotifyEntries_[];  \
                                                              \
protected:                                                    \
    static const ::DuiLib::NotifyMap kNotifyMap_;             \
                                                              \
public:                                                       \
    const ::DuiLib::NotifyMap* GetNotifyMap() const override; \
                                                              \
private:

#define SKIN_BEGIN_NOTIFY_MAP(cls, base)                                                         \
    const ::DuiLib::NotifyMap* cls::GetNotifyMap() const {                                       \
        return &cls::kNotifyMap_;                                                                \
    }                                                                                            \
    const ::DuiLib::NotifyMap cls::kNotifyMap_ = {&base::kNotifyMap_, &cls::kNotifyEntries_[0]}; \
    const ::DuiLib::NotifyMapEntry cls::kNotifyEntries_[] = {
// A handler taking the notification, for `event` from the control `name`
// ("" = any sender).
#define SKIN_ON_NOTIFY(event, name, fn) {event, name, static_cast<::DuiLib::NotifyHandler>(fn), nullptr},
// A handler taking (wParam, lParam).
#define SKIN_ON_NOTIFY_PARAMS(event, name, fn) \
    {event, name, nullptr, static_cast<::DuiLib::NotifyParamsHandler>(fn)},
#define SKIN_ON_CLICK(name, fn) SKIN_ON_NOTIFY(L"click", name, fn)
#define SKIN_ON_SELECTCHANGED(name, fn) SKIN_ON_NOTIFY(L"selectchanged", name, fn)
#define SKIN_ON_ITEMSELECT(name, fn) SKIN_ON_NOTIFY(L"itemselect", name, fn)
#define SKIN_ON_KILLFOCUS(name, fn) SKIN_ON_NOTIFY(L"killfocus", name, fn)
#define SKIN_END_NOTIFY_MAP()              \
    { nullptr, nullptr, nullptr, nullptr } \
    }                                      \
    ;
