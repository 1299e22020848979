#include "skin/RenderEngine.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "common/Handle.h"
#include "skin/PaintManager.h"
#include "skin/StringTable.h"
#include "skin/TextMarkup.h"

namespace DuiLib {
namespace {

// Direct access to the pixels of the bitmap selected into a DC.
struct Dib {
    DWORD* bits = nullptr;
    int width = 0;
    int height = 0;
    bool topDown = false;

    explicit Dib(HDC dc) {
        GdiFlush();  // pending GDI output must land before we touch pixels
        HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        DIBSECTION ds;
        if (!bitmap || GetObjectW(bitmap, sizeof ds, &ds) != sizeof ds) return;
        if (ds.dsBm.bmBitsPixel != 32 || !ds.dsBm.bmBits) return;
        bits = static_cast<DWORD*>(ds.dsBm.bmBits);
        width = ds.dsBm.bmWidth;
        height = ds.dsBmih.biHeight < 0 ? -ds.dsBmih.biHeight : ds.dsBmih.biHeight;
        topDown = ds.dsBmih.biHeight < 0;
    }
    bool valid() const { return bits != nullptr; }
    DWORD* row(int y) const { return bits + static_cast<size_t>(topDown ? y : height - 1 - y) * width; }
    RECT bounds() const { return RECT{0, 0, width, height}; }
};

RECT intersect(const RECT& a, const RECT& b) {
    RECT r;
    if (!IntersectRect(&r, &a, &b)) return RECT{0, 0, 0, 0};
    return r;
}

bool isEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

DWORD scaled(DWORD c, unsigned f) {
    DWORD a = ((c >> 24) * f + 127) / 255, r = (((c >> 16) & 0xFF) * f + 127) / 255;
    DWORD g = (((c >> 8) & 0xFF) * f + 127) / 255, b = ((c & 0xFF) * f + 127) / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// Source-over for premultiplied pixels.
void blendOver(DWORD& d, DWORD s) {
    unsigned a = s >> 24;
    if (a == 255) {
        d = s;
        return;
    }
    if (a == 0 && (s & 0xFFFFFF) == 0) return;
    unsigned inv = 255 - a;
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        unsigned v = ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * inv + 127) / 255;
        out |= static_cast<DWORD>(v > 255 ? 255 : v) << shift;
    }
    d = out;
}

DWORD premultiply(DWORD argb) {
    return scaled(argb | 0xFF000000, argb >> 24);
}

int sourceIndex(int offset, int sourceSize, int destSize, bool tiled) {
    if (tiled) return offset % sourceSize;
    return static_cast<int>(static_cast<long long>(offset) * sourceSize / destSize);
}

void blitPart(const Dib& dib, const RECT& clip, const SkinImage& img, const RECT& dst, const RECT& src,
              BYTE fade, bool xtiled, bool ytiled) {
    int sw = src.right - src.left, sh = src.bottom - src.top;
    int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
    RECT d = intersect(intersect(dst, clip), dib.bounds());
    for (int y = d.top; y < d.bottom; ++y) {
        int sy = src.top + sourceIndex(y - dst.top, sh, dh, ytiled);
        DWORD* out = dib.row(y);
        const DWORD* in = img.pixels.data() + static_cast<size_t>(sy) * img.width;
        for (int x = d.left; x < d.right; ++x) {
            DWORD s = in[src.left + sourceIndex(x - dst.left, sw, dw, xtiled)];
            blendOver(out[x], fade == 255 ? s : scaled(s, fade));
        }
    }
}

// Keeps the canvas alpha of an area across GDI text output, which would
// otherwise leave the touched pixels transparent.
class AlphaKeeper {
public:
    AlphaKeeper(HDC dc, const RECT& area) : dib_(dc) {
        if (!dib_.valid()) return;
        area_ = intersect(area, dib_.bounds());
        for (int y = area_.top; y < area_.bottom; ++y)
            for (int x = area_.left; x < area_.right; ++x)
                saved_.push_back(static_cast<BYTE>(dib_.row(y)[x] >> 24));
    }
    ~AlphaKeeper() {
        if (!dib_.valid()) return;
        GdiFlush();
        size_t i = 0;
        for (int y = area_.top; y < area_.bottom; ++y) {
            DWORD* row = dib_.row(y);
            for (int x = area_.left; x < area_.right; ++x)
                row[x] = (row[x] & 0x00FFFFFF) | (DWORD(saved_[i++]) << 24);
        }
    }

private:
    Dib dib_;
    RECT area_ = {0, 0, 0, 0};
    std::vector<BYTE> saved_;
};

// Selects a font, text colour and clip for GDI text and undoes it after.
class TextScope {
public:
    TextScope(HDC dc, const RECT& clip) : dc_(dc), saved_(SaveDC(dc)) {
        IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
        SetBkMode(dc, TRANSPARENT);
    }
    ~TextScope() { RestoreDC(dc_, saved_); }

private:
    HDC dc_;
    int saved_;
};

COLORREF colorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

HFONT fontOf(CPaintManagerUI* manager, int id) {
    HFONT font = manager ? manager->GetFont(id) : nullptr;
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    // Bottom-up: Wine reports a top-down section's height as positive, so
    // only this orientation reads back the same everywhere.
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_ || width <= 0 || height <= 0) return;
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) return;
    oldBitmap_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<DWORD*>(bits);
    clear(0);
}

Canvas::~Canvas() {
    if (dc_ && oldBitmap_) SelectObject(dc_, oldBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

DWORD Canvas::pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    GdiFlush();
    return bits_[static_cast<size_t>(height_ - 1 - y) * width_ + x];
}

void Canvas::clear(DWORD argb) {
    if (!bits_) return;
    GdiFlush();
    std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, premultiply(argb));
}

namespace render {

void fillColor(HDC dc, const RECT& rc, const RECT& clip, DWORD argb) {
    Dib dib(dc);
    if (!dib.valid() || (argb >> 24) == 0) return;
    RECT d = intersect(intersect(rc, clip), dib.bounds());
    DWORD s = premultiply(argb);
    for (int y = d.top; y < d.bottom; ++y) {
        DWORD* row = dib.row(y);
        for (int x = d.left; x < d.right; ++x) blendOver(row[x], s);
    }
}

void drawBorder(HDC dc, const RECT& rc, const RECT& clip, const RECT& w, DWORD argb) {
    fillColor(dc, RECT{rc.left, rc.top, rc.right, rc.top + w.top}, clip, argb);
    fillColor(dc, RECT{rc.left, rc.bottom - w.bottom, rc.right, rc.bottom}, clip, argb);
    fillColor(dc, RECT{rc.left, rc.top + w.top, rc.left + w.left, rc.bottom - w.bottom}, clip, argb);
    fillColor(dc, RECT{rc.right - w.right, rc.top + w.top, rc.right, rc.bottom - w.bottom}, clip, argb);
}

void drawImagePart(HDC dc, const RECT& clip, const SkinImage& image, RECT dest, RECT source,
                   const RECT& corner, BYTE fade, bool hole, bool xtiled, bool ytiled) {
    Dib dib(dc);
    if (!dib.valid() || image.pixels.empty()) return;
    if (source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0)
        source = RECT{0, 0, image.width, image.height};
    source = intersect(source, RECT{0, 0, image.width, image.height});
    if (isEmpty(source) || isEmpty(dest)) return;
    bool nine = corner.left || corner.top || corner.right || corner.bottom;
    if (!nine) {
        blitPart(dib, clip, image, dest, source, fade, xtiled, ytiled);
        return;
    }
    // Column and row edges of the nine parts, in the image and on the canvas.
    int sx[4] = {source.left, source.left + corner.left, source.right - corner.right, source.right};
    int sy[4] = {source.top, source.top + corner.top, source.bottom - corner.bottom, source.bottom};
    int dx[4] = {dest.left, dest.left + corner.left, dest.right - corner.right, dest.right};
    int dy[4] = {dest.top, dest.top + corner.top, dest.bottom - corner.bottom, dest.bottom};
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            if (hole && i == 1 && j == 1) continue;
            RECT s = {sx[i], sy[j], sx[i + 1], sy[j + 1]};
            RECT d = {dx[i], dy[j], dx[i + 1], dy[j + 1]};
            blitPart(dib, clip, image, d, s, fade, xtiled && i == 1, ytiled && j == 1);
        }
    }
}

bool drawImage(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& clip, TDrawInfo& info) {
    if (info.sDrawString.empty()) return false;
    if (!info.parsed) {
        info.attr = parseImageString(info.sDrawString);
        info.parsed = true;
    }
    const ImageAttributes& a = info.attr;
    RECT dest = item;
    if (a.hasDest) {
        dest = RECT{item.left + a.dest.left, item.top + a.dest.top, item.left + a.dest.right,
                    item.top + a.dest.bottom};
        dest = intersect(dest, item);
    }
    RECT area = intersect(clip, item);
    if (a.hasColor) {
        fillColor(dc, dest, area, a.color);
        return true;
    }
    if (!info.loaded) {
        const std::wstring& name = a.res.empty() ? a.file : a.res;
        info.image = manager ? manager->GetImage(name, a.restype, a.hasMask, a.mask)
                             : loadSkinImage(name, a.restype, a.hasMask, a.mask);
        info.loaded = true;
    }
    if (!info.image) return false;
    drawImagePart(dc, area, *info.image, dest, a.source, a.corner, a.fade, a.hole, a.xtiled, a.ytiled);
    return true;
}

void drawText(HDC dc, CPaintManagerUI* manager, const RECT& rc, const RECT& clip, const std::wstring& text,
              DWORD argb, int font, UINT style) {
    std::wstring shown = resolveTextId(text);
    RECT area = intersect(rc, clip);
    if (shown.empty() || isEmpty(area)) return;
    AlphaKeeper alpha(dc, area);
    TextScope scope(dc, area);
    SelectObject(dc, fontOf(manager, font));
    SetTextColor(dc, colorRef(argb));
    RECT r = rc;
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r, style | DT_NOPREFIX);
}

namespace {

// A measured piece of markup text on one line.
struct Piece {
    std::wstring text;
    HFONT font;
    COLORREF color;
    int x = 0;  // relative to the line start
    int width = 0;
    int ascent = 0;
};

struct Line {
    std::vector<Piece> pieces;
    int width = 0;
    int ascent = 0;
    int height = 0;
};

// Fonts of the styled runs, made for one drawing and deleted after it.
class RunFonts {
public:
    RunFonts(CPaintManagerUI* manager, int baseFont) : manager_(manager), baseFont_(baseFont) {}

    HFONT fontFor(const MarkupRun& run) {
        HFONT base = fontOf(manager_, run.font >= 0 ? run.font : baseFont_);
        bool underline = run.underline || run.link;
        if (!run.bold && !run.italic && !underline) return base;
        LOGFONTW lf;
        GetObjectW(base, sizeof lf, &lf);
        if (run.bold) lf.lfWeight = FW_BOLD;
        if (run.italic) lf.lfItalic = TRUE;
        if (underline) lf.lfUnderline = TRUE;
        made_.emplace_back(CreateFontIndirectW(&lf));
        return made_.back().get() ? made_.back().get() : base;
    }

private:
    CPaintManagerUI* manager_;
    int baseFont_;
    std::vector<common::GdiObject<HFONT>> made_;
};

void measure(HDC dc, Piece& piece) {
    SelectObject(dc, piece.font);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, piece.text.c_str(), static_cast<int>(piece.text.size()), &size);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    piece.width = size.cx;
    piece.ascent = tm.tmAscent;
}

void addPiece(HDC dc, Line& line, Piece piece) {
    TEXTMETRICW tm;
    SelectObject(dc, piece.font);
    GetTextMetricsW(dc, &tm);
    piece.x = line.width;
    line.width += piece.width;
    line.ascent = std::max<int>(line.ascent, tm.tmAscent);
    line.height = std::max<int>(line.height, tm.tmHeight);
    line.pieces.push_back(std::move(piece));
}

// Splits text into words that keep their trailing blanks.
std::vector<std::wstring> words(const std::wstring& text) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L' ', start);
        end = end == std::wstring::npos ? text.size() : text.find_first_not_of(L' ', end);
        if (end == std::wstring::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

std::vector<Line> layoutRuns(HDC dc, const std::vector<MarkupRun>& runs, RunFonts& fonts, DWORD argb,
                             DWORD linkColor, int maxWidth, bool wrap, HFONT baseFont) {
    std::vector<Line> lines(1);
    for (const MarkupRun& run : runs) {
        if (run.newline) {
            lines.emplace_back();
            continue;
        }
        lines.back().width += run.xOffset;
        Piece proto;
        proto.font = fonts.fontFor(run);
        proto.color = run.hasColor ? RGB((run.color >> 16) & 0xFF, (run.color >> 8) & 0xFF, run.color & 0xFF)
                                   : colorRef(run.link ? linkColor : argb);
        std::vector<std::wstring> parts = wrap ? words(run.text) : std::vector<std::wstring>{run.text};
        for (const std::wstring& part : parts) {
            Piece piece = proto;
            piece.text = part;
            measure(dc, piece);
            if (wrap && !lines.back().pieces.empty() && lines.back().width + piece.width > maxWidth)
                lines.emplace_back();
            addPiece(dc, lines.back(), std::move(piece));
        }
    }
    TEXTMETRICW tm;
    SelectObject(dc, baseFont);
    GetTextMetricsW(dc, &tm);
    for (Line& line : lines) {
        if (line.height == 0) {
            line.height = tm.tmHeight;
            line.ascent = tm.tmAscent;
        }
    }
    return lines;
}

}  // namespace

void drawMarkupText(HDC dc, CPaintManagerUI* manager, const RECT& rc, const RECT& clip,
                    const std::wstring& text, DWORD argb, int font, UINT style) {
    std::wstring shown = resolveTextId(text);
    RECT area = intersect(rc, clip);
    if (shown.empty() || isEmpty(area)) return;
    AlphaKeeper alpha(dc, area);
    TextScope scope(dc, area);
    RunFonts fonts(manager, font);
    DWORD linkColor = manager ? manager->GetDefaultLinkFontColor() : 0xFF0000FF;
    bool wrap = (style & DT_WORDBREAK) && !(style & DT_SINGLELINE);
    std::vector<Line> lines = layoutRuns(dc, parseTextMarkup(shown), fonts, argb, linkColor,
                                         rc.right - rc.left, wrap, fontOf(manager, font));
    int total = 0;
    for (const Line& line : lines) total += line.height;
    int y = rc.top;
    if (style & DT_VCENTER) y = rc.top + (rc.bottom - rc.top - total) / 2;
    if (style & DT_BOTTOM) y = rc.bottom - total;
    for (const Line& line : lines) {
        int x = rc.left;
        if (style & DT_CENTER) x = rc.left + (rc.right - rc.left - line.width) / 2;
        if (style & DT_RIGHT) x = rc.right - line.width;
        for (const Piece& piece : line.pieces) {
            SelectObject(dc, piece.font);
            SetTextColor(dc, piece.color);
            TextOutW(dc, x + piece.x, y + line.ascent - piece.ascent, piece.text.c_str(),
                     static_cast<int>(piece.text.size()));
        }
        y += line.height;
    }
}

}  // namespace render
}  // namespace DuiLib
