// Notification maps: named entries, type-only entries, base-map fall-through
// and the order between them; delivery through a paint manager.
#include <gtest/gtest.h>

#include "skin/ButtonUI.h"
#include "skin/NotifyPump.h"
#include "skin/PaintManager.h"

using namespace DuiLib;

namespace {

std::wstring g_calls;

class BasePump : public CNotifyPump {
public:
    SKIN_DECLARE_NOTIFY_MAP()
public:
    void BaseClick(TNotifyUI& msg) { g_calls += L"base-any:" + msg.pSender->GetName() + L" "; }
    void BaseOk(TNotifyUI&) { g_calls += L"base-ok "; }
    void BaseTimer(WPARAM w, LPARAM) { g_calls += L"base-timer:" + std::to_wstring(w) + L" "; }
};

SKIN_BEGIN_NOTIFY_MAP(BasePump, CNotifyPump)
SKIN_ON_NOTIFY(L"click", L"", &BasePump::BaseClick)
SKIN_ON_CLICK(L"ok", &BasePump::BaseOk)
SKIN_ON_NOTIFY(L"selectchanged", L"ok", &BasePump::BaseOk)
SKIN_ON_NOTIFY_PARAMS(L"timer", L"", &BasePump::BaseTimer)
SKIN_END_NOTIFY_MAP()

class DerivedPump : public BasePump {
public:
    SKIN_DECLARE_NOTIFY_MAP()
public:
    void Install(TNotifyUI&) { g_calls += L"install "; }
    void AnySelect(TNotifyUI&) { g_calls += L"any-select-1 "; }
    void AnySelectLast(TNotifyUI&) { g_calls += L"any-select-2 "; }
};

SKIN_BEGIN_NOTIFY_MAP(DerivedPump, BasePump)
SKIN_ON_CLICK(L"installnowbtn", &DerivedPump::Install)
SKIN_ON_NOTIFY(L"selectchanged", L"", &DerivedPump::AnySelect)
SKIN_ON_NOTIFY(L"selectchanged", L"", &DerivedPump::AnySelectLast)
SKIN_END_NOTIFY_MAP()

class NotifyMaps : public testing::Test {
protected:
    void SetUp() override { g_calls.clear(); }
    bool send(const wchar_t* type, const wchar_t* sender, WPARAM w = 0) {
        CControlUI control;
        control.SetName(sender);
        TNotifyUI msg;
        msg.sType = type;
        msg.pSender = &control;
        msg.wParam = w;
        return pump.NotifyPump(msg);
    }
    DerivedPump pump;
};

TEST_F(NotifyMaps, RoutingTable) {
    const struct {
        const wchar_t* type;
        const wchar_t* sender;
        bool found;
        const wchar_t* calls;
    } cases[] = {
        {L"click", L"installnowbtn", true, L"install "},
        {L"click", L"minbtn", true, L"base-any:minbtn "},   // type-only entry of the base map
        {L"click", L"ok", true, L"base-ok "},               // a named entry beats the type-only one
        {L"selectchanged", L"ok", true, L"any-select-2 "},  // derived type-only (the last) beats base named
        {L"timer", L"x", true, L"base-timer:7 "},
        {L"itemselect", L"x", false, L""},
        {L"Click", L"ok", false, L""},
    };
    for (const auto& c : cases) {
        g_calls.clear();
        EXPECT_EQ(c.found, send(c.type, c.sender, 7)) << testing::PrintToString(c.type);
        EXPECT_EQ(c.calls, g_calls) << testing::PrintToString(c.type) << " "
                                    << testing::PrintToString(c.sender);
    }
}

TEST_F(NotifyMaps, VirtualWindowPumpFirst) {
    BasePump other;
    ASSERT_TRUE(pump.AddVirtualWnd(L"Page", &other));
    CControlUI control;
    control.SetName(L"installnowbtn");
    TNotifyUI msg;
    msg.sType = L"click";
    msg.sVirtualWnd = L"PAGE";
    msg.pSender = &control;
    EXPECT_TRUE(pump.NotifyPump(msg));
    EXPECT_EQ(L"base-any:installnowbtn ", g_calls);
    g_calls.clear();
    msg.sType = L"selectchanged";  // the page's map has no entry for it: the window's own maps
    EXPECT_TRUE(pump.NotifyPump(msg));
    EXPECT_EQ(L"any-select-2 ", g_calls);
}

class Recorder : public INotifyUI {
public:
    void Notify(TNotifyUI& msg) override { seen += L"window:" + msg.sType + L" "; }
    std::wstring seen;
};

TEST(NotifyDelivery, DelegatesThenNotifiersInOrder) {
    CPaintManagerUI pm;
    auto* button = new CButtonUI;
    button->SetName(L"b");
    pm.AttachDialog(button);
    Recorder first, second;
    std::wstring order;
    button->OnNotify.push_back([&](TNotifyUI& msg) { order += L"delegate:" + msg.sType + L" "; });
    pm.AddNotifier(&first);
    pm.AddNotifier(&second);
    EXPECT_FALSE(pm.AddNotifier(&first));
    EXPECT_TRUE(button->Activate());
    EXPECT_EQ(L"delegate:click ", order);
    EXPECT_EQ(L"window:click ", first.seen);
    EXPECT_EQ(L"window:click ", second.seen);
    button->SetEnabled(false);
    EXPECT_FALSE(button->Activate());
    EXPECT_EQ(L"window:click ", first.seen);
}

}  // namespace
