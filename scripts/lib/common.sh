# Shared settings and helpers for the project's scripts. Source it; do not run it.
# shellcheck shell=bash

HUSHWELL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR="${HUSHWELL_BUILD_DIR:-$HUSHWELL_ROOT/build}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# The private Wine prefix: never ~/.wine.
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

say() { printf '%s\n' "$*" >&2; }
die() { say "error: $*"; exit 1; }

# Create the prefix once; later calls only start its wineserver.
ensure_wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "Creating the private Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
        [ -f "$WINEPREFIX/system.reg" ] || die "wineboot did not create $WINEPREFIX"
    fi
}

# Xvfb has no window manager, and Wine's managed windows then wait two seconds for one each
# time they are hidden. Test runs make windows unmanaged (N); a person's desktop keeps its
# window manager in charge (Y).
set_window_management() {
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1 || true
}

# A persistent wineserver keeps every Wine start of a run fast.
start_wineserver() { "$WINESERVER" -p >/dev/null 2>&1 || true; }
stop_wineserver() { "$WINESERVER" -k >/dev/null 2>&1 || true; }

# Point COM1 of the prefix at a device or pseudo-terminal (or at nothing).
map_com1() {
    local target="$1"
    mkdir -p "$WINEPREFIX/dosdevices"
    rm -f "$WINEPREFIX/dosdevices/com1"
    [ -n "$target" ] && ln -s "$target" "$WINEPREFIX/dosdevices/com1"
    return 0
}

XVFB_PID=
# Start a virtual X display unless told to use an existing one.
start_xvfb() {
    local n
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    done
    die "could not start Xvfb"
}
stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}
