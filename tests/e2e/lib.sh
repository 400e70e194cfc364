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
    local ask_into=$1 ask_out
    shift
    if ! ask_out=$(drv "$@"); then
        fail "driver $* failed: $(cat "$E2E_WORK/driver.err")"
    fi
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
