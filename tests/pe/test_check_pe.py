"""Tests of the executable checker: its byte readers on hand-made records, its checks on resources
built from the real art, and, when the MinGW tools are installed, the whole run on freshly linked
executables with and without the program's resources.

Run: /usr/bin/python3 -B -m unittest discover -s tests/pe
"""

import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import types
import unittest

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(HERE, "..", "..", "src", "resources")
sys.path.insert(0, HERE)

import check_pe  # noqa: E402
import manifest_rules  # noqa: E402
import pe_formats as fmt  # noqa: E402


def version_node(key, value=b"", value_type=0, children=(), value_length=None):
    """Lays out one version-record node the way resource compilers do."""
    head_key = key.encode("utf-16-le") + b"\0\0"
    body = struct.pack("<HHH", 0, 0, 0) + head_key
    body += b"\0" * (-len(body) % 4)
    body += value
    for child in children:
        body += b"\0" * (-len(body) % 4)
        body += child
    if value_length is None:
        value_length = len(value) // 2 if value_type == 1 else len(value)
    return struct.pack("<HHH", len(body), value_length, value_type) + body[6:]


def text_node(key, text, terminated=True):
    value = text.encode("utf-16-le") + (b"\0\0" if terminated else b"")
    return version_node(key, value, 1)


def fixed_info(file_version, product_version, signature=0xFEEF04BD):
    def split(v):
        return (v[0] << 16) | v[1], (v[2] << 16) | v[3]

    versions = (*split(file_version), *split(product_version))
    return struct.pack("<13I", signature, 0x10000, *versions, 0, 0, 4, 1, 0, 0, 0)


def version_record(strings, table="040904B0", translation=(0x0409, 1200), version=(1, 25, 0, 0)):
    table_node = version_node(table, children=[text_node(k, v) for k, v in strings.items()], value_type=1)
    string_info = version_node("StringFileInfo", children=[table_node], value_type=1)
    var = version_node("Translation", struct.pack("<HH", *translation))
    var_info = version_node("VarFileInfo", children=[var], value_type=1)
    return version_node("VS_VERSION_INFO", fixed_info(version, version), 0, [string_info, var_info])


class VersionRecordReading(unittest.TestCase):
    def test_reads_fixed_versions_strings_and_translation(self):
        root = fmt.parse_version_node(version_record({"FileVersion": "1.25", "Comments": "Hi there!"}))
        self.assertEqual(fmt.fixed_versions(root), ((1, 25, 0, 0), (1, 25, 0, 0)))
        strings = {"FileVersion": "1.25", "Comments": "Hi there!"}
        self.assertEqual(fmt.string_tables(root), {"040904B0": strings})
        self.assertEqual(fmt.translations(root), [(0x0409, 1200)])

    def test_strings_without_terminator_and_odd_key_lengths_keep_alignment(self):
        table = version_node(
            "040904B0",
            value_type=1,
            children=[text_node("A", "x", terminated=False), text_node("Longer", "yz"), text_node("B", "")],
        )
        root = fmt.parse_version_node(
            version_node("VS_VERSION_INFO", fixed_info((1, 2, 3, 4), (5, 6, 7, 8)), 0, [
                version_node("StringFileInfo", children=[table], value_type=1)
            ])
        )  # fmt: skip
        self.assertEqual(fmt.string_tables(root), {"040904B0": {"A": "x", "Longer": "yz", "B": ""}})
        self.assertEqual(fmt.fixed_versions(root), ((1, 2, 3, 4), (5, 6, 7, 8)))
        self.assertEqual(fmt.translations(root), [])

    def test_damaged_records_are_reported(self):
        good = version_record({"FileVersion": "1.25"})
        with self.assertRaises(fmt.FormatError):
            fmt.parse_version_node(good[: len(good) // 2])
        wrong_signature = version_node("VS_VERSION_INFO", fixed_info((1,) * 4, (1,) * 4, 0x1234))
        with self.assertRaises(fmt.FormatError):
            fmt.fixed_versions(fmt.parse_version_node(wrong_signature))
        with self.assertRaises(fmt.FormatError):
            fmt.fixed_versions(fmt.parse_version_node(version_node("VS_VERSION_INFO")))


class GroupAndPictureReading(unittest.TestCase):
    def test_icon_and_cursor_groups(self):
        icon = struct.pack("<HHH", 0, 1, 2) + struct.pack("<BBBBHHIH", 32, 32, 0, 0, 1, 24, 3240, 7)
        icon += struct.pack("<BBBBHHIH", 0, 0, 0, 0, 1, 32, 999, 8)
        entries = fmt.parse_group(icon, fmt.ICON_GROUP)
        seen = [(e.width, e.height, e.bit_count, e.resource_id) for e in entries]
        self.assertEqual(seen, [(32, 32, 24, 7), (256, 256, 32, 8)])

        cursor = struct.pack("<HHH", 0, 2, 1) + struct.pack("<HHHHIH", 32, 64, 1, 1, 312, 3)
        (entry,) = fmt.parse_group(cursor, fmt.CURSOR_GROUP)
        self.assertEqual((entry.width, entry.height, entry.bit_count, entry.resource_id), (32, 64, 1, 3))

        with self.assertRaises(fmt.FormatError):
            fmt.parse_group(cursor, fmt.ICON_GROUP)
        with self.assertRaises(fmt.FormatError):
            fmt.parse_group(icon[:20], fmt.ICON_GROUP)

    def test_gif_signature_and_size(self):
        self.assertEqual(fmt.gif_size(b"GIF89a" + struct.pack("<HH", 120, 60) + b"\0" * 3), (120, 60))
        self.assertEqual(fmt.gif_size(b"GIF87a" + struct.pack("<HH", 7, 9)), (7, 9))
        self.assertIsNone(fmt.gif_size(b"GIF88a" + struct.pack("<HH", 120, 60)))
        self.assertIsNone(fmt.gif_size(b"\x89PNG\r\n\x1a\n" + b"\0" * 16))

    def test_jpeg_frame_is_found_past_other_segments(self):
        app0 = b"\xff\xe0" + struct.pack(">H", 16) + b"JFIF\0" + b"\0" * 9

        def sof(marker):
            return bytes([0xFF, marker]) + struct.pack(">HBHHB", 11, 8, 166, 341, 1) + b"\1\x11\0"

        self.assertEqual(fmt.jpeg_frame(b"\xff\xd8" + app0 + sof(0xC0)), (0xC0, 341, 166))
        self.assertEqual(fmt.jpeg_frame(b"\xff\xd8" + app0 + b"\xff\xff" + sof(0xC2)), (0xC2, 341, 166))
        # The Huffman-table marker sits in the frame-marker range but is not a frame.
        dht = b"\xff\xc4" + struct.pack(">H", 5) + b"\0\0\0"
        self.assertEqual(fmt.jpeg_frame(b"\xff\xd8" + dht + sof(0xC0)), (0xC0, 341, 166))
        self.assertIsNone(fmt.jpeg_frame(b"\xff\xd8" + b"\xff\xda" + struct.pack(">H", 2) + sof(0xC0)))
        self.assertIsNone(fmt.jpeg_frame(b"GIF89a" + sof(0xC0)))
        self.assertIsNone(fmt.jpeg_frame(b"\xff\xd8" + app0))


def read_art(name):
    with open(os.path.join(RESOURCES, name), "rb") as f:
        return f.read()


def resources_from_art(ico=None, cur=None, banner=None, logo=None):
    """The resource table a resource compiler makes from the art files beside the .rc."""
    read = read_art
    ico = ico if ico is not None else read("kestrove.ico")
    cur = cur if cur is not None else read("hand.cur")
    resources = {}
    # An .ico entry is a group entry whose last field is a file offset instead of a resource id.
    count = struct.unpack_from("<H", ico, 4)[0]
    group = ico[:6]
    for i in range(count):
        entry = ico[6 + 16 * i : 22 + 16 * i]
        size, offset = struct.unpack_from("<II", entry, 8)
        group += entry[:12] + struct.pack("<H", i + 1)
        resources[(check_pe.RT_ICON, i + 1)] = [ico[offset : offset + size]]
    resources[(check_pe.RT_GROUP_ICON, check_pe.ICON_ID)] = [group]
    # A cursor image resource is the bitmap preceded by the hot spot.
    width, height, _, _, hot_x, hot_y, size, offset = struct.unpack_from("<BBBBHHII", cur, 6)
    bits = struct.unpack_from("<H", cur, offset + 14)[0]
    resources[(check_pe.RT_GROUP_CURSOR, check_pe.CURSOR_ID)] = [
        struct.pack("<HHH", 0, 2, 1) + struct.pack("<HHHHIH", width, height * 2, 1, bits, size + 4, 5)
    ]
    resources[(check_pe.RT_CURSOR, 5)] = [struct.pack("<HH", hot_x, hot_y) + cur[offset : offset + size]]
    banner = banner if banner is not None else read("banner.gif")
    logo = logo if logo is not None else read("logo.jpg")
    resources[(check_pe.RT_RCDATA, check_pe.BANNER_ID)] = [banner]
    resources[(check_pe.RT_RCDATA, check_pe.LOGO_ID)] = [logo]
    return resources


def run_check(check, *args):
    out = io.StringIO()
    report = check_pe.Report(out)
    check(report, *args)
    return report, out.getvalue()


class ResourceChecks(unittest.TestCase):
    def test_the_art_as_compiled_passes(self):
        resources = resources_from_art()
        for check in (check_pe.check_icon, check_pe.check_cursor, check_pe.check_pictures):
            report, text = run_check(check, resources)
            self.assertEqual(report.failed, 0, text)
            self.assertGreater(report.passed, 0)

    def test_wrong_icons_fail(self):
        resources = resources_from_art()
        resources[(check_pe.RT_GROUP_ICON, 101)] = resources[(check_pe.RT_GROUP_ICON, check_pe.ICON_ID)]
        report, text = run_check(check_pe.check_icon, resources)
        self.assertIn("FAIL  exactly one icon group", text)

        ico = bytearray(read_art("kestrove.ico"))
        ico[6] = 16  # the directory claims a 16 x 16 image
        report, text = run_check(check_pe.check_icon, resources_from_art(ico=bytes(ico)))
        self.assertIn("FAIL  icon group holds one 32x32 24-bit image: group entry 16x32", text)

        resources = resources_from_art()
        resources[(check_pe.RT_ICON, 2)] = resources[(check_pe.RT_ICON, 1)]
        report, text = run_check(check_pe.check_icon, resources)
        self.assertEqual(report.failed, 1, text)
        self.assertIn("FAIL  no icon images besides it", text)

    def test_misplaced_hot_spot_and_missing_cursor_fail(self):
        cur = bytearray(read_art("hand.cur"))
        cur[10] = 3
        report, text = run_check(check_pe.check_cursor, resources_from_art(cur=bytes(cur)))
        self.assertEqual(report.failed, 1, text)
        self.assertIn("hot spot (3, 0)", text)

        resources = resources_from_art()
        del resources[(check_pe.RT_GROUP_CURSOR, check_pe.CURSOR_ID)]
        report, text = run_check(check_pe.check_cursor, resources)
        self.assertEqual((report.passed, report.failed), (0, 2), text)

    def test_swapped_or_resized_pictures_fail(self):
        gif = read_art("banner.gif")
        jpg = read_art("logo.jpg")
        report, text = run_check(check_pe.check_pictures, resources_from_art(banner=jpg, logo=gif))
        self.assertEqual(report.failed, 2, text)

        resized = gif[:6] + struct.pack("<HH", 121, 60) + gif[10:]
        report, text = run_check(check_pe.check_pictures, resources_from_art(banner=resized))
        self.assertIn("FAIL  RCDATA 300 is a 120x60 GIF: GIF of 121x60", text)

        # Turn the baseline frame marker into a progressive one.
        position = jpg.index(b"\xff\xc0")
        progressive = jpg[:position] + b"\xff\xc2" + jpg[position + 2 :]
        report, text = run_check(check_pe.check_pictures, resources_from_art(logo=progressive))
        self.assertIn("frame marker 0xc2", text)


class SizeChecks(unittest.TestCase):
    def test_size_is_reported_and_limited_to_200_kb(self):
        report, text = run_check(check_pe.check_size, b"\0" * (200 * 1024))
        self.assertEqual(report.failed, 0, text)
        self.assertIn("PASS  size 204800 bytes (200.0 KB), at most 200 KB", text)
        report, text = run_check(check_pe.check_size, b"\0" * (200 * 1024 + 1))
        self.assertEqual(report.failed, 1, text)
        self.assertIn("FAIL  size 204801 bytes (200.0 KB), at most 200 KB: 1 bytes over", text)


class VersionAndImportChecks(unittest.TestCase):
    def test_expected_record_passes_and_each_deviation_fails(self):
        def failures(record):
            report, text = run_check(check_pe.check_version, {(check_pe.RT_VERSION, 1): [record]})
            return [line for line in text.splitlines() if line.startswith("FAIL")]

        self.assertEqual(failures(version_record(check_pe.EXPECTED_STRINGS)), [])

        missing = dict(check_pe.EXPECTED_STRINGS)
        del missing["InternalName"]
        self.assertEqual(
            failures(version_record(missing)), ["FAIL  version string InternalName = 'Kestrove': missing"]
        )

        extra = dict(check_pe.EXPECTED_STRINGS, CompanyName="Someone")
        self.assertEqual(
            failures(version_record(extra)),
            ["FAIL  no other version strings: unexpected strings ['CompanyName']"],
        )

        expected = check_pe.EXPECTED_STRINGS
        self.assertEqual(len(failures(version_record(expected, version=(1, 25, 0, 1)))), 2)
        self.assertEqual(len(failures(version_record(expected, translation=(0x0409, 1252)))), 1)
        # A table for another language leaves every string missing.
        self.assertEqual(len(failures(version_record(expected, table="040704B0"))), 1 + 7)

    def test_only_allowed_system_dlls_pass(self):
        def dll(name):
            return types.SimpleNamespace(dll=name.encode("ascii"))

        pe = types.SimpleNamespace(
            DIRECTORY_ENTRY_IMPORT=[dll("KERNEL32.dll"), dll("RasApi32.DLL"), dll("libstdc++-6.dll")],
            DIRECTORY_ENTRY_DELAY_IMPORT=[dll("wsock32.dll"), dll("OLEAUT32.dll")],
        )
        report, text = run_check(check_pe.check_imports, pe)
        self.assertEqual((report.passed, report.failed), (3, 3), text)
        self.assertIn("FAIL  imports libstdc++-6.dll: not a permitted system DLL", text)
        self.assertIn("FAIL  imports wsock32.dll", text)
        self.assertIn("FAIL  imports OLEAUT32.dll: loaded when the first picture is shown, not at start-up", text)

        report, text = run_check(check_pe.check_imports, types.SimpleNamespace())
        self.assertEqual(report.failed, 1, text)


def manifest_text():
    return read_art("kestrove.manifest").decode("utf-8")


def manifest_failures(text, machine="amd64", ids=(check_pe.MANIFEST_ID,)):
    """The report and its failure lines for manifests of this text under the given resource ids."""
    resources = {(check_pe.RT_MANIFEST, name): [text.encode("utf-8")] for name in ids}
    report, out = run_check(check_pe.check_manifest, resources, machine)
    return report, [line for line in out.splitlines() if line.startswith("FAIL")]


TRUST_INFO = (
    '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"><security><requestedPrivileges>'
    '<requestedExecutionLevel level="{}" uiAccess="false"/></requestedPrivileges></security></trustInfo>'
)


class ManifestChecks(unittest.TestCase):
    CHECKS = 1 + len(manifest_rules.RULES)

    def test_the_manifest_passes_in_either_image(self):
        for machine in check_pe.MACHINES:
            report, failed = manifest_failures(manifest_text(), machine)
            self.assertEqual(failed, [])
            self.assertEqual(report.passed, self.CHECKS)

    def test_a_named_architecture_must_be_the_images(self):
        identity = 'name="Kestrove" version="1.25.0.0" processorArchitecture="*"'
        controls = 'processorArchitecture="*" publicKeyToken'
        for old, check in ((identity, "identity"), (controls, "common controls")):
            text = manifest_text()
            self.assertIn(old, text)
            text = text.replace(old, old.replace("*", "amd64"))
            self.assertEqual(manifest_failures(text, "amd64")[1], [])
            (failed,) = manifest_failures(text, "i386")[1]
            self.assertIn(check, failed)

    def test_each_wrong_value_fails_its_own_check(self):
        cases = [
            ('version="1.25.0.0"', 'version="1.24.0.0"', "identity"),
            ('name="Kestrove"', 'name="Other"', "identity"),
            ('version="6.0.0.0"', 'version="5.82.0.0"', "common controls"),
            ("6595b64144ccf1df", "0000000000000000", "common controls"),
            (">true</dpiAware>", ">false</dpiAware>", "DPI"),
            ("SMI/2005/WindowsSettings", "SMI/2006/WindowsSettings", "DPI"),
            ("{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{1f676c76-80e1-4239-95bb-83d0f6d0da79}", "8.1"),
        ]
        for old, new, check in cases:
            with self.subTest(new=new):
                text = manifest_text()
                self.assertIn(old, text)
                failed = manifest_failures(text.replace(old, new, 1))[1]
                self.assertEqual(len(failed), 1, failed)
                self.assertIn(check, failed[0])

    def test_missing_or_added_sections_and_a_later_resolution_setting_fail(self):
        text = manifest_text()
        cases = [
            (re.sub(r"<dependency>.*?</dependency>", "", text, flags=re.S), "common controls"),
            (text.replace("</assembly>", TRUST_INFO.format("asInvoker") + "</assembly>"), "execution level"),
            (
                text.replace("</assembly>", TRUST_INFO.format("highestAvailable") + "</assembly>").replace(
                    "asm.v3\"><security", "asm.v2\"><security"
                ),
                "execution level",
            ),
            (re.sub(r"<dpiAware .*?</dpiAware>", "", text, flags=re.S), "DPI"),
            (re.sub(r"<supportedOS [^>]*/><!-- Vista -->", "", text), "Vista"),
            (
                text.replace(
                    "</windowsSettings>",
                    '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">'
                    "PerMonitorV2</dpiAwareness></windowsSettings>",
                ),
                "DPI",
            ),
        ]
        for changed, check in cases:
            with self.subTest(check=check):
                self.assertNotEqual(changed, text)
                failed = manifest_failures(changed)[1]
                self.assertEqual(len(failed), 1, failed)
                self.assertIn(check, failed[0])

    def test_absent_extra_or_unreadable_manifests_fail_every_check(self):
        text = manifest_text()
        for ids, content, reason in (
            ((), text, "manifests []"),
            ((1, 2), text, "manifests [1, 2]"),
            ((2,), text, "manifests [2]"),
            ((1,), text[: len(text) // 2], "not well-formed"),
            ((1,), "<assembly manifestVersion='1.0'/>", "root element assembly"),
        ):
            with self.subTest(ids=ids, reason=reason):
                report, failed = manifest_failures(content, ids=ids)
                self.assertEqual((report.passed, len(failed)), (0, self.CHECKS))
                self.assertIn(reason, failed[0])


MINGW = ("x86_64-w64-mingw32-windres", "x86_64-w64-mingw32-g++-win32")


@unittest.skipUnless(all(shutil.which(tool) for tool in MINGW), "MinGW-w64 tools not installed")
class WholeExecutable(unittest.TestCase):
    """Links a trivial GUI program with and without the program's resources and checks both, and one
    that throws, which brings the library's own terminate handler."""

    @classmethod
    def setUpClass(cls):
        cls.directory = tempfile.TemporaryDirectory()
        work = cls.directory.name
        source = os.path.join(work, "main.cpp")
        with open(source, "w") as f:
            f.write("#include <windows.h>\n")
            f.write("int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }\n")
        resources = os.path.join(work, "kestrove.o")
        script = os.path.join(RESOURCES, "kestrove.rc")
        subprocess.run([MINGW[0], script, "-O", "coff", "-o", resources], check=True)
        cls.with_resources = os.path.join(work, "with.exe")
        cls.without_resources = os.path.join(work, "without.exe")
        link = [MINGW[1], "-mwindows", "-static", "-Wl,--no-insert-timestamp", source]
        subprocess.run(link + [resources, "-o", cls.with_resources], check=True)
        subprocess.run(link + ["-o", cls.without_resources], check=True)
        cls.stamped = os.path.join(work, "stamped.exe")
        subprocess.run(link[:-2] + ["-Wl,--insert-timestamp", source, resources, "-o", cls.stamped], check=True)
        throwing = os.path.join(work, "throwing.cpp")
        with open(throwing, "w") as f:
            f.write("#include <windows.h>\n")
            f.write("int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { throw 1; }\n")
        cls.throwing = os.path.join(work, "throwing.exe")
        subprocess.run(link[:-1] + [throwing, resources, "-o", cls.throwing], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.directory.cleanup()

    def run_main(self, *args):
        out = io.StringIO()
        saved, sys.stdout = sys.stdout, out
        try:
            status = check_pe.main(["check_pe.py", *args])
        finally:
            sys.stdout = saved
        return status, out.getvalue().splitlines()

    def test_program_with_its_resources_passes(self):
        status, lines = self.run_main(self.with_resources, "amd64")
        self.assertEqual(status, 0, "\n".join(lines))
        self.assertRegex(lines[-1], r"^[1-9][0-9]* passed, 0 failed$")

    def test_program_with_a_build_time_in_its_header_fails(self):
        status, lines = self.run_main(self.stamped, "amd64")
        self.assertEqual(status, 1)
        failed = [line for line in lines if line.startswith("FAIL")]
        self.assertEqual(len(failed), 1, lines)
        self.assertRegex(failed[0], r"^FAIL  no time stamp in the header: TimeDateStamp 0x[0-9a-f]{8}$")
        self.assertIn("PASS  no time stamp in the header", self.run_main(self.with_resources, "amd64")[1])

    def test_program_with_the_library_terminate_handler_fails(self):
        status, lines = self.run_main(self.throwing, "amd64")
        self.assertEqual(status, 1)
        self.assertIn("FAIL  no verbose terminate handler: the library's handler is linked in", lines)

    def test_program_without_resources_fails(self):
        status, lines = self.run_main(self.without_resources, "amd64")
        self.assertEqual(status, 1)
        self.assertIn("FAIL  exactly one icon group, id 100: icon groups []", lines)
        self.assertIn("FAIL  one well-formed manifest, id 1: manifests [], expected only id 1", lines)
        self.assertRegex(lines[-1], r"^[0-9]+ passed, [1-9][0-9]* failed$")

    def test_wrong_machine_and_non_executable_fail(self):
        status, lines = self.run_main(self.with_resources, "i386")
        self.assertEqual(status, 1)
        self.assertTrue(any(line.startswith("FAIL  PE32 image for i386") for line in lines), lines)

        status, lines = self.run_main(os.path.join(RESOURCES, "logo.jpg"), "i386")
        self.assertEqual((status, lines[-1]), (1, "0 passed, 1 failed"))


if __name__ == "__main__":
    unittest.main()
