"""Byte-level readers for what a Windows executable's resources hold: the version record, icon and
cursor directories, bitmap headers, and the first bytes of GIF and JPEG pictures.

Every reader returns None (or raises FormatError) on data it does not understand, never guesses.
"""

import struct


class FormatError(ValueError):
    pass


# --- version record ---------------------------------------------------------------------------


class VersionNode:
    def __init__(self, key, value_type, value, children):
        self.key = key
        self.value_type = value_type  # 1 = text, 0 = binary
        self.value = value  # bytes
        self.children = children

    def child(self, key):
        found = [c for c in self.children if c.key == key]
        return found[0] if len(found) == 1 else None

    def text(self):
        """The value read as UTF-16 text up to its terminator (some compilers leave the terminator out)."""
        usable = len(self.value) - len(self.value) % 2
        return self.value[:usable].decode("utf-16-le").split("\0", 1)[0]


def parse_version_node(data, offset=0):
    """Reads one node of a version record: length, value length, type, key, value and child nodes,
    each part aligned to four bytes from the start of the record."""
    if offset + 6 > len(data):
        raise FormatError("version node header runs past the data")
    length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    if length < 6 or end > len(data):
        raise FormatError(f"version node length {length} does not fit")
    key, position = _utf16z(data, offset + 6)
    position = _align4(position)
    # Text values count UTF-16 characters (including the terminator), binary values count bytes.
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = bytes(data[position : min(end, position + value_bytes)])
    position = _align4(position + value_bytes)
    children = []
    while position < end:
        child = parse_version_node(data, position)
        children.append(child)
        position = _align4(position + struct.unpack_from("<H", data, position)[0])
    return VersionNode(key, value_type, value, children)


def fixed_versions(root):
    """(file version, product version) as 4-tuples from the VS_FIXEDFILEINFO of the root node."""
    if len(root.value) < 52:
        raise FormatError("no fixed version information")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", root.value, 0)
    if signature != 0xFEEF04BD:
        raise FormatError(f"fixed version signature {signature:#x}")
    return _four_parts(file_ms, file_ls), _four_parts(product_ms, product_ls)


def string_tables(root):
    """{table key such as "040904B0": {name: value}} from the StringFileInfo node."""
    info = root.child("StringFileInfo")
    if info is None:
        return {}
    return {table.key: {entry.key: entry.text() for entry in table.children} for table in info.children}


def translations(root):
    """[(language, code page), ...] from the VarFileInfo node's Translation value."""
    info = root.child("VarFileInfo")
    var = info.child("Translation") if info is not None else None
    if var is None:
        return []
    count = len(var.value) // 4
    return [struct.unpack_from("<HH", var.value, 4 * i) for i in range(count)]


def _four_parts(ms, ls):
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def _utf16z(data, offset):
    end = offset
    while end + 1 < len(data) and (data[end] or data[end + 1]):
        end += 2
    if end + 1 >= len(data):
        raise FormatError("unterminated UTF-16 string")
    return bytes(data[offset:end]).decode("utf-16-le"), end + 2


def _align4(position):
    return (position + 3) & ~3


# --- icons and cursors ------------------------------------------------------------------------


class GroupEntry:
    def __init__(self, width, height, bit_count, size, resource_id):
        self.width = width
        self.height = height
        self.bit_count = bit_count
        self.size = size
        self.resource_id = resource_id


ICON_GROUP = 1
CURSOR_GROUP = 2


def parse_group(data, expected_kind):
    """The entries of an icon group (kind 1) or cursor group (kind 2) resource.

    Icon entries keep byte-sized width and height (0 meaning 256); cursor entries keep 16-bit width
    and height, the height counting colour image and mask together.
    """
    if len(data) < 6:
        raise FormatError("group directory too short")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != expected_kind:
        raise FormatError(f"group directory of kind {kind}, expected {expected_kind}")
    if len(data) < 6 + 14 * count:
        raise FormatError("group directory entries run past the data")
    entries = []
    for i in range(count):
        offset = 6 + 14 * i
        if kind == ICON_GROUP:
            width, height, _, _, _, bit_count, size, resource_id = struct.unpack_from(
                "<BBBBHHIH", data, offset
            )
            width, height = width or 256, height or 256
        else:
            width, height, _, bit_count, size, resource_id = struct.unpack_from("<HHHHIH", data, offset)
        entries.append(GroupEntry(width, height, bit_count, size, resource_id))
    return entries


def bitmap_header(data, offset=0):
    """(width, height, bit count) from a BITMAPINFOHEADER; the height includes the mask."""
    if len(data) < offset + 40:
        raise FormatError("bitmap header too short")
    size, width, height, planes, bit_count = struct.unpack_from("<IiiHH", data, offset)
    if size != 40 or planes != 1:
        raise FormatError(f"not a BITMAPINFOHEADER (size {size}, planes {planes})")
    return width, height, bit_count


def cursor_hot_spot(data):
    """A cursor image resource starts with its hot spot, two 16-bit coordinates."""
    if len(data) < 4:
        raise FormatError("cursor image too short")
    return struct.unpack_from("<HH", data, 0)


# --- pictures ---------------------------------------------------------------------------------


def gif_size(data):
    """(width, height) of the logical screen, or None when data is not a GIF."""
    if len(data) < 10 or data[:6] not in (b"GIF87a", b"GIF89a"):
        return None
    return struct.unpack_from("<HH", data, 6)


BASELINE = 0xC0


def jpeg_frame(data):
    """(frame marker, width, height) from the first start-of-frame segment, or None when data is not a
    JPEG or ends before a frame header. Marker 0xC0 is a baseline frame."""
    if data[:2] != b"\xff\xd8":
        return None
    position = 2
    while position + 4 <= len(data):
        if data[position] != 0xFF:
            return None
        marker = data[position + 1]
        if marker == 0xFF:  # fill byte
            position += 1
            continue
        if marker == 0x01 or 0xD0 <= marker <= 0xD7:
            position += 2
            continue
        if marker in (0xD9, 0xDA):  # end of image or start of scan before any frame header
            return None
        (length,) = struct.unpack_from(">H", data, position + 2)
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            if position + 9 > len(data):
                return None
            height, width = struct.unpack_from(">HH", data, position + 5)
            return marker, width, height
        position += 2 + length
    return None
