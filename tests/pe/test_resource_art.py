"""Tests of the art script and its file writers. Pictures are decoded by ImageMagick, an independent
reader, and compared with the drawings they came from.

Run: /usr/bin/python3 -B -m unittest discover -s tests/pe
"""

import functools
import os
import random
import shutil
import struct
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True
RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "resources")
sys.path.insert(0, RESOURCES)

import draw_art  # noqa: E402
from artkit.canvas import Canvas  # noqa: E402
from artkit.gif import encode_gif  # noqa: E402
from artkit.icon_files import encode_cursor, encode_icon  # noqa: E402
from artkit.jpeg import ZIGZAG, encode_jpeg, forward_dct, huffman_codes, quantize  # noqa: E402
from artkit.shapes import rect  # noqa: E402

HAVE_CONVERT = shutil.which("convert") is not None


@functools.lru_cache(maxsize=None)
def drawings():
    """The four drawings, drawn once for all tests; tests must not paint on them."""
    return draw_art.draw_all()


@functools.lru_cache(maxsize=None)
def encoded():
    return draw_art.encode_all(drawings())


def decode(data, kind, channels="rgb"):
    """The picture's pixels as flat bytes, read by ImageMagick."""
    result = subprocess.run(
        ["convert", f"{kind}:-", "-depth", "8", f"{channels}:-"], input=data, capture_output=True, check=True
    )
    return result.stdout


def flat(rows):
    return bytes(value for row in rows for rgb in row for value in rgb)


def luma(rgb):
    r, g, b = rgb
    return 0.299 * r + 0.587 * g + 0.114 * b


class CommittedFiles(unittest.TestCase):
    def test_files_beside_the_script_are_what_it_draws_now(self):
        # Catches both a script changed without re-running it and output that differs between runs.
        for name, data in encoded().items():
            with open(os.path.join(RESOURCES, name), "rb") as f:
                self.assertEqual(f.read(), data, f"{name} is stale; run src/resources/draw_art.py")


class IconAndCursorFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.icon = drawings()["icon"]
        cls.cursor = drawings()["cursor"]

    def test_icon_directory_and_header(self):
        data = encode_icon(self.icon)
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        width, height, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
        self.assertEqual((reserved, kind, count), (0, 1, 1))
        self.assertEqual((width, height, colours, planes, bits), (32, 32, 0, 1, 24))
        self.assertEqual((offset, offset + size), (22, len(data)))
        header = struct.unpack_from("<IiiHHI", data, offset)
        self.assertEqual(header, (40, 32, 64, 1, 24, 0))
        # 32 rows of 96 colour bytes and 32 rows of a 4-byte mask
        self.assertEqual(size, 40 + 32 * 96 + 32 * 4)

    @unittest.skipUnless(HAVE_CONVERT, "ImageMagick not installed")
    def test_icon_decodes_to_the_drawing_with_clear_corners(self):
        pixels = decode(encode_icon(self.icon), "ico", "rgba")
        opaque = 0
        for y in range(32):
            for x in range(32):
                r, g, b, a = pixels[(y * 32 + x) * 4 : (y * 32 + x) * 4 + 4]
                if self.icon.opaque(x, y):
                    opaque += 1
                    self.assertEqual((r, g, b, a), (*self.icon.rgb(x, y), 255), (x, y))
                else:
                    self.assertEqual(a, 0, (x, y))
        for corner in ((0, 0), (31, 0), (0, 31), (31, 31)):
            self.assertFalse(self.icon.opaque(*corner), corner)
        self.assertGreater(opaque, 32 * 32 * 3 // 4)

    def test_cursor_directory_carries_the_hot_spot(self):
        for hot_spot in ((0, 0), (5, 7)):
            data = encode_cursor(self.cursor, *hot_spot)
            kind, count = struct.unpack_from("<HH", data, 2)
            width, height, colours, _, hot_x, hot_y, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
            self.assertEqual((kind, count, width, height, colours), (2, 1, 32, 32, 2))
            self.assertEqual((hot_x, hot_y), hot_spot)
            self.assertEqual(struct.unpack_from("<IiiHH", data, offset), (40, 32, 64, 1, 1))
            self.assertEqual(data[offset + 40 : offset + 48], bytes((0, 0, 0, 0, 255, 255, 255, 0)))
            self.assertEqual(size, 40 + 8 + 32 * 4 * 2)

    def test_hand_touches_the_hot_spot_and_leaves_the_far_corner_clear(self):
        self.assertEqual(draw_art.CURSOR_HOT_SPOT, (0, 0))
        self.assertTrue(self.cursor.opaque(0, 0))
        self.assertFalse(self.cursor.opaque(31, 31))
        colours = {self.cursor.rgb(x, y) for y in range(32) for x in range(32) if self.cursor.opaque(x, y)}
        self.assertEqual(colours, {(0, 0, 0), (255, 255, 255)})

    @unittest.skipUnless(HAVE_CONVERT, "ImageMagick not installed")
    def test_cursor_decodes_to_black_white_and_clear(self):
        pixels = decode(encode_cursor(self.cursor, 0, 0), "cur", "rgba")
        for y in range(32):
            for x in range(32):
                r, g, b, a = pixels[(y * 32 + x) * 4 : (y * 32 + x) * 4 + 4]
                if self.cursor.opaque(x, y):
                    self.assertEqual((r, g, b, a), (*self.cursor.rgb(x, y), 255), (x, y))
                else:
                    self.assertEqual(a, 0, (x, y))


@unittest.skipUnless(HAVE_CONVERT, "ImageMagick not installed")
class GifFiles(unittest.TestCase):
    def round_trip(self, rows):
        data = encode_gif(rows)
        self.assertEqual(struct.unpack_from("<HH", data, 6), (len(rows[0]), len(rows)))
        self.assertEqual(decode(data, "gif"), flat(rows))

    def test_banner_decodes_to_the_drawing(self):
        self.round_trip(drawings()["banner"].rows())

    def test_noise_that_fills_the_code_table_many_times(self):
        chance = random.Random(7)
        palette = [tuple(chance.randrange(256) for _ in range(3)) for _ in range(256)]
        self.round_trip([[chance.choice(palette) for _ in range(160)] for _ in range(120)])

    def test_long_runs_and_tiny_palettes(self):
        self.round_trip([[(9, 9, 9)] * 200 for _ in range(150)])
        stripes = [[(255, 0, 0) if (x // 3 + y) % 2 else (0, 0, 255) for x in range(37)] for y in range(5)]
        self.round_trip(stripes)
        self.round_trip([[(x * 8, 0, 0) for x in range(5)]])

    def test_more_than_256_colours_is_refused(self):
        with self.assertRaises(ValueError):
            encode_gif([[(x, y, 0) for x in range(20)] for y in range(13)])


class JpegCoding(unittest.TestCase):
    def test_constant_block_has_only_a_dc_term(self):
        coefficients = quantize(forward_dct([-28] * 64), [1] * 64)
        self.assertEqual(coefficients[0], -28 * 8)
        self.assertEqual(coefficients[1:], [0] * 63)

    def test_horizontal_ramp_lands_in_the_first_row(self):
        coefficients = quantize(forward_dct([x * 10 - 35 for _ in range(8) for x in range(8)]), [1] * 64)
        self.assertLess(coefficients[1], 0)  # brightness rises to the right
        self.assertEqual([coefficients[8 * v + u] for v in range(1, 8) for u in range(8)], [0] * 56)

    def test_zigzag_walks_the_diagonals(self):
        self.assertEqual(sorted(ZIGZAG), list(range(64)))
        self.assertEqual(ZIGZAG[:10], [0, 1, 8, 16, 9, 2, 3, 10, 17, 24])
        self.assertEqual(ZIGZAG[-3:], [55, 62, 63])

    def test_canonical_codes_are_prefix_free(self):
        bits = [0, 2, 1, 3] + [0] * 12
        codes = huffman_codes(bits, list(range(6)))
        words = [format(code, f"0{length}b") for code, length in codes.values()]
        self.assertEqual(words, ["00", "01", "100", "1010", "1011", "1100"])
        for a in words:
            for b in words:
                self.assertTrue(a == b or not b.startswith(a))
        with self.assertRaises(ValueError):
            huffman_codes(bits, list(range(5)))

    @unittest.skipUnless(HAVE_CONVERT, "ImageMagick not installed")
    def test_odd_sizes_and_saturated_colours_survive(self):
        def colour(x, y):
            return (255, 0, 0) if x < 6 else (0, 255, 0) if y < 5 else (20, 40, 200)

        rows = [[colour(x, y) for x in range(13)] for y in range(11)]
        data = encode_jpeg(rows, quality=95)
        pixels = decode(data, "jpg")
        for (x, y) in ((1, 1), (11, 1), (11, 9), (2, 9)):
            index = (y * 13 + x) * 3
            for got, want in zip(pixels[index : index + 3], rows[y][x]):
                self.assertLessEqual(abs(got - want), 12, (x, y))

    @unittest.skipUnless(HAVE_CONVERT, "ImageMagick not installed")
    def test_logo_is_a_baseline_jpeg_close_to_the_drawing(self):
        rows = drawings()["logo"].rows()
        data = encoded()["logo.jpg"]
        identify = ["identify", "-format", "%w %h %[interlace] %[jpeg:sampling-factor]", "jpg:-"]
        info = subprocess.run(identify, input=data, capture_output=True, check=True).stdout.decode()
        self.assertEqual(info, "341 166 None 2x2,1x1,1x1")
        pixels = decode(data, "jpg")
        expected = flat(rows)
        # Brightness is kept at full resolution; colour is halved both ways and softens at the edges.
        luma_errors = [
            abs(luma(pixels[i : i + 3]) - luma(expected[i : i + 3])) for i in range(0, len(pixels), 3)
        ]
        self.assertLess(sum(luma_errors) / len(luma_errors), 2.5)
        self.assertLess(max(luma_errors), 48)
        errors = [abs(a - b) for a, b in zip(pixels, expected)]
        self.assertLess(sum(errors) / len(errors), 4.0)


class Drawing(unittest.TestCase):
    def test_partly_covered_pixels_keep_the_shape_colour_and_carry_coverage(self):
        canvas = Canvas(3, 1)
        canvas.paint(rect(0.5, 0, 3, 1), (200, 100, 50))
        self.assertEqual(canvas.alpha, [0.5, 1.0, 1.0])
        self.assertEqual(canvas.rgb(0, 0), (200, 100, 50))
        canvas.paint(rect(0, 0, 0.5, 1), (0, 0, 0))
        self.assertEqual(canvas.alpha[:2], [0.75, 1.0])
        self.assertEqual(canvas.rgb(0, 0), (67, 33, 17))  # two parts black to one part colour
        self.assertEqual(canvas.rgb(1, 0), (200, 100, 50))
        canvas.paint(rect(1, 0, 1.5, 1), (0, 0, 0))
        self.assertEqual(canvas.rgb(1, 0), (100, 50, 25))

    def test_pictures_have_their_fixed_sizes(self):
        sizes = {"icon": (32, 32), "cursor": (32, 32), "banner": (120, 60), "logo": (341, 166)}
        self.assertEqual({name: (c.width, c.height) for name, c in drawings().items()}, sizes)


if __name__ == "__main__":
    unittest.main()
