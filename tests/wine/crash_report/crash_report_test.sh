#!/bin/sh
# A program that crashes under Wine leaves a minidump and a text report in
# the user's data folder, says so in a box that names the dump, and ends with
# the fault's code.
#   crash_report_test.sh BIN_DIR HOST_TOOLS SCREENSHOT_DIR PROGRAM
# Every program is started with the hidden "--crash-test" argument (a fault
# before it has started). analyzer-runner also faults once its window is up,
# from a thread of its own; analyzer-editor faults with an analyzer open and
# must have written it as its autosave before the box.
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 PROGRAM=$4
. "$(dirname "$0")/../gui_session.sh"
gui_session_start "$BIN" 1280x800
GOLDEN="$QUILLON_ROOT/tests/golden"
WORK=$(mktemp -d)
trap 'gui_session_end; rm -rf "$WORK"' EXIT
: "$HOST_TOOLS"

LOCAL=$(winepath -u "$("$WINE" cmd /c echo %LOCALAPPDATA% | tr -d '\r')" 2>/dev/null)
REPORTS="$LOCAL/Quillon/Crash reports"

# Waits for the crash box, checks it names a dump that exists, presses OK and
# checks the program ended with the access violation's code and left its
# report beside the dump. NAME: the screenshot's name.
expect_crash() {
    BOX=$(drive wait-window --class '#32770' --title "오류" --timeout 40000) || fail "no crash box"
    TEXT=$(drive children "$BOX")
    printf "%s\n" "$TEXT" | grep -qF "프로그램에 문제가 생겨 종료합니다." || { printf "%s\n" "$TEXT"; fail "box without the sentence"; }
    DUMP_WIN=$(printf "%s\n" "$TEXT" | grep -o '[A-Z]:\\.*\.dmp' | head -1)
    [ -n "$DUMP_WIN" ] || { printf "%s\n" "$TEXT"; fail "box without the dump's path"; }
    DUMP=$(winepath -u "$DUMP_WIN" 2>/dev/null)
    [ -s "$DUMP" ] || fail "no dump at $DUMP"
    [ "$(dirname "$DUMP")" = "$REPORTS" ] || fail "dump outside the user's folder: $DUMP"
    # A minidump starts with "MDMP".
    [ "$(head -c 4 "$DUMP")" = MDMP ] || fail "not a minidump: $DUMP"
    REPORT="${DUMP%.dmp}.txt"
    [ -s "$REPORT" ] || fail "no text report beside $DUMP"
    cat "$REPORT"
    for line in "program: $PROGRAM" "version: " "time: " "exception: 0xC0000005 (access violation)" "dump: written"; do
        grep -qF "$line" "$REPORT" || fail "report without \"$line\""
    done
    screenshot "$BOX" "crash-$1"
    drive key "$BOX" enter
    wait_exit "$BG_PID" 150
    [ "$EXIT_CODE" = 5 ] || fail "exit code $EXIT_CODE, not the access violation's (0xC0000005)"
}

rm -rf "$REPORTS"
wine_bg "$BIN/$PROGRAM.exe" --crash-test
expect_crash "$PROGRAM"
grep -qF "(the program's main thread)" "$REPORT" || fail "the fault was not on the main thread"

case $PROGRAM in
analyzer-runner)
    TRIGGER="$WORK/fault-now"
    QUILLON_MACHINE=sim QUILLON_CRASH_TEST="Z:$(echo "$TRIGGER" | tr / '\\')" \
        wine_bg "$BIN/analyzer-runner.exe" "$GOLDEN/typical.dat"
    drive wait-window --class '#32770' --child-text typical --timeout 30000 >/dev/null || fail "no runner window"
    : > "$TRIGGER"
    expect_crash analyzer-runner-running
    [ "$(ls "$REPORTS"/*.dmp | wc -l)" = 2 ] || fail "two crashes, not two dumps"
    ;;
analyzer-editor)
    SAVE="$LOCAL/Quillon/Save/save.tmp"
    rm -f "$SAVE"
    TRIGGER="$WORK/fault-now"
    QUILLON_MACHINE=sim QUILLON_CRASH_TEST="Z:$(echo "$TRIGGER" | tr / '\\')" \
        wine_bg "$BIN/analyzer-editor.exe" "$GOLDEN/typical.dat"
    QUESTION=$(drive wait-window --class '#32770' --child-contains "기계매크로를 기계로 저장하시겠습니까?" \
        --timeout 30000) || fail "no question about the machine macros"
    drive click "$QUESTION" 7
    PANEL=$(drive wait-window --class '#32770' --child-contains "자동저장" --timeout 30000) || fail "no main panel"
    i=0
    while [ -z "$(drive lines "$PANEL" 1008)" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    [ -n "$(drive lines "$PANEL" 1008)" ] || fail "the analyzer's items are not shown"
    : > "$TRIGGER"
    # The autosave is written before the box shows.
    BOX=$(drive wait-window --class '#32770' --title "오류" --timeout 40000) || fail "no crash box"
    [ -s "$SAVE" ] || fail "no autosave before the crash box"
    expect_crash analyzer-editor-open
    grep -qF "user's work: the program's save ran" "$REPORT" || fail "the report does not say the work was saved"
    ;;
esac
echo "ok ($PROGRAM)"
