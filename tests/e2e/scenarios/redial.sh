# shellcheck shell=bash
# The redial supervisor on the 9x family's way, against the dialer's test double: a dropped connection
# is redialled once and counted, a connection that is up is left alone, and no attempt is made while
# the dialer's progress window for the entry is open or the dialer started last still runs, however
# its dialog behaves. The dialer is kept moving: a dialog that comes late or an error box after a
# failed dial is answered, also one of the resident dial-up helper, and the progress window never.
# Dials that keep failing come further and further apart, until the machine wakes from sleep. Each
# function runs in its own subshell.

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
        fail "the double did not log [$event] $count time(s) within $seconds s (log: $(tr -d '\r' <"$APP_DIR/$DIALER_LOG" 2>/dev/null | tr '\n' '|'); tooltip: $(drv tooltip "$APP_TITLE" "$ID_LBL_LOOP"))"
    fi
}

# The events the double logged after its <n>th start, up to the next start included: "ignored timeout start".
events_after_start() {
    tr -d '\r' <"$APP_DIR/$DIALER_LOG" | awk -v n="$1" '
        $1 == "start" { starts++; if (starts > n) { printf "%sstart", sep; exit } }
        starts == n && $1 != "start" { printf "%s%s", sep, $1; sep = " " }'
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

# The line drops after a dial has brought it up, once the program has seen it up (its tooltip says so):
# a line that went down again before the program's next look counts as a dial that failed.
drop_the_line() {
    expect_tooltip "the line seen up before it drops" "the line is up"
    set_connection_flag 0
}
counter_is() { [ "$(drv text "$APP_TITLE" "$ID_LBL_LOOP")" = "$1" ]; }

# The tick count of the double's <n>th start.
start_tick() { tr -d '\r' <"$APP_DIR/dialer-starts.txt" | sed -n "${1}p"; }

# ---- The resident dial-up helper's double (tests/e2e/dialer/rnaapp.cpp) ----

HELPER_LOG=rnaapp-log.txt
HELPER_CLASS=RnaAppDouble

helper_events() {
    local log="$APP_DIR/$HELPER_LOG"
    if [ -f "$log" ]; then tr -d '\r' <"$log" | grep -cxF -- "$1"; else echo 0; fi
}
helper_event_reached() { [ "$(helper_events "$1")" -ge "$2" ]; }
helper_log() { tr -d '\r' <"$APP_DIR/$HELPER_LOG" 2>/dev/null | tr '\n' '|'; }

# Started from here, before any dial, so that it is no child of the program's dialer: as a helper left
# resident by an earlier connection. It ends by itself after 300 s at the latest.
start_resident_helper() {
    require_tool RNAAPP.EXE
    cp "$(e2e_tool RNAAPP.EXE)" "$APP_DIR/RNAAPP.EXE" || fail "cannot copy the helper double"
    (cd "$APP_DIR" && exec "$WINE" "$APP_DIR/RNAAPP.EXE" 300) >>"$E2E_WORK/logs/rnaapp.log" 2>&1 &
    undo_at_finish stop_resident_helper "$!"
    wait_until 30 helper_event_reached ready 1 || fail "the helper double did not start within 30 s"
}

stop_resident_helper() {
    drv close-class "$HELPER_CLASS" "" >/dev/null 2>&1 || kill "$1" 2>/dev/null
    wait_until 10 helper_event_reached end 1 || kill -9 "$1" 2>/dev/null
    return 0
}

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
    drop_the_line
    wait_for_dialer_event start $((before + 1)) 30
    # That dialer has read its scenario and is the only one until it ends; the next one connects.
    dialer_scenario 500 1
    wait_until 20 dialer_ended $((before + 1)) ||
        fail "$what: the dialer did not end within 20 s: [$(events_after_start $((before + 1)))]"
    # After a failed dial the program looks a few seconds longer for the line before the next attempt.
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
    drop_the_line
    wait_for_dialer_event "done" 2 30
    expect_attempts 2
    expect_steady 3 "dialer starts while the connection is up" 2 dialer_events "start $REDIAL_ENTRY"

    note "a dial that stays in progress holds off the redial, though the connection is down"
    dialer_scenario 600000 0
    drop_the_line
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
    drop_the_line
    wait_for_dialer_event "done" 5 30
    expect_attempts 5
    expect_eq "dialogs confirmed while not the active window" 1 "$(dialer_events "inactive $REDIAL_ENTRY")"

    expect_dialer_kept_moving "an error box after Enter is confirmed too" "enter error error-enter done" \
        500 0 error_box=1
    expect_dialer_kept_moving "a dialer whose progress window comes first is left to dial" \
        "error error-enter done" 2000 0 progress_first=1 error_box=1
    expect_dialer_kept_moving "a dialog that comes up after 4 s is confirmed" "dialog enter done" \
        500 0 dialog_delay_ms=4000

    note "an error box of the resident dial-up helper, which is no child of the dialer, is answered"
    start_resident_helper
    local handed
    handed=$(($(starts) + 1))
    dialer_scenario 500 0 helper=1
    drop_the_line
    wait_for_dialer_event start "$handed" 30
    # That dialer has read its scenario; the next one connects.
    dialer_scenario 500 1
    wait_until 20 helper_event_reached "error $REDIAL_ENTRY" 1 ||
        fail "the helper showed no error box within 20 s (helper: $(helper_log); dialer: $(events_after_start "$handed"))"
    # The box waits 30 s before it gives up by itself.
    wait_until 15 helper_event_reached "error-enter $REDIAL_ENTRY" 1 ||
        fail "the helper's error box was not answered within 15 s (helper: $(helper_log))"
    wait_until 20 dialer_ended "$handed" || fail "the dialer did not end within 20 s of the answer"
    wait_for_dialer_event start $((handed + 1)) 15
    wait_until 20 dialer_ended $((handed + 1)) || fail "the next dialer did not end within 20 s"
    expect_eq "what the dialer saw" "enter handed done start" \
        "$(events_after_start "$handed" | sed 's/inactive //g')"
    expect_eq "what the helper saw" "ready|error $REDIAL_ENTRY|error-enter $REDIAL_ENTRY|" "$(helper_log)"
    expect_eq "flag set by the next dial" 1 "$(connection_flag)"
    expect_driver "counter line after the helper's box" "$(reconnected_text $((handed + 1)))" \
        text "$APP_TITLE" "$ID_LBL_LOOP"

    note "a dialog that ignores Enter for 9 s: no second dialer beside it, a new one once it has gone"
    local ignoring
    ignoring=$(($(starts) + 1))
    dialer_scenario 500 0 ignore_enter=1 give_up_ms=9000
    drop_the_line
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

    note "dialers that end at once without connecting: each next one comes later"
    # The ignoring dialer was the first failure since the line was last up; the ones after it fail too.
    # The first comes at the probe's pace, then the waits grow: 5 s, 10 s, 20 s, ...
    wait_for_dialer_event "start" $((ignoring + 4)) 90
    local from=$((ignoring + 1)) gaps="" n
    for n in 1 2 3; do
        gaps+="$(($(start_tick $((from + n))) - $(start_tick $((from + n - 1))))) "
    done
    note "gaps between the starts of dialers that ended at once: $gaps ms"
    local first second third
    read -r first second third <<<"$gaps"
    [ "$first" -ge 4500 ] || fail "the first gap of $first ms is shorter than 5 s"
    [ "$second" -ge 9500 ] || fail "the second gap of $second ms is shorter than 10 s"
    [ "$third" -ge 19500 ] || fail "the third gap of $third ms is shorter than 20 s"
    if [ "$first" -ge "$second" ] || [ "$second" -ge "$third" ]; then fail "the gaps $gaps do not grow"; fi
    note "ok: the gaps grow"
    wait_until 10 counter_is "$(reconnected_text "$(starts)")" ||
        fail "counter [$(drv text "$APP_TITLE" "$ID_LBL_LOOP")] after $(starts) dialer starts"
    note "ok: the counter counts every start: $(starts)"

    note "the machine wakes up in the 40 s wait that follows: the next dialer within a couple of seconds"
    local waiting sent next
    waiting=$(starts)
    # Judged a failure and waiting for the next attempt, not still looking at the dialer that ended.
    expect_tooltip "waiting after dialer $waiting" "next attempt at"
    ask sent resume "$APP_TITLE" user
    wait_for_dialer_event "start" $((waiting + 1)) 15
    next=$(start_tick $((waiting + 1)))
    note "the next dialer started $((next - sent)) ms after the resume was sent"
    [ $((next - sent)) -le 3000 ] || fail "the next dialer came $((next - sent)) ms after the resume, not within 3 s"
    local cut=$((next - $(start_tick "$waiting")))
    [ "$cut" -lt 39500 ] || fail "the wait after dialer $waiting lasted $cut ms all the same"
    note "ok: the wait after dialer $waiting was cut to $cut ms"
    expect_steady 3 "dialer starts after one resume" $((waiting + 1)) starts
    screenshot_counter_tooltip redial-failing-series.png
    set_connection_flag 1
}

# ---- A look at what the user sees ----

tooltip_shown() { drv list | grep -q '^[^ ]* tooltips_class32 visible '; }

# The window back from the tray and the mouse resting on the counter line until its tooltip shows: a
# screenshot for the eye (in screens/), not a check. Taken at once: the tooltip goes after a few seconds.
screenshot_counter_tooltip() {
    if ! command -v xdotool >/dev/null || ! command -v xwd >/dev/null; then
        note "no screenshot: xdotool or xwd missing"
        return 0
    fi
    local instance rect left top right bottom try out="$E2E_WORK/screens/$1"
    ask instance instance "$APP_TITLE"
    # Message 1039 with a left-button release (514): the tray icon's click.
    drv send "$APP_TITLE" 1039 "$instance" 514 >/dev/null || fail "the window did not come back from the tray"
    ask rect control-rect "$APP_TITLE" "$ID_LBL_LOOP"
    read -r left top right bottom <<<"$rect"
    for try in 1 2 3; do
        xdotool mousemove 0 0 mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) ||
            fail "xdotool cannot move the mouse"
        wait_until 10 tooltip_shown || continue
        wine_screenshot "$out" || fail "screenshot failed"
        if tooltip_shown; then
            note "screenshot screens/$1: [$(drv tooltip "$APP_TITLE" "$ID_LBL_LOOP")]"
            return 0
        fi
    done
    note "warning: no screenshot with the tooltip in $try tries"
}

# ---- Timers, and close requests sent from outside ----

SCENARIOS+=(
    close_requests_from_outside_leave_the_keeper_or_end_it
)

TIMER_WINDOW_CLASS=KestroveWindow
WM_QUERYENDSESSION=0x11
WM_ENDSESSION=0x16
ENDSESSION_CLOSEAPP=1
ENDSESSION_LOGOFF=0x80000000

program_gone() { ! app_running; }

# A task manager or an uninstaller closes every top-level window of the program, also the untitled one
# its timers run on: that window stays, and the drops after it are redialled and counted. The Restart
# Manager asks the program to close and may leave it running, with or without saying so: the redial
# goes on. A session that ends ends the program, and nothing is written.
close_requests_from_outside_leave_the_keeper_or_end_it() {
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

    set_connection_flag 0
    wait_for_dialer_event "done" 1 30
    expect_attempts 1
    expect_eq "flag set by dial 1" 1 "$(connection_flag)"

    note "a close request the program survives, and is told so"
    expect_driver "may the program close" 1 send "$APP_TITLE" "$WM_QUERYENDSESSION" 0 "$ENDSESSION_CLOSEAPP"
    expect_driver "it was not closed" 0 send "$APP_TITLE" "$WM_ENDSESSION" 0 "$ENDSESSION_CLOSEAPP"
    drop_the_line
    wait_for_dialer_event "done" 2 30
    expect_attempts 2

    note "a close request the program survives, and is never told: the redial resumes within 30 s"
    # Seen up before the question: while the session may end, the program does not look at the line.
    expect_tooltip "the line seen up before it drops" "the line is up"
    expect_driver "may the program close" 1 send "$APP_TITLE" "$WM_QUERYENDSESSION" 0 "$ENDSESSION_CLOSEAPP"
    set_connection_flag 0
    expect_steady 3 "dialer starts while the program may be closing" 2 dialer_events "start $REDIAL_ENTRY"
    wait_for_dialer_event "done" 3 45
    expect_attempts 3

    note "the session ends: the program with it"
    local saved
    saved=$(file_hex "$APP_DIR/$SETTINGS_FILE")
    expect_driver "may the session end" 1 send "$APP_TITLE" "$WM_QUERYENDSESSION" 0 "$ENDSESSION_LOGOFF"
    drv send "$APP_TITLE" "$WM_ENDSESSION" 1 "$ENDSESSION_LOGOFF" >/dev/null
    wait_until 15 program_gone || fail "the program still runs after the session ended"
    note "ok: the program ended"
    drv wait-gone "$APP_TITLE" 5 >/dev/null || fail "a window titled $APP_TITLE is left"
    expect_eq "settings file after the end" "$saved" "$(file_hex "$APP_DIR/$SETTINGS_FILE")"
}
