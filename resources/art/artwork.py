"""The skin's artwork as SVG, one function per image, drawn from one palette.

Change a colour in PALETTE (or a shape below) and rebuild: the build renders
every image with rsvg-convert into the staged skin folder (see
resources/make_resources.py). Images that hold several state slices lay them
out left to right in the order the layouts' "source" rectangles expect.

Run `python3 artwork.py OUTDIR` to write the SVG sources for a look."""

import os
import sys

# The dark theme: the seven theme colours of the skin engine first, then the
# accents the layouts use.
PALETTE = {
    "theme_toolbar": "#16171F",
    "theme_content": "#20203A",
    "theme_panel": "#21212E",
    "theme_navy": "#2E3956",
    "theme_text": "#F5F5F5",
    "theme_text_soft": "#EAEAEB",
    "window_top": "#1B1C27",
    "window_bottom": "#13141B",
    "glow": "#34427A",
    "accent": "#4D8EFF",
    "accent_violet": "#6F6BFF",
    "accent_light": "#8EA8FF",
    "accent_light_hot": "#A6BAFF",
    "accent_light_pushed": "#7691F2",
    "glyph": "#C3C4C7",
    "glyph_dim": "#8A8D99",
    "field": "#141929",
    "field_border": "#4F5156",
    "field_border_hot": "#BCBDBF",
    "field_border_focus": "#6685FE",
    "field_error": "#24141C",
    "error": "#E5484D",
    "error_soft": "#F9DCDC",
    "success": "#2FBF71",
    "warning": "#F4C51C",
    "light_button": "#EAEAEB",
    "light_button_hot": "#F7F7F8",
    "light_button_pushed": "#D3D4D9",
    "disabled": "#30323F",
    "track": "#2A2D3D",
}
P = PALETTE

# Logo type; the build machine has these families (fonts-roboto-unhinted).
LOGO_FONT = "Roboto"


def svg(width, height, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n<defs>{defs}</defs>\n{body}\n</svg>\n')


def linear(gid, stops, x1=0, y1=0, x2=0, y2=1):
    s = "".join(f'<stop offset="{o}" stop-color="{c}" stop-opacity="{a}"/>' for o, c, a in stops)
    return f'<linearGradient id="{gid}" x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}">{s}</linearGradient>'


def radial(gid, stops, cx, cy, r):
    s = "".join(f'<stop offset="{o}" stop-color="{c}" stop-opacity="{a}"/>' for o, c, a in stops)
    return (f'<radialGradient id="{gid}" gradientUnits="userSpaceOnUse" cx="{cx}" cy="{cy}" '
            f'r="{r}">{s}</radialGradient>')


def rrect(x, y, w, h, r, fill, extra=""):
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" ry="{r}" fill="{fill}" {extra}/>'


def ring(x, y, w, h, r, color, opacity=1.0, width=1.0):
    """A stroke that lies fully inside the box (x, y, w, h)."""
    i = width / 2
    return (f'<rect x="{x + i}" y="{y + i}" width="{w - width}" height="{h - width}" rx="{max(r - i, 0)}" '
            f'fill="none" stroke="{color}" stroke-opacity="{opacity}" stroke-width="{width}"/>')


def slices(width, height, states, draw):
    """States side by side: draw(index, state, x) returns the SVG of one slice."""
    body = "".join(draw(i, s, i * width) for i, s in enumerate(states))
    return width * len(states), height, body


# --- the brand mark -------------------------------------------------------------

def mark(x, y, size, gid="markfill"):
    """Rounded tile with an orbit ring and a play triangle. Small sizes get
    bolder strokes so the mark stays crisp at 16 pixels."""
    k = size / 48.0
    small = size <= 20
    defs = linear(gid, [(0, P["accent"], 1), (1, P["accent_violet"], 1)], 0, 0, 1, 1)
    tile = rrect(x, y, size, size, (10 if small else 12) * k, f"url(#{gid})")
    shine = "" if small else rrect(x, y, size, size / 2, 12 * k, "#FFFFFF", 'fill-opacity="0.10"')
    cx, cy = x + 24 * k, y + 24 * k
    r, ring_w = (15 * k, 1.7) if small else (14.5 * k, 3.2 * k)
    circumference = 6.2832 * r
    orbit = (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="none" stroke="#FFFFFF" stroke-width="{ring_w}" '
             f'stroke-dasharray="{circumference * 0.77} {circumference * 0.23}" '
             f'stroke-dashoffset="{-circumference * 0.09}" stroke-linecap="round"/>')
    t = 1.25 if small else 1.0
    play = (f'<path d="M{cx - 4.5 * k * t},{cy - 7.5 * k * t} L{cx + 8 * k * t},{cy} L{cx - 4.5 * k * t},'
            f'{cy + 7.5 * k * t} Z" fill="#FFFFFF" stroke="#FFFFFF" stroke-width="{1.6 * k}" '
            f'stroke-linejoin="round"/>')
    return defs, tile + shine + orbit + play


def logo(width, badge=None):
    defs, tile = mark(0, 8, 48)
    word_x = 62
    word = (f'<text x="{word_x}" y="46" font-family="{LOGO_FONT}" font-weight="500" font-size="38" '
            f'letter-spacing="0.5" fill="{P["theme_text"]}">Orvane</text>')
    extra = ""
    if badge:
        bx = 198
        defs += linear("badge", [(0, P["accent"], 1), (1, P["accent_violet"], 1)], 0, 0, 1, 0)
        extra = (rrect(bx, 17, 34, 30, 9, "url(#badge)") +
                 f'<text x="{bx + 17}" y="40" text-anchor="middle" font-family="{LOGO_FONT}" font-weight="700" '
                 f'font-size="22" fill="#FFFFFF">{badge}</text>')
    content_w = (232 if badge else 190)
    shift = (width - content_w) / 2
    return width, 64, f'<g transform="translate({shift},0)">{tile}{word}{extra}</g>', defs


# --- main window ------------------------------------------------------------------

def root_back():
    w, h = 640, 400
    defs = (linear("base", [(0, P["window_top"], 1), (1, P["window_bottom"], 1)]) +
            radial("glow", [(0, P["glow"], 0.55), (0.55, P["theme_navy"], 0.18), (1, P["theme_navy"], 0)],
                   320, 150, 330) +
            radial("low", [(0, P["theme_content"], 0.9), (1, P["theme_content"], 0)], 600, 420, 260) +
            linear("bar", [(0, "#000000", 0.28), (1, "#000000", 0.12)]))
    orbits = "".join(
        f'<ellipse cx="320" cy="144" rx="{rx}" ry="{rx * 0.42}" fill="none" stroke="#FFFFFF" '
        f'stroke-opacity="{op}" stroke-width="1"/>' for rx, op in ((230, 0.05), (300, 0.035), (380, 0.025)))
    body = (f'<rect width="{w}" height="{h}" fill="url(#base)"/>'
            f'<rect width="{w}" height="{h}" fill="url(#low)"/>'
            f'<rect width="{w}" height="{h}" fill="url(#glow)"/>' + orbits +
            f'<rect width="{w}" height="40" fill="url(#bar)"/>'
            f'<rect y="40" width="{w}" height="1" fill="#FFFFFF" fill-opacity="0.05"/>' +
            ring(0, 0, w, h, 0, "#FFFFFF", 0.09))
    return w, h, body, defs


def titlebar_glyph(kind):
    """36 x 34 title-bar button faces; the hot colours come from the layout."""
    w, h = 36, 34
    cx, cy = 18, 17
    stroke = f'stroke="{P["glyph"]}" stroke-width="1.5" stroke-linecap="round" fill="none"'
    if kind == "min":
        body = f'<line x1="{cx - 6}" y1="{cy + 0.5}" x2="{cx + 6}" y2="{cy + 0.5}" {stroke}/>'
    elif kind == "close":
        body = (f'<line x1="{cx - 5.5}" y1="{cy - 5.5}" x2="{cx + 5.5}" y2="{cy + 5.5}" {stroke}/>'
                f'<line x1="{cx + 5.5}" y1="{cy - 5.5}" x2="{cx - 5.5}" y2="{cy + 5.5}" {stroke}/>')
    else:  # community: two people
        body = (f'<circle cx="{cx - 3}" cy="{cy - 3.5}" r="3" {stroke}/>'
                f'<path d="M{cx - 9},{cy + 7} C{cx - 9},{cy + 1} {cx + 3},{cy + 1} {cx + 3},{cy + 7}" {stroke}/>'
                f'<circle cx="{cx + 5}" cy="{cy - 2.5}" r="2.4" {stroke}/>'
                f'<path d="M{cx + 5.5},{cy + 2.2} C{cx + 8.5},{cy + 2.5} {cx + 9.5},{cy + 4.5} {cx + 9.5},{cy + 7}" '
                f'{stroke}/>')
    return w, h, body, ""


def checkbox(selected):
    w = h = 18
    if selected:
        defs = linear("cb", [(0, P["accent"], 1), (1, P["accent_violet"], 1)], 0, 0, 1, 1)
        body = (rrect(0, 0, w, h, 4.5, "url(#cb)") +
                '<path d="M4.8,9.3 L7.7,12.2 L13.3,6.2" fill="none" stroke="#FFFFFF" stroke-width="2" '
                'stroke-linecap="round" stroke-linejoin="round"/>')
        return w, h, body, defs
    body = rrect(0.75, 0.75, 16.5, 16.5, 4, "#FFFFFF", 'fill-opacity="0.04"') + ring(0, 0, w, h, 4.5,
                                                                                   P["glyph_dim"], 1, 1.5)
    return w, h, body, ""


def chevron(direction):
    w, h = 12, 12
    d = "M4.5,2.5 L8,6 L4.5,9.5" if direction == "right" else "M7.5,2.5 L4,6 L7.5,9.5"
    body = (f'<path d="{d}" fill="none" stroke="{P["accent_light"]}" stroke-width="1.6" '
            f'stroke-linecap="round" stroke-linejoin="round"/>')
    return w, h, body, ""


def primary_button(width, height, radius):
    """Normal, hot, pushed, disabled."""
    looks = [(P["accent"], P["accent_violet"], 1.0), ("#66A0FF", "#8683FF", 1.0),
             ("#3F7AE6", "#5C57E8", 1.0), None]
    defs = ""
    for i, look in enumerate(looks):
        if look:
            defs += linear(f"pb{i}", [(0, look[0], 1), (1, look[1], 1)], 0, 0, 1, 0)

    def draw(i, look, x):
        if not look:
            return rrect(x, 0, width, height, radius, P["disabled"]) + ring(x, 0, width, height, radius, "#FFFFFF",
                                                                           0.06)
        shine = (rrect(x + 1, 1, width - 2, height / 2, radius - 1, "#FFFFFF", 'fill-opacity="0.12"')
                 if i != 2 else "")
        return rrect(x, 0, width, height, radius, f"url(#pb{i})") + shine + ring(x, 0, width, height, radius,
                                                                               "#FFFFFF", 0.14)

    w, h, body = slices(width, height, looks, draw)
    return w, h, body, defs


def progress(kind):
    if kind == "bg":
        w, h = 20, 10
        return w, h, rrect(0, 0, w, h, 5, P["track"]) + ring(0, 0, w, h, 5, "#000000", 0.25), ""
    w, h = 580, 10
    defs = linear("pf", [(0, P["accent"], 1), (1, P["accent_violet"], 1)], 0, 0, 1, 0)
    body = rrect(0, 0, w, h, 5, "url(#pf)") + rrect(0, 0, w, h / 2, 3, "#FFFFFF", 'fill-opacity="0.16"')
    return w, h, body, defs


def edit_frames():
    """The install-folder field: normal, hot, focused (28 x 28 each, corners 4)."""
    borders = [P["field_border"], P["field_border_hot"], P["field_border_focus"]]

    def draw(i, color, x):
        return rrect(x, 0, 28, 28, 4, P["field"]) + ring(x, 0, 28, 28, 4, color, 1, 1)

    w, h, body = slices(28, 28, borders, draw)
    return w, h, body, ""


def error_edit():
    """The field's error frame: a red tint and a 2 px red ring, whose inner
    pixel shows inside the field's own 1 px border."""
    return 10, 10, rrect(0, 0, 10, 10, 3, P["field_error"]) + ring(0, 0, 10, 10, 3, P["error"], 1, 2), ""


def small_button():
    """Secondary buttons of the main window: normal, hot, pushed, disabled."""
    fills = [(P["theme_navy"], 1), ("#3A4870", 1), ("#27314B", 1), (P["disabled"], 1)]

    def draw(i, fill, x):
        return rrect(x, 0, 20, 28, 5, fill[0]) + ring(x, 0, 20, 28, 5, "#FFFFFF", 0.08)

    w, h, body = slices(20, 28, fills, draw)
    return w, h, body, ""


def error_notice():
    return 20, 20, rrect(0, 0, 20, 20, 6, P["error_soft"]), ""


# --- boxes ----------------------------------------------------------------------------

BOX_RADIUS = 8


def box_shadow():
    """The layered boxes' drop shadow: the panel sits 16 px in from the left
    and top and 20 px in from the right and bottom (corners 26,22,26,30)."""
    w, h = 100, 100
    defs = ('<filter id="blur" x="-50%" y="-50%" width="200%" height="200%">'
            '<feGaussianBlur stdDeviation="5"/></filter>')
    body = (rrect(14, 18, w - 32, h - 34, BOX_RADIUS + 3, "#000000", 'fill-opacity="0.8" filter="url(#blur)"') +
            rrect(15, 16, w - 34, h - 34, BOX_RADIUS + 1, "#000000", 'fill-opacity="0.3"'))
    return w, h, body, defs


def box_panel():
    """The box itself (corners 30,40,30,26): title band over the first 34 px."""
    w, h = 100, 100
    r = BOX_RADIUS
    defs = ('<clipPath id="panel">' + rrect(0, 0, w, h, r, "#000") + '</clipPath>' +
            linear("band", [(0, "#2B2D3F", 1), (1, "#262838", 1)]))
    body = (rrect(0, 0, w, h, r, P["theme_panel"]) +
            f'<g clip-path="url(#panel)"><rect width="{w}" height="34" fill="url(#band)"/>'
            f'<rect y="34" width="{w}" height="1" fill="#000000" fill-opacity="0.28"/></g>' +
            ring(0, 0, w, h, r, "#FFFFFF", 0.10))
    return w, h, body, defs


def box_close():
    w = h = 24
    stroke = f'stroke="{P["glyph"]}" stroke-width="1.5" stroke-linecap="round"'
    body = (f'<line x1="7.5" y1="7.5" x2="16.5" y2="16.5" {stroke}/>'
            f'<line x1="16.5" y1="7.5" x2="7.5" y2="16.5" {stroke}/>')
    return w, h, body, ""


def light_buttons(highlight, width=20, height=28, radius=6, states=3):
    """Box buttons with dark text: normal, hot, pushed (corners 6 when sliced
    20 wide; drawn 1:1 when sliced 100 wide)."""
    if highlight:
        fills = [P["accent_light"], P["accent_light_hot"], P["accent_light_pushed"]]
    else:
        fills = [P["light_button"], P["light_button_hot"], P["light_button_pushed"]]

    def draw(i, fill, x):
        return rrect(x, 0, width, height, radius, fill) + ring(x, 0, width, height, radius, "#000000", 0.12)

    w, h, body = slices(width, height, fills[:states], draw)
    return w, h, body, ""


def badge_icon(kind):
    """48 px notice (!) and success (check) icons."""
    w = h = 48
    if kind == "ok":
        a, b = "#3DD68C", "#21A45E"
        glyph = ('<path d="M15,24.5 L21.5,31 L33.5,18" fill="none" stroke="#FFFFFF" stroke-width="4" '
                 'stroke-linecap="round" stroke-linejoin="round"/>')
    else:
        a, b = "#FFD54A", "#F0A81C"
        glyph = ('<rect x="21.7" y="12" width="4.6" height="16" rx="2.3" fill="#2A1E00"/>'
                 '<circle cx="24" cy="34.5" r="2.9" fill="#2A1E00"/>')
    defs = (linear("ic", [(0, a, 1), (1, b, 1)], 0, 0, 0, 1) +
            '<filter id="soft" x="-30%" y="-30%" width="160%" height="160%"><feGaussianBlur stdDeviation="1.5"/>'
            '</filter>')
    body = (f'<circle cx="24" cy="25.5" r="20" fill="#000000" fill-opacity="0.35" filter="url(#soft)"/>'
            f'<circle cx="24" cy="24" r="20" fill="url(#ic)"/>'
            f'<path d="M7,20 A17,17 0 0 1 41,20" fill="none" stroke="#FFFFFF" stroke-opacity="0.25" '
            f'stroke-width="1.5" stroke-linecap="round"/>' + glyph)
    return w, h, body, defs


# --- scroll bar --------------------------------------------------------------------------

SCROLL_CELL = 16
SCROLL_TRACK = "#1C1D27"  # what the mask colour stands in for on a rich edit's edge


def scrollbar_sheet():
    """A 4 x 8 sheet of 16 px cells: columns normal, hot, pushed, disabled;
    rows up, down, left and right button, vertical thumb, horizontal thumb,
    rail (the grip on the thumb), background. Transparent pixels become the
    mask colour magenta in the BMP."""
    c = SCROLL_CELL
    looks = ["#4A4D5E", "#676B80", "#8A8EA3", "#2C2E3A"]
    arrows = ["M5,10 L8,6.5 L11,10", "M5,6.5 L8,10 L11,6.5", "M10,5 L6.5,8 L10,11", "M6.5,5 L10,8 L6.5,11"]
    body = ""
    for col, color in enumerate(looks):
        x = col * c
        for row, d in enumerate(arrows):
            body += (f'<g transform="translate({x},{row * c})"><path d="{d}" fill="none" stroke="{color}" '
                     f'stroke-width="1.6" stroke-linecap="round" stroke-linejoin="round"/></g>')
        body += rrect(x + 4, 4 * c + 1, 8, 14, 3, color)
        body += rrect(x + 1, 5 * c + 4, 14, 8, 3, color)
        grip = "#FFFFFF" if col != 3 else color
        body += "".join(rrect(x + 6, 6 * c + 5 + 2 * i, 4, 1, 0.5, grip, 'fill-opacity="0.35"') for i in range(3))
        body += rrect(x + 5, 7 * c + 1, 6, 14, 3, "#FFFFFF", f'fill-opacity="{0.04 if col != 1 else 0.07}"')
    return 4 * c, 8 * c, body, ""


# --- program icon ---------------------------------------------------------------------------

def app_icon(size):
    defs, tile = mark(0, 0, size, gid=f"icon{size}")
    return size, size, tile, defs


# name in the skin folder -> SVG source (width, height, body, defs)
IMAGES = {
    "root_back.png": root_back,
    "bg_logo.png": lambda: logo(300),
    "bg_logo9.png": lambda: logo(340, badge="9"),
    "facebookjoin.png": lambda: titlebar_glyph("community"),
    "min.png": lambda: titlebar_glyph("min"),
    "close.png": lambda: titlebar_glyph("close"),
    "checkbox_unselected.png": lambda: checkbox(False),
    "checkbox_selected.png": lambda: checkbox(True),
    "direction_right.png": lambda: chevron("right"),
    "direction_left.png": lambda: chevron("left"),
    "btn_login.png": lambda: primary_button(160, 44, 22),
    "btn_sure_big.png": lambda: primary_button(140, 32, 16),
    "btn_small.png": small_button,
    "progressbar_bg.png": lambda: progress("bg"),
    "progressbar_fg.png": lambda: progress("fg"),
    "browse_button.png": edit_frames,
    "error_edit_bg.png": error_edit,
    "error_notice_bg.png": error_notice,
    "button_box_cancel.png": lambda: light_buttons(False, 100, 32, 6),
    "button_box_hot.png": lambda: light_buttons(True, 100, 32, 6),
    "common/shadow_bottom.png": box_shadow,
    "common/shadow_top.png": box_panel,
    "common/close.png": box_close,
    "common/btn_bg.png": lambda: light_buttons(False),
    "common/btn_bg_default.png": lambda: light_buttons(True),
    "common/msg_noice48.png": lambda: badge_icon("notice"),
    "common/msg_ok48.png": lambda: badge_icon("ok"),
}

# Rendered like the images above, then written as a 24-bit BMP whose
# transparent pixels are the mask colour #FF00FF.
MASKED_BITMAPS = {"scrollbar.bmp": (scrollbar_sheet, SCROLL_TRACK)}

ICON_SIZES = (16, 32, 48)


def svg_source(make):
    w, h, body, defs = make()
    return w, h, svg(w, h, body, defs)


def main(out_dir):
    sources = dict(IMAGES)
    sources.update({name: make for name, (make, _) in MASKED_BITMAPS.items()})
    sources.update({f"icon/app{s}.png": (lambda s=s: app_icon(s)) for s in ICON_SIZES})
    for name, make in sources.items():
        path = os.path.join(out_dir, os.path.splitext(name)[0] + ".svg")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(svg_source(make)[2])


if __name__ == "__main__":
    main(sys.argv[1])
