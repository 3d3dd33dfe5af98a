# Shared settings and helpers for the project's scripts. Source it; do not run it.
# shellcheck shell=bash

HUSHWELL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR="${HUSHWELL_BUILD_DIR:-$HUSHWELL_ROOT/build}"
WINE64=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine # the i386 loader, from wine32: runs the i686 build in the same prefix
WINESERVER=/usr/lib/wine/wineserver

# The private Wine prefix: never ~/.wine.
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

say() { printf '%s\n' "$*" >&2; }
die() { say "error: $*"; exit 1; }

# Wine's first process of a session starts the prefix's desktop, which keeps the display it
# found for every later window: started without one, no window or message box can be made
# ("nodrv_CreateWindow") until that desktop exits. So Xvfb (or a person's display) comes first.
need_display() {
    [ -n "${DISPLAY:-}" ] || die "no DISPLAY: start Xvfb (start_xvfb) before the first Wine process"
}

# A port of the prefix (COM1, and COM5 where tests map COM1 to it) is named in
# HKLM\Software\Wine\Ports as a path: whenever Wine's services start they point dosdevices/comN
# at it (COM1 unnamed, they point it back at /dev/ttyS0) and list it among the PC's serial ports
# (HARDWARE\DEVICEMAP\SERIALCOMM, which the port dialog shows). The path itself is our symbolic
# link: to the radio's pseudo-terminal, a device, or nothing.
port_link() { printf '%s/radio-%s' "$WINEPREFIX" "$1"; }
com1_link() { port_link com1; }
# The ports the end-to-end cases use besides COM1: the radio's COM5, and for Find radio a silent
# COM3, a COM6 that another program holds and a COM9 that the device tree makes a Bluetooth link
# (tests/e2e/adapters.reg).
E2E_PORTS=(com3 com5 com6 com9)

# Whether this machine can run the i686 build: wine32 installed, and a kernel that executes
# 32-bit code, natively or through QEMU's user-mode emulator registered with binfmt_misc
# (scripts/setup registers it where the kernel refuses 32-bit programs: "Exec format error").
# I686_WAY says how it runs ("native", "emulated (QEMU 10.0.2)"); when it cannot, I686_CANNOT
# holds the reason. HUSHWELL_NO_I686=1 makes the answer "cannot", so that the skip path can be
# seen on any machine.
I386_HANDLER=qemu-i386 # the binfmt_misc entry scripts/lib/i686-emulation registers
I686_CANNOT= I686_WAY=
can_run_i686() {
    local out handler=/proc/sys/fs/binfmt_misc/$I386_HANDLER
    I686_WAY=
    if [ -n "${HUSHWELL_NO_I686:-}" ]; then
        I686_CANNOT="HUSHWELL_NO_I686 is set"
    elif [ ! -e "$WINE32" ]; then
        I686_CANNOT="wine32 is not installed"
    elif ! out=$("$WINE32" --version 2>&1); then
        case $out in
            *"Exec format error"*)
                I686_CANNOT="the kernel cannot execute 32-bit code and no emulator is registered"
                if ! mountpoint -q /proc/sys/fs/binfmt_misc 2>/dev/null; then
                    I686_CANNOT+=" (binfmt_misc is not mounted; scripts/setup as root mounts it)"
                fi ;;
            *) I686_CANNOT="$WINE32 --version failed: ${out//$'\n'/ }" ;;
        esac
    else
        I686_CANNOT=
        I686_WAY=native
        if [ "$(head -n 1 "$handler" 2>/dev/null)" = enabled ]; then
            local qemu
            qemu=$(sed -n 's/^interpreter //p' "$handler")
            I686_WAY="emulated (QEMU $("$qemu" --version 2>/dev/null | sed -n '1s/.*version \([^ ]*\).*/\1/p'))"
        fi
    fi
    [ -z "$I686_CANNOT" ]
}

# One line on how the i686 build runs here, for the top of a test run's log.
say_i686_way() {
    if can_run_i686; then
        echo "i686 build (the release): runs $I686_WAY"
    else
        echo "i686 build (the release): cannot run here: $I686_CANNOT"
    fi
}

# The line every step that needs 32-bit code prints instead of running.
say_i686_skip() { printf 'SKIP: %s (this machine cannot run 32-bit code: %s)\n' "$1" "$I686_CANNOT"; }

# True for an i686 Windows binary: its PE header's machine field is 0x14c.
is_i686_binary() {
    local at
    at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 1
    [ -n "$at" ] && [ "$(od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' ')" = 014c ]
}

# The Wine loader that runs a Windows binary, or the system programs (regsvr32, rundll32) that
# load it: the i386 loader for i686 code, wine64 for x86_64.
wine_for() { if is_i686_binary "$1"; then echo "$WINE32"; else echo "$WINE64"; fi; }

# Create the prefix once and name its ports once: COM1 and those given (ensure_wine_prefix com5);
# later calls only check. A WoW64 prefix: where the i686 build can run, one made before wine32
# was there (no 32-bit system programs) is made again, but only if these scripts made it (the
# mark below): WINEPREFIX may name a person's own prefix, which is never deleted.
PREFIX_MARK=.made-by-hushwell
ensure_wine_prefix() {
    need_display
    local named="$WINEPREFIX/.ports-named" port naming=()
    if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/rundll32.exe" ] &&
        can_run_i686; then
        [ -f "$WINEPREFIX/$PREFIX_MARK" ] ||
            die "the Wine prefix $WINEPREFIX has no 32-bit system programs, and these scripts did not make it, so they leave it alone: point WINEPREFIX at another folder, or remove it yourself"
        say "Making the Wine prefix in $WINEPREFIX again: it has no 32-bit system programs"
        "$WINESERVER" -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "Creating the private Wine prefix in $WINEPREFIX"
        local fresh= # marked as ours only if the folder was new or empty: nothing else in it
        [ -n "$(ls -A "$WINEPREFIX" 2>/dev/null)" ] || fresh=1
        mkdir -p "$WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w
        [ -f "$WINEPREFIX/system.reg" ] || die "wineboot did not create $WINEPREFIX"
        [ -z "$fresh" ] || touch "$WINEPREFIX/$PREFIX_MARK"
    fi
    for port in com1 "$@"; do
        grep -qxF "$port=$(port_link "$port")" "$named" 2>/dev/null || naming+=("$port")
    done
    if [ ${#naming[@]} -gt 0 ]; then
        for port in "${naming[@]}"; do
            "$WINE64" reg add 'HKLM\Software\Wine\Ports' /v "${port^^}" /d "$(port_link "$port")" /f \
                >/dev/null 2>&1 || die "could not name ${port^^} in $WINEPREFIX"
        done
        # The services of this session started before the names were there: let the session
        # end (unless a server is kept running), the next one maps and lists the ports.
        timeout 60 "$WINESERVER" -w || true
        for port in "${naming[@]}"; do printf '%s=%s\n' "$port" "$(port_link "$port")"; done >>"$named"
    fi
    mkdir -p "$WINEPREFIX/dosdevices"
    for port in com1 "$@"; do ln -sfn "$(port_link "$port")" "$WINEPREFIX/dosdevices/$port"; done
}

# Xvfb has no window manager, and Wine's managed windows then wait two seconds for one each
# time they are hidden. Test runs make windows unmanaged (N); a person's desktop keeps its
# window manager in charge (Y).
set_window_management() {
    need_display
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1 || true
}

# A persistent wineserver keeps every Wine start of a run fast. STARTED_SERVER is set when this
# call started it, so that only its starter stops it.
STARTED_SERVER=
start_wineserver() { "$WINESERVER" -p >/dev/null 2>&1 && STARTED_SERVER=1 || true; }
stop_wineserver() {
    [ -z "$STARTED_SERVER" ] || "$WINESERVER" -k >/dev/null 2>&1 || true
    STARTED_SERVER=
}

# Points COM1 of the prefix at a device or pseudo-terminal, or at nothing (no argument).
map_com1() {
    local link
    link=$(com1_link)
    mkdir -p "$WINEPREFIX/dosdevices"
    ln -sfn "$link" "$WINEPREFIX/dosdevices/com1"
    rm -f "$link"
    [ -z "${1:-}" ] || ln -s "$1" "$link"
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
