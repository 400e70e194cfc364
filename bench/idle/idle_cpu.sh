#!/usr/bin/env bash
# The idle cost of Kestrove armed in the tray with its line up, against the floor: a program that does
# nothing but one window lookup per 1 ms timer tick (also shown with its timer on a hidden window, whose
# ticks go through a window procedure as the program's do). Both run under Wine in the same session, one after
# the other and in turns (other work on the machine weighs on both alike), for the 9x family (Windows
# 98 mode, the registry flag up) and the NT family (a dial-up service double listing the entry
# connected). Cost = CPU time of the program's process plus the Wine server's over the same stretch, in
# ms per second; the ratio is that of the totals over all turns.
#
#   bash bench/idle/idle_cpu.sh [seconds per measurement, default 20] [turns, default 3]
#
# Needs build/win64 built by scripts/build.sh win64 (KESTROVE_BUILD chooses another build folder).
set -u
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SECONDS_EACH=${1:-20}
TURNS=${2:-3}
BUILD=${KESTROVE_BUILD:-$ROOT/build/win64}
WORK=$ROOT/build/idle
ENTRY="Idle Line"
for needed in Kestrove.exe kestrove_driver.exe idle/kestrove_idle_floor.exe idle/rasapi32.dll; do
    [ -f "$BUILD/$needed" ] || { echo "missing $BUILD/$needed: build it with scripts/build.sh win64"; exit 1; }
done

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

# run_and_measure <folder> <program.exe> <argument> [env assignments...]: prints the program's and the
# server's CPU in hundredths of a ms per second, and for Kestrove its counter line after a bar.
run_and_measure() {
    local folder=$1 program=$2 argument=$3 pid server a0 s0 a1 s1
    shift 3
    (cd "$folder" && exec env "$@" "$WINE" "$folder/$program" $argument) >"$folder/$program.log" 2>&1 &
    pid=$!
    sleep 5  # start-up, and Kestrove into the tray
    server=$(server_pid)
    grep -q "$program" "/proc/$pid/cmdline" || { echo "pid $pid is not $program" >&2; return 1; }
    a0=$(cpu_us "$pid") s0=$(cpu_us "$server")
    sleep "$SECONDS_EACH"
    a1=$(cpu_us "$pid") s1=$(cpu_us "$server")
    local counter=""
    if [ "$program" = Kestrove.exe ]; then
        counter=$(timeout 60 "$WINE" "$BUILD/kestrove_driver.exe" text Kestrove 1006 2>/dev/null | tr -d '\r')
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    # Hundredths of a ms per second, the program's and the server's.
    echo "$(((a1 - a0) / 10 / SECONDS_EACH)) $(((s1 - s0) / 10 / SECONDS_EACH))|$counter"
}

show() { printf '%d.%02d' $(($1 / 100)) $(($1 % 100)); }
# "<program> <server>" in hundredths as "total (program + server)" in ms per second.
split() { local p=${1% *} s=${1#* }; printf '%s (%s + %s)' "$(show $((p + s)))" "$(show "$p")" "$(show "$s")"; }

measure_family() {
    local family=$1 folder="$WORK/$1" overrides=()
    mkdir -p "$folder"
    cp "$BUILD/Kestrove.exe" "$BUILD/idle/kestrove_idle_floor.exe" "$folder/"
    printf '"%s"\r\n1\r\n' "$ENTRY" >"$folder/kestrove.rkf"
    if [ "$family" = 9x ]; then
        reg add 'HKCU\Software\Wine\AppDefaults\Kestrove.exe' /v Version /d win98 /f
        reg add 'HKCU\Software\Wine\AppDefaults\kestrove_idle_floor.exe' /v Version /d win98 /f
        reg add 'HKLM\System\CurrentControlSet\Services\RemoteAccess' /v "Remote Connection" /t REG_BINARY /d 01000000 /f
    else
        cp "$BUILD/idle/rasapi32.dll" "$folder/"
        printf '%s\n' "$ENTRY" >"$folder/rasapi32-up.txt"
        overrides=(WINEDLLOVERRIDES=rasapi32=n)
    fi
    local turn k f w counter kt=0 ft=0 wt=0 dialled=""
    for ((turn = 1; turn <= TURNS; turn++)); do
        k=$(run_and_measure "$folder" Kestrove.exe "" "${overrides[@]}") || exit 1
        counter=${k#*|} k=${k%%|*}
        f=$(run_and_measure "$folder" kestrove_idle_floor.exe "") || exit 1
        w=$(run_and_measure "$folder" kestrove_idle_floor.exe window) || exit 1
        f=${f%%|*} w=${w%%|*}
        kt=$((kt + ${k% *} + ${k#* })) ft=$((ft + ${f% *} + ${f#* })) wt=$((wt + ${w% *} + ${w#* }))
        printf '%-3s turn %d: Kestrove %s   floor %s   floor with a window timer %s\n' "$family" "$turn" \
            "$(split "$k")" "$(split "$f")" "$(split "$w")"
        [ "$counter" = " You have been reconnected 0 times." ] || dialled=1
    done
    printf '%-3s ratio of the totals: Kestrove / floor %s, Kestrove / floor with a window timer %s\n' "$family" \
        "$(awk -v k="$kt" -v f="$ft" 'BEGIN { printf "%.2f", k / f }')" \
        "$(awk -v k="$kt" -v f="$wt" 'BEGIN { printf "%.2f", k / f }')"
    [ -z "$dialled" ] || echo "    (Kestrove dialled: the line was not up; the figures do not count)"
}

echo "idle CPU in ms per second, total (program + wineserver), over $SECONDS_EACH s each:"
measure_family 9x
measure_family nt
