#!/usr/bin/python3
"""Checks a built Kestrove.exe: its size, format and machine, GUI subsystem, a header without a build
time (so that two builds of one tree are byte for byte the same), the version record, the
icon, the hand cursor, the two pictures, the application manifest and the imported DLLs.

usage: check_pe.py PATH/Kestrove.exe i386|amd64

Prints one line per check and then "N passed, M failed"; the exit status is 1 when anything failed.
Needs the pefile module (Debian: python3-pefile, run with /usr/bin/python3).
"""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import manifest_rules  # noqa: E402
import pe_formats as fmt  # noqa: E402

MACHINES = {
    # expected machine -> (IMAGE_FILE_MACHINE_*, optional-header magic, format name)
    "i386": (0x014C, 0x10B, "PE32"),
    "amd64": (0x8664, 0x20B, "PE32+"),
}
GUI_SUBSYSTEM = 2

SIZE_LIMIT_KB = 200
# Written only by libstdc++'s default terminate handler, which brings a demangler and printf with it.
VERBOSE_TERMINATE_TEXT = b"terminate called"

EXPECTED_VERSION = (1, 25, 0, 0)
EXPECTED_STRING_TABLE = "040904B0"
EXPECTED_STRINGS = {
    "Comments": "Reconnects you to the Internet if you were disconnected!",
    "FileDescription": "Kestrove",
    "FileVersion": "1.25",
    "InternalName": "Kestrove",
    "OriginalFilename": "Kestrove.exe",
    "ProductName": "Kestrove",
    "ProductVersion": "1.25",
}
EXPECTED_TRANSLATIONS = [(0x0409, 1200)]

ICON_ID = 100
CURSOR_ID = 200
BANNER_ID = 300
LOGO_ID = 301
MANIFEST_ID = 1  # the one the loader reads for the process

RT_CURSOR, RT_ICON, RT_RCDATA, RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION = 1, 3, 10, 12, 14, 16
RT_MANIFEST = 24

ALLOWED_DLLS = {
    "kernel32.dll",
    "user32.dll",
    "gdi32.dll",
    "shell32.dll",
    "advapi32.dll",
    "rasapi32.dll",
    "comctl32.dll",
    "msvcrt.dll",
}
# The picture loader's libraries, loaded when the first picture is shown: importing them would load
# them at every start.
LOADED_ON_FIRST_USE = {"ole32.dll", "oleaut32.dll"}


class MissingResource(LookupError):
    pass


class Report:
    def __init__(self, out=None):
        self.passed = 0
        self.failed = 0
        self._out = out if out is not None else sys.stdout

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
        suffix = f": {detail}" if detail and not ok else ""
        print(f"{'PASS' if ok else 'FAIL'}  {what}{suffix}", file=self._out)
        return ok

    def attempt(self, what, check):
        """Runs check() -> (ok, detail); a format error inside counts as a failure of this check."""
        try:
            ok, detail = check()
        except (fmt.FormatError, MissingResource) as error:
            ok, detail = False, str(error)
        return self.check(ok, what, detail)

    def summary(self):
        print(f"{self.passed} passed, {self.failed} failed", file=self._out)


def collect_resources(pe):
    """{(type id, name id): [data of each language]} for every resource with numeric type and name;
    string-named entries keep their name as text."""
    found = {}
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    if directory is None:
        return found
    for type_entry in directory.entries:
        type_key = _entry_key(type_entry)
        for name_entry in _subentries(type_entry):
            name_key = _entry_key(name_entry)
            for lang_entry in _subentries(name_entry):
                rva, size = lang_entry.data.struct.OffsetToData, lang_entry.data.struct.Size
                found.setdefault((type_key, name_key), []).append(pe.get_data(rva, size))
    return found


def _entry_key(entry):
    return entry.id if entry.name is None else str(entry.name)


def _subentries(entry):
    directory = getattr(entry, "directory", None)
    return directory.entries if directory is not None else []


def single(resources, type_id, name_id):
    """The data of the one resource with this type and name; raises MissingResource when it is missing
    or present in more than one language."""
    datas = resources.get((type_id, name_id), [])
    if len(datas) != 1:
        raise MissingResource(f"{len(datas)} resources of type {type_id} with id {name_id}, expected 1")
    return datas[0]


def names_of_type(resources, type_id):
    return sorted((name for t, name in resources if t == type_id), key=str)


def check_size(report, data):
    size = len(data)
    # The line names the size whether it passes or fails, so every run reports it.
    report.check(
        size <= SIZE_LIMIT_KB * 1024,
        f"size {size} bytes ({size / 1024:.1f} KB), at most {SIZE_LIMIT_KB} KB",
        f"{size - SIZE_LIMIT_KB * 1024} bytes over",
    )
    linked = VERBOSE_TERMINATE_TEXT in data
    report.check(not linked, "no verbose terminate handler", "the library's handler is linked in")


def check_headers(report, pe, machine):
    expected_machine, expected_magic, format_name = MACHINES[machine]
    actual_machine = pe.FILE_HEADER.Machine
    actual_magic = pe.OPTIONAL_HEADER.Magic
    report.check(
        actual_machine == expected_machine and actual_magic == expected_magic,
        f"{format_name} image for {machine}",
        f"machine {actual_machine:#06x}, optional header magic {actual_magic:#05x}",
    )
    subsystem = pe.OPTIONAL_HEADER.Subsystem
    report.check(subsystem == GUI_SUBSYSTEM, "GUI subsystem", f"subsystem {subsystem}")
    stamp = pe.FILE_HEADER.TimeDateStamp
    report.check(stamp == 0, "no time stamp in the header", f"TimeDateStamp {stamp:#010x}")


def check_version(report, resources):
    def root():
        names = names_of_type(resources, RT_VERSION)
        if len(names) != 1:
            raise MissingResource(f"{len(names)} version records, expected 1")
        return fmt.parse_version_node(single(resources, RT_VERSION, names[0]))

    def fixed(index, label):
        def check():
            version = fmt.fixed_versions(root())[index]
            return version == EXPECTED_VERSION, f"{label} version is {'.'.join(map(str, version))}"

        return check

    report.attempt("fixed file version 1.25.0.0", fixed(0, "file"))
    report.attempt("fixed product version 1.25.0.0", fixed(1, "product"))

    def tables():
        return fmt.string_tables(root())

    report.attempt(
        f"one string table, {EXPECTED_STRING_TABLE}",
        lambda: (list(tables()) == [EXPECTED_STRING_TABLE], f"string tables {list(tables())}"),
    )
    for name, expected in EXPECTED_STRINGS.items():

        def string_check(name=name, expected=expected):
            strings = tables().get(EXPECTED_STRING_TABLE, {})
            if name not in strings:
                return False, "missing"
            return strings[name] == expected, f"is {strings[name]!r}"

        report.attempt(f"version string {name} = {expected!r}", string_check)

    def no_extra():
        extra = sorted(set(tables().get(EXPECTED_STRING_TABLE, {})) - set(EXPECTED_STRINGS))
        return not extra, f"unexpected strings {extra}"

    report.attempt("no other version strings", no_extra)
    report.attempt(
        "translation 0x0409, code page 1200",
        lambda: (
            fmt.translations(root()) == EXPECTED_TRANSLATIONS,
            "translations " + ", ".join(f"{lang:#06x}/{cp}" for lang, cp in fmt.translations(root())),
        ),
    )


def check_icon(report, resources):
    def one_group():
        names = names_of_type(resources, RT_GROUP_ICON)
        return names == [ICON_ID], f"icon groups {names}"

    def one_image():
        entries = fmt.parse_group(single(resources, RT_GROUP_ICON, ICON_ID), fmt.ICON_GROUP)
        if len(entries) != 1:
            return False, f"{len(entries)} images in the group"
        entry = entries[0]
        if (entry.width, entry.height, entry.bit_count) != (32, 32, 24):
            return False, f"group entry {entry.width}x{entry.height}, {entry.bit_count}-bit"
        width, height, bits = fmt.bitmap_header(single(resources, RT_ICON, entry.resource_id))
        return (width, height, bits) == (32, 64, 24), f"image header {width}x{height}, {bits}-bit"

    def no_stray_images():
        names = names_of_type(resources, RT_ICON)
        return len(names) == 1, f"{len(names)} icon images"

    report.attempt(f"exactly one icon group, id {ICON_ID}", one_group)
    report.attempt("icon group holds one 32x32 24-bit image", one_image)
    report.attempt("no icon images besides it", no_stray_images)


def check_cursor(report, resources):
    def cursor():
        entries = fmt.parse_group(single(resources, RT_GROUP_CURSOR, CURSOR_ID), fmt.CURSOR_GROUP)
        if len(entries) != 1:
            raise MissingResource(f"{len(entries)} images in the cursor group")
        return entries[0], single(resources, RT_CURSOR, entries[0].resource_id)

    def size():
        entry, data = cursor()
        width, height, _ = fmt.bitmap_header(data, 4)
        ok = (entry.width, entry.height, width, height) == (32, 64, 32, 64)
        return ok, f"group entry {entry.width}x{entry.height}, image header {width}x{height}"

    def hot_spot():
        _, data = cursor()
        spot = fmt.cursor_hot_spot(data)
        return spot == (0, 0), f"hot spot {spot}"

    report.attempt(f"cursor {CURSOR_ID} is one 32x32 image", size)
    report.attempt(f"cursor {CURSOR_ID} hot spot 0,0", hot_spot)


def check_pictures(report, resources):
    def banner():
        size = fmt.gif_size(single(resources, RT_RCDATA, BANNER_ID))
        if size is None:
            return False, "no GIF signature"
        return size == (120, 60), f"GIF of {size[0]}x{size[1]}"

    def logo():
        frame = fmt.jpeg_frame(single(resources, RT_RCDATA, LOGO_ID))
        if frame is None:
            return False, "no JPEG start of image and frame header"
        marker, width, height = frame
        ok = marker == fmt.BASELINE and (width, height) == (341, 166)
        return ok, f"frame marker {marker:#04x}, {width}x{height}"

    report.attempt(f"RCDATA {BANNER_ID} is a 120x60 GIF", banner)
    report.attempt(f"RCDATA {LOGO_ID} is a 341x166 baseline JPEG", logo)


def check_manifest(report, resources, machine):
    def root():
        names = names_of_type(resources, RT_MANIFEST)
        if names != [MANIFEST_ID]:
            raise MissingResource(f"manifests {names}, expected only id {MANIFEST_ID}")
        return manifest_rules.parse(single(resources, RT_MANIFEST, MANIFEST_ID))

    report.attempt(f"one well-formed manifest, id {MANIFEST_ID}", lambda: (root() is not None, ""))
    for what, rule in manifest_rules.RULES:
        report.attempt(what, lambda rule=rule: rule(root(), machine))


def imported_dlls(pe):
    names = []
    for attribute in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, attribute, []):
            names.append(entry.dll.decode("ascii", "replace"))
    return names


def check_imports(report, pe):
    dlls = imported_dlls(pe)
    report.check(bool(dlls), "imports at least one DLL", "no import table")
    for dll in dlls:
        if dll.lower() in LOADED_ON_FIRST_USE:
            report.check(False, f"imports {dll}", "loaded when the first picture is shown, not at start-up")
        else:
            report.check(dll.lower() in ALLOWED_DLLS, f"imports {dll}", "not a permitted system DLL")


def run(path, machine, out=None):
    import pefile

    report = Report(out)
    try:
        with open(path, "rb") as f:
            data = f.read()
        pe = pefile.PE(data=data)
    except (OSError, pefile.PEFormatError) as error:
        report.check(False, f"{path} is a PE image", str(error))
        report.summary()
        return report
    with pe:
        check_size(report, data)
        check_headers(report, pe, machine)
        resources = collect_resources(pe)
        check_version(report, resources)
        check_icon(report, resources)
        check_cursor(report, resources)
        check_pictures(report, resources)
        check_manifest(report, resources, machine)
        check_imports(report, pe)
    report.summary()
    return report


def main(argv):
    if len(argv) != 3 or argv[2] not in MACHINES:
        print("usage: check_pe.py PATH/Kestrove.exe i386|amd64", file=sys.stderr)
        return 2
    report = run(argv[1], argv[2])
    return 1 if report.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
