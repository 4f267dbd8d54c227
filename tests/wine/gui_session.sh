# Shared by the GUI test scripts (sourced): a fresh Wine server on a private
# Xvfb screen, the test driver, and clean-up.
#   gui_session_start BIN_DIR WIDTHxHEIGHT
# Then: drive ARGS... (gui-driver), fail MESSAGE, wine_bg PROGRAM ARGS... (sets BG_PID)
QUILLON_ROOT=${QUILLON_ROOT:-$(cd "$(dirname "$0")/../../.." && pwd)}

gui_session_start() {
    BIN=$1
    SIZE=$2
    QUILLON_BUILD=$(cd "$BIN/.." && pwd)
    . "$QUILLON_ROOT/scripts/wine-env"
    quillon_wine_prefix
    unset DISPLAY
    # Wine keeps the screen size per Wine server: a fresh one on this screen.
    wineserver -k 2>/dev/null || true
    wineserver -w
    quillon_display "$SIZE"
    BG_PIDS=""
    trap gui_session_end EXIT
    # Web pages must not start a browser here.
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
}

# A work folder (WORK) for a test that may start machine-sim (its pid in
# MACHINE_PID); at the end the machine stops, the session ends and the folder goes.
gui_work_start() {
    WORK=$(mktemp -d)
    MACHINE_PID=
    trap gui_work_end EXIT
}

# machine-sim on COM1 (with ARGS, e.g. --x11) logging what it does into
# $WORK/actions.log; `send LINE` writes to its control pipe. After gui_work_start.
start_machine() {
    mkfifo "$WORK/control"
    "$HOST_TOOLS/machine-sim" --link-com 1 "$@" --control "$WORK/control" --no-stdin --log-actions \
        > "$WORK/machine.out" 2> "$WORK/actions.log" &
    MACHINE_PID=$!
    sm_i=0
    until grep -q '^pty ' "$WORK/machine.out" 2>/dev/null; do
        sm_i=$((sm_i + 1))
        [ $sm_i -lt 100 ] || fail "machine-sim did not start: $(cat "$WORK/actions.log")"
        sleep 0.1
    done
}
send() { echo "$1" > "$WORK/control"; }

gui_work_end() {
    if [ -n "$MACHINE_PID" ]; then
        kill "$MACHINE_PID" 2>/dev/null
        wait "$MACHINE_PID" 2>/dev/null || true
    fi
    gui_session_end
    rm -rf "$WORK"
}

gui_session_end() {
    for p in $BG_PIDS; do kill "$p" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    [ -n "${QUILLON_XVFB_PID:-}" ] && kill "$QUILLON_XVFB_PID" 2>/dev/null
    true
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# gui-driver with its exit code kept (a pipe would hide it) and CRs dropped.
drive() {
    drive_rc=0
    drive_out=$("$WINE" "$BIN/gui-driver.exe" "$@") || drive_rc=$?
    [ -z "$drive_out" ] || printf '%s\n' "$drive_out" | tr -d '\r'
    return $drive_rc
}

wine_bg() {
    "$WINE" "$@" &
    BG_PID=$!
    BG_PIDS="$BG_PIDS $BG_PID"
}

# Waits (tenths of a second, default 100) for a background program to end;
# sets EXIT_CODE to its exit code, or "timeout". Not in a subshell: only this
# shell can wait for its children.
wait_exit() {
    i=0
    while kill -0 "$1" 2>/dev/null && [ $i -lt ${2:-100} ]; do sleep 0.1; i=$((i + 1)); done
    if kill -0 "$1" 2>/dev/null; then
        EXIT_CODE=timeout
    else
        EXIT_CODE=0
        wait "$1" || EXIT_CODE=$?
    fi
}

# Saves a window as PNG under the screenshots folder.
screenshot() {
    mkdir -p "$SHOTS"
    drive screenshot "$1" "$SHOTS/$2.bmp" >/dev/null && convert "$SHOTS/$2.bmp" "$SHOTS/$2.png" && rm -f "$SHOTS/$2.bmp"
}

# Waits up to five seconds for the list ID of WINDOW to hold exactly LINES
# (newline-separated); a program may still be filling it after a dialog closes.
# Prints the lines it last saw when they never match.
lines_become() {
    lb_i=0
    while lb_seen=$(drive lines "$1" "$2") && [ "$lb_seen" != "$3" ] && [ $lb_i -lt 50 ]; do
        sleep 0.1; lb_i=$((lb_i + 1))
    done
    [ "$lb_seen" = "$3" ] || { printf '%s\n' "$lb_seen"; return 1; }
}
