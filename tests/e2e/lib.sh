# shellcheck shell=bash disable=SC2034  # the control ids are used by the scenario files
# Sourced by run_e2e.sh: what every scenario uses. A scenario runs in its own subshell; a failed
# expectation prints what was expected and seen, and ends that subshell with status 1.
# Status 77 means the scenario could not be set up here and was skipped.

E2E_SKIP=77
APP_TITLE=Kestrove
APP_PID=""
APP_DIR=""
APP_LOG=""

# Control ids of the main window: 1000 + the control's creation index.
ID_CHCK_AUTO=1000
ID_LBL_CONNECTION=1001
ID_COMBO1=1002
ID_CMD_MIN_TRAY=1003
ID_IMG_ICON=1004
ID_IMG_EGG=1005
ID_LBL_LOOP=1006
ID_LBL_AUTHOR=1007

SETTINGS_FILE=kestrove.rkf

note() { printf '    %s\n' "$*"; }

fail() {
    printf '    FAIL: %s\n' "$*"
    dump_state
    exit 1
}

skip() {
    printf '    SKIP: %s\n' "$*"
    exit "$E2E_SKIP"
}

# The driver under Wine with an outer time limit; its console output loses the CRs.
drv() {
    local out rc
    out=$(timeout -k 5 90 "$WINE" "$E2E_DRIVER" "$@" 2>"$E2E_WORK/driver.err")
    rc=$?
    out=${out//$'\r'/}
    printf '%s' "$out"
    [ -n "$out" ] && printf '\n'
    return "$rc"
}

# ask VAR <driver arguments...>: the driver's answer into VAR; a failing driver fails the scenario.
# (Not through $(...): a failure there would only end the substitution's own subshell.)
ask() {
    local ask_into=$1 ask_out ask_rc=0
    shift
    ask_out=$(drv "$@") || ask_rc=$?
    [ "$ask_rc" -eq 0 ] || fail "driver $* failed (exit $ask_rc): $(cat "$E2E_WORK/driver.err")"
    printf -v "$ask_into" '%s' "$ask_out"
}

# expect_driver <what> <expected answer> <driver arguments...>
expect_driver() {
    local what=$1 expected=$2 answer
    shift 2
    ask answer "$@"
    expect_eq "$what" "$expected" "$answer"
}

expect_eq() {
    local what=$1 expected=$2 actual=$3
    if [ "$expected" != "$actual" ]; then
        fail "$what: expected [$expected], got [$actual]"
    fi
    note "ok: $what = [$actual]"
}

# The bytes of a file as lower-case hex pairs separated by single spaces ("" for an empty file).
file_hex() {
    od -An -tx1 -v "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}

# Saves may run from a posted message after the driver's call returns: wait a bounded time for the
# file to reach the expected bytes, then compare once more so the failure shows what is there.
expect_file_hex() {
    local what=$1 path=$2 expected=$3 tries=0
    while [ "$tries" -lt 50 ]; do
        [ -f "$path" ] && [ "$(file_hex "$path")" = "$expected" ] && break
        sleep 0.1
        tries=$((tries + 1))
    done
    [ -f "$path" ] || fail "$what: $path does not exist"
    expect_eq "$what" "$expected" "$(file_hex "$path")"
}

# A fresh folder with its own copy of the program, so the settings file lands beside it.
new_app_dir() {
    APP_DIR="$E2E_WORK/runs/$1"
    rm -rf "$APP_DIR"
    mkdir -p "$APP_DIR"
    cp "$E2E_EXE" "$APP_DIR/Kestrove.exe"
}

# Starts the copy in APP_DIR in the background and waits until its start-up has finished.
start_app() {
    # The log stays outside APP_DIR, which a scenario may have made unwritable.
    APP_LOG="$E2E_WORK/logs/$(basename "$APP_DIR").log"
    mkdir -p "$E2E_WORK/logs"
    (cd "$APP_DIR" && exec "$WINE" "$APP_DIR/Kestrove.exe") >"$APP_LOG" 2>&1 &
    APP_PID=$!
    if ! drv wait-window "$APP_TITLE" 30 >/dev/null; then
        kill -0 "$APP_PID" 2>/dev/null || fail "the program ended during start-up (see $APP_LOG)"
        fail "no answering window titled $APP_TITLE within 30 s"
    fi
}

app_running() { [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; }

visibility_is() { [ "$(drv visible "$APP_TITLE")" = "$1" ]; }

# Starts another copy of the program, from a folder of its own, while the one of start_app runs: it
# must end by itself within a bounded time, write nothing beside itself and leave the first running.
start_second_copy() {
    local dir="$APP_DIR-again" rc=0
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$E2E_EXE" "$dir/Kestrove.exe"
    (cd "$dir" && exec timeout -k 5 60 "$WINE" "$dir/Kestrove.exe") >>"$APP_LOG" 2>&1 || rc=$?
    [ "$rc" -eq 0 ] || fail "the second start did not end by itself with status 0 (status $rc)"
    note "ok: the second start ended by itself"
    expect_eq "files beside the second copy" Kestrove.exe "$(ls -A "$dir")"
    app_running || fail "the first start ended"
}

descendants() {
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        printf '%s\n' "$child"
        descendants "$child"
    done
}

# Ends the program started by this scenario and everything it started, and waits for its window to go.
stop_app() {
    [ -n "$APP_PID" ] || return 0
    local pids
    pids="$APP_PID $(descendants "$APP_PID" | tr '\n' ' ')"
    # shellcheck disable=SC2086
    kill $pids 2>/dev/null || true
    local waited=0
    while app_running && [ "$waited" -lt 50 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    # shellcheck disable=SC2086
    app_running && kill -9 $pids 2>/dev/null
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
    drv wait-gone "$APP_TITLE" 15 >/dev/null || note "warning: a window titled $APP_TITLE is still there"
}

# What the driver sees, printed when an expectation fails.
dump_state() {
    [ -n "${E2E_DRIVER:-}" ] || return 0
    note "--- top-level windows:"
    drv list 2>/dev/null | sed 's/^/      /'
    if drv visible "$APP_TITLE" >/dev/null 2>&1; then
        note "--- controls of $APP_TITLE:"
        drv children "$APP_TITLE" 2>/dev/null | sed 's/^/      /'
    fi
    if [ -n "$APP_DIR" ] && [ -f "$APP_DIR/$SETTINGS_FILE" ]; then
        note "--- $SETTINGS_FILE: $(file_hex "$APP_DIR/$SETTINGS_FILE")"
    fi
}

# ---- Undoing what a scenario changed outside its own folder ----

# Commands run when the scenario ends, passed or failed, after the program has been stopped; the last
# registered runs first. For registry values: the Wine prefix lives for the whole run.
E2E_UNDO=()
undo_at_finish() {
    E2E_UNDO+=("$(printf '%q ' "$@")")
}

finish_scenario() {
    stop_app
    local i
    for ((i = ${#E2E_UNDO[@]} - 1; i >= 0; i--)); do
        eval "${E2E_UNDO[i]}" || note "warning: could not undo: ${E2E_UNDO[i]}"
    done
    E2E_UNDO=()
}

# ---- The Wine registry ----

wine_reg() { timeout -k 5 60 "$WINE" reg "$@" >/dev/null 2>&1; }

WIN98_KEY='HKCU\Software\Wine\AppDefaults'
RAS_KEY='HKLM\System\CurrentControlSet\Services\RemoteAccess'
RAS_FLAG='Remote Connection'

# use_win98_mode [program.exe]: Wine reports Windows 98 to that program (default Kestrove.exe), which
# then takes the 9x family's way: the registry flag and the rnaui.dll dialer.
use_win98_mode() {
    local program=${1:-Kestrove.exe}
    wine_reg add "$WIN98_KEY\\$program" /v Version /d win98 /f || fail "cannot make Wine report Windows 98"
    undo_at_finish wine_reg delete "$WIN98_KEY\\$program" /f
}

# set_connection_flag 0|1: the dial-up connection flag the 9x family keeps in the registry.
E2E_FLAG_TOUCHED=""
set_connection_flag() {
    wine_reg add "$RAS_KEY" /v "$RAS_FLAG" /t REG_BINARY /d "0${1}000000" /f ||
        fail "cannot set the connection flag to $1"
    if [ -z "$E2E_FLAG_TOUCHED" ]; then
        E2E_FLAG_TOUCHED=1
        undo_at_finish wine_reg delete "$RAS_KEY" /v "$RAS_FLAG" /f
    fi
}

# The flag's first byte as 0 or 1, "none" when the value is missing.
connection_flag() {
    local line
    line=$(timeout -k 5 60 "$WINE" reg query "$RAS_KEY" /v "$RAS_FLAG" 2>/dev/null | tr -d '\r' |
        grep -F "$RAS_FLAG")
    case ${line##* } in
    01*) echo 1 ;;
    00*) echo 0 ;;
    *) echo none ;;
    esac
}

# expect_driver_refuses <what> <driver arguments...>: the driver answers "not in that state" (exit 1).
expect_driver_refuses() {
    local what=$1 rc=0
    shift
    drv "$@" >/dev/null 2>&1 || rc=$?
    expect_eq "$what (driver exit code)" 1 "$rc"
}

# ---- The end-to-end tools, built for the architecture of the program under test ----

e2e_tool() { printf '%s/%s\n' "$E2E_TOOLS" "$1"; }

require_tool() {
    [ -f "$(e2e_tool "$1")" ] || fail "missing $(e2e_tool "$1"): build it with $E2E_BUILD_HINT"
}

# ---- The dialer's test double ----

DIALER_LOG=dialer-log.txt

# Beside the program: it starts "rundll32.exe rnaui.dll,RnaDial <entry>", and rundll32 finds the DLL
# in the current folder, which is the program's.
install_dialer_double() {
    require_tool rnaui.dll
    cp "$(e2e_tool rnaui.dll)" "$APP_DIR/rnaui.dll" || fail "cannot copy the dialer double"
}

# dialer_scenario <progress window time in ms> <0|1: set the flag once the progress window has closed>
#                 [<key>=<value>...: further settings, see tests/e2e/dialer/rnaui.cpp]
# Read by the double at each dial.
dialer_scenario() {
    printf 'progress_ms=%s\nset_flag=%s\n' "$1" "$2" >"$APP_DIR/dialer-scenario.txt"
    shift 2
    [ $# -eq 0 ] || printf '%s\n' "$@" >>"$APP_DIR/dialer-scenario.txt"
}

# How many times the double logged "<event> <entry>".
dialer_events() {
    local log="$APP_DIR/$DIALER_LOG"
    [ -f "$log" ] || {
        echo 0
        return
    }
    tr -d '\r' <"$log" | grep -cxF -- "$1"
}

# ---- Bounded waits ----

# wait_until <seconds> <command...>: true as soon as the command succeeds, false when the time is up.
wait_until() {
    local seconds=$1 tries=0
    shift
    while ! "$@"; do
        [ "$tries" -lt $((seconds * 5)) ] || return 1
        sleep 0.2
        tries=$((tries + 1))
    done
}

# expect_steady <seconds> <what> <expected> <command...>: the command's output stays as expected for
# the whole time (checked five times a second); fails at the first difference.
expect_steady() {
    local seconds=$1 what=$2 expected=$3 tries=0 seen
    shift 3
    while [ "$tries" -lt $((seconds * 5)) ]; do
        seen=$("$@")
        [ "$seen" = "$expected" ] || fail "$what: expected [$expected] throughout, got [$seen] after $((tries / 5)) s"
        sleep 0.2
        tries=$((tries + 1))
    done
    note "ok: $what stayed [$expected] for $seconds s"
}

# ---- The counter line's tooltip: the last attempt and what comes next ----

# The counter line's tooltip holds all these words, in capitals or not.
tooltip_holds() {
    local tip word
    tip=$(drv tooltip "$APP_TITLE" "$ID_LBL_LOOP") || return 1
    for word in "$@"; do [[ ${tip,,} == *"${word,,}"* ]] || return 1; done
}

expect_tooltip() {
    local what=$1
    shift
    wait_until 10 tooltip_holds "$@" ||
        fail "$what: the counter's tooltip [$(drv tooltip "$APP_TITLE" "$ID_LBL_LOOP")] does not say [$*]"
    note "ok: $what: [$(drv tooltip "$APP_TITLE" "$ID_LBL_LOOP")]"
}

# ---- Screenshots ----

# steady_desktop_screenshot <png> [<title>...]: the virtual desktop once the windows of those titles
# have painted and two shots in a row agree (what they painted has reached the screen).
steady_desktop_screenshot() {
    local out=$1 previous="" current tries=0 title
    shift
    if ! command -v xwd >/dev/null || ! command -v convert >/dev/null; then skip "xwd or convert missing"; fi
    for title in "$@"; do
        drv paint "$title" >/dev/null || fail "the window titled $title did not paint"
    done
    while [ "$tries" -lt 20 ]; do
        wine_screenshot "$out" || fail "screenshot failed"
        current=$(md5sum <"$out")
        [ "$current" = "$previous" ] && return 0
        previous=$current
        sleep 0.3
        tries=$((tries + 1))
    done
}

# screenshot_of <png> <left> <top> <right> <bottom> [<title>]: that part of a settled screenshot of the
# desktop, once the window of that title has painted.
screenshot_of() {
    local out=$1 left=$2 top=$3 right=$4 bottom=$5
    local desktop="$E2E_WORK/screens/.desktop.png"
    mkdir -p "$E2E_WORK/screens"
    steady_desktop_screenshot "$desktop" "${@:6}"
    convert "$desktop" -crop "$((right - left))x$((bottom - top))+${left}+${top}" +repage "$out" ||
        fail "cannot crop $out out of the screenshot"
    rm -f "$desktop"
    note "screenshot $out"
}

# The red, green and blue (0-255) of one pixel of an image.
pixel_of() {
    convert "$1" -format "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info:
}
