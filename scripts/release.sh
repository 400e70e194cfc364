#!/usr/bin/env bash
# Builds the release from a clean build folder and packs it: dist/Kestrove-<version>.zip with
# Kestrove.exe (PE32) and README.txt (CR LF, for Windows users). Prints the SHA-256 of both the
# executable and the zip. Every build of one commit gives the same bytes, so anyone can rebuild a
# Kestrove.exe they were given and compare.
#
#   bash scripts/release.sh
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

VERSION=$(sed -n 's/^project(Kestrove VERSION \([0-9]*\.[0-9]*\)\..*/\1/p' CMakeLists.txt)
[ -n "$VERSION" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
BUILD=build/release
rm -rf "$BUILD"
mkdir -p "$BUILD" dist
cmake --preset win32 -B "$BUILD" >"$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log"; exit 1; }
cmake --build "$BUILD" -j "$(nproc 2>/dev/null || echo 2)" >"$BUILD.build.log" 2>&1 ||
    { tail -n 40 "$BUILD.build.log"; exit 1; }
/usr/bin/python3 -B tests/pe/check_pe.py "$BUILD/Kestrove.exe" i386 >"$BUILD.check.log" ||
    { cat "$BUILD.check.log"; exit 1; }

# The zip itself is reproducible too: fixed entry times (the commit's, or 2000-01-01 outside git), fixed
# attributes, fixed order.
ZIP="dist/Kestrove-$VERSION.zip"
STAMP=$(git log -1 --format=%ct 2>/dev/null || echo 946684800)
/usr/bin/python3 - "$ZIP" "$STAMP" "$BUILD/Kestrove.exe" scripts/release/README.txt <<'PY'
import sys, time, zipfile

target, stamp, exe, readme = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
when = time.gmtime(max(stamp, 315532800))[:6]  # zip times start in 1980


def add(archive, name, data):
    entry = zipfile.ZipInfo(name, when)
    entry.create_system = 0  # MS-DOS attributes, as Windows writes them
    entry.external_attr = 0x20  # "archive"
    archive.writestr(entry, data, zipfile.ZIP_DEFLATED)


with open(exe, "rb") as f:
    program = f.read()
with open(readme, "rb") as f:
    text = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
with zipfile.ZipFile(target, "w") as archive:
    add(archive, "Kestrove.exe", program)
    add(archive, "README.txt", text)
PY
echo "release: $ZIP"
(cd "$BUILD" && sha256sum Kestrove.exe)
sha256sum "$ZIP"
