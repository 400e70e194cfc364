# shellcheck shell=bash
# The NT family (Wine's default, version 6.1): the manifest takes effect, and the keeper dials with the
# system's command-line dialer, once per dialer run, the entry name as its one argument. The dialer is
# the test double rasdial.exe, put in the system folder in place of Wine's and beside the program, where
# it must never be started from; Wine's dial-up service lists no connection, so the keeper finds the
# line down on every probe. What each run exits with, and the probe after it, is the result of the
# attempt: 0 with the line still down is a failure like any other and spaces the runs apart, a wrong
# password (691) slows the redial to one run in 15 minutes until the user ticks the switch again, and a
# failure that may mend itself (678, no answer) spaces the runs further and further apart.

SCENARIOS+=(
    manifest_selects_common_controls_6
    nt_family_dials_once_per_dialer_run
)

RASDIAL_LOG=rasdial-log.txt    # one line per start: where from, how many arguments, the first one
RASDIAL_DONE=rasdial-done.txt  # one line per finished run: "done show=<style>"
RASDIAL_RELEASE=rasdial-release.txt  # ends the dialer's run, however long it has lasted
RASDIAL_TICKS=rasdial-ticks.txt      # "start <tick>" and "end <tick> <exit code>" of each run
RASDIAL_RUN_MS=60000                 # the longest a run lasts without a release
RASDIAL_WATCH_SECONDS=5              # several of the keeper's one-second probes
# Entry names that a naive quoting would split or cut: a quote, a backslash before a quote, a trailing
# backslash, blanks.
RASDIAL_NAMES=('Dial" /PHONE:5550100 "1' 'Back\"slash' 'Trailing\' 'My  Provider \\ Two')

# The double in the system folders (the 64-bit one, and the one a 32-bit program is led to), Wine's own
# dialer put back when the scenario ends.
install_system_rasdial() {
    local folder
    for folder in "$WINEPREFIX/drive_c/windows/system32" "$WINEPREFIX/drive_c/windows/syswow64"; do
        [ -d "$folder" ] || continue
        if [ -f "$folder/rasdial.exe" ]; then
            cp "$folder/rasdial.exe" "$folder/rasdial.exe.wine" || fail "cannot keep Wine's rasdial.exe"
            undo_at_finish mv -f "$folder/rasdial.exe.wine" "$folder/rasdial.exe"
        else
            undo_at_finish rm -f "$folder/rasdial.exe"
        fi
        cp "$(e2e_tool rasdial.exe)" "$folder/rasdial.exe" || fail "cannot put the double into $folder"
    done
}

# A bounded wait for the dialer's log to hold that exact line.
wait_for_dial_of() {
    local line="system args=1 split=1 [$1]" tries=0
    while ! tr -d '\r' <"$APP_DIR/$RASDIAL_LOG" 2>/dev/null | grep -qxF -- "$line"; do
        [ "$tries" -lt 150 ] || fail "no dial logged as [$line] within 15 s (log: $(tr '\n' '|' <"$APP_DIR/$RASDIAL_LOG"))"
        sleep 0.1
        tries=$((tries + 1))
    done
    note "ok: [$line]"
}

# The number of lines of a file beside the program; 0 while it does not exist.
lines_of() {
    local path="$APP_DIR/$1"
    if [ -f "$path" ]; then wc -l <"$path"; else echo 0; fi
}

# Waits a bounded time for a file beside the program to reach at least the given number of lines.
wait_for_lines() {
    local file=$1 wanted=$2 seconds=$3 tries=0
    while [ "$(lines_of "$file")" -lt "$wanted" ]; do
        [ "$tries" -lt $((seconds * 10)) ] || return 1
        sleep 0.1
        tries=$((tries + 1))
    done
}

counter_text() { printf ' You have been reconnected %s time(s).' "$1"; }

# rasdial_scenario <key>=<value>...: the double's settings, replaced in one step, so that a dialer
# starting meanwhile reads either the old ones or the new ones.
rasdial_scenario() {
    printf '%s\n' "$@" >"$APP_DIR/rasdial-scenario.new" || fail "cannot write the dialer's scenario"
    mv -f "$APP_DIR/rasdial-scenario.new" "$APP_DIR/rasdial-scenario.txt" || fail "cannot replace the dialer's scenario"
}

ticks() { tr -d '\r' <"$APP_DIR/$RASDIAL_TICKS" 2>/dev/null; }
# The runs that have started, by the ticks file (the start log is written a moment earlier).
runs() { ticks | grep -c '^start '; }
runs_reached() { [ "$(runs)" -ge "$1" ]; }

# The gaps in ms between the end of each run from the <n>th on and the start of the next one.
gaps_after_run() {
    ticks | awk -v n="$1" '
        $1 == "start" { if (ended != "") { printf "%s%d", sep, $2 - ended; sep = " " } runs++; ended = "" }
        $1 == "end" && runs >= n { ended = $2 }'
}

# The number of the first run that exited with that code; empty while none has.
first_run_with() { ticks | awk -v code="$1" '$1 == "start" { runs++ } $1 == "end" && $3 == code { print runs; exit }'; }
run_ended_with() { [ -n "$(first_run_with "$1")" ]; }

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

# What the balloon asks the user to do to try again: untick "Activate?" and tick it again.
tick_switch_again() {
    local state
    for state in 0 1; do
        drv click "$APP_TITLE" "$ID_CHCK_AUTO" >/dev/null || fail "the switch did not take the click"
        expect_driver "switch after the click" "$state" check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    done
}

# Runs that exit with 0 while the line stays down are failures: each is given the probe's 5 s to find
# the entry up, then the ladder spaces them further and further apart.
expect_ladder_on_exit_zero_while_down() {
    local from gaps first second
    from=$(($(runs) + 1))
    wait_until 60 runs_reached $((from + 2)) || fail "fewer than 3 runs exiting with 0 in 60 s"
    gaps=$(gaps_after_run "$from")
    read -r first second _ <<<"$gaps"
    note "gaps between the runs that exited with 0: $gaps ms"
    [ "$first" -ge 4500 ] || fail "a run that exited with 0 was followed after $first ms, before the probe's 5 s"
    [ "$second" -gt "$first" ] || fail "the gaps $gaps do not grow"
    note "ok: runs that exited with 0 with the line down are spaced out"
}

# A wrong password slows the redial: the run that was refused is the last one, for the 20 s watched (the
# next comes 15 minutes later), until the user acts. A balloon and the tooltip tell the user why.
expect_slow_pace_on_wrong_password() {
    local entry=$1 refused starts told
    rasdial_scenario run_ms=300 exit_code=691
    tick_switch_again  # ends the hold the runs before have climbed to
    wait_until 15 run_ended_with 691 || fail "no run exited with 691 within 15 s"
    refused=$(first_run_with 691)
    # The notification area shows a balloon for 10 s at least.
    ask told balloon 10
    # The system's text for the error, where it has one, comes before the number.
    [[ $told == "Redialling \"$entry\" slowed down: "*"error 691"*". Next attempt at "*"; tick Activate? to try now." ]] ||
        fail "the balloon says [$told]"
    note "ok: the balloon says [$told]"
    expect_steady 20 "runs, the one refused with 691 the last" "$refused" lines_of "$RASDIAL_LOG"
    starts=$(lines_of "$RASDIAL_LOG")
    expect_driver "counter once slowed" "$(counter_text "$starts")" text "$APP_TITLE" "$ID_LBL_LOOP"
    expect_driver "still armed once slowed" 1 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    # The tooltip reads back cut at 80 characters; the balloon has the whole promise.
    expect_tooltip "slowed on 691" 691 "next attempt at"
}

# No answer (678) may mend itself: each failed run is followed after a longer wait than the one before,
# 1 s, 5 s, 10 s as the ladder goes. The gaps are counted from each run's end; a busy machine only
# makes them longer, so each is checked against its step's floor.
expect_back_off_on_no_answer() {
    local from gaps
    rasdial_scenario run_ms=300 exit_code=678
    from=$(($(runs) + 1))
    tick_switch_again
    wait_until 60 runs_reached $((from + 3)) || fail "fewer than 4 runs after the switch was ticked again, in 60 s"
    gaps=$(gaps_after_run "$from")
    local first second third
    read -r first second third _ <<<"$gaps"
    note "gaps between the runs that exited with 678: $gaps ms"
    [ "$second" -ge 4500 ] || fail "the second gap of $second ms is shorter than 5 s"
    [ "$third" -ge 9500 ] || fail "the third gap of $third ms is shorter than 10 s"
    if [ "$first" -ge "$second" ] || [ "$second" -ge "$third" ]; then fail "the gaps $gaps do not grow"; fi
    note "ok: the gaps grow"
    expect_tooltip "backing off after 678" 678 "next attempt"
}

# The side-by-side common controls are loaded only for a program whose manifest asks for them; without
# it the process gets the system folder's version 5.
manifest_selects_common_controls_6() {
    new_app_dir manifest
    WINEDEBUG=+loaddll start_app
    local loaded
    loaded=$(grep -i 'comctl32\.dll' "$APP_LOG" | tr -d '\r')
    [ -n "$loaded" ] || fail "no common controls library loaded (see $APP_LOG)"
    note "loaded: ${loaded##*Loaded }"
    if ! grep -qi 'winsxs\\\\[a-z0-9_]*microsoft\.windows\.common-controls_6595b64144ccf1df_6\.' <<<"$loaded"; then
        fail "the common controls did not come from the version 6 assembly"
    fi
    if grep -qi 'system32\\\\comctl32\.dll' <<<"$loaded"; then
        fail "version 5 of the common controls was loaded as well"
    fi
    note "ok: common controls 6 from the side-by-side store"
    expect_driver "window shown with the manifest" 1 visible "$APP_TITLE"
}

nt_family_dials_once_per_dialer_run() {
    require_tool rasdial.exe
    new_app_dir nt_family
    install_system_rasdial
    cp "$(e2e_tool rasdial.exe)" "$APP_DIR/rasdial.exe"
    rasdial_scenario "run_ms=$RASDIAL_RUN_MS"
    # Switch on at start-up: the keeper is armed before the user does anything.
    printf '"%s"\r\n%s\r\n' "Dial 1" 1 >"$APP_DIR/$SETTINGS_FILE"
    # Wine does not start the dialer as a child of the program, so stopping the program leaves it running.
    undo_at_finish touch "$APP_DIR/$RASDIAL_RELEASE"
    start_app

    wait_for_lines "$RASDIAL_LOG" 1 15 || fail "the dialer was not started within 15 s"
    expect_eq "first dial" "system args=1 split=1 [Dial 1]" "$(sed -n 1p "$APP_DIR/$RASDIAL_LOG")"

    # While the first dialer runs: no second start, and the counter shows one attempt. Each sample
    # reads the starts and the counter before the finished runs, so a start or count seen while no run
    # had finished yet really came while the first dialer was still running. The dialer runs until
    # released, after a few samples spread over several probes, however slowly the samples come.
    local starts counter last_counter="" ends samples=0 watched_from=$SECONDS released=""
    while :; do
        starts=$(lines_of "$RASDIAL_LOG")
        ask counter text "$APP_TITLE" "$ID_LBL_LOOP"
        ends=$(lines_of "$RASDIAL_DONE")
        [ "$ends" -eq 0 ] || break
        [ "$starts" -eq 1 ] || fail "$starts dials started while the first dialer still ran"
        if [ "$counter" != "$(counter_text 1)" ] && [ "$counter" != " You have been reconnected 0 times." ]; then
            fail "counter [$counter] while the first dialer still ran"
        fi
        last_counter=$counter
        samples=$((samples + 1))
        if [ -z "$released" ] && [ "$samples" -ge 3 ] &&
            [ $((SECONDS - watched_from)) -ge "$RASDIAL_WATCH_SECONDS" ]; then
            : >"$APP_DIR/$RASDIAL_RELEASE"
            released=1
        fi
        [ $((SECONDS - watched_from)) -lt 60 ] || fail "the first dialer did not end within 60 s"
        sleep 0.1
    done
    [ -n "$released" ] || fail "the first dialer ended before it was released, after $samples looks"
    expect_eq "counter while the first dialer ran" "$(counter_text 1)" "$last_counter"
    note "ok: $samples looks while the first dialer ran, one start and one count in each"

    # After it has ended the keeper dials again, within a few probe intervals.
    wait_for_lines "$RASDIAL_LOG" 2 15 || fail "no second dial within 15 s of the first dialer's end"
    ends=$(lines_of "$RASDIAL_DONE")
    [ "$ends" -ge 1 ] || fail "the second dial started before the first dialer had ended"
    expect_eq "second dial" "system args=1 split=1 [Dial 1]" "$(sed -n 2p "$APP_DIR/$RASDIAL_LOG")"
    expect_eq "first dialer started hidden" "done show=0" "$(sed -n 1p "$APP_DIR/$RASDIAL_DONE")"

    # The count follows the starts (it is raised just after each start).
    local tries=0
    while ask counter text "$APP_TITLE" "$ID_LBL_LOOP" && [ "$counter" != "$(counter_text 2)" ]; do
        [ "$tries" -lt 50 ] || fail "counter [$counter] after the second dial"
        sleep 0.1
        tries=$((tries + 1))
    done
    note "ok: counter = [$counter]"

    # Whatever the name holds, the system's dialer gets it as its one argument, and only that dialer runs.
    rasdial_scenario run_ms=300
    : >"$APP_DIR/$RASDIAL_RELEASE"  # the second dialer waits for it
    local name
    for name in "${RASDIAL_NAMES[@]}"; do
        drv combo-add "$APP_TITLE" "$ID_COMBO1" "$name" >/dev/null || fail "cannot add [$name] to the combo box"
        drv combo-pick "$APP_TITLE" "$ID_COMBO1" "$name" >/dev/null || fail "cannot pick [$name]"
        wait_for_dial_of "$name"
    done
    local others
    others=$(tr -d '\r' <"$APP_DIR/$RASDIAL_LOG" | grep -cv '^system args=1 split=1 \[')
    expect_eq "dials not by the system's dialer with one argument" 0 "$others"

    local last=${RASDIAL_NAMES[-1]}
    note "runs that exit with 0 while the line stays down: spaced out"
    expect_ladder_on_exit_zero_while_down
    note "a wrong password (691): one run, then the redial slows to one in 15 minutes until the user acts"
    expect_slow_pace_on_wrong_password "$last"
    note "no answer (678), after the user has ticked the switch again: the gaps grow"
    expect_back_off_on_no_answer
}
