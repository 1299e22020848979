// Layouts built from markup: the tree, attributes in document order, the
// layout rule (fixed, shared, limits, padding, alignment, floating), tab
// pages, hidden subtrees, fonts and includes.
#include <gtest/gtest.h>

#include <memory>

#include "skin/ButtonUI.h"
#include "skin/ComboUI.h"
#include "skin/ContainerUI.h"
#include "skin/DialogBuilder.h"
#include "skin/PaintManager.h"
#include "skin/SkinPackage.h"

using namespace DuiLib;

namespace {

// A paint manager without a window, with a tree built from markup.
class Layout : public testing::Test {
protected:
    CControlUI* build(const std::wstring& xml, RECT rc = {0, 0, 640, 400}) {
        CDialogBuilder builder;
        CControlUI* root = builder.CreateFromText(xml, nullptr, &pm);
        error = builder.GetLastErrorMessage();
        location = builder.GetLastErrorLocation();
        if (!root) return nullptr;
        pm.AttachDialog(root);
        root->SetPos(rc);
        return root;
    }
    CControlUI* find(const wchar_t* name) { return pm.FindControl(name); }
    RECT pos(const wchar_t* name) {
        CControlUI* c = find(name);
        EXPECT_NE(nullptr, c) << testing::PrintToString(name);
        return c ? c->GetPos() : RECT{-1, -1, -1, -1};
    }

    CPaintManagerUI pm;
    std::wstring error, location;
};

std::string str(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

#define EXPECT_RECT(expected, actual) EXPECT_EQ(expected, str(actual))

TEST_F(Layout, FloatingControlsSitAtTheirPosition) {
    ASSERT_TRUE(
        build(L"<Window size='640,400'><VerticalLayout inset='7,7,7,7'>"
              L"<Control height='30'/>"
              L"<Button name='b' float='true' pos='240,80,0,0' width='160' height='44'/>"
              L"<VerticalLayout name='inner' padding='20,50,0,0'>"
              L"  <Label name='l' float='true' pos='10,5,60,25'/>"
              L"</VerticalLayout></VerticalLayout></Window>",
              RECT{100, 200, 740, 600}));
    EXPECT_RECT("340,280,500,324", pos(L"b"));  // relative to the parent's corner, not its inset
    EXPECT_RECT("127,287,733,593", pos(L"inner"));
    EXPECT_RECT("137,292,187,312", pos(L"l"));
}

TEST_F(Layout, VerticalFlowFixedSharedAndLimits) {
    ASSERT_TRUE(
        build(L"<Window><VerticalLayout name='v' inset='5,5,5,5' childpadding='10'>"
              L"<Control name='a' height='50'/>"
              L"<Control name='b' maxheight='30'/>"
              L"<Control name='c'/>"
              L"<Control name='d' height='5' minheight='20'/>"
              L"</VerticalLayout></Window>",
              RECT{0, 0, 200, 331}));
    // inner 190 x 321; fixed 50 + 20 + 3 gaps of 10 -> 221 shared by b and c.
    EXPECT_RECT("5,5,195,55", pos(L"a"));
    EXPECT_RECT("5,65,195,95", pos(L"b"));    // its share is capped at 30
    EXPECT_RECT("5,105,195,296", pos(L"c"));  // the last shared child takes the rest: 191
    EXPECT_RECT("5,306,195,326", pos(L"d"));  // raised to its minimum
}

TEST_F(Layout, RemainderGoesToTheLastSharedChild) {
    ASSERT_TRUE(
        build(L"<Window><HorizontalLayout><Control name='a'/><Control name='b'/><Control name='c'/>"
              L"</HorizontalLayout></Window>",
              RECT{0, 0, 100, 10}));
    EXPECT_RECT("0,0,33,10", pos(L"a"));
    EXPECT_RECT("33,0,66,10", pos(L"b"));
    EXPECT_RECT("66,0,100,10", pos(L"c"));
}

TEST_F(Layout, PaddingAndChildAlign) {
    const struct {
        const wchar_t* align;
        const char* expected;
    } cases[] = {
        {L"", "13,24,63,34"},
        {L"childalign='center'", "74,24,124,34"},
        {L"childalign='right'", "135,24,185,34"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(build(std::wstring(L"<Window><VerticalLayout inset='10,20,10,0' ") + c.align +
                              L"><Control name='x' width='50' height='10' padding='3,4,5,6'/>"
                              L"<Control name='y' height='10'/></VerticalLayout></Window>",
                          RECT{0, 0, 200, 100}));
        EXPECT_RECT(c.expected, pos(L"x")) << testing::PrintToString(c.align);
        EXPECT_RECT("10,40,190,50", pos(L"y"));  // after x's bottom padding, full width
    }
}

TEST_F(Layout, HorizontalChildVAlignAndWidthLimits) {
    ASSERT_TRUE(
        build(L"<Window><HorizontalLayout childvalign='vcenter' childpadding='4'>"
              L"<Control name='a' width='20' height='10'/>"
              L"<Control name='b' minwidth='150'/>"
              L"<Control name='c' maxheight='40'/>"
              L"</HorizontalLayout></Window>",
              RECT{0, 0, 300, 100}));
    EXPECT_RECT("0,45,20,55", pos(L"a"));
    EXPECT_RECT("24,0,174,100", pos(L"b"));  // its share (136) is raised to 150
    EXPECT_RECT("178,30,300,70", pos(L"c"));
}

TEST_F(Layout, HiddenSubtreesTakeNoSpaceAndAreNotHit) {
    ASSERT_TRUE(
        build(L"<Window><VerticalLayout name='root'>"
              L"<HorizontalLayout name='hidden' height='50' visible='false'><Button "
              L"name='inner'/></HorizontalLayout>"
              L"<Control name='after' height='20'/>"
              L"<Control name='nomouse' height='20' mouse='false'/>"
              L"</VerticalLayout></Window>",
              RECT{0, 0, 100, 100}));
    EXPECT_RECT("0,0,100,20", pos(L"after"));
    EXPECT_FALSE(find(L"inner")->IsVisible());
    EXPECT_EQ(find(L"after"), pm.FindControl(POINT{5, 5}));
    EXPECT_EQ(find(L"root"), pm.FindControl(POINT{5, 25}));  // falls through a control that ignores the mouse

    find(L"hidden")->SetVisible(true);
    EXPECT_TRUE(find(L"inner")->IsVisible());
    pm.GetRoot()->SetPos(RECT{0, 0, 100, 100});
    EXPECT_RECT("0,50,100,70", pos(L"after"));
    EXPECT_EQ(find(L"inner"), pm.FindControl(POINT{5, 5}));
}

class NotifyLog : public INotifyUI {
public:
    void Notify(TNotifyUI& msg) override {
        log += msg.sType + L"(" + std::to_wstring(msg.wParam) + L"," + std::to_wstring(msg.lParam) + L") ";
    }
    std::wstring log;
};

TEST_F(Layout, TabLayoutShowsOnePage) {
    ASSERT_TRUE(
        build(L"<Window><TabLayout name='tab' selectedid='1' inset='2,2,2,2'>"
              L"<VerticalLayout name='p0'><Button name='b0'/></VerticalLayout>"
              L"<VerticalLayout name='p1'><Button name='b1'/></VerticalLayout>"
              L"<VerticalLayout name='p2' padding='1,1,1,1'/>"
              L"</TabLayout></Window>",
              RECT{0, 0, 100, 50}));
    auto* tab = static_cast<CTabLayoutUI*>(find(L"tab"));
    EXPECT_EQ(1, tab->GetCurSel());
    EXPECT_FALSE(find(L"b0")->IsVisible());
    EXPECT_TRUE(find(L"b1")->IsVisible());
    EXPECT_RECT("2,2,98,48", pos(L"p1"));
    EXPECT_RECT("3,3,97,47", pos(L"p2"));  // every page gets the whole area

    NotifyLog log;
    pm.AddNotifier(&log);
    EXPECT_TRUE(tab->SelectItem(2));
    EXPECT_FALSE(tab->SelectItem(3));
    tab->SelectItem(0, false);
    EXPECT_EQ(L"tabselect(2,1) ", log.log);
    EXPECT_TRUE(find(L"b0")->IsVisible());
    EXPECT_FALSE(find(L"p2")->IsVisible());
}

TEST_F(Layout, AttributesInDocumentOrderAfterDefaults) {
    ASSERT_TRUE(build(
        L"<Window>"
        L"<Default name='Button' value='width=&quot;33&quot; height=&quot;11&quot; text=&quot;d&quot;'/>"
        L"<VerticalLayout>"
        L"<Button name='b' height='22'/>"
        L"<Control name='twice' width='10' width='20' unknown='1'/>"
        L"<Control name='pos' pos='1,2,-1,0' width='7' pos='3,4,13,10'/>"
        L"<Foo><Button name='inside-unknown'/></Foo>"
        L"</VerticalLayout></Window>"));
    CControlUI* b = find(L"b");
    EXPECT_EQ(33, b->GetFixedWidth());
    EXPECT_EQ(22, b->GetFixedHeight());
    EXPECT_EQ(L"d", b->GetText());
    EXPECT_EQ(20, find(L"twice")->GetFixedWidth());
    EXPECT_EQ(10, find(L"pos")->GetFixedWidth());  // the later pos wins
    EXPECT_EQ(6, find(L"pos")->GetFixedHeight());
    EXPECT_EQ(nullptr, find(L"inside-unknown"));
}

TEST_F(Layout, WindowAttributes) {
    ASSERT_TRUE(
        build(L"<WINDOW Size='640,400' caption='0,0,220,180' MININFO='600,400' "
              L"layeredimage=\"file='shadow.png' corner='26,22,26,30'\" defaultfontcolor='#FF112233' "
              L"brand='orvane'><Control/></WINDOW>"));
    EXPECT_EQ(640, pm.GetInitSize().cx);
    EXPECT_EQ(180, pm.GetCaptionRect().bottom);
    EXPECT_EQ(220, pm.GetCaptionRect().right);
    EXPECT_EQ(600, pm.GetMinInfo().cx);
    EXPECT_TRUE(pm.IsLayered());
    EXPECT_EQ(0xFF112233u, pm.GetDefaultFontColor());
    EXPECT_EQ(L"orvane", pm.GetWindowCustomAttribute(L"brand"));
}

int fontHeight(HFONT font) {
    LOGFONTW lf = {};
    GetObjectW(font, sizeof lf, &lf);
    return lf.lfHeight;
}

TEST_F(Layout, FontTablesOwnBeforeShared) {
    ASSERT_TRUE(build(
        L"<Window><Font id='0' name='Tahoma' size='13' default='true'/>"
        L"<Font id='2' name='Tahoma' size='10'/><Font id='5' name='Tahoma' size='40' bold='true'/>"
        L"<Font name='Tahoma' size='99'/><Font id='-3' name='Tahoma' size='98'/><Font id='6' size='97'/>"
        L"<Control/></Window>"));
    CPaintManagerUI other;
    pm.AddFont(2, L"Tahoma", 30, false, false, false, true);
    pm.AddFont(3, L"Tahoma", 31, false, false, false, true);
    EXPECT_EQ(-10, fontHeight(pm.GetFont(2)));  // own first
    EXPECT_EQ(-30, fontHeight(other.GetFont(2)));
    EXPECT_EQ(-31, fontHeight(pm.GetFont(3)));
    EXPECT_EQ(-13, fontHeight(pm.GetFont(-1)));
    EXPECT_EQ(-13, fontHeight(pm.GetFont(77)));     // unknown id: the default font
    EXPECT_EQ(pm.GetDefaultFont(), pm.GetFont(6));  // a font without a name was ignored
    LOGFONTW lf = {};
    GetObjectW(pm.GetFont(5), sizeof lf, &lf);
    EXPECT_GE(lf.lfWeight, FW_BOLD);
    pm.AddFont(3, L"Tahoma", 44, false, false, false, true);  // replaces the shared font for everyone
    EXPECT_EQ(-44, fontHeight(other.GetFont(3)));
    CPaintManagerUI::RemoveSharedFonts();
}

TEST_F(Layout, IncludesRegisterAndBuildIntoTheParent) {
    std::string inc =
        "<ScrollbarConfig><Default name='Label' value='height=\"17\"'/>"
        "<Image name='bar.bmp' mask='#FFFF00FF'/><Label name='fromInclude'/></ScrollbarConfig>";
    storeSkinFile(L"inc.xml", reinterpret_cast<const unsigned char*>(inc.data()), inc.size());
    ASSERT_TRUE(
        build(L"<Window><VerticalLayout name='v'><Include source='inc.xml' count='2'/><Label name='after'/>"
              L"</VerticalLayout></Window>"));
    auto* v = static_cast<CContainerUI*>(find(L"v"));
    ASSERT_EQ(3, v->GetCount());
    EXPECT_EQ(L"fromInclude", v->GetItemAt(1)->GetName());
    EXPECT_EQ(17, find(L"after")->GetFixedHeight());
    clearSkinStore();
}

TEST_F(Layout, MalformedLayoutGivesMessageAndLocation) {
    EXPECT_EQ(nullptr, build(L"<Window>\n<VerticalLayout>\n<Button text='x'>\n</VerticalLayout></Window>"));
    EXPECT_EQ(L"Unmatched closing tag", error);
    EXPECT_EQ(L"line 4, column 1", location);
    CDialogBuilder builder;
    EXPECT_EQ(nullptr, builder.Create(L"no-such-layout.xml", L"", nullptr, &pm));
    EXPECT_FALSE(builder.GetLastErrorMessage().empty());
}

TEST_F(Layout, ComboItemsAndSelection) {
    ASSERT_TRUE(
        build(L"<Window><VerticalLayout><Combo name='c' height='30'>"
              L"<ListLabelElement text='en_US'/><ListLabelElement "
              L"text='ko_KR'/></Combo></VerticalLayout></Window>"));
    auto* combo = static_cast<CComboUI*>(find(L"c"));
    NotifyLog log;
    pm.AddNotifier(&log);
    EXPECT_EQ(L"ko_KR", combo->GetItemAt(1)->GetText());
    EXPECT_TRUE(combo->SelectItem(1));
    EXPECT_FALSE(combo->SelectItem(1));
    EXPECT_TRUE(combo->SelectItem(0));
    EXPECT_EQ(L"itemselect(1,-1) itemselect(0,1) ", log.log);
    EXPECT_EQ(L"en_US", combo->GetText());
}

}  // namespace
