#!/usr/bin/env bash
# End-to-end scenarios under wine64, driven from outside by kestrove_driver.
#
#   tests/e2e/run_e2e.sh [scenario ...]      (default: all)
#   KESTROVE_TWIN=1 tests/e2e/run_e2e.sh     (the PE32+ twin even where the product could run)
#
# Tests the product build/win32/Kestrove.exe where this machine runs 32-bit code, with the i686 tools
# of build/win32-e2e (scripts/build.sh win32 win32-e2e); otherwise the twin build/win64/Kestrove.exe
# with the tools built beside it (scripts/build.sh win64). Says which in a line "e2e: testing ...".
# Work folder: build/e2e (Wine prefix, one folder per scenario, screens/). Prints one line per
# scenario and ends with "N passed, M failed"; exits non-zero when any scenario failed.

set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_DIR="$ROOT/tests/e2e"
E2E_WORK=${E2E_WORK:-$ROOT/build/e2e}

# shellcheck source=scripts/lib/product.sh
source "$ROOT/scripts/lib/product.sh"
pick_product "$ROOT"
E2E_EXE="$ROOT/$PRODUCT_EXE"
# Whatever runs inside the program's process or beside it is built for the program's architecture:
# the hook DLL the driver loads, the dialer doubles the program starts, the in-Wine checks.
if [ "$PRODUCT_FLAVOUR" = win32 ]; then
    E2E_TOOLS="$ROOT/build/win32-e2e"
    E2E_BUILD_HINT="scripts/build.sh win32 win32-e2e"
else
    E2E_TOOLS="$ROOT/build/win64"
    E2E_BUILD_HINT="scripts/build.sh win64"
fi
E2E_DRIVER="$E2E_TOOLS/kestrove_driver.exe"

# shellcheck source=scripts/lib/wine-session.sh
source "$ROOT/scripts/lib/wine-session.sh"
# shellcheck source=tests/e2e/lib.sh
source "$E2E_DIR/lib.sh"

SCENARIOS=()
for file in "$E2E_DIR"/scenarios/*.sh; do
    # shellcheck disable=SC1090
    source "$file"
done

echo "e2e: testing $(product_line)"
for needed in "$E2E_EXE" "$E2E_DRIVER"; do
    if [ ! -f "$needed" ]; then
        echo "missing $needed: build it with $E2E_BUILD_HINT"
        echo "0 passed, ${#SCENARIOS[@]} failed"
        exit 1
    fi
done

selected=("$@")
[ ${#selected[@]} -gt 0 ] || selected=("${SCENARIOS[@]}")
for name in "${selected[@]}"; do
    if ! declare -F "$name" >/dev/null; then
        echo "unknown scenario $name; known: ${SCENARIOS[*]}"
        exit 2
    fi
done

# Leftovers of an interrupted run: immutable flags and read-only mounts would block the clean-up.
release_leftovers() {
    [ -d "$E2E_WORK/runs" ] || return 0
    awk -v runs="$E2E_WORK/runs/" 'index($2, runs) == 1 { print $2 }' /proc/mounts | while read -r mnt; do
        umount "$mnt" 2>/dev/null
    done
    chattr -R -i "$E2E_WORK/runs" 2>/dev/null || true
}
release_leftovers
rm -rf "$E2E_WORK/runs" "$E2E_WORK/screens" "$E2E_WORK/logs"
mkdir -p "$E2E_WORK/runs"

trap 'wine_session_stop' EXIT
trap 'exit 130' INT TERM
echo "e2e: starting Wine (prefix $E2E_WORK/prefix)"
# A fresh prefix each run: nothing a scenario changes in the registry outlives the run.
rm -rf "$E2E_WORK/prefix"
if ! wine_session_start "$E2E_WORK/prefix" virtual; then
    echo "e2e: could not start Wine"
    echo "0 passed, ${#selected[@]} failed"
    exit 1
fi
echo "e2e: DISPLAY=$DISPLAY"

passed=0
failed=0
skipped=0
failures=()
for name in "${selected[@]}"; do
    echo "--- $name"
    rc=0
    (
        trap 'finish_scenario' EXIT
        "$name"
    ) || rc=$?
    case $rc in
    0)
        echo "PASS $name"
        passed=$((passed + 1))
        ;;
    "$E2E_SKIP")
        echo "SKIP $name"
        skipped=$((skipped + 1))
        ;;
    *)
        echo "FAIL $name"
        failed=$((failed + 1))
        failures+=("$name")
        ;;
    esac
done

[ "$skipped" -eq 0 ] || echo "e2e: $skipped skipped"
[ "$failed" -eq 0 ] || echo "e2e: failed: ${failures[*]}"
if [ -d "$E2E_WORK/screens" ]; then
    echo "e2e: screenshots in $E2E_WORK/screens: $(cd "$E2E_WORK/screens" && echo *.png)"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
