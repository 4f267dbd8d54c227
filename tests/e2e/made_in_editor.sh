#!/bin/sh
# An analyzer made only through analyzer-editor's windows, then run: a
# screenshot is imported, a recognition image cut from it, and a head item
# gets two commands from the mouse dialog (move onto the image, click). The
# file is saved, analyzer-runner runs it against the simulated machine on
# COM1, and the machine must receive the move to the image's centre and
# the click.
#   made_in_editor.sh BIN_DIR HOST_TOOLS SHOTS_DIR
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3
QUILLON_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$QUILLON_ROOT/tests/wine/gui_session.sh"
. "$QUILLON_ROOT/tests/e2e/editor_steps.sh"
gui_session_start "$BIN" 1280x800
gui_work_start
fail() { GUI_FAILED=1; echo "FAIL (made in editor): $*" >&2; exit 1; }

mkdir -p "$WORK/shots"
convert -size 400x300 gradient:red-blue -type TrueColor "BMP3:$WORK/shots/화면.bmp"
shot_files_beside "$WORK/shots/화면"

editor_with_screenshot "$WORK/shots/화면.bmp"
# A 21 x 21 recognition image centred on (50, 50) of the screenshot.
cut_image 50 50 21 21 "인식이미지-0001"
move_onto_and_click "인식이미지-0001"
store_head_item "클릭" "★0000 클릭"
save_and_close_editor "$WORK/made.dat"

start_machine
run_analyzer "$WORK/made.dat" made '"buttonUp"' 100

# The image's centre (50, 50) on the 1280 x 800 screen in the machine's scale.
MOVE=$(grep -m1 '"moveTo"' "$RUN_LOG") || fail "no move: $(cat "$RUN_LOG")"
case $MOVE in *"$(device_point 50 50 1280 800)"*) ;; *) fail "moved to $MOVE" ;; esac
grep -A3 '"moveTo"' "$RUN_LOG" | grep -q '"buttonDown","button":1' || fail "no left click after the move"
grep -q '"buttonUp","button":1' "$RUN_LOG" || fail "the button was not released"
echo "made in editor: $(grep -c '"buttonDown"' "$WORK/actions.log") clicks at the image's centre"
