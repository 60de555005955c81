"""Checks the icon files that scripts/make_icons.py writes, read back with a
reader of their own, as the resource compiler and the icon loader see them."""

import struct
import subprocess
import sys
import tempfile
import unittest
import zlib
from pathlib import Path

SCRIPT = Path(__file__).resolve().parent.parent / "scripts" / "make_icons.py"

VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
RED = 9
SIZES = {"MAINICON": [32, 16], "ICON1": [32], "ICON2": [32], "NET": [32], "kestrun": [32]}


class Image:
    """One directory entry with its bitmap decoded; pixels[y][x] is a palette
    index counted from the top row, or None where the mask is set."""

    def __init__(self, data, entry):
        self.entry = entry
        self.size = entry[0]
        self.xor_stride = (self.size * 4 + 31) // 32 * 4
        self.and_stride = (self.size + 31) // 32 * 4
        xor_at = 40 + 64
        and_at = xor_at + self.xor_stride * self.size
        self.expected_length = and_at + self.and_stride * self.size
        self.length = len(data)
        if self.length != self.expected_length:
            return
        self.header = struct.unpack_from("<IiiHHIIiiII", data)
        self.palette = [tuple(data[40 + 4 * i:43 + 4 * i][::-1]) for i in range(16)]
        self.pixels = []
        self.black_under_mask = True
        for y in range(self.size):
            row = self.size - 1 - y
            out = []
            for x in range(self.size):
                byte = data[xor_at + row * self.xor_stride + x // 2]
                colour = byte >> 4 if x % 2 == 0 else byte & 0x0F
                masked = data[and_at + row * self.and_stride + x // 8] >> (7 - x % 8) & 1
                if masked and colour != 0:
                    self.black_under_mask = False
                out.append(None if masked else colour)
            self.pixels.append(out)

    def rim(self):
        """Opaque pixels that touch a transparent one or the border."""
        n = self.size
        return [(x, y) for y in range(n) for x in range(n)
                if self.pixels[y][x] is not None and any(
                    not (0 <= x + dx < n and 0 <= y + dy < n) or self.pixels[y + dy][x + dx] is None
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]


def read_ico(path):
    data = path.read_bytes()
    reserved, kind, count = struct.unpack_from("<HHH", data)
    entries = [struct.unpack_from("<BBBBHHII", data, 6 + 16 * i) for i in range(count)]
    images = [Image(data[e[7]:e[7] + e[6]], e) for e in entries]
    return (reserved, kind), entries, images, len(data)


class GeneratedIconsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        out = Path(cls.tmp.name)
        subprocess.run([sys.executable, str(SCRIPT), str(out / "ico"), "--png", str(out / "png")],
                       check=True)
        cls.png_dir = out / "png"
        cls.icons = {name: read_ico(out / "ico" / f"{name}.ico") for name in SIZES}

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_file_structure(self):
        for name, (head, entries, images, file_size) in self.icons.items():
            with self.subTest(icon=name):
                self.assertEqual(head, (0, 1))
                self.assertEqual([e[0] for e in entries], SIZES[name])
                offset = 6 + 16 * len(entries)
                for (w, h, colours, reserved, planes, bits, length, at), image in zip(entries, images):
                    self.assertEqual((h, colours, reserved, planes, bits), (w, 16, 0, 1, 4))
                    self.assertEqual(at, offset, "images must follow the directory without gaps")
                    offset += length
                    self.assertEqual(image.length, image.expected_length,
                                     "colour rows and mask rows are padded to 32 bits")
                    size, width, height, bmp_planes, bmp_bits, compression = image.header[:6]
                    self.assertEqual((size, width, height, bmp_planes, bmp_bits, compression),
                                     (40, w, 2 * w, 1, 4, 0))
                    self.assertEqual(image.palette, VGA)
                self.assertEqual(file_size, offset)

    def test_transparent_background(self):
        for name, (_, _, images, _) in self.icons.items():
            for image in images:
                with self.subTest(icon=name, size=image.size):
                    self.assertTrue(image.black_under_mask,
                                    "a colour under the mask would invert the screen")
                    self.assertIsNone(image.pixels[0][0])
                    self.assertIsNone(image.pixels[image.size - 1][image.size - 1])
                    opaque = sum(p is not None for row in image.pixels for p in row)
                    self.assertGreater(opaque, image.size * image.size // 3)

    def test_clock_has_a_red_outline(self):
        main = self.icons["MAINICON"][2]
        tray = self.icons["ICON1"][2][0]
        self.assertEqual(tray.pixels, main[0].pixels, "the tray clock is the main icon")
        for image in main:
            with self.subTest(size=image.size):
                rim = image.rim()
                self.assertGreater(len(rim), 2 * image.size)
                self.assertEqual({image.pixels[y][x] for x, y in rim}, {RED})
                inner = [p for row in image.pixels for p in row if p is not None]
                self.assertGreater(len(inner) - inner.count(RED), len(inner) // 2,
                                   "the outline must not swallow the picture")

    def test_clock_hangs_upright(self):
        # The round head is wider than the case below it; rows are stored
        # bottom-up, so a flipped writer puts the widest row low.
        for image in self.icons["MAINICON"][2]:
            with self.subTest(size=image.size):
                widths = [sum(p is not None for p in row) for row in image.pixels]
                self.assertLess(widths.index(max(widths)), image.size // 2)

    def test_failed_clock_is_the_clock_crossed_out(self):
        clock = self.icons["ICON1"][2][0].pixels
        failed = self.icons["ICON2"][2][0].pixels
        n = len(clock)
        diagonals = [(i, i) for i in range(4, n - 4)] + [(i, n - 1 - i) for i in range(4, n - 4)]
        self.assertTrue(all(failed[y][x] == RED for x, y in diagonals))
        self.assertFalse(all(clock[y][x] == RED for x, y in diagonals))
        changed = {failed[y][x] for y in range(n) for x in range(n) if failed[y][x] != clock[y][x]}
        self.assertEqual(changed, {RED}, "only the red cross is added to the clock")

    def test_png_previews(self):
        for name, sizes in SIZES.items():
            for size in sizes:
                with self.subTest(icon=name, size=size):
                    data = (self.png_dir / f"{name}_{size}.png").read_bytes()
                    self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
                    at, chunks = 8, {}
                    while at < len(data):
                        length, kind = struct.unpack_from(">I4s", data, at)
                        body = data[at + 8:at + 8 + length]
                        (crc,) = struct.unpack_from(">I", data, at + 8 + length)
                        self.assertEqual(crc, zlib.crc32(kind + body), kind)
                        chunks[kind] = body
                        at += 12 + length
                    width, height, depth, colour_type = struct.unpack_from(">IIBB", chunks[b"IHDR"])
                    self.assertEqual((width, height, depth, colour_type), (8 * size, 8 * size, 8, 6))
                    self.assertEqual(len(zlib.decompress(chunks[b"IDAT"])), height * (1 + 4 * width))
                    self.assertIn(b"IEND", chunks)


if __name__ == "__main__":
    unittest.main()
