#!/bin/sh
# GUI tests of analyzer-runner under Wine, with the in-process simulated
# machine (QUILLON_MACHINE=sim) where a machine is needed.
#   runner_test.sh BIN_DIR HOST_TOOLS SCREENSHOT_DIR SCENARIO
# Scenarios: data-files, no-machine, wrong-magic, cancel-dialog, unloadable,
# placement, countdown, switch-windows, stop-hotkey, hostile-files.
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 SCENARIO=$4
. "$(dirname "$0")/../gui_session.sh"
gui_session_start "$BIN" 1280x800
fail() { GUI_FAILED=1; echo "FAIL ($SCENARIO): $*" >&2; exit 1; }
GOLDEN="$QUILLON_ROOT/tests/golden"
CAPTION="분석기 실행"
WORK=$(mktemp -d)
trap 'gui_session_end; rm -rf "$WORK"' EXIT

# A program folder of its own: the runner and data files built from the
# project's sources, with settings lines replaced ("OFFSET VALUE" pairs).
program_folder() {
    mkdir -p "$WORK/prog"
    cp "$BIN/analyzer-runner.exe" "$WORK/prog/"
    sed_script=""
    for pair in "$@"; do
        offset=${pair%%=*} value=${pair#*=}
        sed_script="$sed_script;s/^$offset .*/$offset $value/"
    done
    sed "$sed_script" "$QUILLON_ROOT/resources/data/settings.txt" > "$WORK/settings.txt"
    "$HOST_TOOLS/make-datafiles" "$QUILLON_ROOT/resources/data/texts.txt" "$WORK/settings.txt" \
        "$QUILLON_ROOT/resources/data/names.txt" "$WORK/prog/Data" || fail "make-datafiles"
}

# Waits for the runner's warning box and checks its text.
expect_box() {
    BOX=$(drive wait-window --class '#32770' --title "$CAPTION" --timeout 20000) || fail "no message box ($1)"
    drive children "$BOX" | grep -qF "$1" || { drive children "$BOX"; fail "box without \"$1\""; }
    drive key "$BOX" enter
}

runner_window() {
    drive wait-window --class '#32770' --child-text "$1" --timeout 20000 || fail "no status window"
}

case $SCENARIO in
data-files)
    # Without the text block the runner ends silently.
    mkdir -p "$WORK/empty"
    cp "$BIN/analyzer-runner.exe" "$WORK/empty/"
    wine_bg "$WORK/empty/analyzer-runner.exe"
    wait_exit "$BG_PID" 150
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE without data files"
    # Without the settings block it says so.
    program_folder
    rm "$WORK/prog/Data/qlconf.bin"
    wine_bg "$WORK/prog/analyzer-runner.exe"
    expect_box "시작 자료 파일을 읽지 못했습니다."
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    ;;
no-machine)
    wine_bg "$BIN/analyzer-runner.exe" "$GOLDEN/typical.dat"
    expect_box "기계를 찾을 수 없습니다."
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    ;;
wrong-magic)
    QUILLON_MACHINE=sim QUILLON_MACHINE_COMMANDS="wrong-magic on" wine_bg "$BIN/analyzer-runner.exe" \
        "$GOLDEN/typical.dat"
    expect_box "기계의 설정 정보를 읽지 못했습니다."
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    ;;
stop-hotkey)
    # The stop hotkey before the start ends the program without a run.
    CONTROL="$WORK/machine.txt"
    : > "$CONTROL"
    QUILLON_MACHINE=sim QUILLON_MACHINE_CONTROL="Z:$(echo "$CONTROL" | tr / '\\')" \
        wine_bg "$BIN/analyzer-runner.exe" "$GOLDEN/typical.dat"
    MAIN=$(runner_window typical)
    echo "hotkey 2" >> "$CONTROL"
    wait_exit "$BG_PID" 100
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after the stop hotkey"
    ;;
cancel-dialog)
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-runner.exe"
    DIALOG=$(drive wait-window --class '#32770' --title "실행할 분석기 파일 열기" --timeout 20000) ||
        fail "no open dialog"
    screenshot "$DIALOG" runner-open-dialog
    drive click "$DIALOG" 2
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after cancel"
    ;;
unloadable)
    for case in "golden-errors/garbage-chunk.dat -1" "golden/empty.dat -2" "golden/missing.dat -1"; do
        file=${case% *} code=${case#* }
        QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-runner.exe" "$QUILLON_ROOT/tests/$file"
        expect_box "분석기 파일을 불러오지 못했습니다 - $code"
        wait_exit "$BG_PID"
        [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after $file"
    done
    ;;
hostile-files)
    # Every file that must be refused, given as the argument: the runner says
    # so in its own box, ends cleanly and writes nothing beside the file.
    mkdir -p "$WORK/hostile"
    cp "$QUILLON_ROOT"/tests/golden-errors/*.dat "$WORK/hostile/"
    before=$(ls -la "$WORK/hostile" | md5sum)
    for file in "$WORK"/hostile/*; do
        QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-runner.exe" "$file"
        expect_box "분석기 파일을 불러오지 못했습니다"
        wait_exit "$BG_PID"
        [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after $(basename "$file")"
    done
    [ "$(ls -la "$WORK/hostile" | md5sum)" = "$before" ] || { ls -la "$WORK/hostile"; fail "files changed beside them"; }
    ;;
placement)
    for corner in 0 1 2 3; do
        rm -rf "$WORK/prog"
        program_folder "2492=$corner"
        QUILLON_MACHINE=sim wine_bg "$WORK/prog/analyzer-runner.exe" "$GOLDEN/typical.dat"
        MAIN=$(runner_window typical)
        set -- $(drive rect "$MAIN")
        X=$1 Y=$2 W=$3 H=$4
        echo "corner $corner: $X,$Y ${W}x$H"
        case $corner in
        1) [ "$X" -ge 0 ] && [ "$X" -lt 15 ] && [ $((800 - 40 - Y - H)) -ge 0 ] && [ $((800 - 40 - Y - H)) -lt 15 ] ;;
        2) [ "$X" -ge 0 ] && [ "$X" -lt 15 ] && [ "$Y" -ge 0 ] && [ "$Y" -lt 15 ] ;;
        3) [ $((1280 - X - W)) -ge 0 ] && [ $((1280 - X - W)) -lt 15 ] && [ "$Y" -ge 0 ] && [ "$Y" -lt 15 ] ;;
        *) [ $((1280 - X - W)) -ge 0 ] && [ $((1280 - X - W)) -lt 15 ] &&
            [ $((800 - 40 - Y - H)) -ge 0 ] && [ $((800 - 40 - Y - H)) -lt 15 ] ;;
        esac || fail "corner $corner: window at $X,$Y ${W}x$H"
        [ "$(drive topmost "$MAIN")" = 1 ] || fail "corner $corner: not topmost"
        [ "$corner" = 0 ] && screenshot "$MAIN" runner-main
        drive click "$MAIN" 1224
        wait_exit "$BG_PID"
        [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    done
    ;;
countdown)
    # Started with --trace: the run's trace file is written as it goes.
    program_folder "828=1" "832=4"
    TRACE="$WORK/trace.jsonl"
    QUILLON_MACHINE=sim wine_bg "$WORK/prog/analyzer-runner.exe" --trace "Z:$(echo "$TRACE" | tr / '\\')" \
        "$GOLDEN/typical.dat"
    MAIN=$(runner_window typical)
    # The stop button counts down, then shows the analyzer's name again.
    i=0
    seen=""
    while [ $i -lt 80 ]; do
        text=$(drive text "$MAIN" 1224)
        case $text in "00 : 00 : 0"*) seen="$seen ${text#00 : 00 : }" ;; esac
        [ -n "$seen" ] && [ "$text" = typical ] && break
        sleep 0.1
        i=$((i + 1))
    done
    echo "countdown seen:$seen"
    echo "$seen" | grep -q "0[123]" || fail "no countdown shown ($seen)"
    [ "$(drive text "$MAIN" 1224)" = typical ] || fail "the run did not start after the countdown"
    i=0
    while [ $i -lt 100 ] && [ "$(wc -l < "$TRACE")" -lt 3 ]; do sleep 0.1; i=$((i + 1)); done
    drive click "$MAIN" 1224
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
    head -1 "$TRACE" | grep -qF '{"trace":"quillon-run","version":1,"analyzer":"typical.dat","screens":null,"screen_width":1280,"screen_height":800}' ||
        fail "trace header: $(head -1 "$TRACE")"
    sed -n 2p "$TRACE" | grep -q '^{"t_ms":[0-9]*,"screen":null,"item":".*,"next":.*}$' ||
        fail "no item line in the trace: $(sed -n 2p "$TRACE")"
    ;;
switch-windows)
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-runner.exe" "$GOLDEN/typical.dat"
    MAIN=$(runner_window "인식점 이미지")
    drive click "$MAIN" 1282
    MINI=$(drive wait-window --class '#32770' --child-text typical --timeout 5000) || fail "no mini window"
    [ "$MINI" != "$MAIN" ] || fail "the main window is still shown"
    drive wait-gone "$MAIN" --timeout 1 >/dev/null 2>&1 && fail "main window destroyed"
    screenshot "$MINI" runner-mini
    drive click "$MINI" 1283
    AGAIN=$(runner_window "인식점 이미지")
    [ "$AGAIN" = "$MAIN" ] || fail "another main window"
    # The mini window's stop button ends the run too.
    drive click "$MAIN" 1282
    MINI=$(drive wait-window --class '#32770' --child-text typical --timeout 5000)
    drive click "$MINI" 1224
    wait_exit "$BG_PID"
    [ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE after the mini stop button"
    ;;
*)
    fail "unknown scenario"
    ;;
esac
echo "ok ($SCENARIO)"
