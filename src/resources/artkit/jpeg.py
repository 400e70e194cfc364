"""A baseline JPEG writer: YCbCr with the chroma halved both ways (4:2:0), the usual example
quantisation and Huffman tables, integer arithmetic throughout so that the output is the same on
every run."""

import math
import struct

_LUMA_QUANT = [
    16, 11, 10, 16, 24, 40, 51, 61,
    12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56,
    14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77,
    24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101,
    72, 92, 95, 98, 112, 100, 103, 99,
]  # fmt: skip
_CHROMA_QUANT = [
    17, 18, 24, 47, 99, 99, 99, 99,
    18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99,
    47, 66, 99, 99, 99, 99, 99, 99,
] + [99] * 32  # fmt: skip

_DC_LUMA_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
_DC_CHROMA_BITS = [0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0]
_DC_VALUES = list(range(12))


def _run(first, last):
    return list(range(first, last + 1))


_AC_LUMA_BITS = [0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D]
_AC_LUMA_VALUES = (
    [0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07]
    + [0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0]
    + [0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28]
    + [0x29, 0x2A]
    + _run(0x34, 0x3A) + _run(0x43, 0x4A) + _run(0x53, 0x5A) + _run(0x63, 0x6A) + _run(0x73, 0x7A)
    + _run(0x83, 0x8A) + _run(0x92, 0x9A) + _run(0xA2, 0xAA) + _run(0xB2, 0xBA) + _run(0xC2, 0xCA)
    + _run(0xD2, 0xDA) + _run(0xE1, 0xEA) + _run(0xF1, 0xFA)
)  # fmt: skip
_AC_CHROMA_BITS = [0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77]
_AC_CHROMA_VALUES = (
    [0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71]
    + [0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33, 0x52, 0xF0]
    + [0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19, 0x1A, 0x26]
    + [0x27, 0x28, 0x29, 0x2A]
    + _run(0x35, 0x3A) + _run(0x43, 0x4A) + _run(0x53, 0x5A) + _run(0x63, 0x6A) + _run(0x73, 0x7A)
    + _run(0x82, 0x8A) + _run(0x92, 0x9A) + _run(0xA2, 0xAA) + _run(0xB2, 0xBA) + _run(0xC2, 0xCA)
    + _run(0xD2, 0xDA) + _run(0xE2, 0xEA) + _run(0xF2, 0xFA)
)  # fmt: skip

# Natural (row-major) index of each coefficient in zig-zag order.
ZIGZAG = sorted(range(64), key=lambda i: (i // 8 + i % 8, (i // 8) if (i // 8 + i % 8) % 2 else (i % 8)))

_SCALE_BITS = 12
# Row u of the matrix is the cosine basis function u, scaled so that M * block * M^T is the 2-D DCT.
_DCT = [
    [
        round((1 << _SCALE_BITS) * (math.sqrt(0.5) if u == 0 else 1.0) / 2
              * math.cos((2 * x + 1) * u * math.pi / 16))
        for x in range(8)
    ]
    for u in range(8)
]  # fmt: skip


def huffman_codes(bits, values):
    """The canonical code of a table given as code counts per length 1..16: {symbol: (code, length)}."""
    if sum(bits) != len(values):
        raise ValueError("the code counts do not add up to the number of symbols")
    codes = {}
    code = 0
    k = 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[values[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


def scaled_quant_table(base, quality):
    scale = 5000 // quality if quality < 50 else 200 - 2 * quality
    return [min(255, max(1, (q * scale + 50) // 100)) for q in base]


def forward_dct(block):
    """The 2-D DCT of 64 level-shifted samples (row-major), scaled up by 2 ** (2 * _SCALE_BITS)."""
    rows = [[sum(_DCT[u][x] * block[y * 8 + x] for x in range(8)) for u in range(8)] for y in range(8)]
    return [sum(_DCT[v][y] * rows[y][u] for y in range(8)) for v in range(8) for u in range(8)]


def quantize(coefficients, table):
    """Rounds each scaled coefficient divided by its quantiser to the nearest whole number."""
    unit = 1 << (2 * _SCALE_BITS)
    out = []
    for c, q in zip(coefficients, table):
        d = q * unit
        out.append((c + d // 2) // d if c >= 0 else -((-c + d // 2) // d))
    return out


def encode_jpeg(rows, quality=75):
    """rows: a list of rows of (r, g, b) tuples, top row first. Each 16 x 16 unit holds four luma
    blocks, then one block of each chroma plane at half resolution."""
    height, width = len(rows), len(rows[0])
    luma_q = scaled_quant_table(_LUMA_QUANT, quality)
    chroma_q = scaled_quant_table(_CHROMA_QUANT, quality)
    luma, cb, cr = _ycbcr_planes(rows)
    half_width, half_height = (width + 1) // 2, (height + 1) // 2
    # Per component: its samples and their size, where its blocks start within a unit, the unit's
    # size in its own samples, and its table set.
    components = [
        (luma, width, height, [(0, 0), (8, 0), (0, 8), (8, 8)], 16, 0),
        (_halved(cb, width, height), half_width, half_height, [(0, 0)], 8, 1),
        (_halved(cr, width, height), half_width, half_height, [(0, 0)], 8, 1),
    ]
    quant = [luma_q, chroma_q]
    dc_codes = [huffman_codes(_DC_LUMA_BITS, _DC_VALUES), huffman_codes(_DC_CHROMA_BITS, _DC_VALUES)]
    ac_codes = [
        huffman_codes(_AC_LUMA_BITS, _AC_LUMA_VALUES),
        huffman_codes(_AC_CHROMA_BITS, _AC_CHROMA_VALUES),
    ]

    out = _EntropyWriter()
    previous_dc = [0, 0, 0]
    for unit_row in range((height + 15) // 16):
        for unit_column in range((width + 15) // 16):
            for index, (plane, plane_width, plane_height, starts, unit, table) in enumerate(components):
                for dx, dy in starts:
                    left, top = unit_column * unit + dx, unit_row * unit + dy
                    block = _block(plane, plane_width, plane_height, left, top)
                    q = quantize(forward_dct(block), quant[table])
                    zz = [q[i] for i in ZIGZAG]
                    _encode_block(out, zz, previous_dc[index], dc_codes[table], ac_codes[table])
                    previous_dc[index] = zz[0]

    return b"".join(
        [
            b"\xff\xd8",
            _segment(0xE0, b"JFIF\0" + struct.pack(">BBBHHBB", 1, 1, 0, 1, 1, 0, 0)),
            _segment(0xDB, bytes([0]) + bytes(luma_q[i] for i in ZIGZAG)),
            _segment(0xDB, bytes([1]) + bytes(chroma_q[i] for i in ZIGZAG)),
            _segment(
                0xC0, struct.pack(">BHHB", 8, height, width, 3) + bytes([1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1])
            ),
            _segment(0xC4, bytes([0x00]) + bytes(_DC_LUMA_BITS) + bytes(_DC_VALUES)),
            _segment(0xC4, bytes([0x10]) + bytes(_AC_LUMA_BITS) + bytes(_AC_LUMA_VALUES)),
            _segment(0xC4, bytes([0x01]) + bytes(_DC_CHROMA_BITS) + bytes(_DC_VALUES)),
            _segment(0xC4, bytes([0x11]) + bytes(_AC_CHROMA_BITS) + bytes(_AC_CHROMA_VALUES)),
            _segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0])),
            out.finish(),
            b"\xff\xd9",
        ]
    )


def _segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def _ycbcr_planes(rows):
    """Full-range YCbCr as JFIF defines it, level-shifted by -128, in fixed point with 16 fraction bits."""
    y_plane, cb_plane, cr_plane = [], [], []
    half = 1 << 15
    for row in rows:
        for r, g, b in row:
            y_plane.append(((19595 * r + 38470 * g + 7471 * b + half) >> 16) - 128)
            cb_plane.append((-11059 * r - 21709 * g + 32768 * b + half) >> 16)
            cr_plane.append((32768 * r - 27439 * g - 5329 * b + half) >> 16)
    return y_plane, cb_plane, cr_plane


def _halved(plane, width, height):
    """Each 2 x 2 square averaged (rounded), the last column and row repeated when the size is odd."""
    out = []
    for y in range(0, height, 2):
        below = min(y + 1, height - 1)
        for x in range(0, width, 2):
            right = min(x + 1, width - 1)
            total = plane[y * width + x] + plane[y * width + right]
            total += plane[below * width + x] + plane[below * width + right]
            out.append((total + 2) >> 2)
    return out


def _block(plane, width, height, left, top):
    """An 8 x 8 block; beyond the right and bottom edges the last column and row repeat."""
    block = []
    for dy in range(8):
        y = min(top + dy, height - 1)
        for dx in range(8):
            block.append(plane[y * width + min(left + dx, width - 1)])
    return block


def _magnitude(value):
    """The size category of a value and the bits that follow its code."""
    size = abs(value).bit_length()
    return size, (value if value >= 0 else value + (1 << size) - 1)


def _encode_block(out, zz, previous_dc, dc_codes, ac_codes):
    size, extra = _magnitude(zz[0] - previous_dc)
    out.put(*dc_codes[size])
    out.put(extra, size)
    zeros = 0
    for value in zz[1:]:
        if value == 0:
            zeros += 1
            continue
        while zeros > 15:
            out.put(*ac_codes[0xF0])
            zeros -= 16
        size, extra = _magnitude(value)
        out.put(*ac_codes[(zeros << 4) | size])
        out.put(extra, size)
        zeros = 0
    if zeros:
        out.put(*ac_codes[0x00])


class _EntropyWriter:
    """Packs codes most significant bit first and stuffs a zero byte after every 0xFF."""

    def __init__(self):
        self._data = bytearray()
        self._accumulator = 0
        self._count = 0

    def put(self, code, length):
        self._accumulator = (self._accumulator << length) | (code & ((1 << length) - 1))
        self._count += length
        while self._count >= 8:
            self._count -= 8
            byte = (self._accumulator >> self._count) & 0xFF
            self._data.append(byte)
            if byte == 0xFF:
                self._data.append(0)
        self._accumulator &= (1 << self._count) - 1

    def finish(self):
        if self._count:
            self.put((1 << (8 - self._count)) - 1, 8 - self._count)
        return bytes(self._data)
