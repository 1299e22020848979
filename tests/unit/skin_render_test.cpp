// Drawing controls into an off-screen canvas and probing its pixels: image
// strings (nine-patch, source, dest, mask, fade, hole, tiling), undecodable
// images, state images, text markup colours and "@id" texts.
#include <gtest/gtest.h>

#include <memory>

#include "skin/ButtonUI.h"
#include "skin/DialogBuilder.h"
#include "skin/ImageString.h"
#include "skin/PaintManager.h"
#include "skin/SkinPackage.h"
#include "skin/StringTable.h"
#include "skin/TextMarkup.h"
#include "skin_testdata.h"

using namespace DuiLib;

namespace {

const DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;
const DWORD kGray = 0xFF808080, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kBack = 0xFF203040;

class Render : public testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const wchar_t* name :
             {L"ninepatch.png", L"strip.png", L"masked.png", L"half.png", L"checker.png", L"broken.png"}) {
            std::string bytes = testsupport::readFile(skintest::sourceDataDir() + L"\\images\\" + name);
            storeSkinFile(std::wstring(L"img/") + name, reinterpret_cast<const unsigned char*>(bytes.data()),
                          bytes.size());
        }
    }
    static void TearDownTestSuite() { clearSkinStore(); }

    // Builds `xml` into a canvas of w x h filled with kBack and paints it.
    void paint(const std::wstring& xml, int w, int h) {
        canvas = std::make_unique<Canvas>(w, h);
        ASSERT_TRUE(canvas->valid());
        canvas->clear(kBack);
        CDialogBuilder builder;
        CControlUI* root = builder.CreateFromText(xml, nullptr, &pm);
        ASSERT_NE(nullptr, root) << builder.GetLastErrorMessage();
        pm.AttachDialog(root);
        repaint();
    }
    void repaint() {
        RECT rc = {0, 0, canvas->width(), canvas->height()};
        pm.PaintTo(canvas->dc(), rc);
    }
    DWORD at(int x, int y) const { return canvas->pixel(x, y); }

    CPaintManagerUI pm;
    std::unique_ptr<Canvas> canvas;
};

std::wstring control(const std::wstring& image, int w, int h) {
    return L"<Window><Control bkimage=\"" + image + L"\" width='" + std::to_wstring(w) + L"' height='" +
           std::to_wstring(h) + L"'/></Window>";
}

TEST_F(Render, NinePatchKeepsCornersUnscaled) {
    paint(control(L"file='img/ninepatch.png' corner='10,10,10,10'", 100, 60), 100, 60);
    const struct {
        int x, y;
        DWORD color;
    } probes[] = {
        {0, 0, kRed},   {9, 9, kRed},   {99, 0, kGreen},   {90, 9, kGreen},
        {0, 59, kBlue}, {9, 50, kBlue}, {99, 59, kYellow}, {90, 50, kYellow},
        {50, 5, kGray}, {5, 30, kGray}, {10, 10, kWhite},  {89, 49, kWhite},
    };
    for (const auto& p : probes) EXPECT_EQ(p.color, at(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(Render, HoleLeavesTheCentre) {
    paint(control(L"file='img/ninepatch.png' scale9='10,10,10,10' hole='true'", 100, 60), 100, 60);
    EXPECT_EQ(kRed, at(0, 0));
    EXPECT_EQ(kGray, at(50, 5));
    EXPECT_EQ(kBack, at(50, 30));
}

TEST_F(Render, SourceSliceAndDest) {
    paint(
        L"<Window><HorizontalLayout>"
        L"<Control width='20' height='20' bkimage=\"file='img/strip.png' source='20,0,30,10'\"/>"
        L"<Control width='20' height='20' bkimage=\"file='img/strip.png' source='30,0,40,10' "
        L"dest='5,5,15,15'\"/>"
        L"<Control width='20' height='20' bkimage=\"file='img/strip.png'  dest='0,0,4,4'\"/>"
        L"<Control width='20' height='20' bkimage=\"file='img/strip.png'dest='0,0,4,4'\"/>"
        L"</HorizontalLayout></Window>",
        80, 20);
    EXPECT_EQ(kBlue, at(0, 0));
    EXPECT_EQ(kBlue, at(19, 19));
    EXPECT_EQ(kBack, at(24, 24 - 20));  // outside dest
    EXPECT_EQ(kYellow, at(25, 5));
    EXPECT_EQ(kYellow, at(34, 14));
    EXPECT_EQ(kBack, at(35, 15));
    EXPECT_EQ(kRed, at(40, 0));  // two blanks: dest read, whole strip squeezed into 4 x 4
    EXPECT_EQ(kBack, at(45, 5));
    EXPECT_EQ(kRed, at(60, 0));  // no blank: only the file read, drawn over the whole control
    EXPECT_EQ(kYellow, at(79, 19));
}

TEST_F(Render, MaskFadeAndAlphaBlend) {
    paint(
        L"<Window><HorizontalLayout>"
        L"<Control width='10' height='10' bkimage=\"file='img/masked.png' mask='#FFFF00FF'\"/>"
        L"<Control width='10' height='10' bkimage=\"file='img/masked.png' mask='0xFF00FF'\"/>"
        L"<Control width='10' height='10' bkimage='img/masked.png'/>"
        L"<Control width='10' height='10' bkcolor='#FFFFFFFF' bkimage=\"file='img/half.png'\"/>"
        L"<Control width='10' height='10' bkcolor='#FF000000' bkimage=\"file='img/strip.png' "
        L"source='0,0,10,10' "
        L"fade='128'\"/>"
        L"</HorizontalLayout></Window>",
        50, 10);
    EXPECT_EQ(kBack, at(0, 0));
    EXPECT_EQ(kBlack, at(5, 5));
    EXPECT_EQ(kBack, at(10, 0));
    EXPECT_EQ(0xFFFF00FFu, at(20, 0));               // no mask: magenta drawn
    EXPECT_EQ(0xFFFF7F7Fu, at(35, 5) | 0x00000101);  // half red over white
    DWORD faded = at(45, 5);
    EXPECT_NEAR(128, static_cast<int>((faded >> 16) & 0xFF), 2);
    EXPECT_EQ(0u, faded & 0xFFFF);
}

TEST_F(Render, TilingRepeatsInsteadOfStretching) {
    paint(
        L"<Window><VerticalLayout>"
        L"<Control height='1' bkimage=\"file='img/checker.png' xtiled='true'\"/>"
        L"<Control height='1' bkimage=\"file='img/checker.png'\"/>"
        L"</VerticalLayout></Window>",
        8, 2);
    EXPECT_EQ(kRed, at(2, 0));
    EXPECT_EQ(kBlue, at(3, 0));
    EXPECT_EQ(kRed, at(2, 1));  // stretched: left half red
    EXPECT_EQ(kBlue, at(5, 1));
}

TEST_F(Render, MissingAndUndecodableImagesDrawNothing) {
    paint(
        L"<Window><HorizontalLayout>"
        L"<Control width='10' height='10' bkimage='img/broken.png'/>"
        L"<Control width='10' height='10' bkimage='img/nothere.png'/>"
        L"<Control width='10' height='10' bkimage=\"color='#FF00FF00'\"/>"
        L"</HorizontalLayout></Window>",
        30, 10);
    EXPECT_EQ(kBack, at(5, 5));
    EXPECT_EQ(kBack, at(15, 5));
    EXPECT_EQ(kGreen, at(25, 5));
}

TEST_F(Render, ButtonStatesPickTheirSlices) {
    paint(
        L"<Window><VerticalLayout><Button name='b' width='10' height='10' "
        L"normalimage=\"file='img/strip.png' source='0,0,10,10'\" hotimage=\"file='img/strip.png' "
        L"source='10,0,20,10'\" "
        L"pushedimage=\"file='img/strip.png' source='20,0,30,10'\" disabledimage=\"file='img/strip.png' "
        L"source='30,0,40,10'\"/></VerticalLayout></Window>",
        10, 10);
    auto* b = static_cast<CButtonUI*>(pm.FindControl(L"b"));
    EXPECT_EQ(kRed, at(5, 5));
    TEventUI e;
    e.ptMouse = POINT{5, 5};
    e.Type = UIEVENT_MOUSEENTER;
    b->Event(e);
    repaint();
    EXPECT_EQ(kGreen, at(5, 5));
    e.Type = UIEVENT_BUTTONDOWN;
    b->Event(e);
    repaint();
    EXPECT_EQ(kBlue, at(5, 5));
    e.Type = UIEVENT_BUTTONUP;
    b->Event(e);
    b->SetEnabled(false);
    repaint();
    EXPECT_EQ(kYellow, at(5, 5));
}

// Horizontal extent of pixels near `color`.
struct Span {
    int first = -1, last = -1;
};

Span spanOf(const Canvas& c, DWORD color, int tolerance) {
    Span s;
    for (int x = 0; x < c.width(); ++x) {
        for (int y = 0; y < c.height(); ++y) {
            DWORD p = c.pixel(x, y);
            bool matches = true;
            for (int shift = 0; shift < 24; shift += 8)
                matches &= std::abs(int((p >> shift) & 0xFF) - int((color >> shift) & 0xFF)) <= tolerance;
            if (!matches) continue;
            if (s.first < 0) s.first = x;
            s.last = x;
        }
    }
    return s;
}

class RenderText : public Render {
protected:
    void label(const std::wstring& text, const std::wstring& extra = L"") {
        paint(
            L"<Window><Font id='1' name='Tahoma' size='28' default='true'/><VerticalLayout "
            L"bkcolor='#FFFFFFFF'>"
            L"<Label name='l' font='1' textcolor='#FF000000' showhtml='true' align='left' " +
                extra + L" text=\"" + text + L"\"/></VerticalLayout></Window>",
            240, 40);
    }
    int redPixels() const {
        int n = 0;
        for (int y = 0; y < canvas->height(); ++y) {
            for (int x = 0; x < canvas->width(); ++x) {
                DWORD p = at(x, y);
                n += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60;
            }
        }
        return n;
    }
    int darkPixels() const {
        int n = 0;
        for (int y = 0; y < canvas->height(); ++y)
            for (int x = 0; x < canvas->width(); ++x) n += (at(x, y) & 0xFFFFFF) < 0x404040;
        return n;
    }
};

TEST_F(RenderText, ColourTagColoursOnlyItsSpan) {
    label(L"WWW&lt;c #268fd6&gt;5%&lt;/c&gt;WWW");
    Span blue = spanOf(*canvas, 0x268fd6, 10);
    Span black = spanOf(*canvas, 0x000000, 10);
    ASSERT_GE(blue.first, 0) << "no pixel in the tag's colour";
    ASSERT_GE(black.first, 0);
    EXPECT_LT(black.first, blue.first);
    EXPECT_GT(black.last, blue.last);
    // "5%" stands between the two runs of W: no black inside the blue span's core.
    Span blueCore = blue;
    int inside = 0;
    for (int x = blueCore.first + 2; x < blueCore.last - 2; ++x)
        for (int y = 0; y < canvas->height(); ++y) inside += (at(x, y) & 0xFFFFFF) == 0;
    EXPECT_EQ(0, inside);
}

TEST_F(RenderText, UnderlineTagUsesTheLabelColour) {
    const wchar_t* red = L"textcolor='#FFFF0000'";
    label(L"license", red);
    int plain = redPixels();
    label(L"&lt;u #666666&gt;license&lt;/u&gt;", red);
    EXPECT_GT(redPixels(), plain + 30);  // the underline, in the label's own colour
    EXPECT_LT(spanOf(*canvas, 0x666666, 8).first, 0);
}

TEST_F(RenderText, AtIdTextsComeFromTheTable) {
    setText(L"render_test_id", L"WWWW");
    label(L"WWWW", L"showhtml='false'");
    int direct = darkPixels();
    label(L"@render_test_id", L"showhtml='false'");
    EXPECT_EQ(direct, darkPixels());
    label(L"@render_test_id");
    EXPECT_EQ(direct, darkPixels());
    label(L"@missing_id", L"showhtml='false'");
    int asWritten = darkPixels();
    label(L"missing_id", L"showhtml='false'");
    EXPECT_GT(asWritten, darkPixels());  // the "@" is drawn too
    clearStringTable();
}

TEST(ImageString, Grammar) {
    const struct {
        const wchar_t* text;
        const wchar_t* file;
        bool hasDest;
        LONG destRight;
        DWORD mask;
    } cases[] = {
        {L"close.png", L"close.png", false, 0, 0},
        {L"  common\\msg_noice48.png ", L"common\\msg_noice48.png", false, 0, 0},
        {L"file='a.png'  dest='0,0,18,18'", L"a.png", true, 18, 0},
        {L"file='a.png'dest='0,0,18,18'", L"a.png", false, 0, 0},
        {L"file = 'a.png' dest= '0,0,9,9' mask='#FFFF00FF'", L"a.png", true, 9, 0xFFFF00FF},
        {L"file='a.png' mask='0xFF00FF' unknown='x' dest='1,1,2,2'", L"a.png", true, 2, 0xFF00FF},
        {L"dest='0,0,5,5' file='b.png' mask='ff00ff'", L"b.png", true, 5, 0xFF00FF},
    };
    for (const auto& c : cases) {
        ImageAttributes a = parseImageString(c.text);
        EXPECT_EQ(c.file, a.file) << testing::PrintToString(c.text);
        EXPECT_EQ(c.hasDest, a.hasDest) << testing::PrintToString(c.text);
        EXPECT_EQ(c.destRight, a.dest.right) << testing::PrintToString(c.text);
        EXPECT_EQ(c.mask, a.mask) << testing::PrintToString(c.text);
    }
    ImageAttributes a =
        parseImageString(L"file='x' scale9='1,2,3,4' fade='300' hole='true' xtiled='true' source='5,6,7,8'");
    EXPECT_EQ(4, a.corner.bottom);
    EXPECT_EQ(255, a.fade);
    EXPECT_TRUE(a.hole && a.xtiled && !a.ytiled);
    EXPECT_EQ(8, a.source.bottom);
}

TEST(TextMarkup, TagsAndPlainText) {
    auto runs =
        parseTextMarkup(L"a<5% {c #268fd6}b{/c}<u #666666>c</u><b><i>d</i></b><n><f 3>e</f><x 7>g<qq><q>");
    ASSERT_EQ(7u, runs.size());
    EXPECT_EQ(L"a<5% ", runs[0].text);
    EXPECT_EQ(L"b", runs[1].text);
    EXPECT_TRUE(runs[1].hasColor);
    EXPECT_EQ(0x268fd6u, runs[1].color);
    EXPECT_TRUE(runs[2].underline);
    EXPECT_FALSE(runs[2].hasColor);
    EXPECT_TRUE(runs[3].bold && runs[3].italic);
    EXPECT_TRUE(runs[4].newline);
    EXPECT_EQ(3, runs[5].font);
    EXPECT_EQ(L"g<qq>", runs[6].text);  // "<qq>" is text; "<q>" is an unknown tag, dropped
    EXPECT_EQ(7, runs[6].xOffset);
    EXPECT_EQ(-1, runs[6].font);
}

}  // namespace
