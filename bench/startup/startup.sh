#!/usr/bin/env bash
# Start-up under Wine: from launch to the main window shown, Kestrove (the product, PE32, where this
# machine runs 32-bit code; its PE32+ twin otherwise or with KESTROVE_TWIN=1) against a floor window
# with the same manifest, font, three themed controls and a 1 ms timer. One Wine session, the two in
# turns after one unmeasured start of each (the first start of a program reads it from disk), the median
# of each, and the ratio.
#
#   bash bench/startup/startup.sh [starts of each, default 9]
#
# Needs the product and the end-to-end tools of its architecture: scripts/build.sh win32 win32-e2e
# (or win64 for the twin). KESTROVE_EXE measures another Kestrove.exe of that architecture.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
STARTS=${1:-9}
# shellcheck source=scripts/lib/product.sh
source "$ROOT/scripts/lib/product.sh"
pick_product "$ROOT"
if [ "$PRODUCT_FLAVOUR" = win32 ]; then TOOLS=$ROOT/build/win32-e2e; else TOOLS=$ROOT/build/win64; fi
PROGRAM=${KESTROVE_EXE:-$ROOT/$PRODUCT_EXE}
WORK=$ROOT/build/startup
for needed in "$PROGRAM" "$TOOLS/startup/kestrove_startup_floor.exe" "$TOOLS/startup/kestrove_startup_launch.exe"; do
    [ -f "$needed" ] || { echo "missing $needed: build it with scripts/build.sh $PRODUCT_FLAVOUR ${PRODUCT_FLAVOUR/win32/win32-e2e}"; exit 1; }
done

# shellcheck source=scripts/lib/wine-session.sh
source "$ROOT/scripts/lib/wine-session.sh"
rm -rf "$WORK"
mkdir -p "$WORK/app"
trap 'wine_session_stop' EXIT
wine_session_start "$WORK/prefix" virtual || exit 1
# No settings file: the main window comes up, as on a first start.
cp "$PROGRAM" "$WORK/app/Kestrove.exe"
cp "$TOOLS/startup/kestrove_startup_floor.exe" "$TOOLS/startup/kestrove_startup_launch.exe" "$WORK/app/"

# launch <program.exe> <title>: ms from launch to its window shown.
launch() {
    local out
    out=$(cd "$WORK/app" && timeout -k 5 120 "$WINE" kestrove_startup_launch.exe "$1" "$2" 2>>"$WORK/launch.log") ||
        return 1
    printf '%s\n' "${out//$'\r'/}"
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

launch Kestrove.exe Kestrove >/dev/null && launch kestrove_startup_floor.exe "Kestrove floor" >/dev/null || {
    echo "a warm-up start failed: $(cat "$WORK/launch.log")"
    exit 1
}
kestrove=() floor=()
for ((i = 1; i <= STARTS; i++)); do
    k=$(launch Kestrove.exe Kestrove) && f=$(launch kestrove_startup_floor.exe "Kestrove floor") || {
        echo "start $i failed: $(cat "$WORK/launch.log")"
        exit 1
    }
    kestrove+=("$k") floor+=("$f")
done
echo "launch to window shown (${KESTROVE_EXE:-$(product_line)}), ms, $STARTS starts each in turns:"
echo "  Kestrove ${kestrove[*]}"
echo "  floor    ${floor[*]}"
# The fastest start as well: on a busy machine it is the one least disturbed.
k=$(median "${kestrove[@]}") f=$(median "${floor[@]}")
kf=$(printf '%s\n' "${kestrove[@]}" | sort -g | head -n1) ff=$(printf '%s\n' "${floor[@]}" | sort -g | head -n1)
awk -v k="$k" -v f="$f" -v kf="$kf" -v ff="$ff" 'BEGIN {
    printf "median: Kestrove %.1f ms, floor %.1f ms, ratio %.2fx (aim <= 1.3x: %s); fastest: %.1f / %.1f ms, %.2fx\n",
        k, f, k / f, (k / f <= 1.3 ? "met" : "NOT met"), kf, ff, kf / ff }'
