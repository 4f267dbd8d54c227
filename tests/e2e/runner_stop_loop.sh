#!/bin/sh
# Not a test: runs ANALYZER in analyzer-runner N times against machine-sim on
# COM1, each run started and stopped by the machine's hotkeys, and prints
# every run's exit code (the stop path alone, for hunting a rare fault).
#   runner_stop_loop.sh BIN_DIR HOST_TOOLS SHOTS_DIR N ANALYZER
# RUN_SECONDS (default 3) is how long each run lasts.
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 N=$4 ANALYZER=$5
QUILLON_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$QUILLON_ROOT/tests/wine/gui_session.sh"
. "$QUILLON_ROOT/tests/e2e/editor_steps.sh"
gui_session_start "$BIN" 1280x800
gui_work_start
start_machine
cp "$ANALYZER" "$WORK/seen.dat"
codes=""
n=0
while [ $n -lt "$N" ]; do
    n=$((n + 1))
    run_from=$(($(wc -l < "$WORK/actions.log") + 1))
    wine_bg "$BIN/analyzer-runner.exe" "$(windows_path "$WORK/seen.dat")"
    RUNNER_PID=$BG_PID
    RUNNER=$(drive wait-window --class '#32770' --child-text seen --timeout 60000) || fail "no runner window"
    send "hotkey 1"
    sleep ${RUN_SECONDS:-3}
    send "hotkey 2"
    wait_exit "$RUNNER_PID" 200
    echo "run $n: exit $EXIT_CODE $(date +%T)"
    [ "$EXIT_CODE" = 0 ] || codes="$codes $n:$EXIT_CODE"
done
echo "runs that did not end with 0:${codes:- none}"
