# shellcheck shell=bash
# The main window at the display's real resolution. The program declares itself DPI-aware and converts
# its twips at the resolution the system reports, so the window, its fonts and its pictures grow in
# proportion. Leaves main-<dpi>dpi.png and about-<dpi>dpi.png in E2E_WORK/screens for 96, 120 and 144.

SCENARIOS+=(windows_scale_with_the_resolution)

# Every program reads the resolution when it starts, the virtual desktop included: after setting it
# the session starts over.
set_screen_dpi() {
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
        return 1
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1
    timeout 30 "$WINESERVER" -w >/dev/null 2>&1
    "$WINESERVER" -p
}

# Twips to pixels at a resolution, rounded to the nearest pixel as the program does.
twips_at() { echo $((($1 * $2 + 720) / 1440)); }

# pixel_extent <png> <left> <top> <width> <height> blue|dark: "<width> <height>" of the smallest box
# around the pixels of that kind inside the rectangle, "0 0" when there are none. Blue is the icon's
# body; dark is text drawn in the window-text colour.
pixel_extent() {
    local png=$1 left=$2 top=$3 width=$4 height=$5 kind=$6
    convert "$png" -crop "${width}x${height}+${left}+${top}" +repage -depth 8 rgb:- |
        /usr/bin/python3 -c '
import sys
width, height, kind = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
data = sys.stdin.buffer.read()
wanted = {"blue": lambda r, g, b: b - r > 60, "dark": lambda r, g, b: max(r, g, b) < 100}[kind]
xs, ys = [], []
for i in range(0, min(len(data), width * height * 3) - 2, 3):
    if wanted(data[i], data[i + 1], data[i + 2]):
        xs.append(i // 3 % width)
        ys.append(i // 3 // width)
print(f"{max(xs) - min(xs) + 1} {max(ys) - min(ys) + 1}" if xs else "0 0")
' "$width" "$height" "$kind"
}

# expect_picture_size <what> <png> <client left> <client top> <left twips> <top twips> <width px>
#     <height px> <dpi>: a picture keeps its size in inches, so its pixels at 96 dpi are scaled to the
# resolution. Its blue body is looked for around where the picture sits, with a margin.
expect_picture_size() {
    local what=$1 png=$2 cl=$3 ct=$4 left=$5 top=$6 dpi=$9
    local width=$((($7 * dpi + 48) / 96)) height=$((($8 * dpi + 48) / 96)) extent seen_width seen_height
    extent=$(pixel_extent "$png" $((cl + $(twips_at "$left" "$dpi") - 2)) $((ct + $(twips_at "$top" "$dpi") - 2)) \
        $((width + 4)) $((height + 4)) blue)
    read -r seen_width seen_height <<<"$extent"
    if [ $((seen_width - width)) -gt 1 ] || [ $((width - seen_width)) -gt 1 ] ||
        [ $((seen_height - height)) -gt 1 ] || [ $((height - seen_height)) -gt 1 ]; then
        fail "$what ${seen_width}x${seen_height} at $dpi dpi, expected ${width}x${height}"
    fi
    note "ok: $what ${seen_width}x${seen_height}"
}

# Shows the program at one resolution, checks the main window and the About box there and saves both.
# Sets TEXT_WIDTH to the width of the counter's text in pixels.
TEXT_WIDTH=0
windows_at_resolution() {
    local dpi=$1 shots="$E2E_WORK/screens"
    set_screen_dpi "$dpi" || fail "cannot set the resolution to $dpi dpi"
    new_app_dir "dpi_$dpi"
    start_app
    expect_driver "client area at $dpi dpi" "$(twips_at 5655 "$dpi")x$(twips_at 1545 "$dpi")" \
        client-size "$APP_TITLE"

    mkdir -p "$shots"
    local desktop="$APP_DIR/desktop.png"
    steady_desktop_screenshot "$desktop" "$APP_TITLE"
    local rect left top right bottom
    ask rect rect "$APP_TITLE"
    read -r left top right bottom <<<"$rect"
    convert "$desktop" -crop "$((right - left))x$((bottom - top))+${left}+${top}" +repage \
        "$shots/main-${dpi}dpi.png" || fail "cannot crop the window out of the screenshot"

    local client cl ct extent height
    ask client client-rect "$APP_TITLE"
    read -r cl ct _ _ <<<"$client"
    expect_picture_size "icon picture" "$desktop" "$cl" "$ct" 4920 952 32 32 "$dpi"

    # The counter's text, inside the label's border.
    extent=$(pixel_extent "$desktop" $((cl + $(twips_at 480 "$dpi") + 2)) $((ct + $(twips_at 945 "$dpi") + 2)) \
        $(($(twips_at 3615 "$dpi") - 4)) $(($(twips_at 255 "$dpi") - 4)) dark)
    read -r TEXT_WIDTH height <<<"$extent"
    [ "$TEXT_WIDTH" -gt 0 ] || fail "no text in the counter at $dpi dpi"
    note "ok: counter text ${TEXT_WIDTH}x${height}, window saved as $shots/main-${dpi}dpi.png"

    # The About box's sponsor banner, a picture from the system's loader: 120 x 60 pixels at 96 dpi.
    drv post-mouse "$APP_TITLE" "$ID_IMG_ICON" lbuttonup 0 >/dev/null || fail "the icon picture took no click"
    drv wait-window "About $APP_TITLE" 10 >/dev/null || fail "no About box at $dpi dpi"
    steady_desktop_screenshot "$desktop" "About $APP_TITLE"
    ask rect rect "About $APP_TITLE"
    read -r left top right bottom <<<"$rect"
    convert "$desktop" -crop "$((right - left))x$((bottom - top))+${left}+${top}" +repage \
        "$shots/about-${dpi}dpi.png" || fail "cannot crop the About box out of the screenshot"
    ask client client-rect "About $APP_TITLE"
    read -r cl ct _ _ <<<"$client"
    expect_picture_size "sponsor banner" "$desktop" "$cl" "$ct" 1395 2520 120 60 "$dpi"
    stop_app
}

windows_scale_with_the_resolution() {
    if ! command -v xwd >/dev/null || ! command -v convert >/dev/null; then
        skip "xwd or convert missing"
    fi
    trap 'stop_app; set_screen_dpi 96' EXIT
    local base dpi ratio
    windows_at_resolution 96
    base=$TEXT_WIDTH
    for dpi in 120 144; do
        windows_at_resolution "$dpi"
        # Text grows with the font's size; hinting moves it by a few pixels either way.
        ratio=$((TEXT_WIDTH * 100 / base))
        local expected=$((dpi * 100 / 96))
        if [ $((ratio - expected)) -gt 12 ] || [ $((expected - ratio)) -gt 12 ]; then
            fail "counter text ${TEXT_WIDTH} px at $dpi dpi is ${ratio}% of ${base} px at 96 dpi, expected ~${expected}%"
        fi
        note "ok: counter text at $dpi dpi is ${ratio}% of its width at 96 dpi"
    done
}
