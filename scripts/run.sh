#!/usr/bin/env bash
# Installs what is needed, builds, and runs Kestrove under wine64: the product itself (PE32) where
# this machine runs 32-bit x86 code, its PE32+ twin otherwise or with KESTROVE_TWIN=1; it says which.
# The program runs from build/run/app/, so its settings file kestrove.rkf lands there and survives
# between runs. Returns when the program ends.
#
# Without DISPLAY it runs on a private Xvfb inside a Wine virtual desktop and prints how to take
# screenshots and how to drive it.

set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1

bash scripts/install-deps.sh
# shellcheck source=scripts/lib/product.sh
source "$ROOT/scripts/lib/product.sh"
pick_product "$ROOT"
# The driver that can act on the program is the one of its architecture.
if [ "$PRODUCT_FLAVOUR" = win32 ]; then
    bash scripts/build.sh win32 win32-e2e
    DRIVER="$ROOT/build/win32-e2e/kestrove_driver.exe"
else
    bash scripts/build.sh win32 win64
    DRIVER="$ROOT/build/win64/kestrove_driver.exe"
fi

RUN_DIR="$ROOT/build/run"
APP_DIR="$RUN_DIR/app"
mkdir -p "$APP_DIR"
cp "$PRODUCT_EXE" "$APP_DIR/Kestrove.exe"
# A prefix made before wine32 was installed has no 32-bit half; it holds nothing worth keeping.
if [ "$PRODUCT_FLAVOUR" = win32 ] && [ -d "$RUN_DIR/prefix/drive_c/windows" ] &&
    [ ! -d "$RUN_DIR/prefix/drive_c/windows/syswow64" ]; then
    echo "run: the Wine prefix $RUN_DIR/prefix cannot run 32-bit programs; making it afresh"
    rm -rf "$RUN_DIR/prefix"
fi

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

echo "run: running $(product_line) from $APP_DIR, Wine prefix $WINEPREFIX"
if [ -n "$headless" ]; then
    cat <<EOF
run: no DISPLAY, so the program runs on a private X server, DISPLAY=$DISPLAY. From another shell:
       screenshot:  xwd -root -display $DISPLAY | convert xwd:- shot.png
       drive it:    DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX WINEDEBUG=-all \\
                    $WINE $DRIVER text Kestrove 1006
       end it:      DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX $WINE $DRIVER close Kestrove
     or press Ctrl+C here.
EOF
fi

cd "$APP_DIR"
status=0
"$WINE" "$APP_DIR/Kestrove.exe" || status=$?
echo "run: Kestrove ended with status $status"
exit "$status"
