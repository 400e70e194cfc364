# shellcheck shell=bash
# The About box, opened by the main window's icon picture, and the hidden credits screen, opened by a
# right-button release with Shift over the small dot. Clicks are posted to the controls as the mouse
# would deliver them; posted messages are handled in order, so a later window appearing shows that the
# earlier clicks have been handled. Each function runs in its own subshell.

SCENARIOS+=(
    about_box_and_credits_screen
)

ABOUT_TITLE="About Kestrove"
ID_ABOUT_OK=1000
ID_ABOUT_SPONSOR=1001
ID_ABOUT_NAME=1003
ID_ABOUT_TEXT=1005
CREDITS_TITLE=eEGG
ID_CREDITS_SLOGAN=1000
ID_CREDITS_LOGO=1001

ABOUT_TEXT='Kestrove is a program that reconnects you automaticly as soon as your ISP disconnects you.\r\n\r\nCreated by Tavrek (a.k.a. KOBU).\r\n'

# post_click <title> <control id> <button: l|r> <keys held, as the driver names them>
post_click() {
    local title=$1 id=$2 button=$3 keys=$4 down_keys ignored
    down_keys=$([ "$keys" = none ] && echo "${button}button" || echo "$keys+${button}button")
    ask ignored post-mouse "$title" "$id" "${button}buttondown" "$down_keys"
    ask ignored post-mouse "$title" "$id" "${button}buttonup" "$keys"
}

open_about_box() {
    post_click "$APP_TITLE" "$ID_IMG_ICON" l none
    drv wait-window "$ABOUT_TITLE" 15 >/dev/null || fail "no window titled $ABOUT_TITLE"
}

# screenshot_of_window <title> <png>
screenshot_of_window() {
    local rect
    ask rect rect "$1"
    # shellcheck disable=SC2086  # four numbers
    screenshot_of "$2" $rect "$1"
}

about_box_and_credits_screen() {
    new_app_dir about
    start_app

    open_about_box
    expect_driver "About text, line breaks and all" "$ABOUT_TEXT" text-escaped "$ABOUT_TITLE" "$ID_ABOUT_TEXT"
    expect_driver "product name" Kestrove text "$ABOUT_TITLE" "$ID_ABOUT_NAME"
    expect_driver "sponsor label" " Sponsor:" text "$ABOUT_TITLE" "$ID_ABOUT_SPONSOR"
    expect_driver "button" "&OK" text "$ABOUT_TITLE" "$ID_ABOUT_OK"
    expect_driver "focus on the button" "$ID_ABOUT_OK" focus "$ABOUT_TITLE"
    expect_driver "client area at 96 dpi" 306x297 client-size "$ABOUT_TITLE"
    screenshot_of_window "$ABOUT_TITLE" "$E2E_WORK/screens/about.png"

    drv click "$ABOUT_TITLE" "$ID_ABOUT_OK" >/dev/null || fail "&OK did not take the click"
    drv wait-gone "$ABOUT_TITLE" 10 >/dev/null || fail "&OK did not close the About box"
    note "ok: &OK closed the About box"

    # Releases over the dot that are not exactly the right button with Shift alone; the About box
    # opened after them shows that they have been handled.
    post_click "$APP_TITLE" "$ID_IMG_EGG" r none
    post_click "$APP_TITLE" "$ID_IMG_EGG" r shift+control
    post_click "$APP_TITLE" "$ID_IMG_EGG" l shift
    open_about_box
    expect_driver "no credits screen from other clicks" 0 count "$CREDITS_TITLE"
    expect_driver "About text composed afresh" "$ABOUT_TEXT" text-escaped "$ABOUT_TITLE" "$ID_ABOUT_TEXT"

    post_click "$APP_TITLE" "$ID_IMG_ICON" l none
    post_click "$APP_TITLE" "$ID_IMG_EGG" r shift
    drv wait-window "$CREDITS_TITLE" 15 >/dev/null || fail "Shift with the right button opened no credits screen"
    expect_driver "one About box after a second click on the icon" 1 count "$ABOUT_TITLE"
    expect_driver "one credits screen" 1 count "$CREDITS_TITLE"

    local screen width height
    ask screen screen-size
    width=${screen%x*}
    height=${screen#*x}
    expect_driver "credits screen covers the screen" "0 0 $width $height" rect "$CREDITS_TITLE"
    expect_driver "no frame around the credits screen" "$screen" client-size "$CREDITS_TITLE"
    expect_driver "slogan" ".:: FUCK POSERS ::." text "$CREDITS_TITLE" "$ID_CREDITS_SLOGAN"
    local shot="$E2E_WORK/screens/credits.png"
    screenshot_of_window "$CREDITS_TITLE" "$shot"
    expect_eq "black background (top-left corner)" "0 0 0" "$(pixel_of "$shot" 5 5)"
    expect_eq "black background (bottom-right corner)" "0 0 0" "$(pixel_of "$shot" $((width - 5)) $((height - 5)))"

    post_click "$CREDITS_TITLE" "$ID_CREDITS_LOGO" l none
    drv wait-gone "$CREDITS_TITLE" 10 >/dev/null || fail "a click on the logo did not close the credits screen"
    note "ok: a click on the logo closed the credits screen"
    expect_driver "About box still open" 1 count "$ABOUT_TITLE"
}
