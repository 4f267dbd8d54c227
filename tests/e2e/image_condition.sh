#!/bin/sh
# An analyzer made through analyzer-editor's windows that clicks only where
# its image condition sees the image on the live screen. click-target's
# button stands still on the screen and the whole screen becomes the
# screenshot; in the editor a recognition image is cut centred on the button
# and an area made around it, and a head item gets an image condition (the
# screen at the image's place is the same image), a range search (the area
# holds the image) and the commands move onto the image and click. Run by
# analyzer-runner against the simulated machine on COM1, the machine must
# receive the move to the button's centre and the click while the button is
# shown, and no click once the button is gone.
#   image_condition.sh BIN_DIR HOST_TOOLS SHOTS_DIR
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3
QUILLON_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$QUILLON_ROOT/tests/wine/gui_session.sh"
. "$QUILLON_ROOT/tests/e2e/editor_steps.sh"
gui_session_start "$BIN" 1280x800
gui_work_start
fail() { GUI_FAILED=1; echo "FAIL (image condition): $*" >&2; exit 1; }
set -- $(drive screen)
SCREEN_W=$1 SCREEN_H=$2

# The button (click-target's red) stays where it first appears.
wine_bg "$BIN/click-target.exe" --seed 7 --move-ms 3600000
TARGET=$(drive wait-window --class QuillonClickTarget --timeout 30000) || fail "no target window"
mkdir -p "$WORK/shots"
SHOT="$WORK/shots/화면"
button_box() {
    convert "$1" -fill black +opaque 'rgb(224,48,48)' -trim -format '%w %h %X %Y' info: 2>/dev/null
}
i=0
while :; do
    import -window root -type TrueColor "BMP3:$SHOT.bmp"
    set -- $(button_box "$SHOT.bmp") x x x x
    [ "$1" = 64 ] && [ "$2" = 40 ] && break
    i=$((i + 1))
    [ $i -lt 50 ] || fail "the button is not on the screen ($*)"
    sleep 0.2
done
CX=$(($3 + 32)) CY=$(($4 + 20))
shot_files_beside "$SHOT"

editor_with_screenshot "$SHOT.bmp"
# 81 x 61 around the button's centre: the button and the grey about it.
cut_image "$CX" "$CY" 81 61 "인식이미지-0001"
xdotool mousemove "$CX" "$CY"
sleep 0.3
xdotool keydown alt; sleep 0.3; xdotool keyup alt
SEEN=$(lines_become "$SIDE" 1207 "인식범위-1") || fail "areas: $SEEN"

drive click "$PANEL" 1207
DIALOG=$(drive wait-window --class '#32770' --title "이미지 조건 설정" --timeout 10000) || fail "no image condition dialog"
drive choose "$DIALOG" 1242 0 # "이미지 위치"
drive choose "$DIALOG" 1243 0 # "이미지 색값"
drive choose "$DIALOG" 1250 0 # "같은 이미지이면"
sleep 0.3
screenshot "$DIALOG" e2e-image-condition
drive click "$DIALOG" 6
IMAGE_TEST="[인식이미지-0001] 위치의 이미지가 [인식이미지-0001] 이미지와 같은 이미지이면"
SEEN=$(lines_become "$PANEL" 1009 "$IMAGE_TEST") || fail "conditions: $SEEN"

drive click "$PANEL" 1210
DIALOG=$(drive wait-window --class '#32770' --title "범위검색 조건 설정" --timeout 10000) || fail "no range search dialog"
drive choose "$DIALOG" 1207 0
drive choose "$DIALOG" 1243 0
drive choose "$DIALOG" 1250 0
drive click "$DIALOG" 6
RANGE_TEST="[인식범위-1]범위 안에 [인식이미지-0001]이미지와 [1]번째로 같은 이미지가 있으면"
SEEN=$(lines_become "$PANEL" 1009 "$(printf '%s\n%s' "$IMAGE_TEST" "$RANGE_TEST")") || fail "conditions: $SEEN"

move_onto_and_click "인식이미지-0001"
store_head_item "버튼" "★0000 버튼"
save_and_close_editor "$WORK/seen.dat"

# With the button shown: the move to its centre, then the click.
start_machine
QUILLON_RUN_SUMMARY=$(windows_path "$WORK/summary.json")
export QUILLON_RUN_SUMMARY
run_analyzer "$WORK/seen.dat" seen '"buttonUp"' 150
MOVE=$(grep -m1 '"moveTo"' "$RUN_LOG") || fail "no move: $(cat "$RUN_LOG")"
case $MOVE in *"$(device_point "$CX" "$CY" "$SCREEN_W" "$SCREEN_H")"*) ;; *) fail "moved to $MOVE" ;; esac
grep -A3 '"moveTo"' "$RUN_LOG" | grep -q '"buttonDown","button":1' || fail "no left click after the move"
grep -q '"buttonUp","button":1' "$RUN_LOG" || fail "the button was not released"

# With the button gone: the runner goes on testing, and nothing is clicked.
drive close "$TARGET"
drive wait-gone "$TARGET" --timeout 10000 || fail "the target stays"
rm -f "$WORK/summary.json"
run_analyzer "$WORK/seen.dat" seen '"buttonDown"' 30
! grep -q '"buttonDown"' "$RUN_LOG" || fail "clicked with the button gone: $(cat "$RUN_LOG")"
ITEMS=$(sed -n 's/.*"items":\([0-9]*\).*/\1/p' "$WORK/summary.json" 2>/dev/null)
[ "${ITEMS:-0}" -gt 0 ] || fail "the runner tested nothing with the button gone: $(cat "$WORK/summary.json" 2>&1)"
echo "image condition: clicked at the button's centre ($CX, $CY); $ITEMS items without the button, no click"
