#!/bin/sh
# GUI test of manual-launcher on an Xvfb screen of a given size.
#   launcher_test.sh BIN_DIR WIDTHxHEIGHT cancel|esc|close|install SCREENSHOT_DIR
# Checks the dialog's texts, its place (centred, 300 pixels up, never moved
# back), topmost, the way out, and saves a screenshot.
set -eu
BIN=$1 SIZE=$2 HOW=$3 SHOTS=$4
. "$(dirname "$0")/../gui_session.sh"
gui_session_start "$BIN" "$SIZE"
fail() { GUI_FAILED=1; echo "FAIL ($SIZE, $HOW): $*" >&2; exit 1; }

wine_bg "$BIN/manual-launcher.exe"
LAUNCHER_PID=$BG_PID

DIALOG=$(drive wait-window --class '#32770' --child-text '설치' --timeout 30000) || fail "dialog 101 did not appear"
CHILDREN=$(drive children "$DIALOG")
echo "$CHILDREN"
echo "$CHILDREN" | grep -q "^1	Button	.*	설치$" || fail "no button 1 \"설치\""
echo "$CHILDREN" | grep -q "^2	Button	.*	취소$" || fail "no button 2 \"취소\""
echo "$CHILDREN" | grep -q "	Static	.*	설명서를 보려면 어도비 리더가 필요합니다.$" || fail "first text missing"
echo "$CHILDREN" | grep -q "	Static	.*	어도비리더가 설치되어 있는 경우에는 \[취소\]를 눌러주세요.$" || fail "second text missing"

set -- $(drive screen)
SW=$1 SH=$2
[ "${SW}x${SH}" = "$SIZE" ] || fail "screen is ${SW}x${SH}"
set -- $(drive rect "$DIALOG")
X=$1 Y=$2 W=$3 H=$4
EX=$(( (SW - W) / 2 ))
EY=$(( (SH - H) / 2 - 300 ))
echo "dialog at $X,$Y size ${W}x${H}; expected $EX,$EY"
[ "$X" -eq "$EX" ] && [ "$Y" -eq "$EY" ] || fail "dialog at $X,$Y, expected $EX,$EY"
[ "$(drive topmost "$DIALOG")" = 1 ] || fail "dialog is not topmost"
# The hidden main window: class and title "ZuredOdurid", 0 x 0 at the origin.
MAIN=$(drive wait-window --class ZuredOdurid --title ZuredOdurid --timeout 2000) || fail "no hidden main window"
[ "$(drive rect "$MAIN")" = "0 0 0 0" ] || fail "main window is not 0 x 0 at (0, 0)"

if [ "$Y" -ge 0 ]; then
    screenshot "$DIALOG" "launcher-$SIZE" || fail "screenshot"
fi

case $HOW in
cancel) drive click "$DIALOG" 2 ;;
install) drive click "$DIALOG" 1 ;;
esc) drive key "$DIALOG" esc ;;
close) drive close "$DIALOG" ;;
esac
drive wait-gone "$DIALOG" --timeout 10000 >/dev/null || fail "dialog still open after $HOW"
# The program ends with the quit message's value, 0.
wait_exit "$LAUNCHER_PID"
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after $HOW"
echo "ok ($SIZE, $HOW)"
