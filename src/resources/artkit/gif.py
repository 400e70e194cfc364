"""A GIF writer: one image with a global colour table of the image's exact colours (at most 256)."""

import struct

_MAX_CODES = 4096


def encode_gif(rows):
    """rows: a list of rows of (r, g, b) tuples, top row first."""
    height, width = len(rows), len(rows[0])
    palette = sorted({rgb for row in rows for rgb in row})
    if len(palette) > 256:
        raise ValueError(f"{len(palette)} colours, a GIF holds at most 256")
    table_bits = max(1, (len(palette) - 1).bit_length())
    palette += [(0, 0, 0)] * ((1 << table_bits) - len(palette))
    index_of = {rgb: i for i, rgb in enumerate(palette)}
    indices = [index_of[rgb] for row in rows for rgb in row]

    min_code_size = max(2, table_bits)
    screen = struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (table_bits - 1), 0, 0)
    colours = b"".join(bytes(rgb) for rgb in palette)
    descriptor = b"," + struct.pack("<HHHHB", 0, 0, width, height, 0)
    data = lzw_compress(indices, min_code_size)
    blocks = b"".join(bytes((len(data[i : i + 255]),)) + data[i : i + 255] for i in range(0, len(data), 255))
    return b"GIF89a" + screen + colours + descriptor + bytes((min_code_size,)) + blocks + b"\0;"


def lzw_compress(indices, min_code_size):
    """Variable-width LZW as GIF uses it: codes packed least significant bit first, starting with a
    clear code, widening as the table grows and clearing when it is full."""
    clear = 1 << min_code_size
    end = clear + 1
    out = _BitPacker()
    table = {}
    width = min_code_size + 1
    next_code = end + 1
    out.put(clear, width)
    prefix = None
    for symbol in indices:
        if prefix is None:
            prefix = symbol
            continue
        key = (prefix, symbol)
        if key in table:
            prefix = table[key]
            continue
        out.put(prefix, width)
        if next_code < _MAX_CODES:
            table[key] = next_code
            # The decoder adds each entry one code later than we do, so it widens only after reading
            # the next code: we widen once the entry just added no longer fits the current width.
            if next_code == (1 << width) and width < 12:
                width += 1
            next_code += 1
        else:
            out.put(clear, width)
            table = {}
            width = min_code_size + 1
            next_code = end + 1
        prefix = symbol
    if prefix is not None:
        out.put(prefix, width)
    out.put(end, width)
    return out.bytes()


class _BitPacker:
    def __init__(self):
        self._data = bytearray()
        self._accumulator = 0
        self._count = 0

    def put(self, code, width):
        self._accumulator |= code << self._count
        self._count += width
        while self._count >= 8:
            self._data.append(self._accumulator & 0xFF)
            self._accumulator >>= 8
            self._count -= 8

    def bytes(self):
        if self._count:
            return bytes(self._data) + bytes((self._accumulator & 0xFF,))
        return bytes(self._data)
