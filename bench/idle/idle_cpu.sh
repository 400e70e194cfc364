#!/usr/bin/env bash
# The idle cost of Kestrove armed in the tray with its line up, against the floor: a program that does
# nothing but one window lookup per 1 ms timer tick and owns one hidden window, as a program in the tray
# must (under Wine the first window gives the thread a display connection that every wait for a message
# polls; the same floor without any window is shown too, with its ratios). They run under Wine in the
# same session, one after the other and in turns (other work on the machine weighs on both alike), for
# the 9x family (Windows 98 mode, the registry flag up) and the NT family (a dial-up service double
# listing the entry connected). Cost = CPU time of the program's process plus the Wine server's over the
# same stretch, in ms per second, and per tick of the watch: both programs count their timer ticks (the
# program as idle/kestrove_counted.exe, its own sources built with a counter in the timers), so that a
# program whose timer ticks less often does not look cheaper. Ratios are those of the totals over all turns.
#
#   bash bench/idle/idle_cpu.sh [seconds per measurement, default 20] [turns, default 3]
#
# Needs build/win64 built by scripts/build.sh win64 (KESTROVE_BUILD chooses another build folder).
# KESTROVE_BEFORE=<build folder of another commit> measures that build's program too, in the same turns,
# as "before", for a before/after comparison in one run.
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SECONDS_EACH=${1:-20}
TURNS=${2:-3}
BUILD=${KESTROVE_BUILD:-$ROOT/build/win64}
BEFORE=${KESTROVE_BEFORE:-}
WORK=$ROOT/build/idle
ENTRY="Idle Line"
for needed in kestrove_driver.exe idle/kestrove_counted.exe idle/kestrove_idle_floor.exe idle/rasapi32.dll; do
    [ -f "$BUILD/$needed" ] || { echo "missing $BUILD/$needed: build it with scripts/build.sh win64"; exit 1; }
done
if [ -n "$BEFORE" ] && [ ! -f "$BEFORE/idle/kestrove_counted.exe" ]; then
    echo "missing $BEFORE/idle/kestrove_counted.exe: build that tree with scripts/build.sh win64"
    exit 1
fi

# shellcheck source=scripts/lib/wine-session.sh
source "$ROOT/scripts/lib/wine-session.sh"
rm -rf "$WORK"
mkdir -p "$WORK"
trap 'wine_session_stop' EXIT
wine_session_start "$WORK/prefix" virtual || exit 1

reg() { timeout -k 5 60 "$WINE" reg "$@" >/dev/null 2>&1; }
# CPU time of every thread of a process so far, in microseconds (the scheduler's own account, finer than
# the clock ticks of /proc/<pid>/stat).
cpu_us() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%d", ns / 1000 }'; }

# The Wine server of this session's prefix.
server_pid() {
    local pid
    for pid in $(pgrep wineserver); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$pid"; return; }
    done
}

# run_and_measure <folder> <program.exe> <argument> [env assignments...]: prints the CPU of the program
# and of the server in microseconds and the ticks counted, over the measured stretch, and for Kestrove
# its counter line after a bar.
run_and_measure() {
    local folder=$1 program=$2 argument=$3 pid server a0 s0 t0 a1 s1 t1 ticks="$1/ticks-$2.bin"
    shift 3
    rm -f "$ticks"
    (cd "$folder" && exec env KESTROVE_TICK_FILE="ticks-$program.bin" "$@" "$WINE" "$folder/$program" \
        $argument) >"$folder/$program.log" 2>&1 &
    pid=$!
    sleep 5  # start-up, and Kestrove into the tray
    server=$(server_pid)
    grep -q "$program" "/proc/$pid/cmdline" || { echo "pid $pid is not $program" >&2; return 1; }
    [ -s "$ticks" ] || { echo "$program counts no ticks in $ticks" >&2; return 1; }
    a0=$(cpu_us "$pid") s0=$(cpu_us "$server") t0=$(read_ticks "$ticks")
    sleep "$SECONDS_EACH"
    a1=$(cpu_us "$pid") s1=$(cpu_us "$server") t1=$(read_ticks "$ticks")
    local counter=""
    if [ "$program" != kestrove_idle_floor.exe ]; then
        counter=$(timeout 60 "$WINE" "$BUILD/kestrove_driver.exe" text Kestrove 1006 2>/dev/null | tr -d '\r')
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    echo "$((a1 - a0)) $((s1 - s0)) $((t1 - t0))|$counter"
}

# The count the program keeps in the first four bytes of its tick file.
read_ticks() { od -An -tu4 -N4 "$1" | tr -d ' '; }

# "<program us> <server us> <ticks>" as "total (program + server) ms/s, ticks/s, us per tick".
show() {
    awk -v p="${1%% *}" -v rest="${1#* }" -v s="$SECONDS_EACH" 'BEGIN {
        split(rest, r, " "); srv = r[1]; t = r[2]
        printf "%.2f (%.2f + %.2f) ms/s, %d ticks/s, %.1f us/tick", (p + srv) / s / 1000, p / s / 1000,
            srv / s / 1000, t / s, (t > 0 ? (p + srv) / t : 0) }'
}

measure_family() {
    local family=$1 folder="$WORK/$1" overrides=()
    mkdir -p "$folder"
    cp "$BUILD/idle/kestrove_counted.exe" "$BUILD/idle/kestrove_idle_floor.exe" "$folder/"
    [ -z "$BEFORE" ] || cp "$BEFORE/idle/kestrove_counted.exe" "$folder/kestrove_before.exe"
    printf '"%s"\r\n1\r\n' "$ENTRY" >"$folder/kestrove.rkf"
    if [ "$family" = 9x ]; then
        reg add 'HKCU\Software\Wine\AppDefaults\kestrove_counted.exe' /v Version /d win98 /f
        reg add 'HKCU\Software\Wine\AppDefaults\kestrove_idle_floor.exe' /v Version /d win98 /f
        reg add 'HKCU\Software\Wine\AppDefaults\kestrove_before.exe' /v Version /d win98 /f
        reg add 'HKLM\System\CurrentControlSet\Services\RemoteAccess' /v "Remote Connection" /t REG_BINARY /d 01000000 /f
    else
        cp "$BUILD/idle/rasapi32.dll" "$folder/"
        printf '%s\n' "$ENTRY" >"$folder/rasapi32-up.txt"
        overrides=(WINEDLLOVERRIDES=rasapi32=n)
    fi
    local turn k f w b counter kt="0 0 0" ft="0 0 0" wt="0 0 0" bt="0 0 0" dialled=""
    # Sums "<program us> <server us> <ticks>" field by field.
    add() { awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, " "); split(b, y, " "); print x[1] + y[1], x[2] + y[2], x[3] + y[3] }'; }
    # before_measure: the other build's program, first in odd turns and last in even ones, so that its
    # place in the turn weighs on neither.
    before_measure() {
        b=$(run_and_measure "$folder" kestrove_before.exe "" "${overrides[@]}") || exit 1
        counter=${b#*|} b=${b%%|*}
        bt=$(add "$bt" "$b")
        [ "$counter" = " You have been reconnected 0 times." ] || dialled=1
    }
    for ((turn = 1; turn <= TURNS; turn++)); do
        [ -z "$BEFORE" ] || [ $((turn % 2)) -eq 0 ] || before_measure
        k=$(run_and_measure "$folder" kestrove_counted.exe "" "${overrides[@]}") || exit 1
        counter=${k#*|} k=${k%%|*}
        f=$(run_and_measure "$folder" kestrove_idle_floor.exe hidden) || exit 1
        w=$(run_and_measure "$folder" kestrove_idle_floor.exe "") || exit 1
        f=${f%%|*} w=${w%%|*}
        kt=$(add "$kt" "$k") ft=$(add "$ft" "$f") wt=$(add "$wt" "$w")
        printf '%-3s turn %d: Kestrove %s\n             floor    %s\n             floor without a window %s\n' \
            "$family" "$turn" "$(show "$k")" "$(show "$f")" "$(show "$w")"
        [ "$counter" = " You have been reconnected 0 times." ] || dialled=1
        if [ -n "$BEFORE" ]; then
            [ $((turn % 2)) -eq 1 ] || before_measure
            printf '             Kestrove before %s\n' "$(show "$b")"
        fi
    done
    # Ratios of the totals: per second, ticks per second, per tick; and whether the aims are met (ticks
    # within 10% of the floor's rate, at most 1.1x the floor's cost per tick).
    awk -v family="$family" -v k="$kt" -v f="$ft" -v w="$wt" 'BEGIN {
        split(k, K, " "); split(f, F, " "); split(w, W, " ")
        printf "%-3s Kestrove / floor: %.2fx per second, %.2fx ticks per second, %.2fx per tick", family,
            (K[1] + K[2]) / (F[1] + F[2]), K[3] / F[3], ((K[1] + K[2]) / K[3]) / ((F[1] + F[2]) / F[3])
        printf " (/ floor without a window: %.2fx, %.2fx, %.2fx)\n", (K[1] + K[2]) / (W[1] + W[2]), K[3] / W[3],
            ((K[1] + K[2]) / K[3]) / ((W[1] + W[2]) / W[3])
        rate = K[3] / F[3]; tick = ((K[1] + K[2]) / K[3]) / ((F[1] + F[2]) / F[3])
        met = rate >= 0.9 && rate <= 1.1 && tick <= 1.1
        printf "%-3s aims (ticks within 10%% of the floor'"'"'s rate, <= 1.1x per tick): %s\n", family, met ? "met" : "NOT met" }'
    if [ -n "$BEFORE" ]; then
        awk -v family="$family" -v k="$kt" -v b="$bt" -v f="$ft" 'BEGIN {
            split(k, K, " "); split(b, B, " "); split(f, F, " ")
            printf "%-3s before / floor: %.2fx per second, %.2fx ticks per second, %.2fx per tick\n", family,
                (B[1] + B[2]) / (F[1] + F[2]), B[3] / F[3], ((B[1] + B[2]) / B[3]) / ((F[1] + F[2]) / F[3])
            printf "%-3s after / before: %.2fx per second, %.2fx per tick\n", family,
                (K[1] + K[2]) / (B[1] + B[2]), ((K[1] + K[2]) / K[3]) / ((B[1] + B[2]) / B[3]) }'
    fi
    [ -z "$dialled" ] || echo "    (Kestrove dialled: the line was not up; the figures do not count)"
}

echo "idle cost over $SECONDS_EACH s each: CPU of the program + wineserver, watch ticks, cost per tick"
measure_family 9x
measure_family nt
