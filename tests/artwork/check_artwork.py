#!/usr/bin/python3
"""Checks the committed pictures in res/art: the exact formats that the
resource script and Windows expect, the places that the dialogs rely on (quiet
ground under the main dialog's buttons, a glyph left of each gamepad action
list and none under it), and that tools/artwork/draw_artwork.py draws the
very same bytes again."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

REPO_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ART = os.path.join(REPO_ROOT, "res", "art")
GENERATOR = os.path.join(REPO_ROOT, "tools", "artwork", "draw_artwork.py")
FILES = ("main_background.bmp", "gamepad_background.bmp", "launcher.ico", "gdf_thumbnail.png")

WIDTH, HEIGHT = 499, 312
LIST_LEFT, LIST_WIDTH, LIST_HEIGHT = (94, 343), 98, 20
FIRST_ROW_TOP, ROW_PITCH, ROW_COUNT = 20, 24, 10
MAIN_BUTTONS = (330, 58, 483, 249)   # x0, y0, x1, y1 in pixels, inclusive


def read(name):
    with open(os.path.join(ART, name), "rb") as f:
        return f.read()


class Dib:
    """A 32-bit bottom-up DIB file, pixels read as (r, g, b) top-down."""

    def __init__(self, data):
        self.file_header = struct.unpack_from("<2sIHHI", data, 0)
        self.info = struct.unpack_from("<IiiHHIIiiII", data, 14)
        self.data = data
        self.width, self.height = self.info[1], self.info[2]

    def pixel(self, x, y):
        offset = 54 + ((self.height - 1 - y) * self.width + x) * 4
        b, g, r = self.data[offset:offset + 3]
        return r, g, b


def luminance(rgb):
    r, g, b = rgb
    return 0.299 * r + 0.587 * g + 0.114 * b


def png_chunks(data):
    """(type, payload) of each chunk, after checking signature and CRCs."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    chunks, offset = [], 8
    while offset < len(data):
        length, kind = struct.unpack_from(">I4s", data, offset)
        payload = data[offset + 8:offset + 8 + length]
        crc, = struct.unpack_from(">I", data, offset + 8 + length)
        assert crc == zlib.crc32(kind + payload) & 0xFFFFFFFF, f"bad CRC in {kind}"
        chunks.append((kind, payload))
        offset += 12 + length
    return chunks


class Formats(unittest.TestCase):
    def check_png_rgba(self, data, size):
        chunks = png_chunks(data)
        self.assertEqual([kind for kind, _ in chunks], [b"IHDR", b"IDAT", b"IEND"])
        width, height, depth, colour, compression, filtering, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
        self.assertEqual((width, height), (size, size))
        self.assertEqual((depth, colour, compression, filtering, interlace), (8, 6, 0, 0, 0))
        self.assertEqual(len(zlib.decompress(chunks[1][1])), height * (1 + width * 4))

    def test_backgrounds_are_32_bit_bottom_up_dibs(self):
        for name in ("main_background.bmp", "gamepad_background.bmp"):
            with self.subTest(name):
                data = read(name)
                dib = Dib(data)
                pixel_bytes = WIDTH * HEIGHT * 4
                self.assertEqual(dib.file_header, (b"BM", len(data), 0, 0, 54))
                self.assertEqual(dib.info, (40, WIDTH, HEIGHT, 1, 32, 0, pixel_bytes, 3779, 3779, 0, 0))
                self.assertEqual(len(data), 54 + pixel_bytes)
                self.assertFalse(any(data[57::4]), "a fourth pixel byte is not 0")

    def test_icon_holds_four_images_largest_first(self):
        data = read("launcher.ico")
        self.assertEqual(struct.unpack_from("<HHH", data, 0), (0, 1, 4))
        offset = 6 + 4 * 16
        for index, size in enumerate((256, 48, 32, 16)):
            with self.subTest(size=size):
                width, height, colours, reserved, planes, bits, length, start = \
                    struct.unpack_from("<BBBBHHII", data, 6 + 16 * index)
                self.assertEqual((width, height), (size % 256, size % 256))
                self.assertEqual((colours, reserved, planes, bits), (0, 0, 1, 32))
                self.assertEqual(start, offset, "images are not stored one after the other")
                image = data[start:start + length]
                if size == 256:
                    self.check_png_rgba(image, 256)
                else:
                    mask_bytes = ((size + 31) // 32) * 4 * size
                    self.assertEqual(struct.unpack_from("<IiiHHI", image, 0), (40, size, 2 * size, 1, 32, 0))
                    self.assertEqual(length, 40 + size * size * 4 + mask_bytes)
                    alphas = image[40 + 3:40 + size * size * 4:4]
                    self.assertTrue(0 in alphas and 255 in alphas, "no transparent border or no opaque emblem")
                offset += length
        self.assertEqual(offset, len(data))

    def test_thumbnail_is_256_rgba_png(self):
        self.check_png_rgba(read("gdf_thumbnail.png"), 256)


class Layout(unittest.TestCase):
    def test_main_buttons_stand_on_quiet_ground(self):
        dib = Dib(read("main_background.bmp"))
        x0, y0, x1, y1 = MAIN_BUTTONS
        values = [luminance(dib.pixel(x, y)) for y in range(y0, y1 + 1, 2) for x in range(x0, x1 + 1, 2)]
        mean = sum(values) / len(values)
        spread = (sum((v - mean) ** 2 for v in values) / len(values)) ** 0.5
        self.assertLess(spread, 8.0)
        self.assertLess(mean, 60.0, "the light buttons need a dark ground")

    def test_each_action_list_has_a_glyph_left_of_it_and_none_under_it(self):
        dib = Dib(read("gamepad_background.bmp"))
        for row in range(ROW_COUNT):
            top = FIRST_ROW_TOP + ROW_PITCH * row
            for left in LIST_LEFT:
                with self.subTest(row=row, list_left=left):
                    ground = luminance(dib.pixel(left + LIST_WIDTH // 2, top + LIST_HEIGHT // 2))
                    glyph = [luminance(dib.pixel(x, y)) for y in range(top, top + LIST_HEIGHT)
                             for x in range(left - 24, left - 2)]
                    marked = sum(1 for v in glyph if abs(v - ground) > 40)
                    self.assertGreater(marked, 100, "no glyph just left of the list")
                    under = [luminance(dib.pixel(x, y)) for y in range(top, top + LIST_HEIGHT)
                             for x in range(left, left + LIST_WIDTH)]
                    self.assertLess(max(under) - min(under), 30, "the glyph reaches under the list")


class Generator(unittest.TestCase):
    def test_generator_draws_the_committed_bytes(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, GENERATOR, "--out", out], check=True)
            for name in FILES:
                with self.subTest(name), open(os.path.join(out, name), "rb") as f:
                    self.assertTrue(f.read() == read(name),
                                    f"{name} differs from what tools/artwork/draw_artwork.py draws")


if __name__ == "__main__":
    unittest.main()
