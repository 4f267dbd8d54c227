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
    BG_PIDS=""
    gui_prefix_lock
    trap gui_session_end EXIT
    # Wine keeps the screen size per Wine server: a fresh one on this screen.
    wineserver -k 2>/dev/null || true
    timeout 120 wineserver -w || echo "gui_session: the last Wine server did not end in 120 s" >&2
    gui_forget_serial_terminals
    gui_keep_cores
    quillon_display "$SIZE"
    # Web pages must not start a browser here.
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winebrowser.exe=d"
}

# machine-sim links a COM port of the prefix to its terminal; Wine records
# the port in the registry and makes the link again whenever the prefix
# starts, long after that machine has gone and another process may own the
# terminal. A session starts with no COM port leading to a terminal (the
# server is stopped, so its registry file may be edited); a test that wants
# a machine links one (start_machine).
gui_forget_serial_terminals() {
    sed -i '/^"COM[0-9]*"="\/dev\/pts\//d' "$WINEPREFIX/system.reg" 2>/dev/null || true
    for gf_link in "$WINEPREFIX"/dosdevices/com*; do
        case $(readlink "$gf_link" 2>/dev/null) in /dev/pts/*) rm -f "$gf_link" ;; esac
    done
}

# One GUI session at a time per Wine prefix, across ctest runs and shells:
# each session starts by stopping the prefix's Wine server, which would end
# the programs of a session already running there. The window handles of a
# fresh server come out the same run after run, so that session's test would
# then go on driving the newcomer's windows under its own handles (a dialog
# it saw closed "stays", a control is missing). A second session waits for
# the first. The lock is a folder holding its owner's process id; an owner
# that died without cleaning up (a killed test) is taken over.
gui_prefix_lock() {
    GUI_LOCK="$WINEPREFIX.session"
    gl_i=0
    until mkdir "$GUI_LOCK" 2>/dev/null; do
        gl_owner=$(cat "$GUI_LOCK/pid" 2>/dev/null || true)
        [ "$gl_owner" != "$$" ] || return 0 # this shell's own, from an earlier session
        if [ -n "$gl_owner" ] && ! kill -0 "$gl_owner" 2>/dev/null; then
            rm -rf "$GUI_LOCK"
            continue
        fi
        gl_i=$((gl_i + 1))
        [ $gl_i != 300 ] || echo "gui_session: waiting for $GUI_LOCK, held by process ${gl_owner:-?}" >&2
        if [ $gl_i -ge $((${QUILLON_SESSION_WAIT:-600} * 10)) ]; then
            echo "gui_session: $GUI_LOCK is held by process ${gl_owner:-?}" >&2
            GUI_LOCK=
            exit 1
        fi
        sleep 0.1
    done
    echo $$ > "$GUI_LOCK/pid"
}
gui_prefix_unlock() {
    if [ -n "${GUI_LOCK:-}" ] && [ "$(cat "$GUI_LOCK/pid" 2>/dev/null)" = "$$" ]; then
        rm -rf "$GUI_LOCK"
    fi
    GUI_LOCK=
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
    gui_exit_report $?
    if [ -n "$MACHINE_PID" ]; then
        kill "$MACHINE_PID" 2>/dev/null
        wait "$MACHINE_PID" 2>/dev/null || true
    fi
    gui_session_end
    rm -rf "$WORK"
}

gui_session_end() {
    gui_exit_report $?
    gui_core_report
    for p in $BG_PIDS; do kill "$p" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    # The server is gone before the next session may start one.
    wineserver -w 2>/dev/null || true
    [ -n "${QUILLON_XVFB_PID:-}" ] && kill "$QUILLON_XVFB_PID" 2>/dev/null
    gui_prefix_unlock
    true
}

fail() {
    GUI_FAILED=1
    echo "FAIL: $*" >&2
    exit 1
}

# A script that ends on a command's exit code (set -e) without a FAIL line
# says so, naming the last gui-driver call: a test never fails silently.
gui_exit_report() {
    if [ "$1" != 0 ] && [ -z "${GUI_FAILED:-}" ]; then
        GUI_FAILED=1
        echo "FAIL: stopped by a command that failed (exit $1); the last gui-driver call was" \
            "\"${DRIVE_LAST:-none}\" (exit ${drive_rc:-none})" >&2
    fi
}

# gui-driver with its exit code kept (a pipe would hide it) and CRs dropped.
drive() {
    DRIVE_LAST="$*"
    drive_rc=0
    # gui-driver bounds its own waits (60 s at the most): a call that has not
    # ended long after that is Wine hanging, named here with Wine's processes
    # instead of holding the test silently until ctest's timeout.
    drive_out=$(timeout 180 "$WINE" "$BIN/gui-driver.exe" "$@") || drive_rc=$?
    [ -z "$drive_out" ] || printf '%s\n' "$drive_out" | tr -d '\r'
    if [ $drive_rc = 124 ]; then
        echo "gui-driver $1: no answer in 180 s; Wine's processes:" >&2
        ps -eo pid,stat,etime,args | grep -iE 'wine|\.exe' | grep -v grep >&2 || true
    # gui-driver answers 0, 1 (with a line saying why) or 2 (usage); any other
    # code means it did not run to its end, which nothing else would say.
    elif [ $drive_rc -gt 2 ]; then
        echo "gui-driver $1: ended with exit $drive_rc, not by itself" >&2
    fi
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
        [ "$EXIT_CODE" -le 128 ] || gui_core_report
    fi
}

# A program under Wine that the system ends by a signal (exit code 128 + N:
# 139 for a segmentation fault Wine did not turn into an exception, as in the
# last steps of a process's end) leaves a core file in the folder it started
# from, where the system is set to write one as "core" (as on the test
# machines). Each is read back with gdb, every thread's stack printed, and
# removed: such a fault is never only an exit code.
gui_keep_cores() {
    ulimit -c unlimited 2>/dev/null || true
    GUI_CORE_DIR=$PWD
    rm -f "$GUI_CORE_DIR/core"
}
gui_core_report() {
    for gc_core in "${GUI_CORE_DIR:-/nonexistent}"/core "${GUI_CORE_DIR:-/nonexistent}"/core.[0-9]*; do
        [ -f "$gc_core" ] || continue
        gc_exe=$(file "$gc_core" | sed -n "s/.*execfn: '\([^']*\)'.*/\1/p")
        echo "gui_session: a program ended by a signal and left $gc_core ($(file -b "$gc_core" | cut -c1-160)); its threads:" >&2
        if command -v gdb >/dev/null; then
            timeout 120 gdb -batch -nx -q ${gc_exe:+"$gc_exe"} -c "$gc_core" -ex "info threads" \
                -ex "thread apply all bt 24" 2>&1 | grep -v '^\[New LWP\|^warning: ' | head -300 >&2
        else
            echo "gui_session: no gdb to read it" >&2
        fi
        rm -f "$gc_core"
    done
}

# Saves a window as PNG under the screenshots folder.
screenshot() {
    mkdir -p "$SHOTS"
    drive screenshot "$1" "$SHOTS/$2.bmp" >/dev/null || fail "no screenshot $2 of window $1"
    convert "$SHOTS/$2.bmp" "$SHOTS/$2.png" || fail "the screenshot $2 does not convert"
    rm -f "$SHOTS/$2.bmp"
}

# Waits up to five seconds for the list ID of WINDOW to hold exactly LINES
# (newline-separated); a program may still be filling it after a dialog closes.
# Prints the lines it last saw when they never match.
lines_become() {
    # A list not there yet (a page still being shown) is waited for too, not
    # taken for an empty one.
    lb_i=0
    until lb_seen=$(drive lines "$1" "$2" 2>/dev/null) && [ "$lb_seen" = "$3" ]; do
        [ $lb_i -lt 50 ] || { printf '%s\n' "$lb_seen"; return 1; }
        sleep 0.1; lb_i=$((lb_i + 1))
    done
}
