#include "skin/NotifyPump.h"

#include <cwctype>

#include "skin/ControlUI.h"

namespace DuiLib {
namespace {

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

}  // namespace

const NotifyMapEntry CNotifyPump::kNotifyEntries_[] = {{nullptr, nullptr, nullptr, nullptr}};
const NotifyMap CNotifyPump::kNotifyMap_ = {nullptr, &CNotifyPump::kNotifyEntries_[0]};

const NotifyMap* CNotifyPump::GetNotifyMap() const {
    return &kNotifyMap_;
}

bool CNotifyPump::AddVirtualWnd(const std::wstring& name, CNotifyPump* pump) {
    if (!pump || m_virtualWnds.count(lower(name))) return false;
    m_virtualWnds[lower(name)] = pump;
    return true;
}

bool CNotifyPump::RemoveVirtualWnd(const std::wstring& name) {
    return m_virtualWnds.erase(lower(name)) > 0;
}

bool CNotifyPump::NotifyPump(TNotifyUI& msg) {
    if (!msg.sVirtualWnd.empty()) {
        auto it = m_virtualWnds.find(lower(msg.sVirtualWnd));
        if (it != m_virtualWnds.end() && it->second->LoopDispatch(msg)) return true;
    }
    return LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg) {
    const std::wstring sender = msg.pSender ? msg.pSender->GetName() : std::wstring();
    for (const NotifyMap* map = GetNotifyMap(); map; map = map->base) {
        const NotifyMapEntry* typeOnly = nullptr;
        const NotifyMapEntry* chosen = nullptr;
        for (const NotifyMapEntry* e = map->entries; e && e->event; ++e) {
            if (msg.sType != e->event) continue;
            if (e->control[0] == L'\0') {
                typeOnly = e;  // the last one counts
            } else if (sender == e->control) {
                chosen = e;
                break;
            }
        }
        if (!chosen) chosen = typeOnly;
        if (!chosen) continue;
        if (chosen->handler) {
            (this->*chosen->handler)(msg);
        } else if (chosen->paramsHandler) {
            (this->*chosen->paramsHandler)(msg.wParam, msg.lParam);
        }
        return true;
    }
    return false;
}

}  // namespace DuiLib
