#!/usr/bin/env bash
# Lists the mutable variables at namespace scope (and static data members) in src/ outside
# src/platform/win32, one "file:line: name" each, as clang-tidy's
# cppcoreguidelines-avoid-non-const-global-variables finds them in the host build's sources and the
# headers they include. Only Module3::RegistryStatus may be there.
#
#   scripts/globals.sh           list them
#   scripts/globals.sh --check   list them; exit 1 when any other is found (2 when it cannot run)
#
# Needs clang-tidy and build/host/compile_commands.json (bash scripts/build.sh host).

set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 2
DB=${KESTROVE_HOST_BUILD:-build/host}
allowed='src/keeper/[A-Za-z]+\.(cpp|h):[0-9]+: RegistryStatus$'

if ! command -v clang-tidy >/dev/null; then
    echo "globals: clang-tidy is missing" >&2
    exit 2
fi
if [ ! -f "$DB/compile_commands.json" ]; then
    echo "globals: no $DB/compile_commands.json; build the host flavour first" >&2
    exit 2
fi

# The program's own sources the host build compiles; platform/win32 is not among them.
mapfile -t sources < <(python3 - "$DB/compile_commands.json" "$ROOT" <<'PY'
import json, os, sys
root = sys.argv[2] + "/src/"
for entry in json.load(open(sys.argv[1])):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root) and not path.startswith(root + "platform/win32/"):
        print(path)
PY
)
if [ "${#sources[@]}" -eq 0 ]; then
    echo "globals: no sources of src/ in $DB/compile_commands.json" >&2
    exit 2
fi

found=$(printf '%s\n' "${sources[@]}" | sort -u |
    xargs -P "$(nproc 2>/dev/null || echo 2)" -n 4 clang-tidy -p "$DB" --quiet \
        --checks='-*,cppcoreguidelines-avoid-non-const-global-variables' \
        --header-filter="^$ROOT/src/" 2>/dev/null |
    sed -n "s|^$ROOT/\(src/[^:]*\):\([0-9]*\):[0-9]*: warning: variable '\([^']*\)' .*|\1:\2: \3|p" |
    grep -v '^src/platform/win32/' | sort -u)

[ -n "$found" ] && printf '%s\n' "$found"
if [ "${1:-}" = "--check" ]; then
    others=$(printf '%s\n' "$found" | grep -Ev "$allowed" | grep -v '^$')
    if [ -n "$others" ]; then
        echo "globals: mutable namespace-scope state beyond Module3::RegistryStatus:" >&2
        printf '%s\n' "$others" >&2
        exit 1
    fi
    printf '%s\n' "$found" | grep -Eq "$allowed" || {
        echo "globals: Module3::RegistryStatus not found: is the check still looking?" >&2
        exit 1
    }
fi
exit 0
