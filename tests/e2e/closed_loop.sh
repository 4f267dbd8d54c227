#!/bin/sh
# The whole system in a closed loop: the simulated machine on a pseudo-
# terminal linked as COM1 (turning the runner's actions into real X input),
# a target window that counts the clicks on its moving button, and
# analyzer-runner running an analyzer that finds the button and clicks it.
#   closed_loop.sh BIN_DIR HOST_TOOLS SHOTS_DIR [test|demo] [SECONDS]
# test: on a private Xvfb; fails unless the target counted clicks, the runner
# left analysis mode and ended. demo: on $DISPLAY when set (else Xvfb), the
# same run, with screenshots and a short summary.
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 MODE=${4:-test} SECONDS_RUN=${5:-5}
QUILLON_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$QUILLON_ROOT/tests/wine/gui_session.sh"
[ "$MODE" = demo ] && KEEP_DISPLAY=${DISPLAY:-} || KEEP_DISPLAY=
gui_session_start "$BIN" 1280x800
if [ -n "$KEEP_DISPLAY" ]; then
    # The demo shows itself on the user's display.
    kill "$QUILLON_XVFB_PID" 2>/dev/null || true
    QUILLON_XVFB_PID=
    wineserver -k 2>/dev/null || true
    wineserver -w
    export DISPLAY=$KEEP_DISPLAY
fi
gui_work_start
fail() { GUI_FAILED=1; echo "FAIL (closed loop): $*" >&2; exit 1; }
windows_path() { echo "Z:$1" | tr / '\\'; }

set -- $(drive screen)
SCREEN="${1}x$2"
"$HOST_TOOLS/make-demo-analyzer" "$WORK/demo.dat" --screen "$SCREEN" >/dev/null || fail "make-demo-analyzer"

start_machine --x11

wine_bg "$BIN/click-target.exe" --move-ms 5000
TARGET=$(drive wait-window --class QuillonClickTarget --timeout 30000) || fail "no target window"

QUILLON_RUN_SUMMARY=$(windows_path "$WORK/summary.json") wine_bg "$BIN/analyzer-runner.exe" \
    "$(windows_path "$WORK/demo.dat")"
RUNNER_PID=$BG_PID
RUNNER=$(drive wait-window --class '#32770' --child-text demo --timeout 60000) || fail "no runner window"

send "hotkey 1"  # the start hotkey
sleep "$SECONDS_RUN"
screenshot "$RUNNER" "$MODE-runner-status" || true
screenshot "$TARGET" "$MODE-click-target" || true
send "hotkey 2"  # the stop hotkey
wait_exit "$RUNNER_PID" 200
[ "$EXIT_CODE" = 0 ] || fail "the runner did not end after the stop hotkey ($EXIT_CODE)"

send "dump $WORK/machine.json"
i=0
until [ -s "$WORK/machine.json" ] || [ $i -ge 50 ]; do sleep 0.1; i=$((i + 1)); done
grep -q '"mode":"normal"' "$WORK/machine.json" || fail "the machine was not taken out of analysis mode"
TITLE=$(drive text "$TARGET")
CLICKS=${TITLE##* - }
SUMMARY=$(cat "$WORK/summary.json" 2>/dev/null || echo '{}')
ITEMS=$(echo "$SUMMARY" | sed -n 's/.*"items":\([0-9]*\).*/\1/p')
MS=$(echo "$SUMMARY" | sed -n 's/.*"milliseconds":\([0-9]*\).*/\1/p')
METHOD=$(echo "$SUMMARY" | sed -n 's/.*"captureMethod":"\([a-z-]*\)".*/\1/p')
RATE=$(awk "BEGIN { if (${MS:-0} > 0) printf \"%.1f\", ${ITEMS:-0} * 1000 / $MS; else print 0 }")
echo "closed loop: $CLICKS clicks on the target in ${SECONDS_RUN}s, $ITEMS items in ${MS:-0} ms ($RATE items/s), capture method: ${METHOD:-unknown}"
echo "screenshots: $SHOTS/$MODE-runner-status.png $SHOTS/$MODE-click-target.png"
[ "$CLICKS" -ge 3 ] 2>/dev/null || fail "the target counted $CLICKS clicks"
