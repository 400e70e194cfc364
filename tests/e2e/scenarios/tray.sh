# shellcheck shell=bash
# The tray icon's messages on the 9x family's way: a saved switch of 1 starts the program in the tray;
# the icon's left-button release restores the window, "&Hide" hides it again, and the right-button
# release opens the pop-up menu, whose items restore the window and end the program; a second start
# brings the window back and ends. The icon's
# messages are what the notification area sends: message 1039, wParam the module instance, lParam the
# mouse message. Each function runs in its own subshell.

SCENARIOS+=(
    tray_icon_restores_and_the_menu_exits
)

TRAY_CALLBACK=1039
LEFT_BUTTON_UP=514
RIGHT_BUTTON_UP=517

# Opens the pop-up menu as a right click on the icon does and waits until it is shown.
open_tray_menu() {
    drv post "$APP_TITLE" "$TRAY_CALLBACK" "$1" "$RIGHT_BUTTON_UP" >/dev/null || fail "cannot post to the window"
    drv wait-menu 15 >/dev/null || fail "no pop-up menu opened"
}

app_ended() { ! app_running; }

wait_for_visibility() {
    local expected=$1 what=$2
    wait_until 10 visibility_is "$expected" ||
        fail "$what: the window's visibility did not become $expected"
    note "ok: $what"
}

tray_icon_restores_and_the_menu_exits() {
    new_app_dir tray
    printf '"Dial 1"\r\n1\r\n' >"$APP_DIR/$SETTINGS_FILE"
    use_win98_mode
    # Connected: the supervisor has nothing to dial while the icon is clicked.
    set_connection_flag 1
    start_app
    expect_driver "started in the tray" 0 visible "$APP_TITLE"
    local instance hiddenAt
    ask instance instance "$APP_TITLE"
    # The zooms start and end where the window is: hidden during start-up, it is already in place.
    ask hiddenAt rect "$APP_TITLE"

    # Messages that are not the icon's release pass through without effect.
    expect_driver "left-button press over the icon" 0 send "$APP_TITLE" "$TRAY_CALLBACK" "$instance" 513
    expect_driver "release with another icon id" 0 send "$APP_TITLE" "$TRAY_CALLBACK" 12345 "$LEFT_BUTTON_UP"
    expect_driver "still in the tray" 0 visible "$APP_TITLE"

    # Sent: the restore has run, zoom and all, when the call returns.
    drv send "$APP_TITLE" "$TRAY_CALLBACK" "$instance" "$LEFT_BUTTON_UP" >/dev/null ||
        fail "the window did not answer the icon's release"
    expect_driver "restored by the left-button release" 1 visible "$APP_TITLE"
    expect_driver "shown where it stood while hidden" "$hiddenAt" rect "$APP_TITLE"

    drv click "$APP_TITLE" "$ID_CMD_MIN_TRAY" >/dev/null || fail "&Hide did not take the click"
    expect_driver "hidden again by &Hide" 0 visible "$APP_TITLE"

    expect_driver_refuses "no menu to read yet" menu-items
    # Posted: the menu runs its own loop until an item is chosen.
    open_tray_menu "$instance"
    local items
    ask items menu-items
    expect_eq "pop-up menu items" $'Restore Window\n-\nExit' "$items"
    local rect
    ask rect menu-rect
    # shellcheck disable=SC2086  # four numbers
    screenshot_of "$E2E_WORK/screens/tray-menu.png" $rect
    expect_driver "the window stays hidden while the menu is open" 0 visible "$APP_TITLE"
    expect_driver_refuses "no such item to choose" menu-choose "Help"

    drv menu-choose "Restore Window" >/dev/null || fail "cannot choose Restore Window"
    wait_for_visibility 1 "restored by the menu"
    drv click "$APP_TITLE" "$ID_CMD_MIN_TRAY" >/dev/null || fail "&Hide did not take the click"
    expect_driver "hidden again by &Hide" 0 visible "$APP_TITLE"

    # Started again, from another folder: the second start hands over to the first, which comes back
    # from the tray as "Restore Window" brings it.
    local saved
    saved=$(file_hex "$APP_DIR/$SETTINGS_FILE")
    start_second_copy
    wait_for_visibility 1 "shown by the second start"
    expect_driver "one window titled $APP_TITLE" 1 count "$APP_TITLE"
    expect_eq "settings file after the second start" "$saved" "$(file_hex "$APP_DIR/$SETTINGS_FILE")"
    drv click "$APP_TITLE" "$ID_CMD_MIN_TRAY" >/dev/null || fail "&Hide did not take the click"
    expect_driver "hidden again by &Hide" 0 visible "$APP_TITLE"

    open_tray_menu "$instance"
    drv menu-choose Exit >/dev/null || fail "cannot choose Exit"
    wait_until 15 app_ended || fail "the program still runs after Exit"
    note "ok: the program ended"
    drv wait-gone "$APP_TITLE" 5 >/dev/null || fail "a window titled $APP_TITLE is left"
    if drv wait-menu 0 >/dev/null 2>&1; then fail "a pop-up menu is still open"; fi
    note "ok: no pop-up menu left open"
}
