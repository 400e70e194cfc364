#!/usr/bin/env bash
# A simulated week: every scenario through the program's own main window and keeper on the simulated
# platform's clock, and through models of the redial policies people use instead; one line per scenario
# and policy, "week: <scenario> <policy> attempts=.. worst_hour=.. recovery_s=.. gave_up=..", then
# "check:" lines for any target the program misses.
#
#   bash bench/week/run.sh [--holds-ticked | --all-ticked] [scenario ...]
#
# Builds the host flavour's sources without sanitizers, optimised, in build/week. The scenarios run two at
# a time; the lines come out in the scenarios' order.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$ROOT/build/week
JOBS=$(nproc 2>/dev/null || echo 2)
[ "$JOBS" -gt 2 ] && JOBS=2

mkdir -p "$BUILD"
# -O2: GCC 12's -O3 warns falsely (-Wrestrict) inside the standard library in the simulated platform.
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    >"$BUILD/configure.log" 2>&1 || {
    cat "$BUILD/configure.log"
    exit 1
}
cmake --build "$BUILD" --target kestrove_week -j "$JOBS" >"$BUILD/build.log" 2>&1 || {
    cat "$BUILD/build.log"
    exit 1
}
WEEK=$BUILD/bench/week/kestrove_week

options=() scenarios=()
for arg in "$@"; do
    case $arg in
    --*) options+=("$arg") ;;
    *) scenarios+=("$arg") ;;
    esac
done
[ ${#scenarios[@]} -gt 0 ] || scenarios=(drops-9x drops-nt outage-9x outage-nt stale-session wrong-password busy
    false-success sleep-9x sleep-nt hung-dialer)

OUT=$BUILD/out
rm -rf "$OUT"
mkdir -p "$OUT"
start=$(date +%s)
printf '%s\n' "${scenarios[@]}" |
    xargs -P "$JOBS" -I{} sh -c 'out=$0 name=$1; shift; "$@" >"$out/$name.txt" 2>&1' "$OUT" {} "$WEEK" "${options[@]}" {}
status=0
missed=0
for scenario in "${scenarios[@]}"; do
    grep -v '^check: [0-9]* target' "$OUT/$scenario.txt" || status=1
    grep -q "^week: $scenario kestrove " "$OUT/$scenario.txt" || status=1
    n=$(sed -n 's/^check: \([0-9]*\) target.*/\1/p' "$OUT/$scenario.txt")
    missed=$((missed + ${n:-0}))
done
echo "check: $missed target(s) missed; $(( $(date +%s) - start )) s for the runs"
exit $status
