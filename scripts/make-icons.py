#!/usr/bin/env python3
"""Draws the program icon and writes its images: the icon's one source,
run by the build.

The icon is a key cap with a "T" in front of a stopwatch, drawn pixel by pixel
at 32x32 and at 16x16 (a smaller drawing, not a scaled copy) in one 16-colour
palette, index 0 being transparent; the 32-pixel drawing is also drawn at the
larger sizes desktops and high-density screens ask for. Written to the output
directory:

  tekkora-16.png, tekkora-32.png, tekkora-48.png ... tekkora-256.png
                   4-bit palette PNGs for the program and the hicolor theme
  tekkora.ico      the 32 and 16 pixel images as 4-bit bitmaps, for Windows
  tekkora-score-16.png ... tekkora-score-256.png
                   the score window's icon: a progress chart beside the same
                   key cap, at the same sizes
  tekkora-score.ico
                   its 32 and 16 pixel images, for Windows

Only the standard library is used, and the output is byte-for-byte the same
on every run.

Usage: scripts/make-icons.py output-directory [size ...]
  Each size given (a multiple of 32: 192 and 512 for the web app manifest)
  adds tekkora-SIZE.png and tekkora-score-SIZE.png to the large sizes.
"""

import math
import os
import struct
import sys
import zlib

# Index 0 is transparent; the rest are opaque. The periwinkle and the pale
# blue are the windows' background and button face.
PALETTE = [
    (0, 0, 0),        # 0  transparent
    (0, 0, 0),        # 1  outline
    (255, 255, 255),  # 2  white
    (128, 128, 255),  # 3  window background
    (192, 192, 255),  # 4  button face
    (0, 0, 128),      # 5  navy
    (64, 64, 176),    # 6  key shadow
    (224, 224, 255),  # 7  key top
    (160, 160, 160),  # 8  grey ticks
    (96, 96, 96),     # 9  dark grey
    (224, 32, 32),    # 10 red hand
    (128, 0, 0),      # 11 dark red
    (255, 208, 0),    # 12 yellow
    (255, 128, 0),    # 13 orange
    (32, 32, 96),     # 14 ring shade
    (240, 240, 240),  # 15 dial face
]
TRANSPARENT, OUTLINE, WHITE, BACK, FACE, NAVY, SHADOW, KEYTOP = 0, 1, 2, 3, 4, 5, 6, 7
TICK, DARKGREY, RED, DARKRED, YELLOW, ORANGE, RINGSHADE, DIAL = 8, 9, 10, 11, 12, 13, 14, 15


class Canvas:
    """A square of palette indices. Drawing happens in design pixels: a
    canvas larger than its design (the 32-pixel drawing at 64, say) draws the
    same picture at that size, each shape covering the pixels whose centres
    fall inside it, so edges and circles stay sharp instead of blurred."""

    def __init__(self, size, design=None):
        self.size = size
        self.k = size / (design or size)
        self.px = [[TRANSPARENT] * size for _ in range(size)]

    def fill_where(self, inside, c):
        """Every pixel whose centre, in design pixels, is inside."""
        for y in range(self.size):
            for x in range(self.size):
                if inside((x + 0.5) / self.k, (y + 0.5) / self.k):
                    self.px[y][x] = c

    def set(self, x, y, c):
        """Design pixel (x, y)."""
        self.rect(x, y, x, y, c)

    def rect(self, x0, y0, x1, y1, c):
        """Fills the rectangle with both corners included."""
        if self.k == 1:
            for y in range(max(y0, 0), min(y1 + 1, self.size)):
                for x in range(max(x0, 0), min(x1 + 1, self.size)):
                    self.px[y][x] = c
            return
        self.fill_where(lambda px, py: x0 <= px < x1 + 1 and y0 <= py < y1 + 1, c)

    def disc(self, cx, cy, r, c):
        self.fill_where(lambda px, py: math.hypot(px - cx, py - cy) <= r, c)

    def line(self, x0, y0, x1, y1, c):
        """One design pixel wide, from the centre of (x0, y0) to that of (x1, y1)."""
        if self.k != 1:
            ax, ay, dx, dy = x0 + 0.5, y0 + 0.5, x1 - x0, y1 - y0
            length2 = dx * dx + dy * dy or 1

            def near(px, py):
                t = min(max(((px - ax) * dx + (py - ay) * dy) / length2, 0), 1)
                return math.hypot(px - ax - t * dx, py - ay - t * dy) <= 0.5
            self.fill_where(near, c)
            return
        steps = max(abs(x1 - x0), abs(y1 - y0))
        for i in range(steps + 1):
            t = i / steps if steps else 0
            self.set(round(x0 + (x1 - x0) * t), round(y0 + (y1 - y0) * t), c)


def stopwatch(cv, cx, cy, r, ring, crown, hand_len, ticks, inner_shade=True):
    """A stopwatch: crown on top, a blue ring, a white dial and a red hand."""
    cx0, cy0 = cx - 0.5, cy - 0.5  # centre pixel coordinates for the hand
    # crown: a small push button with its stem; at 16 pixels just a bar
    bx0, bx1, by0, stem = crown
    if stem > by0 + 1:
        cv.rect(bx0 - 1, by0, bx1 + 1, by0 + 1, OUTLINE)
        cv.rect(bx0, by0 + 1, bx1, by0 + 1, FACE)
        cv.rect(bx0 + (bx1 - bx0) // 2, by0 + 2, bx1 - (bx1 - bx0) // 2, stem, OUTLINE)
    else:
        cv.rect(bx0, by0, bx1, by0, OUTLINE)
    cv.disc(cx, cy, r + 0.5, OUTLINE)
    cv.disc(cx, cy, r - 0.5, BACK)
    # shade the lower right of the ring, light its upper left
    def on_ring(px, py):
        return r - ring - 0.5 < math.hypot(px - cx, py - cy) <= r - 0.5
    cv.fill_where(lambda px, py: on_ring(px, py) and (px - cx) + (py - cy) > r * 0.5, NAVY)
    cv.fill_where(lambda px, py: on_ring(px, py) and (px - cx) + (py - cy) < -r * 0.9, FACE)
    if inner_shade:
        cv.disc(cx, cy, r - ring - 0.5, RINGSHADE)
        cv.disc(cx, cy, r - ring - 1.5, DIAL)
    else:
        cv.disc(cx, cy, r - ring - 0.5, DIAL)
    for (tx, ty, c) in ticks:
        cv.set(tx, ty, c)
    # the hand points at about two o'clock: fast
    angle = math.radians(60)
    hx = cx0 + hand_len * math.sin(angle)
    hy = cy0 - hand_len * math.cos(angle)
    cv.line(int(cx0), int(cy0), round(hx), round(hy), RED)
    cv.set(int(cx0), int(cy0), DARKRED)


def key_cap(cv, x0, y0, x1, y1, top, glyph, skirt):
    """A key cap seen from above and slightly in front: the outline, a light
    left and top skirt, a deep shadowed bottom skirt and a raised top face."""
    # the outline leaves the four corner pixels alone: rounded corners
    cv.rect(x0 + 1, y0, x1 - 1, y0, OUTLINE)
    cv.rect(x0 + 1, y1, x1 - 1, y1, OUTLINE)
    cv.rect(x0, y0 + 1, x0, y1 - 1, OUTLINE)
    cv.rect(x1, y0 + 1, x1, y1 - 1, OUTLINE)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, FACE)
    cv.rect(x0 + 1, y1 - skirt, x1 - 1, y1 - 1, SHADOW)
    cv.rect(x1 - skirt + 1, y0 + 2, x1 - 1, y1 - 1, BACK)
    cv.rect(x1 - skirt + 1, y1 - skirt, x1 - 1, y1 - 1, SHADOW)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 1, WHITE)
    cv.rect(x0 + 1, y0 + 1, x0 + 1, y1 - skirt - 1, WHITE)
    tx0, ty0, tx1, ty1 = top
    cv.rect(tx0 - 1, ty0 - 1, tx1 + 1, ty1 + 1, BACK)
    cv.rect(tx0, ty0, tx1, ty1, KEYTOP)
    cv.rect(tx0, ty0, tx1, ty0, WHITE)
    cv.rect(tx0, ty0, tx0, ty1, WHITE)
    for (gx0, gy0, gx1, gy1) in glyph:
        cv.rect(gx0, gy0, gx1, gy1, NAVY)


def draw32(size=32):
    """The icon's own drawing, at 32 pixels or any larger size."""
    cv = Canvas(size, design=32)
    # speed streaks trailing to the left of the stopwatch
    cv.rect(1, 6, 7, 6, ORANGE)
    cv.rect(3, 9, 9, 9, YELLOW)
    cv.rect(0, 12, 8, 12, ORANGE)
    ticks = [(20, 6, DARKGREY), (27, 13, DARKGREY), (20, 20, DARKGREY), (13, 13, DARKGREY),
             (24, 7, TICK), (26, 9, TICK), (26, 17, TICK), (24, 19, TICK),
             (16, 19, TICK), (14, 17, TICK), (14, 9, TICK), (16, 7, TICK)]
    stopwatch(cv, cx=20.5, cy=13.5, r=10.5, ring=2, crown=(18, 22, 0, 2), hand_len=6, ticks=ticks)
    glyph = [(6, 17, 14, 18), (9, 19, 11, 24)]
    key_cap(cv, 1, 13, 19, 31, top=(4, 15, 16, 26), glyph=glyph, skirt=3)
    return cv


def draw16():
    cv = Canvas(16)
    cv.rect(0, 3, 3, 3, ORANGE)
    cv.rect(1, 5, 4, 5, YELLOW)
    ticks = [(10, 3, DARKGREY), (13, 6, DARKGREY), (10, 9, DARKGREY)]
    stopwatch(cv, cx=10.5, cy=6.5, r=5, ring=1, crown=(9, 11, 0, 0), hand_len=2.5, ticks=ticks,
              inner_shade=False)
    glyph = [(3, 10, 6, 10), (4, 11, 5, 12)]
    key_cap(cv, 0, 7, 9, 15, top=(2, 9, 7, 12), glyph=glyph, skirt=1)
    return cv


LARGE_SIZES = (48, 64, 128, 256)


def progress_chart(cv, x0, y0, x1, y1, band, bars, trend):
    """A chart in a small window: a title band, a white plot with its axes,
    bars rising to the right and a red trend line over them."""
    cv.rect(x0 + 1, y0, x1 - 1, y0, OUTLINE)
    cv.rect(x0 + 1, y1, x1 - 1, y1, OUTLINE)
    cv.rect(x0, y0 + 1, x0, y1 - 1, OUTLINE)
    cv.rect(x1, y0 + 1, x1, y1 - 1, OUTLINE)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, DIAL)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y0 + band, BACK)
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 1, FACE)
    floor = y1 - 2
    cv.rect(x0 + 2, floor + 1, x1 - 2, floor + 1, DARKGREY)
    for (bx0, bx1, top) in bars:
        cv.rect(bx0, top, bx1, floor, BACK)
        cv.rect(bx1, top, bx1, floor, SHADOW)
        cv.rect(bx0, top, bx1, top, FACE)
    for (ax, ay), (bx, by) in zip(trend, trend[1:]):
        cv.line(ax, ay, bx, by, RED)
    ex, ey = trend[-1]
    cv.set(ex, ey, DARKRED)


def draw_score32(size=32):
    """The score window's icon: its progress chart, with the drill's key cap,
    at 32 pixels or any larger size."""
    cv = Canvas(size, design=32)
    bars = [(8, 10, 20), (13, 15, 16), (18, 20, 13), (23, 25, 10)]
    progress_chart(cv, 2, 1, 30, 25, band=3, bars=bars, trend=[(6, 18), (14, 13), (19, 10), (27, 6)])
    glyph = [(3, 21, 9, 22), (5, 23, 7, 27)]
    key_cap(cv, 0, 18, 12, 31, top=(2, 20, 10, 28), glyph=glyph, skirt=2)
    return cv


def draw_score16():
    cv = Canvas(16)
    bars = [(6, 7, 9), (9, 10, 7), (12, 13, 5)]
    progress_chart(cv, 1, 0, 15, 12, band=1, bars=bars, trend=[(3, 9), (8, 5), (13, 2)])
    glyph = [(2, 11, 5, 11), (3, 12, 4, 13)]
    key_cap(cv, 0, 9, 7, 15, top=(1, 10, 6, 13), glyph=glyph, skirt=1)
    return cv


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png4(cv):
    """A 4-bit palette PNG with index 0 transparent."""
    raw = bytearray()
    for row in cv.px:
        raw.append(0)  # filter: none
        for i in range(0, cv.size, 2):
            raw.append((row[i] << 4) | row[i + 1])
    ihdr = struct.pack(">IIBBBBB", cv.size, cv.size, 4, 3, 0, 0, 0)
    plte = b"".join(bytes(c) for c in PALETTE)
    trns = bytes([0])  # only index 0 is see-through
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"PLTE", plte)
            + png_chunk(b"tRNS", trns) + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + png_chunk(b"IEND", b""))


def dib4(cv):
    """The icon-directory form of an image: a BITMAPINFOHEADER with double
    height, the 16-colour table, the 4-bit colour rows and the 1-bit AND mask,
    both bottom-up with rows padded to 4 bytes."""
    n = cv.size
    xor_stride = ((n * 4 + 31) // 32) * 4
    and_stride = ((n + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0,
                         (xor_stride + and_stride) * n, 0, 0, 16, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(cv.px):
        line = bytearray()
        for i in range(0, n, 2):
            line.append((row[i] << 4) | row[i + 1])
        xor += line + bytes(xor_stride - len(line))
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            if c == TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + table + bytes(xor) + bytes(mask)


def ico(canvases):
    images = [dib4(cv) for cv in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", cv.size, cv.size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    if len(sys.argv) < 2 or not all(a.isdigit() and int(a) % 32 == 0 for a in sys.argv[2:]):
        sys.exit(__doc__)
    out_dir = sys.argv[1]
    extra_sizes = tuple(int(a) for a in sys.argv[2:])
    os.makedirs(out_dir, exist_ok=True)
    big, small = draw32(), draw16()
    outputs = {
        "tekkora-32.png": png4(big),
        "tekkora-16.png": png4(small),
        "tekkora.ico": ico([big, small]),
    }
    outputs["tekkora-score-16.png"] = png4(draw_score16())
    outputs["tekkora-score.ico"] = ico([draw_score32(), draw_score16()])
    # Sharp on high-density screens and in large launcher views: the same
    # drawings at the sizes desktops ask for.
    for size in (32,) + LARGE_SIZES + extra_sizes:
        if size != 32:
            outputs[f"tekkora-{size}.png"] = png4(draw32(size))
        outputs[f"tekkora-score-{size}.png"] = png4(draw_score32(size))
    for name, data in outputs.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
