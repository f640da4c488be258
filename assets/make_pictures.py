#!/usr/bin/env python3
"""Draws the program's four pictures as uncompressed 24-bit BMP files (no palette).

    assets/make_pictures.py [--preview DIR [--scale N]]

Writes Title.bmp (256 x 23), CloseInactive.bmp and CloseActive.bmp (19 x 19) and
MainPicture.bmp (34 x 39) beside this script, and quillet.png (64 x 64, the main picture's
shield on a transparent ground), the icon of the installed program's desktop entry. With
--preview it also writes enlarged PNG copies into DIR, and the title strip stretched to 318
and 501 pixels as the windows show it, for looking at them. Standard library only, so it runs on any machine with Python 3.

The look is the windows' own: dark green, lime and yellow on silver. The title strip is
stretched sideways to each window's width, so it changes only smoothly from left to
right; its left part, under the yellow caption, is the darkest.
"""

import argparse
import math
import os
import struct
import zlib

SILVER = (192, 192, 192)
DARK_GREEN = (0, 64, 0)
LIME = (0, 255, 0)
YELLOW = (255, 255, 0)
BLACK = (0, 0, 0)

TITLE_W, TITLE_H = 256, 23


def mix(a, b, t):
    """The colour t of the way from a to b."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp(c):
    return tuple(max(0, min(255, int(round(v)))) for v in c)


def render(width, height, shade, samples=4):
    """Rows of pixels; each pixel averages shade(x, y) over samples x samples points."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            total = [0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    c = shade(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples)
                    for i in range(3):
                        total[i] += c[i]
            row.append(clamp(v / samples**2 for v in total))
        rows.append(row)
    return rows


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def polygon_inside(px, py, points):
    inside = False
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return inside


def polygon_edge_distance(px, py, points):
    return min(
        segment_distance(px, py, ax, ay, bx, by)
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1])
    )


def rounded_box_distance(px, py, left, top, right, bottom, radius):
    """Signed distance to a rounded rectangle: negative inside."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


# --- title strip -----------------------------------------------------------------------

def title_color(x, y):
    """The strip: a glassy dark green bar, brighter in its upper half, a light rim on top,
    a lime hairline along the bottom, and a glow that grows towards the right end."""
    row = int(y)
    across = x / TITLE_W  # 0 at the left end, 1 at the right
    glow = across**2 * 0.55
    if row == 0:
        base = mix((70, 150, 70), (130, 215, 130), across)
    elif row <= 10:
        base = mix((22, 112, 22), (6, 80, 6), (row - 1) / 9)
    elif row <= 20:
        base = mix((0, 62, 0), (0, 44, 0), (row - 11) / 9)
    elif row == 21:
        return clamp(mix((0, 40, 0), (0, 225, 0), 0.25 + 0.75 * across))
    else:
        base = (0, 28, 0)
    lifted = mix(base, (40, 190, 40), glow * (0.9 if row <= 10 else 0.5))
    return clamp(lifted)


def title_rows():
    return [[title_color(x + 0.5, y + 0.5) for x in range(TITLE_W)] for y in range(TITLE_H)]


# --- close button ------------------------------------------------------------------------

CLOSE_SIZE = 19
# The button lies on the strip's right end, rows 2 to 20 of the strip: its corners show the
# strip's colours there, so the rounded shape sits on the bar without a square edge.
CLOSE_TOP_IN_TITLE = 2


def close_shade(fill_top, fill_bottom, cross, rim):
    def shade(x, y):
        d = rounded_box_distance(x, y, 1.0, 1.0, 18.0, 18.0, 4.0)
        if d > 0:
            return title_color(TITLE_W - 6.5, CLOSE_TOP_IN_TITLE + y)
        if d > -1.0:
            return BLACK
        fill = mix(fill_top, fill_bottom, (y - 2) / 15)
        if d > -2.0:
            fill = mix(fill, rim, 0.6)
        arm = min(
            segment_distance(x, y, 6.0, 6.0, 13.0, 13.0),
            segment_distance(x, y, 13.0, 6.0, 6.0, 13.0),
        )
        return cross if arm < 1.15 else fill

    return shade


def close_inactive_rows():
    return render(CLOSE_SIZE, CLOSE_SIZE, close_shade((0, 84, 0), (0, 46, 0), YELLOW, (40, 130, 40)))


def close_active_rows():
    return render(CLOSE_SIZE, CLOSE_SIZE, close_shade((150, 255, 150), (0, 220, 0), DARK_GREEN, (210, 255, 210)))


# --- main-window picture -----------------------------------------------------------------

MAIN_W, MAIN_H = 34, 39


def shield_outline(dx=0.0, dy=0.0):
    """A heater shield: flat top, straight sides, curved lower flanks meeting in a point."""
    left, right, top, waist, tip = 3.5, 30.5, 3.0, 19.0, 37.0
    centre = (left + right) / 2
    points = [(left, top), (right, top), (right, waist)]
    for i in range(1, 13):  # quadratic curve from the right waist to the tip
        t = i / 12
        cx, cy = right, 31.0
        x = (1 - t) ** 2 * right + 2 * (1 - t) * t * cx + t * t * centre
        y = (1 - t) ** 2 * waist + 2 * (1 - t) * t * cy + t * t * tip
        points.append((x, y))
    points += [(2 * centre - x, y) for x, y in reversed(points[3:-1])]
    points.append((left, waist))
    return [(x + dx, y + dy) for x, y in points]


SHIELD = shield_outline()
SHADOW = shield_outline(1.5, 1.5)
ENVELOPE = (9.5, 10.5, 24.5, 21.5)  # left, top, right, bottom


def envelope_shade(x, y):
    """The letter on the shield, or None where it is not."""
    left, top, right, bottom = ENVELOPE
    if not (left <= x <= right and top <= y <= bottom):
        return None
    middle = (left + right) / 2
    edge = min(x - left, right - x, y - top, bottom - y)
    flap = min(
        segment_distance(x, y, left, top, middle, top + 6.5),
        segment_distance(x, y, middle, top + 6.5, right, top),
    )
    if edge < 0.9 or flap < 0.55:
        return DARK_GREEN
    return mix((255, 255, 150), YELLOW, (y - top) / (bottom - top))


def main_shade(x, y):
    if polygon_inside(x, y, SHIELD):
        edge = polygon_edge_distance(x, y, SHIELD)
        if edge < 1.0:
            return (0, 30, 0)
        if edge < 2.2:
            return mix((120, 255, 120), (0, 200, 0), (y - 3) / 34)
        letter = envelope_shade(x, y)
        if letter:
            return letter
        tick = min(
            segment_distance(x, y, 12.0, 27.0, 15.5, 30.5),
            segment_distance(x, y, 15.5, 30.5, 22.0, 24.5),
        )
        if tick < 1.1:
            return LIME
        body = mix((0, 112, 0), (0, 52, 0), (y - 3) / 34)
        return mix(body, (60, 170, 60), 0.35) if x < 17 else body
    if polygon_inside(x, y, SHADOW):
        return mix(SILVER, (70, 70, 70), 0.55)
    return SILVER


def main_rows():
    return render(MAIN_W, MAIN_H, main_shade)


# --- icon --------------------------------------------------------------------------------

ICON_SIZE = 64
ICON_SCALE = (ICON_SIZE - 4) / MAIN_H


def icon_shade(x, y):
    """The main picture's shield, enlarged and centred, with alpha: opaque on the shield,
    a faint shadow beside it, transparent elsewhere."""
    mx = (x - (ICON_SIZE - MAIN_W * ICON_SCALE) / 2) / ICON_SCALE
    my = (y - 1) / ICON_SCALE
    if polygon_inside(mx, my, SHIELD):
        return main_shade(mx, my) + (255,)
    if polygon_inside(mx, my, SHADOW):
        return (0, 0, 0, 90)
    return (0, 0, 0, 0)


def icon_rows(samples=4):
    """Like render(), averaging colours weighted by their alpha, so that the shield's edge
    does not darken towards the transparent black around it."""
    rows = []
    for py in range(ICON_SIZE):
        row = []
        for px in range(ICON_SIZE):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = icon_shade(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples)
                    total = [total[0] + r * a, total[1] + g * a, total[2] + b * a, total[3] + a]
            alpha = total[3]
            colour = clamp(v / alpha for v in total[:3]) if alpha else (0, 0, 0)
            row.append(colour + (int(round(alpha / samples**2)),))
        rows.append(row)
    return rows


# --- files -------------------------------------------------------------------------------

def bmp_bytes(rows):
    """A bottom-up 24-bit BMP with a BITMAPINFOHEADER, rows padded to 4 bytes."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            pixels += bytes((b, g, r))
        pixels += bytes(stride - width * 3)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def png_bytes(rows, scale):
    """RGB, or RGBA when the pixels carry alpha."""
    height, width = len(rows) * scale, len(rows[0]) * scale
    colour_type = 6 if len(rows[0][0]) == 4 else 2
    raw = bytearray()
    for row in rows:
        line = b"\0" + b"".join(bytes(c) * scale for c in row)
        raw += line * scale

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b"")


def stretched(rows, width):
    """Nearest-pixel horizontal stretch, as the title control draws the strip."""
    source = len(rows[0])
    return [[row[x * source // width] for x in range(width)] for row in rows]


PICTURES = {
    "Title.bmp": title_rows,
    "CloseInactive.bmp": close_inactive_rows,
    "CloseActive.bmp": close_active_rows,
    "MainPicture.bmp": main_rows,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNG copies here")
    parser.add_argument("--scale", type=int, default=8, help="enlargement of the previews")
    args = parser.parse_args()
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "quillet.png"), "wb") as f:
        f.write(png_bytes(icon_rows(), 1))
    for name, draw in PICTURES.items():
        rows = draw()
        with open(os.path.join(here, name), "wb") as f:
            f.write(bmp_bytes(rows))
        if args.preview:
            os.makedirs(args.preview, exist_ok=True)
            base = os.path.join(args.preview, name[:-4])
            with open(base + ".png", "wb") as f:
                f.write(png_bytes(rows, args.scale))
            if name == "Title.bmp":
                for width in (318, 501):
                    with open(f"{base}-{width}.png", "wb") as f:
                        f.write(png_bytes(stretched(rows, width), 2))


if __name__ == "__main__":
    main()
