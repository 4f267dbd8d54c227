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
gui_session_start "$BIN" 1280x800
gui_work_start
fail() { echo "FAIL (made in editor): $*" >&2; exit 1; }
windows_path() { echo "Z:$1" | tr / '\\'; }
answer_box() {
    BOX=$(drive wait-window --class '#32770' --child-contains "$1" --timeout 20000) || fail "no box \"$1\""
    drive click "$BOX" "${2:-1}"
    drive wait-gone "$BOX" --timeout 10000 || fail "box \"$1\" stays"
}

# A screenshot set as the screenshot tool writes it, of the whole screen
# (the settings copy says so at 1220): the runner then sends points as they
# are on the screenshot.
mkdir -p "$WORK/shots"
convert -size 400x300 gradient:red-blue -type TrueColor "BMP3:$WORK/shots/화면.bmp"
head -c 10240 /dev/zero > "$WORK/shots/화면.cfg"
printf '\001' | dd of="$WORK/shots/화면.cfg" bs=1 seek=1220 conv=notrunc 2>/dev/null
head -c 12 /dev/zero > "$WORK/shots/화면.dat"

QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe"
EDITOR_PID=$BG_PID
PANEL=$(drive wait-window --class '#32770' --child-contains "자동저장" --timeout 30000) || fail "no main panel"
SIDE=$(drive wait-window --class '#32770' --title "편집 도구" --timeout 10000) || fail "no side panel"
drive click "$SIDE" 1014
DIALOG=$(drive wait-window --title "분석기로 불러올 이미지를 선택하세요" --timeout 20000) || fail "no import dialog"
drive settext "$DIALOG" 1148 "$(windows_path "$WORK/shots/화면.bmp")"
drive click "$DIALOG" 1
SEEN=$(lines_become "$SIDE" 1205 "불러온 이미지 01") || fail "screenshots: $SEEN"

# A 21 x 21 recognition image centred on (50, 50) of the screenshot.
xdotool mousemove 50 50 click 1
sleep 0.5
xdotool key ctrl
CAPTURE=$(drive wait-window --class '#32770' --child-text "찍기(Enter)" --timeout 10000) || fail "no capture dialog"
drive settext "$CAPTURE" 1065 21
drive settext "$CAPTURE" 1066 21
drive key "$CAPTURE" enter
SEEN=$(lines_become "$SIDE" 1165 "인식이미지-0001") || fail "images: $SEEN"

# The item: move onto the image, then click with the left button.
drive click "$PANEL" 1057
DIALOG=$(drive wait-window --class '#32770' --title "마우스 설정" --timeout 10000) || fail "no mouse dialog"
drive click "$DIALOG" 2106
drive settext "$DIALOG" 1165 "인식이미지-0001"
drive click "$DIALOG" 6
SEEN=$(lines_become "$PANEL" 1007 "[인식이미지-0001]이미지 위치로 이동한다.") || fail "commands: $SEEN"
drive click "$PANEL" 1057
DIALOG=$(drive wait-window --class '#32770' --title "마우스 설정" --timeout 10000) || fail "no mouse dialog"
drive click "$DIALOG" 6
drive wait-gone "$DIALOG" --timeout 10000 || fail "the click was not added"
[ "$(drive lines "$PANEL" 1007 | wc -l)" = 2 ] || fail "commands: $(drive lines "$PANEL" 1007)"
drive settext "$PANEL" 1004 "클릭"
drive click "$PANEL" 1182
drive click "$PANEL" 1068
SEEN=$(lines_become "$PANEL" 1008 "★0000 클릭") || fail "items: $SEEN"

drive command "$PANEL" 40007
DIALOG=$(drive wait-window --title "현재 분석기 내용을 파일로 저장하기" --timeout 20000) || fail "no save dialog"
drive settext "$DIALOG" 1148 "$(windows_path "$WORK/made.dat")"
drive click "$DIALOG" 1
answer_box "파일 저장을 완료 했습니다."
[ -s "$WORK/made.dat" ] || fail "no analyzer file"
drive close "$PANEL"
answer_box "이미지 분석 편집기를 종료하시겠습니까?" 6
wait_exit "$EDITOR_PID" 150
[ "$EXIT_CODE" = 0 ] || fail "editor exit code $EXIT_CODE"

mkfifo "$WORK/control"
"$HOST_TOOLS/machine-sim" --link-com 1 --control "$WORK/control" --no-stdin --log-actions \
    > "$WORK/machine.out" 2> "$WORK/actions.log" &
MACHINE_PID=$!
i=0
until grep -q '^pty ' "$WORK/machine.out" 2>/dev/null; do
    i=$((i + 1))
    [ $i -lt 100 ] || fail "machine-sim did not start: $(cat "$WORK/actions.log")"
    sleep 0.1
done
send() { echo "$1" > "$WORK/control"; }

wine_bg "$BIN/analyzer-runner.exe" "$(windows_path "$WORK/made.dat")"
RUNNER_PID=$BG_PID
drive wait-window --class '#32770' --child-text made --timeout 60000 >/dev/null || fail "no runner window"
send "hotkey 1" # the start hotkey
i=0
until grep -q '"buttonUp"' "$WORK/actions.log" || [ $i -ge 100 ]; do sleep 0.1; i=$((i + 1)); done
send "hotkey 2" # the stop hotkey
wait_exit "$RUNNER_PID" 200
[ "$EXIT_CODE" = 0 ] || fail "the runner did not end after the stop hotkey ($EXIT_CODE)"

# The image's centre (50, 50) on the 1280 x 800 screen in the machine's
# absolute scale: 50 * 19200 / 1280 + 1 and 50 * 12000 / 800 + 1.
MOVE=$(grep -m1 '"moveTo"' "$WORK/actions.log") || fail "no move: $(cat "$WORK/actions.log")"
case $MOVE in *'"deviceX":751,"deviceY":751'*) ;; *) fail "moved to $MOVE" ;; esac
grep -A3 '"moveTo"' "$WORK/actions.log" | grep -q '"buttonDown","button":1' || fail "no left click after the move"
grep -q '"buttonUp","button":1' "$WORK/actions.log" || fail "the button was not released"
echo "made in editor: $(grep -c '"buttonDown"' "$WORK/actions.log") clicks at the image's centre"
