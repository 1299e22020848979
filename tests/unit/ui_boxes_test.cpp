// The prompt and error boxes as real skinned windows over a real owner:
// what they show, what their buttons do, and that they disable their owner
// only while they are open and never open twice.
#include <gtest/gtest.h>

#include <string>

#include "common/UiDispatcher.h"
#include "model/DownloaderModel.h"
#include "skin/ContainerUI.h"
#include "skin/ButtonUI.h"
#include "ui/DownloaderBox.h"
#include "ui/MessageBox.h"
#include "ui/MessageBoxWindow.h"
#include "ui/OvDownloaderErrorBox.h"
#include "ui_skin_fixture.h"

using namespace uitest;

namespace {

const wchar_t kBoxClass[] = L"MessageBoxWindow";

// The buttons built at run time, in the order added, inside the bar.
std::vector<DuiLib::CControlUI*> selections(HWND box) {
    std::vector<DuiLib::CControlUI*> found;
    auto* bar = static_cast<DuiLib::CContainerUI*>(control(box, L"bottombar")->GetInterface(L"Container"));
    for (int i = 0; i < bar->GetCount(); ++i)
        if (bar->GetItemAt(i)->GetInterface(L"Selection")) found.push_back(bar->GetItemAt(i));
    return found;
}

class Boxes : public testing::Test {
protected:
    void SetUp() override { useShippedSkin(); }
    void TearDown() override {
        // Whatever a test left open goes with its owner.
        owner.reset();
        pump.until([] {
            return countWindows(kBoxClass) + countWindows(L"box") + countWindows(L"downloadErrorBox") == 0;
        });
    }

    HWND ownerWindow() { return owner->get(); }
    void click(HWND box, const std::wstring& name) {
        DuiLib::CControlUI* button = control(box, name);
        ASSERT_NE(nullptr, button) << name;
        ASSERT_TRUE(button->Activate()) << name;
    }
    bool waitGone(const wchar_t* className) {
        return pump.until([className] { return countWindows(className) == 0; });
    }

    std::unique_ptr<OwnerWindow> owner = std::make_unique<OwnerWindow>();
    Pump pump;
};

TEST_F(Boxes, MessageBoxShowsItsTextsAndOneButton) {
    int clicks = 0;
    ASSERT_TRUE(msg::showMessageBox(ownerWindow(), {L"sure", [&] { ++clicks; }, true}, L"MsgBox_error",
                                    L"MsgBox_error_path"));
    HWND box = findWindow(kBoxClass);
    ASSERT_NE(nullptr, box);
    EXPECT_FALSE(IsWindowEnabled(ownerWindow()));
    EXPECT_EQ(GetWindow(box, GW_OWNER), ownerWindow());
    EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(L"Error", textOf(box, L"titlelabel"));
    EXPECT_EQ(DuiLib::textFor(L"MsgBox_error_path"), textOf(box, L"descriptlabel"));
    ASSERT_EQ(1u, selections(box).size());
    EXPECT_EQ(L"OK", selections(box).front()->GetText());  // the caption's id resolved
    EXPECT_TRUE(control(box, L"msgiconimage")->IsVisible());
    EXPECT_TRUE(msg::isMessageBoxOpen(DuiLib::textFor(L"MsgBox_error_path")));

    // The same text again: nothing opens and its callback is dropped.
    EXPECT_FALSE(msg::showMessageBox(ownerWindow(), {L"sure", [&] { clicks += 100; }, true}, L"MsgBox_error",
                                     L"MsgBox_error_path"));
    pump.settle();
    EXPECT_EQ(1, countWindows(kBoxClass));
    EXPECT_EQ(0, clicks);
}

TEST_F(Boxes, TwoButtonsStandInOrderAndRunOnlyTheirOwnCallback) {
    std::string ran;
    ASSERT_TRUE(msg::showMessageBox2(ownerWindow(), {L"jump_download", [&] { ran += "left "; }, true},
                                     {L"do_exit", [&] { ran += "right "; }, false}, L"MsgBox_error",
                                     L"MsgBox_32"));
    HWND box = findWindow(kBoxClass);
    pump.until([&] { return selections(box).front()->GetWidth() > 0; });  // laid out
    const auto buttons = selections(box);
    ASSERT_EQ(2u, buttons.size());
    EXPECT_EQ(L"Get Orvane 4.0", buttons[0]->GetText());
    EXPECT_EQ(L"Exit", buttons[1]->GetText());
    EXPECT_LT(buttons[0]->GetPos().left, buttons[1]->GetPos().left);
    auto* highlighted = static_cast<DuiLib::CButtonUI*>(buttons[0]->GetInterface(L"Button"));
    auto* plain = static_cast<DuiLib::CButtonUI*>(buttons[1]->GetInterface(L"Button"));
    EXPECT_EQ(0xFF000000u, highlighted->GetTextColor());
    EXPECT_EQ(0xFF17171Au, plain->GetTextColor());
    // The bar keeps its two spacers around the buttons.
    auto* bar = static_cast<DuiLib::CContainerUI*>(control(box, L"bottombar")->GetInterface(L"Container"));
    EXPECT_EQ(4, bar->GetCount());
    EXPECT_EQ(buttons[0], bar->GetItemAt(1));

    ASSERT_TRUE(buttons[1]->Activate());
    ASSERT_TRUE(waitGone(kBoxClass));
    EXPECT_EQ("right ", ran);
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
    EXPECT_FALSE(msg::isMessageBoxOpen(DuiLib::textFor(L"MsgBox_32")));
}

TEST_F(Boxes, CloseButtonRunsTheCloseActionAndNoButton) {
    std::string ran;
    ASSERT_TRUE(msg::showPathCheckBox(ownerWindow(), {L"path_not", [&] { ran += "not "; }, false},
                                      {L"path_ok", [&] { ran += "ok "; }, true}, L"path_noice",
                                      L"use Disk C?", [&] { ran += "close "; }));
    HWND box = findWindow(kBoxClass);
    EXPECT_EQ(L"use Disk C?", textOf(box, L"descriptlabel"));  // formatted text shown as given
    EXPECT_EQ(L"Install location", textOf(box, L"titlelabel"));
    click(box, L"closebtn");
    ASSERT_TRUE(waitGone(kBoxClass));
    EXPECT_EQ("close ", ran);
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
}

TEST_F(Boxes, PlainMessageBoxCloseKeepsCallbacksUnrun) {
    bool ran = false;
    ASSERT_TRUE(msg::showMessageBox(ownerWindow(), {L"sure", [&] { ran = true; }, true}, L"MSGBox_noice",
                                    L"change_path_tip"));
    click(findWindow(kBoxClass), L"closebtn");
    ASSERT_TRUE(waitGone(kBoxClass));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
    // Gone from the register: it can be shown again.
    EXPECT_TRUE(
        msg::showMessageBox(ownerWindow(), {L"sure", nullptr, true}, L"MSGBox_noice", L"change_path_tip"));
}

TEST_F(Boxes, ABoxOpenedFromAButtonKeepsTheOwnerDisabled) {
    auto second = [this] {
        msg::showMessageBox(ownerWindow(), {L"sure", nullptr, true}, L"path_noice", L"the second");
    };
    ASSERT_TRUE(
        msg::showMessageBox(ownerWindow(), {L"path_not", second, false}, L"path_noice", L"the first"));
    ASSERT_TRUE(selections(findWindow(kBoxClass)).front()->Activate());
    ASSERT_TRUE(pump.until([] { return !msg::isMessageBoxOpen(L"the first"); }));
    EXPECT_TRUE(msg::isMessageBoxOpen(L"the second"));
    EXPECT_FALSE(IsWindowEnabled(ownerWindow()));
    selections(findWindow(kBoxClass)).front()->Activate();
    ASSERT_TRUE(waitGone(kBoxClass));
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
}

TEST_F(Boxes, IconKinds) {
    const struct {
        int kind;
        const wchar_t* skin;
        bool iconShown;
        const wchar_t* image;
        int textWidth;
    } cases[] = {
        {0, msg::MessageBoxWindow::kSkinWithIcon, true, L"common/msg_noice48.png", 382},
        {2, msg::MessageBoxWindow::kSkinWithIcon, true, L"common/msg_noice48.png", 382},
        {3, msg::MessageBoxWindow::kSkinWithIcon, true, L"common/msg_ok48.png", 382},
        {7, msg::MessageBoxWindow::kSkinWithoutIcon, false, nullptr, 340},
        {-1, msg::MessageBoxWindow::kSkinWithoutIcon, false, nullptr, 340},
    };
    for (const auto& c : cases) {
        const std::wstring text = L"icon " + std::to_wstring(c.kind);
        msg::MessageBoxWindow* box = msg::MessageBoxWindow::open(ownerWindow(), c.skin, text);
        ASSERT_NE(nullptr, box);
        box->setIcon(c.kind);
        DuiLib::CControlUI* icon = box->GetPaintManager().FindControl(L"msgiconimage");
        EXPECT_EQ(c.iconShown, icon->IsVisible()) << c.kind;
        if (c.image) {
            EXPECT_EQ(c.image, icon->GetBkImage()) << c.kind;
        }
        EXPECT_EQ(c.textWidth, box->GetPaintManager().FindControl(L"descriptlabel")->GetFixedWidth())
            << c.kind;
        box->Close(1);
        ASSERT_TRUE(pump.until([&] { return !msg::isMessageBoxOpen(text); }));
    }
}

TEST_F(Boxes, MessageBoxSetsTheSharedFonts) {
    ASSERT_TRUE(msg::showMessageBox(ownerWindow(), {L"sure", nullptr, true}, L"MSGBox_noice", L"fonts"));
    DuiLib::CPaintManagerUI other;  // a window without fonts of its own takes the shared ones
    for (int id = 0; id < 4; ++id) {
        LOGFONTW font = {};
        ASSERT_TRUE(GetObjectW(other.GetFont(id), sizeof font, &font)) << id;
        EXPECT_EQ(-(12 + 2 * id), font.lfHeight) << id;
        EXPECT_EQ(std::wstring(L"微软雅黑"), font.lfFaceName) << id;
    }
}

// --- the exit confirmation -------------------------------------------------

TEST_F(Boxes, ExitConfirmationNoLeavesEverything) {
    showDownloaderBox(ownerWindow(), 42);
    HWND box = findWindow(L"box");
    ASSERT_NE(nullptr, box);
    EXPECT_FALSE(IsWindowEnabled(ownerWindow()));
    EXPECT_EQ(L"Notice", textOf(box, L"titlelabel"));
    EXPECT_EQ(L"Are you sure you want to cancel the installation?", textOf(box, L"descriptlabel"));
    EXPECT_EQ(L"Yes", textOf(box, L"btnLeft"));
    EXPECT_EQ(L"No", textOf(box, L"btnRight"));
    EXPECT_EQ(42, dynamic_cast<DownloaderBox*>(skinWindow(box))->progress());
    click(box, L"btnRight");
    ASSERT_TRUE(waitGone(L"box"));
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
    EXPECT_TRUE(IsWindowVisible(ownerWindow()));
    EXPECT_FALSE(pump.quitSeen);
}

TEST_F(Boxes, ExitConfirmationCloseButtonLeavesEverything) {
    showDownloaderBox(ownerWindow(), 0);
    click(findWindow(L"box"), L"closebtn");
    ASSERT_TRUE(waitGone(L"box"));
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
    EXPECT_FALSE(pump.quitSeen);
}

TEST_F(Boxes, ExitConfirmationYesEndsTheRun) {
    DownloaderModel::instance();
    showDownloaderBox(ownerWindow(), 7);
    click(findWindow(L"box"), L"btnLeft");
    ASSERT_TRUE(pump.until([&] { return pump.quitSeen; }));
    EXPECT_FALSE(IsWindowVisible(ownerWindow()));
    DownloaderModel::destroyInstance();
}

TEST_F(Boxes, OnlyOneExitConfirmation) {
    showDownloaderBox(ownerWindow(), 1);
    showDownloaderBox(ownerWindow(), 2);
    ASSERT_TRUE(pump.until([] { return countWindows(L"box") == 1; }));
    HWND box = findWindow(L"box");
    EXPECT_EQ(2, dynamic_cast<DownloaderBox*>(skinWindow(box))->progress());
    // The replaced box did not hand the owner back under the new one.
    EXPECT_FALSE(IsWindowEnabled(ownerWindow()));
    click(box, L"btnRight");
    ASSERT_TRUE(waitGone(L"box"));
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
}

// --- the error box -----------------------------------------------------------

TEST_F(Boxes, ErrorBoxShowsTheServersTextModally) {
    DownloaderModel::instance()->installErrorText = L"The emulator could not be installed.";
    bool closed = false;
    OvDownloaderErrorBox* box = OvDownloaderErrorBox::create(ownerWindow(), 5, [&] { closed = true; });
    ASSERT_NE(nullptr, box);
    HWND hwnd = box->GetHWND();
    EXPECT_EQ(L"The emulator could not be installed.", textOf(hwnd, L"descriptlabel"));
    EXPECT_EQ(L"Error", textOf(hwnd, L"titlelabel"));
    // Inside the modal loop: the owner is disabled; "Cancel" closes and ends the run.
    bool ownerDisabledInside = false;
    postToUiThread([&] {
        ownerDisabledInside = !IsWindowEnabled(ownerWindow());
        click(hwnd, L"btnRight");
    });
    OvDownloaderErrorBox::runModal(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(ownerDisabledInside);
    EXPECT_TRUE(IsWindowEnabled(ownerWindow()));
    pump.settle();
    EXPECT_TRUE(pump.quitSeen);  // the quit request was handed on to the outer loop
    DownloaderModel::destroyInstance();
}

TEST_F(Boxes, ErrorBoxKeepsTheLayoutTextWithoutServerText) {
    DownloaderModel::instance()->installErrorText.clear();
    OvDownloaderErrorBox* box = OvDownloaderErrorBox::create(ownerWindow(), 0, nullptr);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(DuiLib::textFor(L"install_error_tip2"), textOf(box->GetHWND(), L"descriptlabel"));
    box->Close(1);
    ASSERT_TRUE(waitGone(L"downloadErrorBox"));
    DownloaderModel::destroyInstance();
}

}  // namespace
