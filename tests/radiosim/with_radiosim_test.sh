#!/usr/bin/env bash
# with-radiosim: the simulator serves COM1 of the prefix while the command runs, the paths
# reach the command, the command's status comes back, and nothing is left behind.
#   with_radiosim_test.sh WITH_RADIOSIM RADIOSIM
# shellcheck disable=SC2016 # the commands run by with-radiosim expand its variables themselves
set -uo pipefail
with_radiosim=$1
radiosim=$2
failures=0
check() { # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/with-radiosim-test.XXXXXX)
trap 'rm -rf "$WINEPREFIX"' EXIT
out=$WINEPREFIX/out

# Inside: COM1 points at a pty, the FIFO exists, the Wine paths mirror the Unix ones, and a
# control line is accepted (it shows in the log).
RADIOSIM=$radiosim "$with_radiosim" --baud 0 -- bash -c '
    set -e
    target=$(readlink "$WINEPREFIX/dosdevices/com1")
    case $target in /dev/pts/*) ;; *) echo "com1 -> $target"; exit 11 ;; esac
    [ -p "$RADIOSIM_CONTROL" ] || exit 12
    [ -f "$RADIOSIM_SAVE" ] || exit 13
    [ "$RADIOSIM_CONTROL_WIN" = "Z:${RADIOSIM_CONTROL//\//\\}" ] || exit 14
    [ "$RADIOSIM_LOG_WIN" = "Z:${RADIOSIM_LOG//\//\\}" ] || exit 15
    case $RADIOSIM_SAVE_WIN in Z:\\*memory.bin) ;; *) exit 16 ;; esac
    echo "mode programming" > "$RADIOSIM_CONTROL"
    for i in $(seq 1 100); do
        grep -q "\"line\":\"mode programming\",\"verdict\":\"ok\"" "$RADIOSIM_LOG" && break
        sleep 0.05
    done
    grep -q "\"line\":\"mode programming\",\"verdict\":\"ok\"" "$RADIOSIM_LOG" || exit 17
    echo "$RADIOSIM_DIR" > "$WINEPREFIX/dir"
' >"$out" 2>&1
status=$?
check "the command sees the simulator and its files (status $status)" test "$status" -eq 0
check "the link is gone afterwards" test ! -e "$WINEPREFIX/dosdevices/com1"
check "the temporary folder is gone afterwards" test ! -e "$(cat "$WINEPREFIX/dir" 2>/dev/null)"
check "the simulator's summary is passed on" grep -q "radiosim: stopped: 0 accepted writes" "$out"

# The command's status is returned, and the folder is kept for a look after a failure.
RADIOSIM=$radiosim "$with_radiosim" -- bash -c 'echo "$RADIOSIM_DIR" > "$WINEPREFIX/dir"; exit 7' \
    >"$out" 2>&1
status=$?
check "a failing command's status comes back (got $status)" test "$status" -eq 7
kept=$(cat "$WINEPREFIX/dir")
check "the folder is kept after a failure" test -f "$kept/log.jsonl"
check "and named on stderr" grep -q "kept in $kept" "$out"
rm -rf "$kept"

# A simulator that cannot start: a clear message, status 2, the command never runs.
"$with_radiosim" --radiosim "$radiosim" --image /nonexistent/image.bin -- touch "$WINEPREFIX/ran" \
    >"$out" 2>&1
status=$?
check "a simulator that cannot start gives status 2 (got $status)" test "$status" -eq 2
check "with its message" grep -q "cannot open image /nonexistent/image.bin" "$out"
check "and the command does not run" test ! -e "$WINEPREFIX/ran"

[ "$failures" -eq 0 ]
