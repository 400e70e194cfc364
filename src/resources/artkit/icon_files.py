"""Writers for the icon (.ico, 24-bit colour) and cursor (.cur, monochrome) file formats.

Both hold one device-independent bitmap: a BITMAPINFOHEADER whose height counts the colour image
and the one-bit AND mask together, then the colour rows and the mask rows, each bottom row first.
A set mask bit means "transparent"; such pixels carry black in the colour image.
"""

import struct

_ICON_TYPE = 1
_CURSOR_TYPE = 2
_HEADER_SIZE = 40


def encode_icon(canvas):
    """A .ico file with one image of the canvas's size in 24-bit colour."""
    width, height = canvas.width, canvas.height
    colour_rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = canvas.rgb(x, y) if canvas.opaque(x, y) else (0, 0, 0)
            row += bytes((b, g, r))
        colour_rows.append(_pad_to_dword(row))
    image = _bitmap(width, height, 24, b"", colour_rows, _mask_rows(canvas))
    return _directory(_ICON_TYPE, width, height, 0, 1, 24, image)


def encode_cursor(canvas, hot_x, hot_y):
    """A .cur file with one monochrome image: opaque light pixels white, opaque dark pixels black."""
    width, height = canvas.width, canvas.height
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    colour_rows = []
    for y in reversed(range(height)):
        bits = [
            1 if canvas.opaque(x, y) and _luminance(canvas.rgb(x, y)) >= 128 else 0 for x in range(width)
        ]
        colour_rows.append(_pack_bits(bits))
    image = _bitmap(width, height, 1, palette, colour_rows, _mask_rows(canvas))
    # In a cursor directory the planes and bit-count fields carry the hot spot instead.
    return _directory(_CURSOR_TYPE, width, height, 2, hot_x, hot_y, image)


def _luminance(rgb):
    r, g, b = rgb
    return (299 * r + 587 * g + 114 * b) // 1000


def _mask_rows(canvas):
    return [
        _pack_bits([0 if canvas.opaque(x, y) else 1 for x in range(canvas.width)])
        for y in reversed(range(canvas.height))
    ]


def _pack_bits(bits):
    """Packs 0/1 values most significant bit first and pads the row to a whole 32-bit word."""
    row = bytearray()
    for start in range(0, len(bits), 8):
        byte = 0
        for offset, bit in enumerate(bits[start : start + 8]):
            byte |= bit << (7 - offset)
        row.append(byte)
    return _pad_to_dword(row)


def _pad_to_dword(row):
    return bytes(row) + b"\0" * (-len(row) % 4)


def _bitmap(width, height, bit_count, palette, colour_rows, mask_rows):
    pixels = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack(
        "<IiiHHIIiiII", _HEADER_SIZE, width, height * 2, 1, bit_count, 0, len(pixels), 0, 0, 0, 0
    )
    return header + palette + pixels


def _directory(kind, width, height, colour_count, field_a, field_b, image):
    offset = 6 + 16
    head = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack(
        "<BBBBHHII", width % 256, height % 256, colour_count, 0, field_a, field_b, len(image), offset
    )
    return head + entry + image
