// Drawing into the engine's 32-bit premultiplied canvases (DIB sections):
// colours and images are blended per pixel; text goes through GDI with the
// canvas alpha kept intact. Every function draws only inside `clip`.
#pragma once

#include <windows.h>

#include <string>

#include "skin/ImageString.h"
#include "skin/SkinImage.h"

namespace DuiLib {

class CPaintManagerUI;

// An image attribute: its string, parsed once, and the image loaded once.
struct TDrawInfo {
    std::wstring sDrawString;
    ImageAttributes attr;
    bool parsed = false;
    bool loaded = false;
    SkinImagePtr image;

    void Set(const std::wstring& text) {
        *this = TDrawInfo();
        sDrawString = text;
    }
    bool IsEmpty() const { return sDrawString.empty(); }
};

// A 32-bit canvas with its own memory DC; what windows paint into and what
// tests draw on.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool valid() const { return bits_ != nullptr; }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    DWORD pixel(int x, int y) const;  // premultiplied 0xAARRGGBB
    void clear(DWORD argb);

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    DWORD* bits_ = nullptr;
};

namespace render {

void fillColor(HDC dc, const RECT& rc, const RECT& clip, DWORD argb);
// Border of per-side widths (l, t, r, b) inside rc.
void drawBorder(HDC dc, const RECT& rc, const RECT& clip, const RECT& widths, DWORD argb);
// Draws an image attribute over the control rectangle `item`; false when
// there was nothing to draw (empty, missing or undecodable image).
bool drawImage(HDC dc, CPaintManagerUI* manager, const RECT& item, const RECT& clip, TDrawInfo& info);
// Draws a decoded image part: `dest` in canvas coordinates, `source` in the
// image (all zero = whole image), with nine-patch corners and tiling.
void drawImagePart(HDC dc, const RECT& clip, const SkinImage& image, RECT dest, RECT source,
                   const RECT& corner, BYTE fade, bool hole, bool xtiled, bool ytiled);
// Plain text with DrawText styles (DT_*). "@id" texts are resolved.
void drawText(HDC dc, CPaintManagerUI* manager, const RECT& rc, const RECT& clip, const std::wstring& text,
              DWORD argb, int font, UINT style);
// Text with the mini-markup; DT_CENTER/DT_RIGHT, DT_VCENTER/DT_BOTTOM,
// DT_SINGLELINE and DT_WORDBREAK are honoured. "@id" texts are resolved.
void drawMarkupText(HDC dc, CPaintManagerUI* manager, const RECT& rc, const RECT& clip,
                    const std::wstring& text, DWORD argb, int font, UINT style);

}  // namespace render
}  // namespace DuiLib
