# shellcheck shell=bash
# The redial supervisor on the 9x family's way, against the dialer's test double: a dropped connection
# is redialled once and counted, a connection that is up is left alone, and no attempt is made while
# the dialer's progress window for the entry is open or the dialer started last still runs, however
# its dialog behaves. The dialer is kept moving: a dialog that comes late or an error box after a
# failed dial is answered, the progress window never. Dialers that end with the line down are failures
# and are spaced out. Each function runs in its own subshell.

SCENARIOS+=(
    redial_follows_the_connection_flag
)

REDIAL_ENTRY="Dial 1"
REDIAL_PROGRESS_TITLE="Connecting to $REDIAL_ENTRY"

reconnected_text() { printf ' You have been reconnected %s time(s).' "$1"; }

dialer_event_reached() { [ "$(dialer_events "$1")" -ge "$2" ]; }

# wait_for_dialer_event <event> <count> <seconds>: the double has logged "<event> Dial 1" that often.
wait_for_dialer_event() {
    local event="$1 $REDIAL_ENTRY" count=$2 seconds=$3
    if ! wait_until "$seconds" dialer_event_reached "$event" "$count"; then
        fail "the double did not log [$event] $count time(s) within $seconds s (log: $(tr -d '\r' <"$APP_DIR/$DIALER_LOG" 2>/dev/null | tr '\n' '|'))"
    fi
}

# The events the double logged after its <n>th start, up to the next start included: "ignored timeout start".
events_after_start() {
    tr -d '\r' <"$APP_DIR/$DIALER_LOG" | awk -v n="$1" '
        $1 == "start" { starts++; if (starts > n) { printf "%sstart", sep; exit } }
        starts == n && $1 != "start" { printf "%s%s", sep, $1; sep = " " }'
}

# The mean time in ms between the double's <first>th and <last>th starts, by the system's tick count.
mean_start_interval() {
    awk -v first="$1" -v last="$2" 'NR == first { a = $1 } NR == last { b = $1 }
        END { printf "%d", (b - a) / (last - first) }' <(tr -d '\r' <"$APP_DIR/dialer-starts.txt")
}

expect_attempts() {
    local count=$1
    expect_eq "dialer starts" "$count" "$(dialer_events "start $REDIAL_ENTRY")"
    expect_eq "dialogs confirmed with Enter" "$count" "$(dialer_events "enter $REDIAL_ENTRY")"
    expect_eq "dialogs left unanswered" 0 "$(dialer_events "timeout $REDIAL_ENTRY")"
    expect_eq "progress windows cancelled" 0 "$(dialer_events "cancel $REDIAL_ENTRY")"
    expect_driver "counter line" "$(reconnected_text "$count")" text "$APP_TITLE" "$ID_LBL_LOOP"
}

starts() { dialer_events "start $REDIAL_ENTRY"; }

# Whether the double's <n>th dialer has come to its end ("done", "timeout" or "close").
dialer_ended() { [[ " $(events_after_start "$1") " =~ \ (done|timeout|close)\  ]]; }

# expect_dialer_kept_moving <what> <events expected of that dialer> <dialer_scenario arguments...>:
# with the connection down, one dialer of that behaviour, which leaves the line down, is answered as
# expected and ends; the next attempt follows within seconds and connects. The dialogs wait 30 s for
# Enter (the double's default), longer than the checks wait.
expect_dialer_kept_moving() {
    local what=$1 expected=$2 before
    shift 2
    note "$what"
    before=$(starts)
    dialer_scenario "$@"
    set_connection_flag 0
    wait_for_dialer_event start $((before + 1)) 30
    # That dialer has read its scenario and is the only one until it ends; the next one connects.
    dialer_scenario 500 1
    wait_until 20 dialer_ended $((before + 1)) ||
        fail "$what: the dialer did not end within 20 s: [$(events_after_start $((before + 1)))]"
    # The failed one is given 5 s for the line to come up before it counts as a failure.
    wait_for_dialer_event start $((before + 2)) 30
    wait_until 20 dialer_ended $((before + 2)) || fail "$what: the next dialer did not end within 20 s"
    # "inactive" says only whether the dialog had the activation when Enter came.
    expect_eq "$what: what the dialer saw" "$expected start" \
        "$(events_after_start $((before + 1)) | sed 's/inactive //g')"
    expect_eq "$what: progress windows cancelled" 0 "$(dialer_events "cancel $REDIAL_ENTRY")"
    expect_eq "$what: flag set by the next dial" 1 "$(connection_flag)"
    expect_driver "$what: counter line" "$(reconnected_text $((before + 2)))" text "$APP_TITLE" "$ID_LBL_LOOP"
}

redial_follows_the_connection_flag() {
    new_app_dir redial
    printf '"%s"\r\n1\r\n' "$REDIAL_ENTRY" >"$APP_DIR/$SETTINGS_FILE"
    install_dialer_double
    use_win98_mode
    set_connection_flag 0
    # The double sets the flag once its progress window has closed, as a successful dial would.
    dialer_scenario 1500 1
    start_app
    expect_driver "armed at start-up: the window is in the tray" 0 visible "$APP_TITLE"

    note "the connection is down: one attempt"
    wait_for_dialer_event "done" 1 30
    expect_attempts 1
    expect_eq "flag set by the dial" 1 "$(connection_flag)"
    expect_steady 4 "dialer starts while the connection is up" 1 dialer_events "start $REDIAL_ENTRY"

    note "the connection drops again: a second attempt"
    set_connection_flag 0
    wait_for_dialer_event "done" 2 30
    expect_attempts 2
    expect_steady 3 "dialer starts while the connection is up" 2 dialer_events "start $REDIAL_ENTRY"

    note "a dial that stays in progress holds off the redial, though the connection is down"
    dialer_scenario 600000 0
    set_connection_flag 0
    wait_for_dialer_event enter 3 30
    drv wait-window "$REDIAL_PROGRESS_TITLE" 15 >/dev/null || fail "no progress window [$REDIAL_PROGRESS_TITLE]"
    expect_steady 5 "dialer starts while the progress window is open" 3 dialer_events "start $REDIAL_ENTRY"
    expect_eq "connection still down" 0 "$(connection_flag)"
    expect_attempts 3

    note "the progress window closes: redialling resumes"
    # The next dial ends by itself, so that no dialer outlives the scenario.
    dialer_scenario 500 1
    # WM_TIMER is how the double's progress time runs out.
    drv post "$REDIAL_PROGRESS_TITLE" 0x0113 2 0 >/dev/null || fail "cannot end the progress window"
    wait_for_dialer_event "done" 3 30
    wait_for_dialer_event "done" 4 30
    expect_attempts 4
    expect_eq "flag set by the last dial" 1 "$(connection_flag)"

    note "a dialog that comes up behind the active window is confirmed, once, by the one dialer"
    dialer_scenario 500 1 activate=0
    set_connection_flag 0
    wait_for_dialer_event "done" 5 30
    expect_attempts 5
    expect_eq "dialogs confirmed while not the active window" 1 "$(dialer_events "inactive $REDIAL_ENTRY")"

    expect_dialer_kept_moving "an error box after Enter is confirmed too" "enter error error-enter done" \
        500 0 error_box=1
    expect_dialer_kept_moving "a dialer whose progress window comes first is left to dial" \
        "error error-enter done" 2000 0 progress_first=1 error_box=1
    expect_dialer_kept_moving "a dialog that comes up after 4 s is confirmed" "dialog enter done" \
        500 0 dialog_delay_ms=4000

    note "a dialog that ignores Enter for 9 s: no second dialer beside it, a new one once it has gone"
    local ignoring
    ignoring=$(($(starts) + 1))
    dialer_scenario 500 0 ignore_enter=1 give_up_ms=9000
    set_connection_flag 0
    wait_for_dialer_event "start" "$ignoring" 30
    # That dialer has read its scenario; the ones after it return at once.
    dialer_scenario 500 0 quit=1
    wait_until 30 dialer_ended "$ignoring" || fail "the ignoring dialer did not end within 30 s"
    wait_for_dialer_event "start" $((ignoring + 1)) 15
    # Asked again while it is kept moving, at most ten times, and closed if it does not give up first.
    local seen
    seen=$(events_after_start "$ignoring")
    [[ $seen =~ ^ignored( ignored){0,9}\ (timeout|close)\ start$ ]] ||
        fail "what the ignoring dialer saw before the next start: [$seen]"
    note "ok: what the ignoring dialer saw before the next start = [$seen]"

    note "dialers that return at once with the line down are failures: spaced further and further apart"
    wait_for_dialer_event "start" $((ignoring + 3)) 60
    local first second
    first=$(mean_start_interval $((ignoring + 1)) $((ignoring + 2)))
    second=$(mean_start_interval $((ignoring + 2)) $((ignoring + 3)))
    [ "$first" -ge 4500 ] || fail "a dialer $first ms after one that returned at once"
    [ "$second" -gt "$first" ] || fail "the gaps between dialers do not grow: $first ms, then $second ms"
    note "ok: dialers $first ms, then $second ms apart"
    set_connection_flag 1
}

# ---- Timers and a close sent from outside ----

SCENARIOS+=(
    timers_outlive_a_close_sent_to_their_window
)

TIMER_WINDOW_CLASS=KestroveWindow

# A task manager or an uninstaller closes every top-level window of the program, also the untitled one
# its timers run on: that window stays, and the drops after it are redialled and counted.
timers_outlive_a_close_sent_to_their_window() {
    new_app_dir timer_close
    printf '"%s"\r\n1\r\n' "$REDIAL_ENTRY" >"$APP_DIR/$SETTINGS_FILE"
    install_dialer_double
    use_win98_mode
    set_connection_flag 1
    dialer_scenario 500 1
    start_app
    local before after
    ask before find-class "$TIMER_WINDOW_CLASS" ""
    drv close-class "$TIMER_WINDOW_CLASS" "" >/dev/null || fail "the timer window did not answer the close"
    ask after find-class "$TIMER_WINDOW_CLASS" ""
    expect_eq "the timer window after the close" "$before" "$after"

    local drop
    for drop in 1 2; do
        set_connection_flag 0
        wait_for_dialer_event "done" "$drop" 30
        expect_attempts "$drop"
        expect_eq "flag set by dial $drop" 1 "$(connection_flag)"
    done
}
