#!/usr/bin/env bash
# Installs what is needed, builds, and runs Kestrove's PE32+ twin under wine64 (this kind of machine
# cannot execute the 32-bit product itself). The program runs from build/run/app/, so its settings
# file kestrove.rkf lands there and survives between runs. Returns when the program ends.
#
# Without DISPLAY it runs on a private Xvfb inside a Wine virtual desktop and prints how to take
# screenshots and how to drive it.

set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1

bash scripts/install-deps.sh
bash scripts/build.sh win32 win64

RUN_DIR="$ROOT/build/run"
APP_DIR="$RUN_DIR/app"
mkdir -p "$APP_DIR"
cp build/win64/Kestrove.exe "$APP_DIR/Kestrove.exe"

# shellcheck source=scripts/lib/wine-session.sh
source "$ROOT/scripts/lib/wine-session.sh"
headless=""
[ -n "${DISPLAY:-}" ] || headless=1
trap 'wine_session_stop' EXIT
trap 'exit 130' INT TERM
if [ -n "$headless" ]; then
    wine_session_start "$RUN_DIR/prefix" virtual
else
    wine_session_start "$RUN_DIR/prefix" plain
fi

echo "run: Kestrove (PE32+ twin) from $APP_DIR, Wine prefix $WINEPREFIX"
echo "run: the product itself is build/win32/Kestrove.exe"
if [ -n "$headless" ]; then
    cat <<EOF
run: no DISPLAY, so the program runs on a private X server, DISPLAY=$DISPLAY. From another shell:
       screenshot:  xwd -root -display $DISPLAY | convert xwd:- shot.png
       drive it:    DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX WINEDEBUG=-all \\
                    $WINE $ROOT/build/win64/kestrove_driver.exe text Kestrove 1006
       end it:      DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX $WINE $ROOT/build/win64/kestrove_driver.exe close Kestrove
     or press Ctrl+C here.
EOF
fi

cd "$APP_DIR"
status=0
"$WINE" "$APP_DIR/Kestrove.exe" || status=$?
echo "run: Kestrove ended with status $status"
exit "$status"
