# shellcheck shell=bash
# Sourced by scripts/run.sh and tests/e2e/run_e2e.sh: a private Wine session for Kestrove.
#
#   wine_session_start <prefix-dir> <desktop-mode: virtual|plain>
#   wine_session_stop              (safe to call twice; also called from an EXIT trap)
#
# Exports WINELOADER, WINESERVER, WINEPREFIX, WINEDEBUG, DISPLAY and sets WINE (the loader to run).
# An Xvfb is started only when DISPLAY is unset. "virtual" makes Wine's default desktop a 1024x768
# virtual desktop, so that every program of the session (the product and the e2e driver) shares one
# desktop where Wine draws frames and title bars itself and activates windows without a window manager.

WINE_SESSION_XVFB_PID=""
WINE_SESSION_STARTED_SERVER=""
WINE_DESKTOP_SIZE=1024x768

wine_session_log() { printf '%s\n' "$*" >&2; }

# The 64-bit loader from Debian's wine64 package, for either kind of program: it hands a 32-bit one
# to wine32's loader by itself where wine32 is installed.
wine_find_loader() {
    local loader
    loader=$(dpkg -L wine64 2>/dev/null | grep '/wine64$' | head -n1)
    if [ -z "$loader" ] || [ ! -x "$loader" ]; then
        loader=$(command -v wine64 || true)
    fi
    if [ -z "$loader" ]; then
        wine_session_log "wine64 not found: run scripts/install-deps.sh"
        return 1
    fi
    printf '%s\n' "$loader"
}

# Display numbers from 50 up, away from the :0, :1 and :99 that other tools pick by habit.
wine_start_xvfb() {
    local display
    for display in $(seq 50 149); do
        if [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; then
            continue
        fi
        Xvfb ":$display" -screen 0 "${WINE_DESKTOP_SIZE}x24" -nolisten tcp >/dev/null 2>&1 &
        WINE_SESSION_XVFB_PID=$!
        local waited=0
        while [ "$waited" -lt 100 ] && kill -0 "$WINE_SESSION_XVFB_PID" 2>/dev/null; do
            if [ -e "/tmp/.X11-unix/X${display}" ]; then
                export DISPLAY=":$display"
                return 0
            fi
            sleep 0.1
            waited=$((waited + 1))
        done
        # Lost a race for this number, or too slow: try the next one.
        kill "$WINE_SESSION_XVFB_PID" 2>/dev/null
        wait "$WINE_SESSION_XVFB_PID" 2>/dev/null
        WINE_SESSION_XVFB_PID=""
    done
    wine_session_log "Xvfb did not start"
    return 1
}

wine_session_start() {
    local prefix=$1 mode=${2:-virtual}
    WINELOADER=$(wine_find_loader) || return 1
    WINE=$WINELOADER
    WINESERVER="$(dirname "$WINELOADER")/wineserver64"
    [ -x "$WINESERVER" ] || WINESERVER="$(dirname "$WINELOADER")/wineserver"
    export WINELOADER WINESERVER WINE
    export WINEPREFIX=$prefix
    export WINEDEBUG=-all
    # No .NET or HTML engine: the program needs neither, and their installers would prompt.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$prefix"

    if [ -z "${DISPLAY:-}" ]; then
        wine_start_xvfb || return 1
    fi

    # One server for the whole session instead of one per program start.
    "$WINESERVER" -p
    WINE_SESSION_STARTED_SERVER=1
    if [ ! -f "$prefix/system.reg" ]; then
        wine_session_log "creating the Wine prefix $prefix (first start takes a while)"
    fi
    # A first boot of a prefix has been seen to fail once on a busy machine and pass when repeated.
    local attempt
    for attempt in 1 2; do
        timeout 180 "$WINE" wineboot -i >"$prefix.wineboot.log" 2>&1 && break
        if [ "$attempt" -eq 2 ]; then
            wine_session_log "wineboot failed (see $prefix.wineboot.log)"
            return 1
        fi
        wine_session_log "wineboot failed; starting the server over and trying once more"
        timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
        timeout 30 "$WINESERVER" -w >/dev/null 2>&1 || true
        "$WINESERVER" -p
    done

    # Debian keeps Wine's own fonts (Tahoma, and Marlett for the title-bar buttons) where this Wine
    # does not look; without them the buttons show letters. The prefix's Fonts folder is always read.
    if [ -d /usr/share/wine/fonts ]; then
        cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    fi

    local explorer='HKCU\Software\Wine\Explorer'
    if [ "$mode" = virtual ]; then
        if ! "$WINE" reg add "$explorer" /v Desktop /d Default /f >/dev/null 2>&1 ||
            ! "$WINE" reg add "$explorer\\Desktops" /v Default /d "$WINE_DESKTOP_SIZE" /f >/dev/null 2>&1; then
            wine_session_log "could not set up the virtual desktop"
            return 1
        fi
    else
        "$WINE" reg delete "$explorer" /v Desktop /f >/dev/null 2>&1 || true
    fi
    # The desktop wineboot opened still has the old setting: start the session over.
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
    timeout 30 "$WINESERVER" -w >/dev/null 2>&1 || true
    "$WINESERVER" -p
}

wine_session_stop() {
    if [ -n "$WINE_SESSION_STARTED_SERVER" ]; then
        # Ends every program of this prefix, then the server itself.
        timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
        timeout 30 "$WINESERVER" -w >/dev/null 2>&1 || true
        WINE_SESSION_STARTED_SERVER=""
    fi
    if [ -n "$WINE_SESSION_XVFB_PID" ]; then
        kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
        wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
        WINE_SESSION_XVFB_PID=""
    fi
}

# Screenshot of the Wine desktop (virtual mode) or of the whole screen (plain mode).
wine_screenshot() {
    local out=$1
    mkdir -p "$(dirname "$out")"
    if xwininfo -name "Default - Wine desktop" >/dev/null 2>&1; then
        xwd -silent -name "Default - Wine desktop" | convert xwd:- "$out"
    else
        xwd -silent -root | convert xwd:- "$out"
    fi
}
