#!/bin/sh
# GUI tests of control-panel under Wine.
#   control_panel_test.sh BIN_DIR HOST_TOOLS SCREENSHOT_DIR SCENARIO
# Scenarios: start, second-instance, no-machine, wrong-magic, hotkey-magic
# (in-process simulated machine or none); options, schedule (machine-sim on
# COM1, whose state dump shows what the program wrote); edit-page,
# edit-working-copy and combination-page (the macro pages with the golden
# macro files); hostile-files (the damaged ones of tests/golden-errors/macros).
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 SCENARIO=$4
. "$(dirname "$0")/../gui_session.sh"
gui_session_start "$BIN" 1280x800
gui_work_start
fail() { GUI_FAILED=1; echo "FAIL ($SCENARIO): $*" >&2; exit 1; }
TROUBLE="작동 중 문제가 발생했습니다"

# A message box with this text; it is answered with Enter.
expect_box() {
    BOX=$(drive wait-window --class '#32770' --title "${2:-오류}" --timeout 20000) || fail "no message box ($1)"
    drive children "$BOX" | grep -qF "$1" || { drive children "$BOX"; fail "box without \"$1\""; }
    drive key "$BOX" enter
    drive wait-gone "$BOX" --timeout 5000 >/dev/null || fail "box stayed ($1)"
}

# The start notice, then the main dialog (its handle in MAIN).
start_program() {
    expect_box "제어프로그램은 기계를 직접 컨트롤 하는 프로그램이기 때문에" "알림"
    MAIN=$(drive wait-window --class '#32770' --child-text "환경 설정" --timeout 20000) || fail "no main dialog"
}

close_program() {
    drive click "$MAIN" 1010
    wait_exit "$1"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after 닫기"
}

# 닫기 with lines not yet saved: the question, answered No (7).
close_unsaved() {
    drive click "$MAIN" 1010
    BOX=$(drive wait-window --class '#32770' --title "알림" --child-contains "저장하지 않은 편집 내용" --timeout 20000) ||
        fail "no question before closing"
    drive click "$BOX" 7
    wait_exit "$1"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after 닫기"
}

# machine-sim on COM1, with its control FIFO.
start_machine_sim() {
    mkfifo "$WORK/control"
    # control-panel looks on the serial ports only when told to.
    export QUILLON_MACHINE=serial
    "$HOST_TOOLS/machine-sim" --link-com 1 --control "$WORK/control" --no-stdin \
        > "$WORK/machine.out" 2> "$WORK/machine.err" &
    MACHINE_PID=$!
    i=0
    until grep -q '^pty ' "$WORK/machine.out" 2>/dev/null; do
        i=$((i + 1))
        [ $i -lt 100 ] || fail "machine-sim did not start: $(cat "$WORK/machine.err")"
        sleep 0.1
    done
}

# One field of machine-sim's state dump (a Python expression over `s`).
machine_state() {
    rm -f "$WORK/state.json"
    echo "dump $WORK/state.json" > "$WORK/control"
    i=0
    until [ -s "$WORK/state.json" ]; do
        i=$((i + 1))
        [ $i -lt 200 ] || fail "no state dump"
        sleep 0.1
    done
    sleep 0.1
    python3 -c "import json,sys; s=json.load(open(sys.argv[1])); print($1)" "$WORK/state.json"
}

# Selects a list line of the scheduling dialog once the list has it (the
# headers are read first, behind the progress dialog).
select_line() {
    i=0
    until drive select "$1" 1505 "$2" 2>/dev/null; do
        i=$((i + 1))
        [ $i -lt 300 ] || fail "the list has no line $2"
        sleep 0.1
    done
}


winpath() { echo "Z:$1" | tr / '\\'; }
QUILLON_TOOL=$HOST_TOOLS/quillon
GOLDEN=$QUILLON_ROOT/tests/golden

# A message box with this text, answered with the button BUTTON (6 Yes, 7 No).
answer_box() {
    BOX=$(drive wait-window --class '#32770' --title "$3" --child-contains "$1" --timeout 20000) ||
        fail "no message box ($1)"
    drive click "$BOX" "$2"
    drive wait-gone "$BOX" --timeout 5000 >/dev/null || fail "box stayed ($1)"
}

# The notice holding TEXT (not the progress dialog of the same caption).
notice_box() { answer_box "$1" 1 "알림"; }

# The lines of a macro file (or of decoded code) as the line list shows them.
file_lines() { "$QUILLON_TOOL" macro show "$1" | sed 1d | cut -c8-; }
code_lines() { "$QUILLON_TOOL" macro decode "$1" "$2" | cut -c8-; }
compiled() { "$QUILLON_TOOL" macro compile "$1" | grep -v '^recorded set' | tr -d ' \n' | tr 'A-F' 'a-f'; }

# The memory picker CAPTION: chooses line INDEX and confirms.
pick_memory() {
    PICKER=$(drive wait-window --class '#32770' --title "$1" --timeout 20000) || fail "no memory picker ($1)"
    i=0
    until drive select "$PICKER" 1601 "$2" 2>/dev/null; do
        i=$((i + 1)); [ $i -lt 300 ] || fail "the picker has no line $2"; sleep 0.1
    done
    sleep 0.3
    drive click "$PICKER" 1602
    drive wait-gone "$PICKER" --timeout 5000 >/dev/null || fail "the picker stayed"
}

# The edit or combination page's list (2112) once it holds LINES.
page_lines_become() {
    lines_become "$MAIN" 2112 "$1" || fail "the line list is not $2"
}

# The edit page of a program talking to machine-sim, empty.
open_edit_page() {
    start_machine_sim
    wine_bg "$BIN/control-panel.exe"
    PROGRAM=$BG_PID
    start_program
    drive click "$MAIN" 1002
    page_lines_become "" "empty"
}

# Line dialogs: opened from the page's button, the line added with the first
# button, or refused with a message (or silently) and kept open.
open_line() {
    drive click "$MAIN" "$1"
    D=$(drive wait-window --class '#32770' --title "$2" --timeout 20000) || fail "no dialog \"$2\""
}
add_line() {
    drive click "$D" 3001
    drive wait-gone "$D" --timeout 5000 >/dev/null || {
        screenshot "$D" control-line-stayed
        drive children "$D" >&2
        drive windows >&2
        fail "the dialog stayed after a good line ($(drive text "$D"))"
    }
}
refused() {
    drive click "$D" 3001
    expect_box "$1" "${2:-오류}"
    drive text "$D" >/dev/null || fail "the dialog closed after \"$1\""
}
silently_refused() {
    drive click "$D" 3001
    drive wait-gone "$D" --timeout 1500 >/dev/null && fail "the dialog closed after a refused line ($1)"
    return 0
}
T=$(printf '\t')

# Real pointer and keys (xdotool): a click in the middle of control ID of WINDOW.
click_control() {
    set -- "$1" "$2" $(drive children "$1" | awk -F'\t' -v id="$2" '$1 == id { print $3; exit }')
    [ $# = 6 ] || fail "no control $2"
    xdotool mousemove $(($3 + $5 / 2)) $(($4 + $6 / 2)) click 1
    sleep 0.3
}

case $SCENARIO in
start)
    QUILLON_MACHINE=sim wine_bg "$BIN/control-panel.exe"
    start_program
    VERSION=$(drive text "$MAIN" 1101)
    [ "$VERSION" = "01.03" ] || fail "device version \"$VERSION\""
    [ "$(drive text "$MAIN" 1203)" = "F2 " ] || fail "재생시작 shows \"$(drive text "$MAIN" 1203)\""
    [ "$(drive text "$MAIN" 1230)" = "X" ] || fail "the empty key pair is not shown as X"
    screenshot "$MAIN" control-options
    # The edit page's button opens the empty frame; the options page comes back.
    drive click "$MAIN" 1002
    sleep 0.5
    drive text "$MAIN" 1101 >/dev/null 2>&1 && fail "the options page is still shown"
    drive click "$MAIN" 1001
    sleep 0.5
    [ "$(drive text "$MAIN" 1101)" = "01.03" ] || fail "the options page did not come back"
    # Help without a manual or a PDF reader, and a web page without an address.
    drive click "$MAIN" 1007
    expect_box "PDF 뷰어" "알림"
    drive click "$MAIN" 1008
    expect_box "웹 페이지 주소가 설정되어 있지 않습니다" "알림"
    close_program "$BG_PID"
    ;;
second-instance)
    QUILLON_MACHINE=sim wine_bg "$BIN/control-panel.exe"
    FIRST=$BG_PID
    start_program
    QUILLON_MACHINE=sim wine_bg "$BIN/control-panel.exe"
    expect_box "제어프로그램은" "알림"
    expect_box "$TROUBLE(MainLine=1151)"
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "second copy: exit code $EXIT_CODE"
    close_program "$FIRST"
    ;;
no-machine)
    wine_bg "$BIN/control-panel.exe"
    expect_box "제어프로그램은" "알림"
    expect_box "기계와 통신이 되지 않습니다(MainLine=1161)"
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    ;;
wrong-magic)
    QUILLON_MACHINE=sim QUILLON_MACHINE_COMMANDS="wrong-magic on" wine_bg "$BIN/control-panel.exe"
    expect_box "제어프로그램은" "알림"
    expect_box "$TROUBLE(SYS--ConfigLine=20028)"
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    ;;
hotkey-magic)
    CONTROL="$WORK/machine.txt"
    : > "$CONTROL"
    QUILLON_MACHINE=sim QUILLON_MACHINE_CONTROL="Z:$(echo "$CONTROL" | tr / '\\')" wine_bg "$BIN/control-panel.exe"
    start_program
    echo "wrong-magic on" >> "$CONTROL"
    sleep 0.5
    drive click "$MAIN" 1109
    expect_box "$TROUBLE(HK--68)"
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    ;;
options)
    start_machine_sim
    wine_bg "$BIN/control-panel.exe"
    PROGRAM=$BG_PID
    start_program
    [ "$(drive text "$MAIN" 1101)" = "01.03" ] || fail "device version \"$(drive text "$MAIN" 1101)\""
    # The mouse mode goes to the option record's flags (bit 0x4, offset 289).
    drive click "$MAIN" 1106
    drive click "$MAIN" 1108
    expect_box "정보를 저장했습니다." "알림"
    FLAGS=$(machine_state "int(s['optionRecord'][578:582], 16)")
    [ $((FLAGS & 4)) = 4 ] || fail "option flags $FLAGS after choosing 좌표인식 마우스"
    # 재생시작 = 녹화시작 (F1) is refused and nothing is written.
    drive scankey "$MAIN" 1203 0x3B
    sleep 0.3
    [ "$(drive text "$MAIN" 1203)" = "F1 " ] || fail "key box shows \"$(drive text "$MAIN" 1203)\""
    drive click "$MAIN" 1110
    expect_box "겹치는 단축키가 있습니다.수정해주세요."
    HOTKEYS=$(machine_state "s['hotkeyRecord'].lower()")
    [ "${HOTKEYS%"${HOTKEYS#????????????}"}" = "44883a3b3c3d" ] || fail "hotkeys written after a refusal: $HOTKEYS"
    # 재생시작 = Q and bank key 1번 = F1 (as 녹화시작) is accepted.
    drive scankey "$MAIN" 1203 0x10
    drive scankey "$MAIN" 1206 0x3B
    sleep 0.3
    drive click "$MAIN" 1110
    expect_box "정보를 저장했습니다." "알림"
    HOTKEYS=$(machine_state "s['hotkeyRecord'].lower()")
    [ "${HOTKEYS%"${HOTKEYS#????????????????????}"}" = "44883a143c3d3a1f2021" ] || fail "hotkey record $HOTKEYS"
    screenshot "$MAIN" control-options-saved
    close_program "$PROGRAM"
    ;;
schedule)
    start_machine_sim
    wine_bg "$BIN/control-panel.exe"
    PROGRAM=$BG_PID
    start_program
    drive click "$MAIN" 1006
    DIALOG=$(drive wait-window --class '#32770' --title "실행 예약" --timeout 10000) || fail "no scheduling dialog"
    drive click "$DIALOG" 1501
    select_line "$DIALOG" 9
    sleep 0.3
    [ "$(drive text "$DIALOG" 1506)" = "2-2번메모리     비어 있슴" ] || fail "echo \"$(drive text "$DIALOG" 1506)\""
    screenshot "$DIALOG" control-schedule
    drive click "$DIALOG" 1504
    sleep 0.5
    select_line "$DIALOG" 0
    sleep 0.3
    case $(drive text "$DIALOG" 1506) in "[자동클릭]"*) ;; *) fail "auto-click echo \"$(drive text "$DIALOG" 1506)\"" ;; esac
    drive click "$DIALOG" 1507
    expect_box "를 실행예약 하시겠습니까?" "알림"
    sleep 0.3
    [ "$(machine_state "s['scheduled']['kind'], s['scheduled']['index']")" = "2 72" ] ||
        fail "scheduled $(machine_state "s['scheduled']")"
    drive click "$DIALOG" 1508
    expect_box "예약실행을 취소했습니다." "알림"
    [ "$(machine_state "s['scheduled']")" = "None" ] || fail "the schedule was not cancelled"
    drive click "$DIALOG" 2
    close_program "$PROGRAM"
    ;;
auto-click)
    start_machine_sim
    wine_bg "$BIN/control-panel.exe"
    PROGRAM=$BG_PID
    start_program
    drive click "$MAIN" 1005
    i=0
    # The first showing reads the machine's block over the 9600-baud link.
    until [ "$(drive text "$MAIN" 1405 2>/dev/null)" = 50 ]; do
        i=$((i + 1)); [ $i -lt 300 ] || fail "the auto-click page has no defaults"; sleep 0.1
    done
    screenshot "$MAIN" control-auto-click
    # A wrong speed is refused before anything goes to the machine.
    drive settext "$MAIN" 1405 501
    drive click "$MAIN" 1427
    expect_box "정확한 자동클릭 속도를 입력해주세요(1~500)"
    drive settext "$MAIN" 1405 50
    drive click "$MAIN" 1427
    expect_box "저장 완료" "알림"
    CODE=$(machine_state "s['autoClick'][:18].lower()")
    [ "$CODE" = "1070000a1370000aee" ] || fail "auto-click code $CODE"
    drive click "$MAIN" 1425
    expect_box "불러오기 완료" "알림"
    close_program "$PROGRAM"
    ;;
recorded)
    QUILLON_MACHINE=sim wine_bg "$BIN/control-panel.exe"
    PROGRAM=$BG_PID
    start_program
    drive click "$MAIN" 1004
    i=0
    until drive text "$MAIN" 1307 >/dev/null 2>&1; do
        i=$((i + 1)); [ $i -lt 300 ] || fail "no recorded page"; sleep 0.1
    done
    sleep 1
    screenshot "$MAIN" control-recorded
    # Saving does nothing before a macro is chosen.
    drive click "$MAIN" 1303
    sleep 0.5
    drive wait-window --class '#32770' --title "기계에 저장하기" --timeout 500 >/dev/null 2>&1 &&
        fail "the picker opened in state 0"
    drive click "$MAIN" 1301
    PICKER=$(drive wait-window --class '#32770' --title "기계에서 불러오기" --timeout 10000) || fail "no memory picker"
    screenshot "$PICKER" control-memory-picker
    drive click "$PICKER" 1602
    drive wait-gone "$PICKER" --timeout 5000 >/dev/null || fail "the picker stayed"
    [ "$(drive text "$MAIN" 1305)" = "$(printf '1-1메모리\r\n비어 있슴')" ] ||
        [ -n "$(drive text "$MAIN" 1305)" ] || fail "no current macro"
    close_program "$PROGRAM"
    ;;
hostile-files)
    # Every hostile macro file opened from Explorer: the page of its kind
    # refuses it with its message, nothing is written beside it, and the
    # program goes on (the options page comes back, the program closes).
    mkdir -p "$WORK/hostile"
    cp "$QUILLON_ROOT"/tests/golden-errors/macros/* "$WORK/hostile/"
    before=$(ls -la --time-style=full-iso "$WORK/hostile" | md5sum)
    for file in "$WORK"/hostile/*; do
        case $file in
        *.eqn1 | *.vele | *.veleL) message="파일이 손상되어 불러올 수 없습니다." ;;
        *.cqn1 | *.velc | *.velcL | *.aut) message="불러오기 실패" ;;
        *) message="작동 중 문제가 발생했습니다(RecLine=35103)" ;;
        esac
        QUILLON_MACHINE=sim wine_bg "$BIN/control-panel.exe" "$(winpath "$file")"
        PROGRAM=$BG_PID
        start_program
        if [ "$file" = "$WORK/hostile/edit-garbage.vele" ]; then
            BOX=$(drive wait-window --class '#32770' --title "오류" --timeout 20000) || fail "no refusal"
            screenshot "$MAIN" control-hostile-file
        fi
        expect_box "$message"
        drive click "$MAIN" 1001
        i=0
        until [ "$(drive text "$MAIN" 1101 2>/dev/null)" = "01.03" ]; do
            i=$((i + 1)); [ $i -lt 100 ] || fail "no options page after $(basename "$file")"; sleep 0.1
        done
        close_program "$PROGRAM"
    done
    [ "$(ls -la --time-style=full-iso "$WORK/hostile" | md5sum)" = "$before" ] ||
        { ls -la "$WORK/hostile"; fail "files changed beside them"; }
    ;;
edit-page)
    # A macro file opened from Explorer: stored, saved, read back.
    start_machine_sim
    cp "$GOLDEN/edit_macro.eqn1" "$WORK/골든.eqn1"
    wine_bg "$BIN/control-panel.exe" "$(winpath "$WORK/골든.eqn1")"
    PROGRAM=$BG_PID
    start_program
    page_lines_become "$(file_lines "$WORK/골든.eqn1")" "the file's lines"
    [ "$(drive text "$MAIN" 2107)" = "골든 매크로" ] || fail "name \"$(drive text "$MAIN" 2107)\""
    [ "$(drive text "$MAIN" 2113)" = "2/4" ] || fail "counter \"$(drive text "$MAIN" 2113)\""
    screenshot "$MAIN" control-edit-page
    # Stored in memory 1-2: the machine holds exactly the compiled code.
    drive click "$MAIN" 2103
    pick_memory "기계에 저장하기" 1
    notice_box "저장 완료"
    BODY=$(machine_state "[m['body'] for m in s['edit'] if m['index'] == 1][0]")
    [ "$BODY" = "$(compiled "$WORK/골든.eqn1")" ] || fail "memory 1-2 holds $BODY"
    # Saved as a file: the same header and lines, the same code.
    drive click "$MAIN" 2104
    DIALOG=$(drive wait-window --title "저장할 파일이름을 입력/선택해주세요." --timeout 20000) || fail "no save dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$WORK/저장.eqn1")"
    drive click "$DIALOG" 1
    notice_box "저장 완료"
    [ "$("$QUILLON_TOOL" macro show "$WORK/저장.eqn1")" = "$("$QUILLON_TOOL" macro show "$WORK/골든.eqn1")" ] ||
        fail "the saved file differs: $("$QUILLON_TOOL" macro show "$WORK/저장.eqn1")"
    [ "$(compiled "$WORK/저장.eqn1")" = "$BODY" ] || fail "the saved file compiles differently"
    # Emptied, then read back from the machine: the sentences of the code.
    drive click "$MAIN" 2147
    answer_box "모든 내용을 삭제하시겠습니까?" 1 "알림"
    page_lines_become "" "empty"
    drive click "$MAIN" 2101
    pick_memory "기계에서 불러오기" 1
    page_lines_become "$(code_lines edit "$BODY")" "the memory's lines"
    [ "$(drive text "$MAIN" 2107)" = "골든 매크로" ] || fail "read-back name \"$(drive text "$MAIN" 2107)\""
    close_program "$PROGRAM"
    ;;
edit-working-copy)
    # Argument 1: the working copy "tmp.tmp" of the working folder.
    LOCAL=$("$WINE" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
    WORKING="$(winepath -u "$LOCAL" 2>/dev/null)/Quillon/매크로/작업"
    mkdir -p "$WORKING"
    cp "$GOLDEN/edit_macro.eqn1" "$WORKING/tmp.tmp"
    QUILLON_MACHINE=sim wine_bg "$BIN/control-panel.exe" 1
    PROGRAM=$BG_PID
    start_program
    page_lines_become "$(file_lines "$GOLDEN/edit_macro.eqn1")" "the working copy's lines"
    rm -f "$WORKING/tmp.tmp"
    [ "$(drive text "$MAIN" 2113)" = "2/4" ] || fail "counter \"$(drive text "$MAIN" 2113)\""
    # Name and options come from the working copy's header.
    [ "$(drive text "$MAIN" 2107)" = "골든 매크로" ] || fail "name \"$(drive text "$MAIN" 2107)\""
    close_program "$PROGRAM"
    ;;
combination-page)
    start_machine_sim
    cp "$GOLDEN/combination_macro.cqn1" "$WORK/조합.cqn1"
    wine_bg "$BIN/control-panel.exe" "$(winpath "$WORK/조합.cqn1")"
    PROGRAM=$BG_PID
    start_program
    page_lines_become "$(file_lines "$WORK/조합.cqn1")" "the file's lines"
    screenshot "$MAIN" control-combination-page
    BEFORE=$(machine_state "s['recorded'], s['edit']")
    # No: only the combination code goes to memory 2.
    drive click "$MAIN" 2103
    pick_memory "기계에 저장하기" 1
    answer_box "이 조합매크로에는 녹화/편집매크로가 포함되어 있습니다." 7 "알림"
    notice_box "저장 완료"
    [ "$(machine_state "[m['body'] for m in s['combination'] if m['index'] == 1][0]")" = "d008d11fee" ] ||
        fail "combination memory 2: $(machine_state "s['combination']")"
    [ "$(machine_state "s['recorded'], s['edit']")" = "$BEFORE" ] || fail "No still wrote the carried macros"
    # Yes: the carried macros go to recorded 2-1 and edit 4-8, each named on
    # the progress dialog as its turn comes (a slow machine, so that the
    # dialog is there long enough to be read).
    drive click "$MAIN" 2103
    pick_memory "기계에 저장하기" 0
    echo "answer-pace 1000" > "$WORK/control"
    answer_box "이 조합매크로에는 녹화/편집매크로가 포함되어 있습니다." 6 "알림"
    PROGRESS=$(drive wait-window --class '#32770' --child-text "잠시만 기다려 주세요 ...." --timeout 20000) ||
        fail "no progress dialog"
    : > "$WORK/progress-texts"
    while LINE=$(drive text "$PROGRESS" 1002 2>/dev/null); do
        grep -qxF "$LINE" "$WORK/progress-texts" || {
            echo "$LINE" >> "$WORK/progress-texts"
            case $LINE in *4-8편집메모리*) screenshot "$PROGRESS" control-progress-embedded ;; esac
        }
    done
    echo "answer-pace 0" > "$WORK/control"
    for memory in "녹화매크로를 2-1녹화메모리" "편집매크로를 4-8편집메모리"; do
        grep -qxF "[조합.cqn1]파일에 내장된 ${memory}에 저장하고 있습니다." "$WORK/progress-texts" ||
            fail "the progress dialog never showed $memory: $(cat "$WORK/progress-texts")"
    done
    notice_box "저장 완료"
    [ "$(machine_state "[m['body'] for m in s['recorded'] if m['index'] == 8][0]")" = "100400200400" ] ||
        fail "recorded 2-1: $(machine_state "s['recorded']")"
    [ "$(machine_state "[m['body'] for m in s['edit'] if m['index'] == 31][0]")" = "0104ee" ] ||
        fail "edit 4-8: $(machine_state "s['edit']")"
    close_program "$PROGRAM"
    ;;
edit-recovery)
    # The machine is lost while the page holds an unsaved change: the lines
    # are kept as a dated copy in the edit folder and named in the message.
    start_machine_sim
    LOCAL=$("$WINE" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
    EDIT_FOLDER="$(winepath -u "$LOCAL" 2>/dev/null)/Quillon/매크로/편집 매크로"
    rm -f "$EDIT_FOLDER"/복구-*.eqn1
    cp "$GOLDEN/edit_macro.eqn1" "$WORK/골든.eqn1"
    wine_bg "$BIN/control-panel.exe" "$(winpath "$WORK/골든.eqn1")"
    PROGRAM=$BG_PID
    start_program
    page_lines_become "$(file_lines "$WORK/골든.eqn1")" "the file's lines"
    drive click "$MAIN" 2148
    CHANGED=$(drive lines "$MAIN" 2112)
    [ "$CHANGED" != "$(file_lines "$WORK/골든.eqn1")" ] || fail "들여 쓰기 changed nothing"
    echo "fault unplug" > "$WORK/control"
    BOX=$(drive wait-window --class '#32770' --title "오류" --child-contains "편집 중이던 매크로를" --timeout 20000) ||
        fail "no message naming the kept lines"
    drive children "$BOX" | grep -qF "복구-" || fail "the message names no file"
    drive key "$BOX" enter
    wait_exit "$PROGRAM"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    set -- "$EDIT_FOLDER"/복구-*.eqn1
    [ -f "$1" ] || fail "no recovery file in $EDIT_FOLDER"
    [ "$(file_lines "$1")" = "$CHANGED" ] || fail "the recovery file holds $(file_lines "$1")"
    rm -f "$EDIT_FOLDER"/복구-*.eqn1
    ;;
lines)
    # One line through each movement, key and button dialog of the edit page,
    # their cheap refusals and one "수정".
    open_edit_page
    # "키보드 동작": the key pressed in the capture box, "눌렀다 뗀다", a memo.
    open_line 2120 "키보드 동작"
    drive scankey "$D" 3041 0x1E
    drive click "$D" 3012
    drive settext "$D" 3004 "메모"
    screenshot "$D" control-line-keyboard
    add_line
    page_lines_become "[ A  ]키를 눌렀다 뗀다.$T$T//메모" "the keyboard line"
    # "마우스 버튼 동작": scrolling 0 steps is refused, 3 is taken.
    open_line 2121 "마우스 버튼 동작"
    drive click "$D" 3023
    drive settext "$D" 3045 0
    refused "1~255 사이의 값을 입력해주세요."
    drive settext "$D" 3045 3
    screenshot "$D" control-line-button
    add_line
    # "마우스 이동" needs the screenshot; then a point outside it stays refused.
    drive click "$MAIN" 2122
    expect_box "먼저 스크린샷 불러오기를 하셔야 합니다." "알림"
    convert -size 320x200 xc:'#336699' "$WORK/shot.bmp"
    drive click "$MAIN" 2105
    OPEN=$(drive wait-window --title "스샷 불러오기" --timeout 20000) || fail "no picture dialog"
    drive settext "$OPEN" 1148 "$(winpath "$WORK/shot.bmp")"
    drive click "$OPEN" 1
    drive wait-gone "$OPEN" --timeout 5000 >/dev/null || fail "the picture dialog stayed"
    open_line 2122 "마우스 이동"
    drive settext "$D" 3046 320
    drive settext "$D" 3047 50
    silently_refused "x = width"
    drive settext "$D" 3046 100
    screenshot "$D" control-line-move
    add_line
    # "FPS 마우스이동": 201 is refused.
    open_line 2123 "FPS 마우스이동"
    drive settext "$D" 3054 201
    refused "가로값은 200까지입니다."
    drive settext "$D" 3054 200
    drive settext "$D" 3057 5
    drive click "$D" 3058
    screenshot "$D" control-line-fps
    add_line
    # "시간지연": 65.001 is refused, 0.001 taken (and changed to 1.5 below).
    open_line 2124 "시간지연(0.001~65초)"
    drive settext "$D" 3060 65.001
    refused "지연시간은 0.001~65초까지 입니다."
    drive settext "$D" 3060 0.001
    screenshot "$D" control-line-delay
    add_line
    # "수정" of the delay line, the current one after its add: only "수정" and "취소" are shown.
    drive click "$MAIN" 2140
    D=$(drive wait-window --class '#32770' --title "시간지연(0.001~65초)" --timeout 20000) || fail "no delay dialog"
    [ "$(drive text "$D" 3001)" = "수정" ] || fail "first button \"$(drive text "$D" 3001)\""
    [ "$(drive text "$D" 3060)" = "0.001" ] || fail "the delay dialog opened with \"$(drive text "$D" 3060)\""
    drive settext "$D" 3060 1.5
    screenshot "$D" control-line-change
    add_line
    page_lines_become "[ A  ]키를 눌렀다 뗀다.$T$T//메모
위로 3칸 스크롤
마우스를 [X=100, Y=50]로 이동
<FPS 마우스이동> 우로 200, 위로 5 이동한다.
1.5초 동안 대기한다." "the dialogs' lines"
    screenshot "$MAIN" control-lines-page
    close_unsaved "$PROGRAM"
    ;;
lines-blocks)
    # The block, remote, machine and typing dialogs; then the machine holds
    # what the command-line compiler makes of the same lines saved as a file.
    open_edit_page
    # "구간 반복": typing a count or a comparison value chooses its line.
    open_line 2125 "구간 반복"
    drive click "$D" 3011
    drive settext "$D" 3064 65001
    refused "반복횟수는 1~65000회까지 설정하세요."
    drive settext "$D" 3064 3
    screenshot "$D" control-line-repeat
    add_line
    open_line 2125 "구간 반복"
    drive settext "$D" 3065 5
    add_line
    for choice in 3014 3011; do
        open_line 2125 "구간 반복"
        drive click "$D" $choice
        add_line
    done
    # "원격 제어": command 251 keeps the dialog open without a message.
    open_line 2126 "원격 제어"
    drive settext "$D" 3069 251
    silently_refused "command 251"
    drive settext "$D" 3069 250
    screenshot "$D" control-line-remote
    add_line
    # "장치 제어": typing a label name chooses the label.
    open_line 2127 "장치 제어"
    drive settext "$D" 3070 "처음"
    screenshot "$D" control-line-machine
    add_line
    # "문장 입력": an empty text is refused.
    open_line 2128 "문장 입력"
    refused "타이핑할 문장을 입력해주세요"
    drive settext "$D" 3071 "$(printf '안녕\r\nHi')"
    drive settext "$D" 3072 600
    screenshot "$D" control-line-typing
    add_line
    page_lines_become "반복 [A] 시작(3회) {.
${T}만약 5<=반복[A] 이면 {
${T}} 반복비교 끝
} 반복 끝.
연결된 기계로 명령 [ 250 ]를 보낸다.
==>이름표 [처음]
문장 출력 [안녕  Hi ...]" "the dialogs' lines"
    # Stored in memory 1-1, saved as a file: the command-line compiler agrees.
    drive click "$MAIN" 2103
    pick_memory "기계에 저장하기" 0
    # The progress dialog shares the caption: wait for the box with the text.
    answer_box "저장 완료" 1 "알림"
    BODY=$(machine_state "[m['body'] for m in s['edit'] if m['index'] == 0][0]")
    case $BODY in 5800000300*ee) ;; *) fail "memory 1-1 holds $BODY" ;; esac
    drive click "$MAIN" 2104
    DIALOG=$(drive wait-window --title "저장할 파일이름을 입력/선택해주세요." --timeout 20000) || fail "no save dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$WORK/줄.eqn1")"
    drive click "$DIALOG" 1
    expect_box "저장 완료" "알림"
    [ "$(compiled "$WORK/줄.eqn1")" = "$BODY" ] || fail "machine got $BODY, the compiler makes $(compiled "$WORK/줄.eqn1")"
    close_program "$PROGRAM"
    ;;
picker)
    # The store picker under the pointer: rows 24 pixels high, a click echoes
    # the memory, a double click echoes and confirms.
    start_machine_sim
    cp "$GOLDEN/edit_macro.eqn1" "$WORK/골든.eqn1"
    wine_bg "$BIN/control-panel.exe" "$(winpath "$WORK/골든.eqn1")"
    PROGRAM=$BG_PID
    start_program
    page_lines_become "$(file_lines "$WORK/골든.eqn1")" "the file's lines"
    drive click "$MAIN" 2103
    PICKER=$(drive wait-window --class '#32770' --title "기계에 저장하기" --timeout 20000) || fail "no memory picker"
    set -- $(drive children "$PICKER" | awk -F'\t' '$1 == 1601 { print $3; exit }')
    [ $# = 4 ] || fail "the picker has no list"
    LX=$(($1 + 40)) LY=$(($2 + 2))
    # Row n's middle is 24 n + 12 pixels below the list's top.
    xdotool mousemove $LX $((LY + 36)) click 1
    sleep 0.3
    case $(drive text "$PICKER" 1604) in "1-2번메모리     "*) ;; *) fail "row 2 echoes \"$(drive text "$PICKER" 1604)\"" ;; esac
    xdotool mousemove $LX $((LY + 12)) click 1
    sleep 0.3
    case $(drive text "$PICKER" 1604) in "1-1번메모리     "*) ;; *) fail "row 1 echoes \"$(drive text "$PICKER" 1604)\"" ;; esac
    screenshot "$PICKER" control-picker-echo
    xdotool mousemove $LX $((LY + 60)) click --repeat 2 --delay 80 1
    drive wait-gone "$PICKER" --timeout 5000 >/dev/null || fail "a double click did not confirm"
    notice_box "저장 완료"
    BODY=$(machine_state "[m['body'] for m in s['edit'] if m['index'] == 2][0]")
    [ "$BODY" = "$(compiled "$WORK/골든.eqn1")" ] || fail "memory 1-3 holds $BODY"
    # The load picker empties memory 1-3 after its question.
    drive click "$MAIN" 2101
    PICKER=$(drive wait-window --class '#32770' --title "기계에서 불러오기" --timeout 20000) || fail "no load picker"
    drive select "$PICKER" 1601 2
    sleep 0.3
    drive click "$PICKER" 1603
    answer_box "선택한 메모리의 내용을 삭제하시겠습니까?" 1 "알림"
    sleep 0.5
    case $(drive lines "$PICKER" 1601 | sed -n 3p) in *"비어 있슴"*) ;; *) fail "line 3 after clearing: $(drive lines "$PICKER" 1601 | sed -n 3p)" ;; esac
    screenshot "$PICKER" control-picker-cleared
    drive click "$PICKER" 2
    drive wait-gone "$PICKER" --timeout 5000 >/dev/null || fail "the picker stayed"
    close_program "$PROGRAM"
    ;;
keys)
    # Keys as a user presses them. Esc in the line list of a page holding
    # unsaved lines closes nothing; Enter in the click speed box sets the
    # times; closing asks first (Cancel stays, Yes keeps a recovery copy).
    start_machine_sim
    LOCAL=$("$WINE" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
    EDIT_FOLDER="$(winepath -u "$LOCAL" 2>/dev/null)/Quillon/매크로/편집 매크로"
    rm -f "$EDIT_FOLDER"/복구-*.eqn1
    cp "$GOLDEN/edit_macro.eqn1" "$WORK/골든.eqn1"
    wine_bg "$BIN/control-panel.exe" "$(winpath "$WORK/골든.eqn1")"
    PROGRAM=$BG_PID
    start_program
    page_lines_become "$(file_lines "$WORK/골든.eqn1")" "the file's lines"
    drive click "$MAIN" 2148
    CHANGED=$(drive lines "$MAIN" 2112)
    click_control "$MAIN" 2112
    xdotool key Escape
    sleep 1
    kill -0 "$PROGRAM" 2>/dev/null && drive text "$MAIN" >/dev/null || fail "Esc in the line list closed the program"
    [ "$(drive lines "$MAIN" 2112)" = "$CHANGED" ] || fail "Esc changed the lines"
    # Enter in the click speed box: 20 clicks a second are 25 ms down, 25 up.
    drive click "$MAIN" 1005
    i=0
    until [ "$(drive text "$MAIN" 1405 2>/dev/null)" = 50 ]; do
        i=$((i + 1)); [ $i -lt 300 ] || fail "the auto-click page has no defaults"; sleep 0.1
    done
    click_control "$MAIN" 1405
    xdotool key ctrl+a BackSpace BackSpace BackSpace type 20
    xdotool key Return
    sleep 0.5
    [ "$(drive text "$MAIN" 1406)/$(drive text "$MAIN" 1407)" = "25/25" ] ||
        fail "speed 20 and Enter gave press $(drive text "$MAIN" 1406), release $(drive text "$MAIN" 1407)"
    # Enter in the press box sets the speed back: 1000 / (40 + 25) rounded up is 16.
    click_control "$MAIN" 1406
    xdotool key ctrl+a BackSpace BackSpace BackSpace type 40
    xdotool key Return
    sleep 0.5
    [ "$(drive text "$MAIN" 1405)" = 16 ] || fail "press 40 and Enter gave speed $(drive text "$MAIN" 1405)"
    kill -0 "$PROGRAM" 2>/dev/null || fail "Enter closed the program"
    screenshot "$MAIN" control-keys-auto-click
    # 닫기 with unsaved lines: the question; Esc there is Cancel and the program stays.
    drive click "$MAIN" 1010
    BOX=$(drive wait-window --class '#32770' --title "알림" --child-contains "저장하지 않은 편집 내용" --timeout 20000) ||
        fail "no question before closing"
    screenshot "$BOX" control-keys-close-question
    xdotool key Escape
    drive wait-gone "$BOX" --timeout 5000 >/dev/null || fail "the question stayed after Esc"
    sleep 0.5
    kill -0 "$PROGRAM" 2>/dev/null || fail "Cancel closed the program"
    # Yes: a dated copy of the lines in the edit folder, named; then the end.
    drive click "$MAIN" 1010
    answer_box "저장하지 않은 편집 내용" 6 "알림"
    answer_box "편집 중이던 매크로를 다음 파일로 저장했습니다." 1 "알림"
    wait_exit "$PROGRAM"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    set -- "$EDIT_FOLDER"/복구-*.eqn1
    [ -f "$1" ] || fail "no recovery file in $EDIT_FOLDER"
    [ "$(file_lines "$1")" = "$CHANGED" ] || fail "the recovery file holds $(file_lines "$1")"
    rm -f "$EDIT_FOLDER"/복구-*.eqn1
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "ok ($SCENARIO)"
