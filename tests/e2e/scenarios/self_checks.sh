# shellcheck shell=bash
# Programs that check parts of the product from inside, run under the same Wine session as the
# scenarios: the forms backend, the platform services, and the product's own runtime pieces. Each
# prints one line per failed check and a last line "N passed, M failed", and exits non-zero on
# failure. Each function runs in its own subshell.

SCENARIOS+=(
    backend_checks
    services_checks
    runtime_checks
)

# run_self_check <name> <program.exe> [arguments...]: runs the copy in APP_DIR; its output goes to the
# logs folder and its failure lines are shown.
run_self_check() {
    local name=$1 program=$2 log rc=0
    shift 2
    log="$E2E_WORK/logs/$name.log"
    mkdir -p "$E2E_WORK/logs"
    (cd "$APP_DIR" && exec timeout -k 10 300 "$WINE" "$APP_DIR/$program" "$@") >"$log" 2>&1 || rc=$?
    tr -d '\r' <"$log" | grep -E '^(FAIL| )' | sed 's/^/    /'
    local tally
    tally=$(tr -d '\r' <"$log" | grep -E '^[0-9]+ passed, [0-9]+ failed$' | tail -n1)
    [ -n "$tally" ] || fail "$program $* ended without a tally (exit $rc, see $log)"
    note "$program${*:+ $*}: $tally"
    [[ "$tally" == *" 0 failed" ]] || fail "$program $* reported failures (see $log)"
    [ "$rc" -eq 0 ] || fail "$program $* exited with $rc although nothing failed (see $log)"
}

# A folder of its own with copies of the named tools.
new_tools_dir() {
    APP_DIR="$E2E_WORK/runs/$1"
    shift
    rm -rf "$APP_DIR"
    mkdir -p "$APP_DIR"
    local tool
    for tool in "$@"; do
        require_tool "$tool"
        cp "$(e2e_tool "$tool")" "$APP_DIR/" || fail "cannot copy $tool"
    done
}

backend_checks() {
    new_tools_dir backend_checks kestrove_backend_test.exe
    run_self_check backend_checks kestrove_backend_test.exe
}

services_checks() {
    new_tools_dir services_checks kestrove_services_check.exe kestrove_services_double.exe
    # Wine reports a Windows of the NT family unless told otherwise for the program.
    run_self_check services_checks kestrove_services_check.exe nt
    use_win98_mode kestrove_services_check.exe
    run_self_check services_checks_9x kestrove_services_check.exe 9x family watch
}

runtime_checks() {
    new_tools_dir runtime_checks kestrove_runtime_check.exe
    run_self_check runtime_checks kestrove_runtime_check.exe
    # An exception that escapes ends the process at once: exit code 3, nothing written.
    local out rc=0
    out=$(cd "$APP_DIR" && timeout -k 10 120 "$WINE" "$APP_DIR/kestrove_runtime_check.exe" terminate 2>&1) || rc=$?
    [ "$rc" -eq 3 ] || fail "an escaping exception ended the check with $rc, expected 3"
    [ -z "$out" ] || fail "an escaping exception wrote: $out"
    note "an escaping exception: exit code 3, nothing written"
}
