#!/bin/sh
# A return link under Wine: analyzer-runner talks to the simulated machine on
# COM1 and runs head items A (presses "a") and B (presses "b", then returns
# to the previous item). The keys the machine received must show A and B
# taking turns: B runs once more after each return, so the order is
# a b b a b b ..., and A must keep coming back.
#   return_to_previous.sh BIN_DIR HOST_TOOLS [SECONDS]
set -eu
BIN=$1 HOST_TOOLS=$2 SECONDS_RUN=${3:-3}
QUILLON_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$QUILLON_ROOT/tests/wine/gui_session.sh"
gui_session_start "$BIN" 1024x768
gui_work_start
fail() { GUI_FAILED=1; echo "FAIL (return to previous): $*" >&2; exit 1; }
windows_path() { echo "Z:$1" | tr / '\\'; }

"$HOST_TOOLS/make-demo-analyzer" "$WORK/return.dat" --flow return >/dev/null || fail "make-demo-analyzer"

start_machine

wine_bg "$BIN/analyzer-runner.exe" "$(windows_path "$WORK/return.dat")"
RUNNER_PID=$BG_PID
drive wait-window --class '#32770' --child-text return --timeout 60000 >/dev/null || fail "no runner window"

send "hotkey 1"  # the start hotkey
sleep "$SECONDS_RUN"
send "hotkey 2"  # the stop hotkey
wait_exit "$RUNNER_PID" 200
[ "$EXIT_CODE" = 0 ] || fail "the runner did not end after the stop hotkey ($EXIT_CODE)"

# The pressed keys in order: 4 is "a" (item A), 5 is "b" (item B).
KEYS=$(grep '"keyDown"' "$WORK/actions.log" | sed -n 's/.*"key":\([0-9]*\).*/\1/p' |
    sed 's/^4$/a/; s/^5$/b/' | tr -d '\n')
echo "return to previous: keys pressed: $KEYS"
case $KEYS in *[!ab]*) fail "unexpected keys: $KEYS" ;; esac
A_RUNS=$(printf '%s' "$KEYS" | tr -cd a | wc -c)
[ "$A_RUNS" -ge 3 ] || fail "item A ran $A_RUNS times: $KEYS"
# Every prefix of (abb)* is the only order the run may give.
printf '%s' "$KEYS" | grep -Eq '^(abb)*(a|ab)?$' || fail "A and B did not take turns: $KEYS"
