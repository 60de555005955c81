#!/usr/bin/env python3
"""Draws the programs' icons and writes them as 16-colour .ico files.

Usage: make_icons.py OUTDIR [--png DIR]

The pictures are built from a few shapes given as predicates over pixel
centres, so every size is drawn, not scaled. --png also writes each image
enlarged eight times, transparent pixels as a checkerboard, for looking at.
"""

import argparse
import math
import struct
import sys
import zlib
from pathlib import Path

# The standard 16-colour VGA palette in Windows order, as (r, g, b).
PALETTE = (
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
)
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


class Canvas:
    """A square grid of palette indices; None is transparent."""

    def __init__(self, size):
        self.size = size
        self.px = [[None] * size for _ in range(size)]

    def inside(self, x, y):
        return 0 <= x < self.size and 0 <= y < self.size

    def put(self, x, y, colour):
        if self.inside(x, y):
            self.px[y][x] = colour

    def fill(self, shape, colour, edge=None):
        """Paints the pixels whose centres lie in shape; with edge, the
        shape's own border pixels get that colour, whatever lies around."""
        for y in range(self.size):
            for x in range(self.size):
                if not shape(x + 0.5, y + 0.5):
                    continue
                border = edge is not None and not all(
                    shape(x + 0.5 + dx, y + 0.5 + dy)
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                self.px[y][x] = edge if border else colour

    def line(self, x0, y0, x1, y1, colour):
        """A one-pixel line between two pixels (Bresenham)."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x1 > x0 else -1), (1 if y1 > y0 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, colour)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def outline(self, colour):
        """Recolours the silhouette's rim: every opaque pixel that touches
        a transparent one or the image border."""
        rim = []
        for y in range(self.size):
            for x in range(self.size):
                if self.px[y][x] is None:
                    continue
                if any(not self.inside(x + dx, y + dy) or self.px[y + dy][x + dx] is None
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                    rim.append((x, y))
        for x, y in rim:
            self.px[y][x] = colour


# Shapes in the coordinates of the canvas: pixel (i, j) has its centre at
# (i + 0.5, j + 0.5).

def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def shape(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= width / 2
    return shape


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def gear(cx, cy, root, tip, teeth):
    def shape(x, y):
        r = math.hypot(x - cx, y - cy)
        if r > tip:
            return False
        # A tooth covers the part of each period where the cosine is high;
        # a negative bound makes the teeth wider than the gaps.
        return r <= root or math.cos(teeth * math.atan2(y - cy, x - cx)) > -0.2
    return shape


def polar(cx, cy, radius, hour):
    """The point at the given radius towards a clock hour (12 is up)."""
    a = math.radians(hour * 30)
    return cx + radius * math.sin(a), cy - radius * math.cos(a)


# Pictures. The clock is drawn for each size of its own, since at 16 pixels
# only single-pixel details survive.

def draw_clock(c):
    cx, cy = 16, 11.5
    c.fill(union(disc(cx, cy, 11.2), box(8.6, 16, 23.4, 31.4)), OLIVE)
    # A brass bezel round the dial.
    c.fill(disc(cx, cy, 9.2), YELLOW)
    c.fill(disc(cx, cy, 8.2), WHITE, edge=GRAY)
    for hour in range(12):
        if hour % 3 == 0:
            c.fill(segment(*polar(cx, cy, 5.4, hour), *polar(cx, cy, 7.4, hour), 1.2), BLACK)
        else:
            x, y = polar(cx, cy, 6.6, hour)
            c.put(int(x), int(y), GRAY)
    # Ten past ten: both hands clear of each other and of the marks.
    c.fill(segment(cx, cy, *polar(cx, cy, 4.4, 10.2), 2.0), BLACK)
    c.fill(segment(cx, cy, *polar(cx, cy, 6.6, 2), 1.3), BLACK)
    # The pendulum swings in a dark window below the dial.
    c.fill(box(12, 21.4, 20, 28.6), BLACK)
    bob_x, bob_y = 17.4, 25.6
    c.fill(segment(16, 21, bob_x, bob_y, 1.0), SILVER)
    c.fill(disc(bob_x, bob_y, 2.2), YELLOW, edge=OLIVE)
    c.outline(RED)


def draw_small_clock(c):
    # Centred on a pixel, so that marks and hands can be one pixel wide.
    cx, cy = 7.5, 6.5
    c.fill(union(disc(cx, cy, 6.1), box(3, 9, 12, 15.6)), OLIVE)
    c.fill(disc(cx, cy, 4.6), WHITE, edge=GRAY)
    for x, y in ((7, 3), (10, 6), (7, 9), (4, 6)):
        c.put(x, y, BLACK)
    c.line(7, 6, 5, 5, BLACK)
    c.line(7, 6, 9, 4, BLACK)
    c.fill(box(5, 12, 10, 15), BLACK)
    c.put(7, 12, SILVER)
    c.fill(box(7, 13, 9, 15), YELLOW)
    c.outline(RED)


def draw_failed_clock(c):
    draw_clock(c)
    c.fill(union(segment(3, 3, 29, 29, 2.6), segment(29, 3, 3, 29, 2.6)), RED)


def draw_computer(c, x, y):
    """A monitor with a 13 x 11 case whose top left corner is at (x, y),
    with its stand and foot below."""
    c.fill(box(x + 5, y + 10, x + 8, y + 13), GRAY, edge=BLACK)
    c.fill(box(x + 1, y + 12.5, x + 12, y + 15), SILVER, edge=BLACK)
    c.fill(box(x, y, x + 13, y + 11), SILVER, edge=BLACK)
    c.fill(box(x + 2, y + 2, x + 11, y + 8.6), NAVY)
    c.fill(box(x + 3, y + 3, x + 7, y + 4), AQUA)
    c.fill(box(x + 3, y + 5, x + 9, y + 6), TEAL)
    c.put(int(x + 11), int(y + 9), LIME)


def draw_network(c):
    # The cable runs from the left computer's foot down and across to the
    # right one's.
    c.fill(union(segment(7.5, 16, 7.5, 28.5, 1.8), segment(7.5, 28.5, 20, 28.5, 1.8)), BLACK)
    draw_computer(c, 1, 1)
    draw_computer(c, 18, 14)


def draw_service(c):
    # An application window with a gear on its lower right corner.
    c.fill(box(1, 3, 24, 23), SILVER, edge=BLACK)
    c.fill(box(2, 4, 23, 8), NAVY)
    c.fill(box(19, 5, 22, 7), SILVER)
    c.fill(box(3, 10, 22, 22), WHITE)
    for row in (12, 15, 18):
        c.fill(box(5, row, 16 if row != 15 else 13, row + 1), GRAY)
    c.fill(gear(22.5, 22.5, 6.0, 8.6, 8), GRAY, edge=BLACK)
    c.fill(disc(22.5, 22.5, 3.6), SILVER)
    c.fill(disc(22.5, 22.5, 2.0), WHITE, edge=BLACK)


ICONS = {
    "MAINICON": ((draw_clock, 32), (draw_small_clock, 16)),
    "ICON1": ((draw_clock, 32),),
    "ICON2": ((draw_failed_clock, 32),),
    "NET": ((draw_network, 32),),
    "kestrun": ((draw_service, 32),),
}


def render(draw, size):
    c = Canvas(size)
    draw(c)
    return c


def bitmap_rows(c, bits, value):
    """The canvas as bottom-up rows of `bits`-bit pixels, each row padded to
    a multiple of four bytes."""
    stride = (c.size * bits + 31) // 32 * 4
    rows = []
    for y in reversed(range(c.size)):
        acc = 0
        for x in range(c.size):
            acc = (acc << bits) | value(c.px[y][x])
        pad = stride * 8 - c.size * bits
        rows.append((acc << pad).to_bytes(stride, "big"))
    return b"".join(rows)


def ico_image(c):
    # Transparent pixels are black in the colour bitmap and set in the mask,
    # so the screen shows through unchanged.
    xor = bitmap_rows(c, 4, lambda p: 0 if p is None else p)
    mask = bitmap_rows(c, 1, lambda p: 1 if p is None else 0)
    header = struct.pack("<IiiHHIIiiII", 40, c.size, 2 * c.size, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return header + palette + xor + mask


def ico_file(canvases):
    images = [ico_image(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.size, c.size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def png_file(c, scale=8):
    def rgba(x, y):
        p = c.px[y // scale][x // scale]
        if p is not None:
            return bytes(PALETTE[p]) + b"\xff"
        light = (x // (scale // 2) + y // (scale // 2)) % 2
        return b"\xee\xee\xee\xff" if light else b"\xcc\xcc\xcc\xff"

    side = c.size * scale
    raw = b"".join(b"\x00" + b"".join(rgba(x, y) for x in range(side)) for y in range(side))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(argv):
    parser = argparse.ArgumentParser(description="Draw the programs' icons.")
    parser.add_argument("outdir", type=Path, help="folder for the .ico files")
    parser.add_argument("--png", type=Path, metavar="DIR",
                        help="also write enlarged PNG previews into DIR")
    args = parser.parse_args(argv)
    args.outdir.mkdir(parents=True, exist_ok=True)
    if args.png:
        args.png.mkdir(parents=True, exist_ok=True)
    for name, images in ICONS.items():
        canvases = [render(draw, size) for draw, size in images]
        (args.outdir / f"{name}.ico").write_bytes(ico_file(canvases))
        if args.png:
            for c in canvases:
                (args.png / f"{name}_{c.size}.png").write_bytes(png_file(c))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
