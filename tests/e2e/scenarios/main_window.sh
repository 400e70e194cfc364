# shellcheck shell=bash
# The main window: start-up with and without a settings file, the two saves, picks from the combo box
# with the keyboard and the mouse, a folder that cannot be written, and a screenshot. Each function runs
# in its own subshell (see run_e2e.sh).

SCENARIOS+=(
    first_start_without_settings
    saved_entry_and_switch_are_restored
    name_ending_in_a_quote_keeps_the_switch
    pick_and_switch_save_the_combo_text
    huge_settings_file_reads_like_a_small_one
    second_start_refused_the_mutex_ends
    each_pick_replaces_the_settings_once
    unwritable_folder_does_not_crash
    driver_reports_what_is_not_there
    screenshot_of_main_window
)

# Lower-case hex of what the settings file holds for a name and a switch value.
settings_hex() {
    printf '"%s"\r\n%s\r\n' "$1" "$2" | od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'
}

# Tooltip windows on the desktop, the program's and any other's.
tooltip_windows() { drv list | grep -c ' tooltips_class32 '; }
tooltip_windows_are() { [ "$(tooltip_windows)" -eq "$1" ]; }

seed_settings() {
    printf '"%s"\r\n%s\r\n' "$1" "$2" >"$APP_DIR/$SETTINGS_FILE"
}

first_start_without_settings() {
    new_app_dir first_start
    start_app
    expect_driver "window shown" 1 visible "$APP_TITLE"
    expect_driver "client area at 96 dpi" 377x103 client-size "$APP_TITLE"
    expect_driver "switch caption" "Activate?" text "$APP_TITLE" "$ID_CHCK_AUTO"
    expect_driver "switch unticked" 0 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    expect_driver "entry label" "Name of connection to use:" text "$APP_TITLE" "$ID_LBL_CONNECTION"
    expect_driver "hide button" "&Hide" text "$APP_TITLE" "$ID_CMD_MIN_TRAY"
    expect_driver "counter line" " You have been reconnected 0 times." text "$APP_TITLE" "$ID_LBL_LOOP"
    expect_driver "combo text replaced by the empty name" "" text "$APP_TITLE" "$ID_COMBO1"
    expect_driver "combo list (empty phone book)" 0 combo-count "$APP_TITLE" "$ID_COMBO1"
    expect_driver "author credit hidden" 0 visible "$APP_TITLE" "$ID_LBL_AUTHOR"
    expect_driver "focus in the switch" "$ID_CHCK_AUTO" focus "$APP_TITLE"

    # The icon's tooltip window is made when the mouse first comes over the icon, not at start-up.
    local tips
    tips=$(tooltip_windows)
    drv post-mouse "$APP_TITLE" "$ID_IMG_ICON" mousemove 0 >/dev/null || fail "the icon took no mouse move"
    wait_until 10 tooltip_windows_are $((tips + 1)) ||
        fail "no new tooltip window once the mouse came over the icon ($tips before, $(tooltip_windows) after)"
    note "ok: the icon's tooltip window made by the first move over it"

    local rect screen left top right bottom width height
    ask rect rect "$APP_TITLE"
    ask screen screen-size
    read -r left top right bottom <<<"$rect"
    width=${screen%x*}
    height=${screen#*x}
    # Centred to the pixel: odd differences round either way.
    local dx=$((left + right - width)) dy=$((top + bottom - height))
    if [ "${dx#-}" -gt 1 ] || [ "${dy#-}" -gt 1 ]; then
        fail "window $rect is not centred on the ${screen} screen"
    fi
    note "ok: centred ($rect on $screen)"

    [ ! -e "$APP_DIR/$SETTINGS_FILE" ] || fail "start-up wrote $SETTINGS_FILE"
    note "ok: no settings file written"

    # No name yet: the switch writes an empty first line.
    drv click "$APP_TITLE" "$ID_CHCK_AUTO" >/dev/null || fail "the switch did not take the click"
    expect_file_hex "first tick writes no name and 1" "$APP_DIR/$SETTINGS_FILE" "0d 0a 31 0d 0a"
}

saved_entry_and_switch_are_restored() {
    new_app_dir saved_entry
    seed_settings "Dial 1" 1
    local saved="22 44 69 61 6c 20 31 22 0d 0a 31 0d 0a"
    expect_eq "seed file" "$saved" "$(file_hex "$APP_DIR/$SETTINGS_FILE")"
    start_app
    expect_driver "combo text" "Dial 1" text "$APP_TITLE" "$ID_COMBO1"
    expect_driver "switch ticked" 1 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    expect_file_hex "file rewritten with the same bytes" "$APP_DIR/$SETTINGS_FILE" "$saved"

    # The NT family's way to find the keeper already running: a second start shows its window.
    expect_driver "in the tray" 0 visible "$APP_TITLE"
    start_second_copy
    wait_until 10 visibility_is 1 || fail "the second start did not bring the window back"
    expect_driver "one window titled $APP_TITLE" 1 count "$APP_TITLE"
    expect_eq "settings file after the second start" "$saved" "$(file_hex "$APP_DIR/$SETTINGS_FILE")"
}

# As the writer of old stored the name A": the line end closes the name, and the switch still reads 1.
name_ending_in_a_quote_keeps_the_switch() {
    new_app_dir quote_at_end
    printf '"A""\r\n1\r\n' >"$APP_DIR/$SETTINGS_FILE"
    expect_eq "seed file" "22 41 22 22 0d 0a 31 0d 0a" "$(file_hex "$APP_DIR/$SETTINGS_FILE")"
    start_app
    expect_driver "switch ticked" 1 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    expect_driver "started in the tray" 0 visible "$APP_TITLE"
    expect_driver "combo text" 'A"' text "$APP_TITLE" "$ID_COMBO1"
    # Rewritten by the switch at start-up, the quote doubled.
    expect_file_hex "name kept, quote doubled" "$APP_DIR/$SETTINGS_FILE" "22 41 22 22 22 0d 0a 31 0d 0a"
}

pick_and_switch_save_the_combo_text() {
    new_app_dir pick_then_switch
    seed_settings A 0
    start_app
    expect_driver "combo text from the file" A text "$APP_TITLE" "$ID_COMBO1"
    expect_driver "switch from the file" 0 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    expect_eq "start-up leaves the file alone" "$(settings_hex A 0)" "$(file_hex "$APP_DIR/$SETTINGS_FILE")"

    expect_driver "B added first" 0 combo-add "$APP_TITLE" "$ID_COMBO1" B
    expect_driver "B picked" 0 combo-pick "$APP_TITLE" "$ID_COMBO1" B
    expect_driver "combo text after the pick" B text "$APP_TITLE" "$ID_COMBO1"
    expect_file_hex "pick saves the combo text and the switch" "$APP_DIR/$SETTINGS_FILE" "$(settings_hex B 0)"

    drv click "$APP_TITLE" "$ID_CHCK_AUTO" >/dev/null || fail "the switch did not take the click"
    expect_driver "switch ticked by the click" 1 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    # After start-up the switch writes the name being kept alive: the combo box's text.
    expect_file_hex "switch saves the combo text and 1" "$APP_DIR/$SETTINGS_FILE" "$(settings_hex B 1)"
}

# The peak memory of the running program, in kB. Wine runs it in a process named by the program's path,
# the Windows one or (the PE32+ twin) the one given.
app_peak_kb() {
    local exe="Z:${APP_DIR//\//\\}\\Kestrove.exe" status
    for status in /proc/[0-9]*/status; do
        if { tr '\0' '\n' <"${status%/status}/cmdline"; } 2>/dev/null | head -1 |
            grep -qixF -e "$exe" -e "$APP_DIR/Kestrove.exe"; then
            awk '/^VmHWM:/ { print $2 }' "$status"
            return 0
        fi
    done
    return 1
}

# Ends the program as an ending session does and waits until its windows have gone: the process Wine
# runs it in is not one of the started command's.
end_app() {
    drv send "$APP_TITLE" 0x16 1 0 >/dev/null
    drv wait-gone "$APP_TITLE" 15 >/dev/null || fail "the program did not end with the session"
    stop_app
}

# start_app_timed <variable>: starts the program and stores how long its window took, in ms.
start_app_timed() {
    local began
    began=$(date +%s%N)
    start_app
    printf -v "$1" '%d' $((($(date +%s%N) - began) / 1000000))
}

# A stray file of 500 MB (sparse: it takes no room) named like the settings: only its first kilobytes
# are read, so that the program starts as with a small file, in time and memory alike; its first two
# fields count where they are there, and it is left alone where they are not.
huge_settings_file_reads_like_a_small_one() {
    new_app_dir huge_settings
    local small huge peak
    seed_settings "Dial 1" 1
    start_app_timed small
    end_app
    seed_settings "Dial 1" 1
    truncate -s 500M "$APP_DIR/$SETTINGS_FILE"
    start_app_timed huge
    peak=$(app_peak_kb) || fail "no process runs $APP_DIR/Kestrove.exe"
    note "started in $huge ms with the 500 MB file ($small ms with the small one), peak memory $peak kB"
    [ "$peak" -lt 200000 ] || fail "peak memory $peak kB: the file was read whole"
    expect_driver "combo text" "Dial 1" text "$APP_TITLE" "$ID_COMBO1"
    expect_driver "switch ticked" 1 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    expect_driver "in the tray" 0 visible "$APP_TITLE"
    expect_file_hex "rewritten by the switch" "$APP_DIR/$SETTINGS_FILE" "$(settings_hex "Dial 1" 1)"
    end_app

    : >"$APP_DIR/$SETTINGS_FILE"
    truncate -s 500M "$APP_DIR/$SETTINGS_FILE"
    start_app
    expect_driver "no usable settings: the window is shown" 1 visible "$APP_TITLE"
    expect_driver "switch unticked" 0 check-state "$APP_TITLE" "$ID_CHCK_AUTO"
    expect_eq "the file left as it was" 524288000 "$(stat -c %s "$APP_DIR/$SETTINGS_FILE")"
}

# Another copy runs that this start may not look at (elevated, or another user's): its mutex exists but
# the open is refused. The start counts it as the keeper and ends, without a window of its own.
second_start_refused_the_mutex_ends() {
    new_app_dir refused_mutex
    seed_settings "Dial 1" 0
    local held="$APP_DIR-holder.txt"
    # Not through drv, which hands on the output only at the end.
    timeout -k 5 60 "$WINE" "$E2E_DRIVER" hold-mutex 'Local\Kestrove.Keeper' 40 >"$held" 2>&1 &
    undo_at_finish kill "$!"
    wait_until 20 grep -q held "$held" || fail "the mutex could not be made: $(cat "$held")"
    local rc=0
    (cd "$APP_DIR" && exec timeout -k 5 60 "$WINE" "$APP_DIR/Kestrove.exe") >/dev/null 2>&1 || rc=$?
    expect_eq "the start ended by itself with status" 0 "$rc"
    expect_driver "windows titled $APP_TITLE" 0 count "$APP_TITLE"
    expect_file_hex "settings untouched" "$APP_DIR/$SETTINGS_FILE" "$(settings_hex "Dial 1" 0)"
}

# ---- Counting the replacements of the settings file ----

# Logs every file created in or moved into APP_DIR ("CREATE <name>", "MOVED_TO <name>") until the
# scenario ends. Each save of the program moves a new settings file into place once.
watch_replacements() {
    command -v inotifywait >/dev/null || skip "inotifywait missing (Debian package inotify-tools)"
    MOVES_LOG="$E2E_WORK/logs/$(basename "$APP_DIR").moves"
    mkdir -p "$E2E_WORK/logs"
    inotifywait -m -e create -e moved_to --format '%e %f' "$APP_DIR" >"$MOVES_LOG" 2>"$MOVES_LOG.err" &
    undo_at_finish kill "$!"
    wait_until 10 grep -q "Watches established" "$MOVES_LOG.err" || fail "inotifywait did not start"
}

# expect_replacements <what> <count>, counting everything the program did before the call: a sent
# message returns only after the handler at work has finished, and a marker file created after that
# reaches the log after the handler's replacements.
REPLACEMENT_MARKS=0
expect_replacements() {
    drv text "$APP_TITLE" "$ID_COMBO1" >/dev/null || fail "the window does not answer"
    REPLACEMENT_MARKS=$((REPLACEMENT_MARKS + 1))
    local mark="mark$REPLACEMENT_MARKS"
    : >"$APP_DIR/$mark"
    wait_until 10 grep -qx "CREATE $mark" "$MOVES_LOG" || fail "the marker $mark never reached the log"
    expect_eq "$1" "$2" "$(grep -cx "MOVED_TO $SETTINGS_FILE" "$MOVES_LOG")"
}

settings_are() { [ "$(file_hex "$APP_DIR/$SETTINGS_FILE")" = "$(settings_hex "$1" "$2")" ]; }

wait_for_settings() {
    wait_until 10 settings_are "$1" "$2" || fail "$3: the settings never became $1 and $2"
}

# A real click of the mouse at the combo box's drop-down button or at an item of its open list.
click_combo() {
    local point
    ask point combo-point "$APP_TITLE" "$ID_COMBO1" "$1"
    # shellcheck disable=SC2086  # x and y
    xdotool mousemove $point click 1 || fail "xdotool cannot click at $point"
}

list_open() { drv combo-point "$APP_TITLE" "$ID_COMBO1" 0 >/dev/null 2>&1; }
list_closed() { ! list_open; }

# The combo box reports a pick with two notifications, in an order that differs between systems; each
# pick, with the arrow keys or the mouse, must replace the file once, and opening and closing the list
# not at all.
each_pick_replaces_the_settings_once() {
    command -v xdotool >/dev/null || skip "xdotool missing"
    new_app_dir picks
    seed_settings Z 0
    watch_replacements
    start_app
    local item
    for item in A B C; do
        drv combo-add "$APP_TITLE" "$ID_COMBO1" "$item" >/dev/null || fail "cannot add $item to the list"
    done

    drv combo-key "$APP_TITLE" "$ID_COMBO1" down >/dev/null || fail "cannot press the down arrow"
    wait_for_settings A 0 "down arrow to A"
    expect_replacements "replacements after one arrow key" 1
    drv combo-key "$APP_TITLE" "$ID_COMBO1" down >/dev/null || fail "cannot press the down arrow"
    wait_for_settings B 0 "down arrow to B"
    expect_replacements "replacements after two arrow keys" 2

    click_combo button
    wait_until 10 list_open || fail "the list did not open"
    click_combo 2
    wait_for_settings C 0 "mouse pick of C"
    expect_driver "combo text after the mouse pick" C text "$APP_TITLE" "$ID_COMBO1"
    expect_replacements "replacements after a mouse pick" 3

    click_combo button
    wait_until 10 list_open || fail "the list did not open again"
    click_combo button
    wait_until 10 list_closed || fail "the list did not close"
    expect_replacements "replacements after opening and closing the list" 3
}

# Makes APP_DIR and the settings file unwritable, even for root: immutable first, else a read-only
# bind mount. Sets PROTECTION to what was used; returns 1 when nothing works here.
PROTECTION=""
protect_app_dir() {
    local file="$APP_DIR/$SETTINGS_FILE"
    if chattr +i "$file" 2>/dev/null && chattr +i "$APP_DIR" 2>/dev/null; then
        PROTECTION=immutable
    else
        chattr -i "$file" "$APP_DIR" 2>/dev/null
        if mount --bind "$APP_DIR" "$APP_DIR" 2>/dev/null; then
            if mount -o remount,ro,bind "$APP_DIR" 2>/dev/null; then
                PROTECTION=read-only-mount
            else
                umount "$APP_DIR" 2>/dev/null
            fi
        fi
    fi
    [ -n "$PROTECTION" ] || return 1
    # Root passes permission checks, so prove the protection by trying.
    if (: >>"$file") 2>/dev/null || touch "$APP_DIR/probe" 2>/dev/null; then
        rm -f "$APP_DIR/probe" 2>/dev/null
        unprotect_app_dir
        return 1
    fi
}

unprotect_app_dir() {
    case "$PROTECTION" in
    immutable) chattr -i "$APP_DIR" "$APP_DIR/$SETTINGS_FILE" 2>/dev/null ;;
    read-only-mount) umount "$APP_DIR" 2>/dev/null ;;
    esac
    PROTECTION=""
}

unwritable_folder_does_not_crash() {
    new_app_dir unwritable
    seed_settings A 0
    local before
    before=$(file_hex "$APP_DIR/$SETTINGS_FILE")
    trap 'stop_app; unprotect_app_dir' EXIT
    protect_app_dir || skip "cannot make a folder unwritable for root here (no chattr +i, no bind mount)"
    note "folder protected by $PROTECTION"
    start_app

    # Both saves fail inside the program; the driver's own answer does not matter here.
    drv combo-add "$APP_TITLE" "$ID_COMBO1" B >/dev/null
    drv combo-pick "$APP_TITLE" "$ID_COMBO1" B >/dev/null
    drv click "$APP_TITLE" "$ID_CHCK_AUTO" >/dev/null

    app_running || fail "the program ended after a failed save"
    drv wait-window "$APP_TITLE" 10 >/dev/null || fail "the window no longer answers"
    expect_driver "window still reads its controls" B text "$APP_TITLE" "$ID_COMBO1"
    expect_eq "old settings file intact" "$before" "$(file_hex "$APP_DIR/$SETTINGS_FILE")"
}

# The driver must be able to say no, or the checks above could not fail.
driver_reports_what_is_not_there() {
    new_app_dir driver_checks
    start_app
    expect_fails() {
        local what=$1 code=$2
        shift 2
        local rc=0
        drv "$@" >/dev/null || rc=$?
        expect_eq "$what (exit code)" "$code" "$rc"
    }
    expect_fails "unknown window" 1 text "No such window" "$ID_CHCK_AUTO"
    expect_fails "unknown control" 1 text "$APP_TITLE" 1099
    expect_fails "item not in the list" 1 combo-pick "$APP_TITLE" "$ID_COMBO1" "not listed"
    expect_fails "window that never comes" 1 wait-window "No such window" 1
    expect_fails "window that does not go" 1 wait-gone "$APP_TITLE" 1
    expect_fails "unknown key name" 2 post-mouse "$APP_TITLE" "$ID_IMG_EGG" rbuttonup shift+hyper
    expect_fails "unknown command" 2 frobnicate "$APP_TITLE"
    local instance
    ask instance instance "$APP_TITLE"
    if ! [[ "$instance" =~ ^0x[0-9a-f]+$ ]] || [ "$instance" = 0x0 ]; then
        fail "instance handle [$instance]"
    fi
    note "ok: instance handle $instance"
}

# A settled screenshot of the desktop, and the window cropped out of it. Leaves E2E_SCREENS/main.png
# and desktop.png.
screenshot_of_main_window() {
    if ! command -v xwd >/dev/null || ! command -v convert >/dev/null; then
        skip "xwd or convert missing"
    fi
    new_app_dir screenshot
    start_app
    local shots="$E2E_WORK/screens"
    mkdir -p "$shots"
    steady_desktop_screenshot "$shots/desktop.png" "$APP_TITLE"

    local rect left top right bottom
    ask rect rect "$APP_TITLE"
    read -r left top right bottom <<<"$rect"
    local width=$((right - left)) height=$((bottom - top))
    convert "$shots/desktop.png" -crop "${width}x${height}+${left}+${top}" +repage "$shots/main.png" ||
        fail "cannot crop the window out of the screenshot"
    expect_eq "screenshot size" "${width}x${height}" "$(convert "$shots/main.png" -format '%wx%h' info:)"

    # The form's background is the system's button face: sample two corners of the client area that
    # no control or decoration covers.
    local client cl ct cr cb face
    ask client client-rect "$APP_TITLE"
    read -r cl ct cr cb <<<"$client"
    ask face syscolor 15
    local x y
    for corner in "$((cr - 4)) $((ct + 4))" "$((cl + 3)) $((cb - 3))"; do
        read -r x y <<<"$corner"
        expect_eq "background at ($x,$y)" "$face" "$(convert "$shots/desktop.png" \
            -format "%[fx:round(255*p{$x,$y}.r)] %[fx:round(255*p{$x,$y}.g)] %[fx:round(255*p{$x,$y}.b)]" info:)"
    done
    local colours
    colours=$(convert "$shots/main.png" -format '%k' info:)
    [ "$colours" -ge 8 ] || fail "the window looks blank ($colours colours)"
    note "ok: $shots/main.png (${width}x${height}, $colours colours)"
}
