#!/usr/bin/env python3
"""Builds what OrvaneInstaller.exe carries (run by the build, see
cmake/Resources.cmake):

  make_resources.py skin SOURCE_DIR OUT_DIR ARCHIVE ICON
      Stages the skin folder OUT_DIR: the layouts and the string table of
      SOURCE_DIR/skin, the artwork of SOURCE_DIR/art rendered to PNG (and the
      masked BMP), and the StringBundle files language/downloader_XX.xml made
      from the string table. Packs OUT_DIR into ARCHIVE (7z, one solid LZMA2
      block, 2 MiB dictionary) and writes the program icon ICON.

  make_resources.py fonts OUT_DIR ARCHIVE MEMBER=SOURCE...
      Converts each SOURCE font to OpenType (CFF) with fontforge under the
      member name MEMBER, and packs them into ARCHIVE (7z, solid LZMA2 in two
      blocks, 16 MiB dictionary). Without fontforge the TrueType file is
      stored under the member name unchanged.

Tools: rsvg-convert, 7z and fontforge come from the environment (RSVG,
SEVENZIP, FONTFORGE override the names). Only the standard library is used."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "art"))
import artwork  # noqa: E402

RSVG = os.environ.get("RSVG", "rsvg-convert")
SEVENZIP = os.environ.get("SEVENZIP", "7z")
FONTFORGE = os.environ.get("FONTFORGE", "fontforge")

# Short language code of each StringBundle file -> its column in the table.
BUNDLES = {
    "ar": "ar_IL", "cn": "zh_CN", "de": "de_DE", "en": "en_US", "es": "es_ES", "fa": "fa_IR",
    "fr": "fr_FR", "id": "in_ID", "jp": "ja_JP", "kr": "ko_KR", "pt": "pt_PT", "ru": "ru_RU",
    "th": "th_TH", "tr": "tr_TR", "tw": "zh_TW", "vn": "vi_VN",
}


def fail(message):
    sys.stderr.write(f"make_resources: {message}\n")
    sys.exit(1)


# --- PNG in, BMP and ICO out --------------------------------------------------------

def read_png_rgba(path):
    """(width, height, rows of RGBA bytes) of an 8-bit RGBA, non-interlaced PNG
    (what rsvg-convert writes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path}: not a PNG")
    pos, idat, width = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
            if (depth, ctype, interlace) != (8, 6, 0):
                fail(f"{path}: expected 8-bit RGBA without interlace")
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, prev = [], bytearray(stride)
    for y in range(height):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 0xFF
            elif ftype == 2:
                line[i] = (line[i] + b) & 0xFF
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        prev = line
    return width, height, rows


def hex_rgb(color):
    color = color.lstrip("#")
    return tuple(int(color[i:i + 2], 16) for i in (0, 2, 4))


def write_masked_bmp(png, bmp, backdrop):
    """24-bit BMP: nearly transparent pixels become magenta (the layouts' mask
    colour); edge pixels are blended over `backdrop` so no pink fringe shows."""
    width, height, rows = read_png_rgba(png)
    back = hex_rgb(backdrop)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            if a < 24:
                line += bytes((255, 0, 255))
            else:
                blend = [(c * a + k * (255 - a)) // 255 for c, k in zip((b, g, r), reversed(back))]
                if blend == [255, 0, 255]:
                    blend[1] = 1  # never the mask colour by accident
                line += bytes(blend)
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(bmp, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        f.write(header + pixels)


def write_icon(pngs, ico):
    """An icon file of 32-bit DIB images (with their AND masks), one per PNG."""
    images = []
    for png in pngs:
        width, height, rows = read_png_rgba(png)
        xor = b"".join(bytes(v for x in range(width) for v in (row[x * 4 + 2], row[x * 4 + 1], row[x * 4],
                                                                  row[x * 4 + 3])) for row in reversed(rows))
        mask_stride = ((width + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x in range(width):
                if row[x * 4 + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((width, height, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(ico, "wb") as f:
        f.write(out + b"".join(data for _, _, data in images))


# --- artwork ---------------------------------------------------------------------------

def render(make, png, work):
    width, height, source = artwork.svg_source(make)
    svg_path = os.path.join(work, "image.svg")
    with open(svg_path, "w", encoding="utf-8") as f:
        f.write(source)
    os.makedirs(os.path.dirname(png), exist_ok=True)
    subprocess.run([RSVG, "-w", str(width), "-h", str(height), "-f", "png", "-o", png, svg_path], check=True)


def render_artwork(out_dir, icon_path, work):
    for name, make in artwork.IMAGES.items():
        render(make, os.path.join(out_dir, name), work)
    for name, (make, backdrop) in artwork.MASKED_BITMAPS.items():
        png = os.path.join(work, "masked.png")
        render(make, png, work)
        write_masked_bmp(png, os.path.join(out_dir, name), backdrop)
    icons = []
    for size in artwork.ICON_SIZES:
        png = os.path.join(work, f"icon{size}.png")
        render(lambda s=size: artwork.app_icon(s), png, work)
        icons.append(png)
    write_icon(icons, icon_path)


# --- string table and bundles --------------------------------------------------------------

def read_table(path):
    """(locale codes, {key: [texts per column]}) of multi_language.tsv."""
    with open(path, encoding="utf-8") as f:
        rows = [line.rstrip("\r\n").split("\t") for line in f if line.strip("\r\n")]
    if len(rows) < 3 or rows[0][:2] != ["Code", "language_code"] or rows[1][:2] != ["Language", "language_name"]:
        fail(f"{path}: the two header rows are missing")
    codes = rows[0][2:]
    texts = {"language_name": rows[1][2:]}
    for row in rows[2:]:
        if len(row) != len(codes) + 2:
            fail(f"{path}: row {row[1]!r} has {len(row) - 2} texts for {len(codes)} languages")
        texts[row[1]] = row[2:]
    return codes, texts


def write_bundles(table, out_dir):
    codes, texts = read_table(table)
    folder = os.path.join(out_dir, "language")
    os.makedirs(folder, exist_ok=True)
    for short, code in BUNDLES.items():
        if code not in codes:
            fail(f"no column {code} for downloader_{short}.xml")
        column = codes.index(code)
        lines = ['<?xml version="1.0" encoding="UTF-8"?>', '<StringBundle ver="100">']
        for key, row in texts.items():
            if key == "language_name":
                continue
            text = escape(row[column], {"'": "&apos;", '"': "&quot;"})
            lines.append(f'  <String id="{key}">{text}</String>')
        lines.append("</StringBundle>")
        with open(os.path.join(folder, f"downloader_{short}.xml"), "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(lines) + "\n")


# --- archives ----------------------------------------------------------------------------------

def pack(folder, archive, options):
    """7z archive of every file under folder, members in sorted order with "/"."""
    members = sorted(os.path.relpath(os.path.join(d, f), folder).replace(os.sep, "/")
                     for d, _, files in os.walk(folder) for f in files)
    if os.path.exists(archive):
        os.remove(archive)
    with tempfile.NamedTemporaryFile("w", suffix=".lst", delete=False, encoding="utf-8") as lst:
        lst.write("\n".join(members) + "\n")
    try:
        subprocess.run([SEVENZIP, "a", "-t7z", "-bd", "-y", *options, os.path.abspath(archive), "@" + lst.name],
                       cwd=folder, check=True, stdout=subprocess.DEVNULL)
    finally:
        os.remove(lst.name)


def build_skin(source, out_dir, archive, icon):
    if os.path.exists(out_dir):
        shutil.rmtree(out_dir)
    shutil.copytree(os.path.join(source, "skin"), out_dir)
    with tempfile.TemporaryDirectory() as work:
        render_artwork(out_dir, icon, work)
    write_bundles(os.path.join(out_dir, "multi_language.tsv"), out_dir)
    pack(out_dir, archive, ["-m0=LZMA2:d=2m", "-mx=9", "-mf=off", "-ms=on", "-mmt=1"])


def build_fonts(out_dir, archive, pairs):
    if os.path.exists(out_dir):
        shutil.rmtree(out_dir)
    os.makedirs(out_dir)
    converter = shutil.which(FONTFORGE)
    if not converter:
        sys.stderr.write("make_resources: fontforge not found; storing the TrueType files under the .otf names\n")
    for pair in pairs:
        member, source = pair.split("=", 1)
        if not os.path.isfile(source):
            fail(f"font {source} not found")
        target = os.path.join(out_dir, member)
        if converter:
            subprocess.run([converter, "-quiet", "-lang=ff", "-c", "Open($1); Generate($2)", source, target],
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        else:
            shutil.copyfile(source, target)
    pack(out_dir, archive, ["-m0=LZMA2:d=16m", "-mx=9", "-mf=off", "-ms=2f", "-mmt=1"])


def main(argv):
    if len(argv) >= 5 and argv[0] == "skin":
        build_skin(*argv[1:5])
    elif len(argv) >= 4 and argv[0] == "fonts":
        build_fonts(argv[1], argv[2], argv[3:])
    else:
        fail(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
