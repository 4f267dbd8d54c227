#!/bin/sh
# The programs' real HID code under Wine against machine-sim, through the test
# stand-in of hid.dll, which also answers their setupapi enumeration (see hid_standins.sh).
#   hid_link_test.sh BIN_DIR HOST_TOOLS SCREENSHOT_DIR SCENARIO
# Scenarios:
#   control-store   control-panel finds the machine's interface (passing over
#                   the keyboard, a foreign vendor page, a 64-byte report and a
#                   matching interface that does not open), reads the option
#                   record, stores a macro file into memory 1-2: the machine
#                   holds its compiled code
#   control-unplug  the machine is unplugged while a memory is being stored:
#                   the program says the link is lost and ends (no freeze)
#   editor-open     analyzer-editor opens an analyzer and writes its machine
#                   macros to the machine
#   runner-stop     analyzer-runner puts the machine into analysis mode; the
#                   machine's stop hotkey ends it
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 SCENARIO=$4
. "$(dirname "$0")/../gui_session.sh"
. "$(dirname "$0")/hid_standins.sh"
gui_session_start "$BIN" 1280x800
gui_work_start
fail() { GUI_FAILED=1; echo "FAIL ($SCENARIO): $*" >&2; [ -n "${WORK:-}" ] && tail -3 "$WORK/actions.log" >&2; exit 1; }
winpath() { echo "Z:$1" | tr / '\\'; }

expect_box() {
    BOX=$(drive wait-window --class '#32770' --title "${2:-오류}" --timeout 20000) || fail "no message box ($1)"
    drive children "$BOX" | grep -qF "$1" || { drive children "$BOX"; fail "box without \"$1\""; }
    drive key "$BOX" enter
    drive wait-gone "$BOX" --timeout 5000 >/dev/null || fail "box stayed ($1)"
}
answer_box() {
    BOX=$(drive wait-window --class '#32770' ${3:+--title "$3"} --child-contains "$1" --timeout 20000) ||
        fail "no message box ($1)"
    drive click "$BOX" "$2"
    drive wait-gone "$BOX" --timeout 5000 >/dev/null || fail "box stayed ($1)"
}
machine_state() {
    rm -f "$WORK/state.json"
    echo "dump $WORK/state.json" > "$WORK/control"
    ms_i=0
    until [ -s "$WORK/state.json" ]; do
        ms_i=$((ms_i + 1))
        [ $ms_i -lt 200 ] || fail "no state dump"
        sleep 0.1
    done
    sleep 0.1
    python3 -c "import json,sys; s=json.load(open(sys.argv[1])); print($1)" "$WORK/state.json"
}
pick_memory() {
    PICKER=$(drive wait-window --class '#32770' --title "$1" --timeout 20000) || fail "no memory picker ($1)"
    pm_i=0
    until drive select "$PICKER" 1601 "$2" 2>/dev/null; do
        pm_i=$((pm_i + 1)); [ $pm_i -lt 300 ] || fail "the picker has no line $2"; sleep 0.1
    done
    sleep 0.3
    drive click "$PICKER" 1602
    drive wait-gone "$PICKER" --timeout 5000 >/dev/null || fail "the picker stayed"
}
compiled() { "$HOST_TOOLS/quillon" macro compile "$1" | grep -v '^recorded set' | tr -d ' \n' | tr 'A-F' 'a-f'; }

P="$WORK/program"
hid_machine_start "$WORK" "$HOST_TOOLS"

start_control_panel() {
    hid_program_folder "$BIN" control-panel "$P"
    cp "$QUILLON_ROOT/tests/golden/edit_macro.eqn1" "$WORK/golden.eqn1"
    wine_bg "$P/control-panel.exe" "$(winpath "$WORK/golden.eqn1")"
    PROGRAM=$BG_PID
    expect_box "제어프로그램은 기계를 직접 컨트롤 하는 프로그램이기 때문에" "알림"
    MAIN=$(drive wait-window --class '#32770' --child-text "환경 설정" --timeout 20000) || fail "no main dialog"
    [ "$(machine_state "s['mode']")" = normal ] || fail "the machine is not in normal mode"
}

case $SCENARIO in
control-store)
    start_control_panel
    drive click "$MAIN" 2103
    pick_memory "기계에 저장하기" 1
    answer_box "저장 완료" 1 "알림"
    BODY=$(machine_state "[m['body'] for m in s['edit'] if m['index'] == 1][0]")
    [ "$BODY" = "$(compiled "$WORK/golden.eqn1")" ] || fail "memory 1-2 holds $BODY"
    mkdir -p "$SHOTS"
    drive screenshot "$MAIN" "$WORK/main.bmp" >/dev/null && convert "$WORK/main.bmp" "$SHOTS/hid-control-store.png"
    drive click "$MAIN" 1010
    wait_exit "$PROGRAM"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after 닫기"
    echo "HID frames: $(machine_state "s['frames']")"
    ;;
control-unplug)
    start_control_panel
    # Unplugged at the first report of the body (after its command 0x3A): the exchange
    # fails, the program says so and ends instead of waiting for the busy
    # lock for ever.
    echo "fault unplug 0 on 0x3A" > "$WORK/control"
    drive click "$MAIN" 2103
    pick_memory "기계에 저장하기" 1
    expect_box "기계와 통신이 되지 않습니다"
    wait_exit "$PROGRAM" 150
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after the unplug"
    ;;
editor-open)
    # Opened with an analyzer whose machine macros are written to the machine.
    hid_program_folder "$BIN" analyzer-editor "$P"
    wine_bg "$P/analyzer-editor.exe" "$QUILLON_ROOT/tests/golden/typical.dat"
    PROGRAM=$BG_PID
    BOX=$(drive wait-window --class '#32770' --child-contains "기계매크로를 기계로 저장하시겠습니까?" --timeout 30000) ||
        fail "no question about the machine macros"
    drive click "$BOX" 6
    PANEL=$(drive wait-window --class '#32770' --child-contains "자동저장" --timeout 30000) || fail "no main panel"
    [ "$(drive lines "$PANEL" 1008 | wc -l)" = 2 ] || fail "items: $(drive lines "$PANEL" 1008)"
    [ "$(machine_state "s['mode']")" = normal ] || fail "the machine is not in normal mode"
    STORED=$(machine_state "sum(1 for m in s['edit'] + s['recorded'] if m.get('body'))")
    [ "$STORED" -ge 1 ] || fail "no macro reached the machine"
    drive close "$PANEL"
    answer_box "이미지 분석 편집기를 종료하시겠습니까?" 6 ""
    wait_exit "$PROGRAM" 150
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    ;;
runner-stop)
    # Analysis mode over HID; the machine's stop hotkey ends the program.
    hid_program_folder "$BIN" analyzer-runner "$P"
    wine_bg "$P/analyzer-runner.exe" "$QUILLON_ROOT/tests/golden/typical.dat"
    PROGRAM=$BG_PID
    drive wait-window --class '#32770' --child-text typical --timeout 30000 >/dev/null || fail "no status window"
    [ "$(machine_state "s['mode']")" = analysis ] || fail "the machine is not in analysis mode"
    echo "hotkey 2" > "$WORK/control"
    wait_exit "$PROGRAM" 150
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after the stop hotkey"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "ok ($SCENARIO)"
