#!/bin/sh
# GUI tests of analyzer-editor under Wine, with the in-process simulated
# machine (QUILLON_MACHINE=sim) where a machine is needed.
#   editor_test.sh BIN_DIR HOST_TOOLS SCREENSHOT_DIR SCENARIO
# Scenarios: refusals, open-save, items, autosave, side-panel, areas, capture, link-loss.
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 SCENARIO=$4
. "$(dirname "$0")/../gui_session.sh"
gui_session_start "$BIN" 1280x800
fail() { echo "FAIL ($SCENARIO): $*" >&2; exit 1; }
GOLDEN="$QUILLON_ROOT/tests/golden"
WORK=$(mktemp -d)
trap 'gui_session_end; rm -rf "$WORK"' EXIT
winpath() { echo "Z:$1" | tr / '\\'; }

# Waits for a message box holding TEXT and presses BUTTON (1 OK, 6 Yes, 7 No).
answer_box() {
    BOX=$(drive wait-window --class '#32770' --child-contains "$1" --timeout 20000) || fail "no box \"$1\""
    drive click "$BOX" "${2:-1}"
    drive wait-gone "$BOX" --timeout 10000 || fail "box \"$1\" stays"
}

main_panel() {
    PANEL=$(drive wait-window --class '#32770' --child-contains "자동저장" --timeout 30000) || fail "no main panel"
}

# The editor's Save folder inside the user's data folder.
save_folder() {
    local_app=$("$WINE" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
    SAVE_DIR="$(winepath -u "$local_app" 2>/dev/null)/Quillon/Save"
}

# "파일 > 저장" into FOLDER/NAME.dat, answering the macro question with BUTTON.
save_as() {
    drive command "$PANEL" 40007
    DIALOG=$(drive wait-window --title "현재 분석기 내용을 파일로 저장하기" --timeout 20000) || fail "no save dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$1")"
    drive click "$DIALOG" 1
    answer_box "기계매크로를 분석기 파일에 통합해서" "$2"
}

# "파일 > 저장" of an analyzer without machine macros.
save_as_plain() {
    drive command "$PANEL" 40007
    DIALOG=$(drive wait-window --title "현재 분석기 내용을 파일로 저장하기" --timeout 20000) || fail "no save dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$1")"
    drive click "$DIALOG" 1
}

close_editor() {
    drive close "$PANEL"
    answer_box "이미지 분석 편집기를 종료하시겠습니까?" 6
    wait_exit "$BG_PID" 150
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
}

case $SCENARIO in
refusals)
    # Without the start-up data files.
    mkdir -p "$WORK/empty"
    cp "$BIN/analyzer-editor.exe" "$WORK/empty/"
    wine_bg "$WORK/empty/analyzer-editor.exe"
    answer_box "일부 파일에 문제가 있습니다."
    wait_exit "$BG_PID" 100
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE without data files"
    # Without a machine (the loading window shows while the ports are tried).
    wine_bg "$BIN/analyzer-editor.exe"
    LOADING=$(drive wait-window --class '#32770' --child-text "이미지 분석 편집기을 불러오고 있습니다." --timeout 20000) &&
        screenshot "$LOADING" editor-loading
    answer_box "기계와 통신이 되지 않아 분석기를 종료합니다."
    wait_exit "$BG_PID" 100
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE without a machine"
    # A device information record without its magic.
    QUILLON_MACHINE=sim QUILLON_MACHINE_COMMANDS="wrong-magic on" wine_bg "$BIN/analyzer-editor.exe"
    answer_box "기계와 통신이 되지 않아 분석기를 종료합니다."
    wait_exit "$BG_PID" 100
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE with a bad record"
    ;;
hostile-files)
    # Files that must be refused (an empty one, a damaged block, a record
    # that fails its checks), given as the argument: the editor says so, stays
    # usable with an empty analyzer and writes nothing beside them. The runner
    # takes every such file; three keep this scenario short.
    mkdir -p "$WORK/hostile"
    for name in empty-file garbage-chunk image-order-out-of-range; do
        cp "$QUILLON_ROOT/tests/golden-errors/$name.dat" "$WORK/hostile/"
    done
    before=$(ls -la "$WORK/hostile" | md5sum)
    for file in "$WORK"/hostile/*; do
        QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe" "$(winpath "$file")"
        answer_box "파일을 불러 오는데 실패했습니다."
        main_panel
        lines_become "$PANEL" 1008 "" || fail "items shown after $(basename "$file")"
        close_editor
    done
    [ "$(ls -la "$WORK/hostile" | md5sum)" = "$before" ] || { ls -la "$WORK/hostile"; fail "files changed beside them"; }
    ;;
open-save)
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe" "$GOLDEN/typical.dat"
    answer_box "기계매크로를 기계로 저장하시겠습니까?" 6
    main_panel
    [ "$(drive text "$PANEL")" = "골든" ] || fail "caption $(drive text "$PANEL")"
    LINES=$(drive lines "$PANEL" 1008)
    [ "$LINES" = "$(printf '◇0001 끝\n☆0000 시작')" ] || fail "item list: $LINES"
    drive choose "$PANEL" 1008 1
    [ "$(drive text "$PANEL" 1004)" = "시작" ] || fail "name $(drive text "$PANEL" 1004)"
    [ "$(drive lines "$PANEL" 1009 | wc -l)" = 1 ] || fail "conditions: $(drive lines "$PANEL" 1009)"
    [ "$(drive lines "$PANEL" 1007 | wc -l)" = 3 ] || fail "commands: $(drive lines "$PANEL" 1007)"
    [ "$(drive lines "$PANEL" 1015 | wc -l)" = 1 ] || fail "next links: $(drive lines "$PANEL" 1015)"
    drive lines "$PANEL" 1009; drive lines "$PANEL" 1007; drive lines "$PANEL" 1015
    screenshot "$PANEL" editor-main-panel
    screenshot "$(drive wait-window --class editor --timeout 5000)" editor-main-window

    # Saved with its macros (read back from the machine they were written
    # to), reopened and saved again, the file is the same byte for byte.
    mkdir -p "$WORK/a" "$WORK/b"
    save_as "$WORK/a/골든" 6
    answer_box "파일 저장을 완료 했습니다."
    drive command "$PANEL" 40006
    DIALOG=$(drive wait-window --title "만들어진 분석기 불러오기" --timeout 20000) || fail "no open dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$WORK/a/골든.dat")"
    drive click "$DIALOG" 1
    answer_box "기계매크로를 기계로 저장하시겠습니까?" 6
    [ "$(drive lines "$PANEL" 1008 | wc -l)" = 2 ] || fail "reopened items: $(drive lines "$PANEL" 1008)"
    save_as "$WORK/b/골든" 6
    answer_box "파일 저장을 완료 했습니다."
    cmp "$WORK/a/골든.dat" "$WORK/b/골든.dat" || fail "saving the reopened analyzer changed the file"
    close_editor
    ;;
items)
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe" "$GOLDEN/typical.dat"
    FIRST=$BG_PID
    answer_box "기계매크로를 기계로 저장하시겠습니까?" 7
    main_panel
    drive choose "$PANEL" 1008 1
    # Storing: an empty name is refused; a named copy is stored as a new item.
    drive settext "$PANEL" 1004 ""
    drive click "$PANEL" 1068
    answer_box "항목 이름을 입력해주세요."
    drive settext "$PANEL" 1004 "새항목"
    drive click "$PANEL" 1068
    sleep 1.5
    LINES=$(drive lines "$PANEL" 1008)
    [ "$LINES" = "$(printf '◇0001 끝\n☆0002 새항목\n☆0000 시작')" ] || fail "after storing: $LINES"
    [ "$(drive lines "$PANEL" 1007 | wc -l)" = 3 ] || fail "stored commands: $(drive lines "$PANEL" 1007)"

    # A second start is refused without touching the machine.
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe"
    answer_box "프로그램이 이미 실행중입니다."
    wait_exit "$BG_PID" 100
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE of the second start"

    BG_PID=$FIRST
    close_editor
    ;;
autosave)
    save_folder
    rm -f "$SAVE_DIR/save.tmp"
    QUILLON_MACHINE=sim QUILLON_AUTOSAVE_SECONDS=2 wine_bg "$BIN/analyzer-editor.exe" "$GOLDEN/typical.dat"
    answer_box "기계매크로를 기계로 저장하시겠습니까?" 7
    main_panel
    sleep 3
    [ ! -e "$SAVE_DIR/save.tmp" ] || fail "autosave while off"
    drive click "$PANEL" 1320
    sleep 0.5
    [ "$(drive text "$PANEL" 1320)" = "자동저장 ON" ] || fail "switch caption $(drive text "$PANEL" 1320)"
    i=0
    while [ ! -s "$SAVE_DIR/save.tmp" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    [ -s "$SAVE_DIR/save.tmp" ] || fail "no autosave in $SAVE_DIR"
    drive click "$PANEL" 1320
    drive command "$PANEL" 40005
    answer_box "모든 내용을 삭제하고 새로 시작하시겠습니까?" 6
    [ -z "$(drive lines "$PANEL" 1008)" ] || fail "items left after new"
    drive command "$PANEL" 40038
    answer_box "자동저장 내용을 불러 오시겠습니까?" 6
    i=0
    while [ -z "$(drive lines "$PANEL" 1008)" ] && [ $i -lt 200 ]; do sleep 0.1; i=$((i + 1)); done
    [ "$(drive lines "$PANEL" 1008 | wc -l)" = 2 ] || fail "restored items: $(drive lines "$PANEL" 1008)"
    close_editor
    ;;
side-panel)
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe" "$GOLDEN/typical.dat"
    answer_box "기계매크로를 기계로 저장하시겠습니까?" 7
    main_panel
    SIDE=$(drive wait-window --class '#32770' --title "편집 도구" --timeout 10000) || fail "no side panel"
    drive lines "$SIDE" 1205
    SEEN=$(lines_become "$SIDE" 1165 "$(printf '인식이미지-0001\n버튼')") || fail "images: $SEEN"
    drive choose "$SIDE" 1165 1
    [ "$(drive text "$SIDE" 1321)" = "버튼" ] || fail "image name $(drive text "$SIDE" 1321)"
    [ "$(drive text "$SIDE" 1332)" = "3,2" ] || fail "image centre $(drive text "$SIDE" 1332)"
    # An image an item uses is not deleted; the message names the item.
    drive click "$SIDE" 1017
    BOX=$(drive wait-window --class '#32770' --child-contains "사용하고 있기 때문에" --timeout 10000) ||
        fail "no reference message"
    drive children "$BOX" | grep -qF "시작" || fail "the message does not name the item"
    drive click "$BOX" 1
    [ "$(drive lines "$SIDE" 1165 | wc -l)" = 2 ] || fail "image deleted"
    screenshot "$SIDE" editor-side-panel
    # Dialog 162 refuses a link without a target.
    drive click "$PANEL" 1013
    NEXT=$(drive wait-window --class '#32770' --title "다음 순서로 분석할 항목" --timeout 10000) || fail "no dialog 162"
    screenshot "$NEXT" editor-next-item
    drive click "$NEXT" 1
    answer_box "다음에 분석할 항목을 선택해주세요." 1
    drive click "$NEXT" 2
    drive wait-gone "$NEXT" --timeout 10000 || fail "dialog 162 stays"
    # "정렬": the order dialog puts "버튼" first.
    drive click "$SIDE" 1020
    ORDER=$(drive wait-window --class '#32770' --title "이미지 순서 편집" --timeout 10000) || fail "no order dialog"
    drive choose "$ORDER" 1001 1
    drive click "$ORDER" 1005
    sleep 0.3
    screenshot "$ORDER" editor-image-order
    drive click "$ORDER" 1
    drive wait-gone "$ORDER" --timeout 10000 || fail "order dialog stays"
    SEEN=$(lines_become "$SIDE" 1165 "$(printf '버튼\n인식이미지-0001')") || fail "order: $SEEN"
    screenshot "$(drive wait-window --class editor --timeout 5000)" editor-main-window
    close_editor
    ;;
areas)
    # A screenshot set as the screenshot tool writes it: bitmap, settings copy
    # and cursor file (no cursor image).
    mkdir -p "$WORK/shots"
    convert -size 400x300 gradient:red-blue -type TrueColor "BMP3:$WORK/shots/화면.bmp"
    head -c 10240 /dev/zero > "$WORK/shots/화면.cfg"
    head -c 12 /dev/zero > "$WORK/shots/화면.dat"
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe"
    main_panel
    SIDE=$(drive wait-window --class '#32770' --title "편집 도구" --timeout 10000) || fail "no side panel"
    drive click "$SIDE" 1014
    DIALOG=$(drive wait-window --title "분석기로 불러올 이미지를 선택하세요" --timeout 20000) || fail "no import dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$WORK/shots/화면.bmp")"
    drive click "$DIALOG" 1
    drive wait-gone "$DIALOG" --timeout 10000 || fail "import dialog stays"
    SEEN=$(lines_become "$SIDE" 1205 "불러온 이미지 01") || fail "screenshots: $SEEN"

    # Alt makes one area at the pointer, however long it is held.
    xdotool mousemove 200 150 click 1
    sleep 0.3
    xdotool keydown alt; sleep 0.6; xdotool keyup alt
    SEEN=$(lines_become "$SIDE" 1207 "인식범위-1") || fail "areas: $SEEN"
    drive wait-window --class ReconArea --timeout 5000 >/dev/null || fail "no area window"
    xdotool mousemove 120 110
    sleep 0.5
    drive wait-window --class BlockSample --timeout 5000 >/dev/null || fail "no magnifier"

    # A colour box at the pointer (F7), then the boxes locked with a password.
    xdotool mousemove 260 40 click 1
    sleep 0.3
    xdotool key F7
    BOXDIALOG=$(drive wait-window --class '#32770' --title "색상자 그리기" --timeout 10000) || fail "no colour box dialog"
    screenshot "$BOXDIALOG" editor-colour-box
    drive click "$BOXDIALOG" 1
    drive wait-window --class ReconAreaSolid --timeout 5000 >/dev/null || fail "no colour box"
    drive command "$PANEL" 40050
    LOCK=$(drive wait-window --class '#32770' --title "색상자 고정" --timeout 10000) || fail "no lock dialog"
    drive click "$LOCK" 1001
    drive click "$LOCK" 1
    answer_box "암호를 입력해주세요" 1
    drive settext "$LOCK" 1002 "비밀"
    drive click "$LOCK" 1
    answer_box "색상자 잠긴 상태" 1
    screenshot "$(drive wait-window --class editor --timeout 5000)" editor-areas
    close_editor
    ;;
capture)
    # A screenshot set as the screenshot tool writes it: bitmap, settings copy
    # and cursor file (no cursor image).
    mkdir -p "$WORK/shots"
    convert -size 400x300 gradient:red-blue -type TrueColor "BMP3:$WORK/shots/화면.bmp"
    head -c 10240 /dev/zero > "$WORK/shots/화면.cfg"
    head -c 12 /dev/zero > "$WORK/shots/화면.dat"
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe"
    main_panel
    SIDE=$(drive wait-window --class '#32770' --title "편집 도구" --timeout 10000) || fail "no side panel"
    drive click "$SIDE" 1014
    DIALOG=$(drive wait-window --title "분석기로 불러올 이미지를 선택하세요" --timeout 20000) || fail "no import dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$WORK/shots/화면.bmp")"
    drive click "$DIALOG" 1
    drive wait-gone "$DIALOG" --timeout 10000 || fail "import dialog stays"
    SEEN=$(lines_become "$SIDE" 1205 "불러온 이미지 01") || fail "screenshots: $SEEN"

    # Ctrl over the screenshot asks for a new image centred on the pointer.
    xdotool mousemove 50 50 click 1
    sleep 0.5
    xdotool key ctrl
    CAPTURE=$(drive wait-window --class '#32770' --child-text "찍기(Enter)" --timeout 10000) || fail "no capture dialog"
    screenshot "$CAPTURE" editor-capture-dialog
    for refusal in "200 픽셀수는 홀수만 가능합니다." "203 가로/세로 각각 201픽셀까지만 가능합니다." \
        "201 인식이미지가 화면을 벗어납니다."; do
        drive settext "$CAPTURE" 1065 "${refusal%% *}"
        drive settext "$CAPTURE" 1066 21
        drive click "$CAPTURE" 1
        answer_box "${refusal#* }" 1
    done
    drive settext "$CAPTURE" 1065 21
    drive key "$CAPTURE" enter # Enter takes the picture
    # The dialog is kept hidden for the next capture.
    i=0
    while drive wait-window --class '#32770' --child-text "찍기(Enter)" --timeout 100 >/dev/null && [ $i -lt 50 ]; do
        sleep 0.2; i=$((i + 1))
    done
    [ $i -lt 50 ] || fail "capture dialog stays"
    SEEN=$(lines_become "$SIDE" 1165 "인식이미지-0001") || fail "images: $SEEN"
    [ "$(drive text "$SIDE" 1332)" = "50,50" ] || fail "centre $(drive text "$SIDE" 1332)"

    # The image is kept in a saved analyzer.
    save_as_plain "$WORK/만든"
    answer_box "파일 저장을 완료 했습니다."
    "$HOST_TOOLS/quillon" analyzer info "$WORK/만든.dat" | grep -q "인식이미지-0001, 21 x 21 at (50, 50)" ||
        fail "image not saved: $("$HOST_TOOLS/quillon" analyzer info "$WORK/만든.dat")"
    close_editor
    ;;
link-loss)
    save_folder
    rm -f "$SAVE_DIR/save.tmp"
    CONTROL="$WORK/machine.txt"
    : > "$CONTROL"
    QUILLON_MACHINE=sim QUILLON_MACHINE_CONTROL="$(winpath "$CONTROL")" \
        wine_bg "$BIN/analyzer-editor.exe" "$GOLDEN/typical.dat"
    answer_box "기계매크로를 기계로 저장하시겠습니까?" 7
    main_panel
    echo "fault unplug" >> "$CONTROL"
    sleep 0.5
    save_as "$WORK/끊김" 6
    # The failed transfer is told, then the closing message names the autosave.
    answer_box "녹화매크로 정보를 읽어 오는 동안 오류가 발생했습니다." 1
    BOX=$(drive wait-window --class '#32770' --child-contains "자동저장 불러오기" --timeout 20000) ||
        fail "no closing message"
    drive children "$BOX" | grep -qF "기계와 통신이 되지 않아 분석기를 종료합니다." || fail "closing text"
    drive click "$BOX" 1
    wait_exit "$BG_PID" 150
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    [ -s "$SAVE_DIR/save.tmp" ] || fail "no autosave after the link was lost"
    [ ! -e "$WORK/끊김.dat" ] || fail "a partly written file is left"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "PASS ($SCENARIO)"
