#!/usr/bin/env bash
# Installs what is needed, builds, and runs Kestrove under wine64: the product itself (PE32) where
# this machine runs 32-bit x86 code, its PE32+ twin otherwise or with KESTROVE_TWIN=1; it says which.
# The program runs from build/run/app/, so its settings file kestrove.rkf lands there and survives
# between runs. Returns when the program ends.
#
#   bash scripts/run.sh           the demo: Windows 98 mode beside a stand-in dial-up service
#   bash scripts/run.sh --plain   the bare program, as Wine alone has it (no phone book, no dialer)
#
# Wine has no dial-up service, so the demo brings stand-ins, the end-to-end tools' doubles: a phone
# book of a few entries (the idle measurement's rasapi32.dll), the dialer (rnaui.dll: a "Connect To"
# dialog, then "Connecting to <entry>", then the connection flag raised), and a line that this script
# drops every 30 s. They run beside the copy in build/run/app, never in build/win32.
#
# Without DISPLAY it runs on a private Xvfb inside a Wine virtual desktop and prints how to take
# screenshots and how to drive it.

set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1

demo=1
case ${1:-} in
"") ;;
--plain) demo="" ;;
*)
    echo "usage: bash scripts/run.sh [--plain]" >&2
    exit 2
    ;;
esac
DEMO_ENTRIES=("Demo ISP" "Office Line" "Night Line")
DROP_EVERY_S=30

bash scripts/install-deps.sh
# shellcheck source=scripts/lib/product.sh
source "$ROOT/scripts/lib/product.sh"
pick_product "$ROOT"
# The driver and the doubles that can act with the program are the ones of its architecture.
if [ "$PRODUCT_FLAVOUR" = win32 ]; then
    bash scripts/build.sh win32 win32-e2e
    TOOLS="$ROOT/build/win32-e2e"
else
    bash scripts/build.sh win32 win64
    TOOLS="$ROOT/build/win64"
fi
DRIVER="$TOOLS/kestrove_driver.exe"

RUN_DIR="$ROOT/build/run"
APP_DIR="$RUN_DIR/app"
mkdir -p "$APP_DIR"
cp "$PRODUCT_EXE" "$APP_DIR/Kestrove.exe"
# The demo's stand-ins go beside the program, where it and rundll32 look first; --plain removes them.
rm -f "$APP_DIR"/{rnaui.dll,rasapi32.dll,rasapi32-book.txt,dialer-scenario.txt,dialer-log.txt,dialer-starts.txt}
if [ -n "$demo" ]; then
    cp "$TOOLS/rnaui.dll" "$TOOLS/idle/rasapi32.dll" "$APP_DIR/"
    printf '%s\n' "${DEMO_ENTRIES[@]}" >"$APP_DIR/rasapi32-book.txt"
    # A dial takes four seconds and brings the line up.
    printf 'progress_ms=4000\nset_flag=1\n' >"$APP_DIR/dialer-scenario.txt"
fi
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
DROPPER_PID=""
stop_dropper() {
    [ -n "$DROPPER_PID" ] || return 0
    kill "$DROPPER_PID" 2>/dev/null || true
    wait "$DROPPER_PID" 2>/dev/null || true
    DROPPER_PID=""
}
trap 'stop_dropper; wine_session_stop' EXIT
trap 'exit 130' INT TERM
if [ -n "$headless" ]; then
    wine_session_start "$RUN_DIR/prefix" virtual
else
    wine_session_start "$RUN_DIR/prefix" plain
fi

reg() { timeout -k 5 60 "$WINE" reg "$@" >/dev/null 2>&1; }
APP_KEY='HKCU\Software\Wine\AppDefaults\Kestrove.exe'
set_line() {
    reg add 'HKLM\System\CurrentControlSet\Services\RemoteAccess' /v "Remote Connection" /t REG_BINARY \
        /d "0${1}000000" /f
}
if [ -n "$demo" ]; then
    # Windows 98 mode: the connection flag in the registry and the rnaui.dll dialer. The line starts down.
    reg add "$APP_KEY" /v Version /d win98 /f
    set_line 0
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;rasapi32=n"
    # Its sleep ends with it, so that nothing of the demo outlives the script.
    (
        trap 'kill "$nap" 2>/dev/null; exit 0' TERM
        while :; do
            sleep "$DROP_EVERY_S" &
            nap=$!
            wait "$nap"
            set_line 0
        done
    ) &
    DROPPER_PID=$!
else
    reg delete "$APP_KEY" /f || true
fi

echo "run: running $(product_line) from $APP_DIR, Wine prefix $WINEPREFIX"
DRV="DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX WINEDEBUG=-all $WINE $DRIVER"
if [ -n "$demo" ]; then
    cat <<EOF
run: the demo, in Windows 98 mode: a phone book of $(printf '"%s" ' "${DEMO_ENTRIES[@]}")
     and a line that drops every $DROP_EVERY_S s. Pick an entry and tick "Activate?": the program goes to
     the tray and redials each drop (the dialer double shows "Connect To", then "Connecting to
     <entry>", then brings the line up), and its counter rises. From another shell:
       pick an entry:     $DRV combo-pick Kestrove 1002 "${DEMO_ENTRIES[0]}"
       tick "Activate?":  $DRV click Kestrove 1000
       read the counter:  $DRV text Kestrove 1006
       window back from the tray (the icon's left click):
                          $DRV send Kestrove 1039 \$($DRV instance Kestrove | tr -d '\r') 514
EOF
fi
if [ -n "$headless" ]; then
    cat <<EOF
run: no DISPLAY, so the program runs on a private X server, DISPLAY=$DISPLAY. From another shell:
       screenshot:  xwd -root -display $DISPLAY | convert xwd:- shot.png
       drive it:    $DRV text Kestrove 1006
       end it:      $DRV close Kestrove
     or press Ctrl+C here.
EOF
fi

cd "$APP_DIR"
status=0
"$WINE" "$APP_DIR/Kestrove.exe" || status=$?
echo "run: Kestrove ended with status $status"
exit "$status"
