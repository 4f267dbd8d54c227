# The steps of the end-to-end runs that make an analyzer through
# analyzer-editor's windows and run it against the simulated machine
# (sourced after gui_session.sh, gui_session_start and gui_work_start; the
# script defines fail).

windows_path() { echo "Z:$1" | tr / '\\'; }

answer_box() {
    BOX=$(drive wait-window --class '#32770' --child-contains "$1" --timeout 20000) || fail "no box \"$1\""
    drive click "$BOX" "${2:-1}"
    drive wait-gone "$BOX" --timeout 10000 || fail "box \"$1\" stays"
}

# The settings copy and data file that the screenshot tool writes beside a
# bitmap (BASE.bmp), for a shot of the whole screen (the flag at 1220): the
# runner then sends points as they are on the screenshot.
shot_files_beside() {
    head -c 10240 /dev/zero > "$1.cfg"
    printf '\001' | dd of="$1.cfg" bs=1 seek=1220 conv=notrunc 2>/dev/null
    head -c 12 /dev/zero > "$1.dat"
}

# Starts the editor (EDITOR_PID, PANEL, SIDE) and imports the screenshot BMP.
editor_with_screenshot() {
    QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe"
    EDITOR_PID=$BG_PID
    PANEL=$(drive wait-window --class '#32770' --child-contains "자동저장" --timeout 30000) || fail "no main panel"
    SIDE=$(drive wait-window --class '#32770' --title "편집 도구" --timeout 10000) || fail "no side panel"
    drive click "$SIDE" 1014
    DIALOG=$(drive wait-window --title "분석기로 불러올 이미지를 선택하세요" --timeout 20000) || fail "no import dialog"
    drive settext "$DIALOG" 1148 "$(windows_path "$1")"
    drive click "$DIALOG" 1
    SEEN=$(lines_become "$SIDE" 1205 "불러온 이미지 01") || fail "screenshots: $SEEN"
}

# Cuts a WIDTH x HEIGHT recognition image centred on (X, Y) of the shown
# screenshot with Ctrl; the image list must then read IMAGES.
#   cut_image X Y WIDTH HEIGHT IMAGES
cut_image() {
    xdotool mousemove "$1" "$2" click 1
    sleep 0.5
    xdotool key ctrl
    CAPTURE=$(drive wait-window --class '#32770' --child-text "찍기(Enter)" --timeout 10000) || fail "no capture dialog"
    drive settext "$CAPTURE" 1065 "$3"
    drive settext "$CAPTURE" 1066 "$4"
    drive key "$CAPTURE" enter
    SEEN=$(lines_become "$SIDE" 1165 "$5") || fail "images: $SEEN"
}

# The commands from the mouse dialog: move onto IMAGE, then a left click.
move_onto_and_click() {
    drive click "$PANEL" 1057
    DIALOG=$(drive wait-window --class '#32770' --title "마우스 설정" --timeout 10000) || fail "no mouse dialog"
    drive click "$DIALOG" 2106
    drive settext "$DIALOG" 1165 "$1"
    drive click "$DIALOG" 6
    SEEN=$(lines_become "$PANEL" 1007 "[$1]이미지 위치로 이동한다.") || fail "commands: $SEEN"
    drive click "$PANEL" 1057
    DIALOG=$(drive wait-window --class '#32770' --title "마우스 설정" --timeout 10000) || fail "no mouse dialog"
    drive click "$DIALOG" 6
    drive wait-gone "$DIALOG" --timeout 10000 || fail "the click was not added"
    [ "$(drive lines "$PANEL" 1007 | wc -l)" = 2 ] || fail "commands: $(drive lines "$PANEL" 1007)"
}

# Stores the item as a head item NAME; the item list must then read ITEMS.
store_head_item() {
    drive settext "$PANEL" 1004 "$1"
    drive click "$PANEL" 1182
    drive click "$PANEL" 1068
    SEEN=$(lines_become "$PANEL" 1008 "$2") || fail "items: $SEEN"
}

# Saves the analyzer as FILE and closes the editor.
save_and_close_editor() {
    drive command "$PANEL" 40007
    DIALOG=$(drive wait-window --title "현재 분석기 내용을 파일로 저장하기" --timeout 20000) || fail "no save dialog"
    drive settext "$DIALOG" 1148 "$(windows_path "$1")"
    drive click "$DIALOG" 1
    answer_box "파일 저장을 완료 했습니다."
    [ -s "$1" ] || fail "no analyzer file"
    drive close "$PANEL"
    answer_box "이미지 분석 편집기를 종료하시겠습니까?" 6
    wait_exit "$EDITOR_PID" 150
    [ "$EXIT_CODE" = 0 ] || fail "editor exit code $EXIT_CODE"
}


# Runs the analyzer FILE (its window shows NAME) until the machine logged
# ACTION or TENTHS tenths of a second passed, then stops it with the hotkey.
# RUN_LOG names the part of the action log this run wrote.
#   run_analyzer FILE NAME ACTION TENTHS
run_analyzer() {
    RUN_LOG="$WORK/run-$(date +%s%N).log"
    run_from=$(($(wc -l < "$WORK/actions.log") + 1))
    wine_bg "$BIN/analyzer-runner.exe" "$(windows_path "$1")"
    RUNNER_PID=$BG_PID
    RUNNER=$(drive wait-window --class '#32770' --child-text "$2" --timeout 60000) || fail "no runner window"
    send "hotkey 1" # the start hotkey
    i=0
    until tail -n +$run_from "$WORK/actions.log" | grep -q "$3" || [ $i -ge "$4" ]; do sleep 0.1; i=$((i + 1)); done
    send "hotkey 2" # the stop hotkey
    wait_exit "$RUNNER_PID" 200
    [ "$EXIT_CODE" = 0 ] || fail "the runner did not end after the stop hotkey ($EXIT_CODE)"
    tail -n +$run_from "$WORK/actions.log" > "$RUN_LOG"
}

# The point (X, Y) of the whole WIDTH x HEIGHT screen in the machine's
# absolute scale, as the action log writes it.
#   device_point X Y WIDTH HEIGHT
device_point() {
    echo "\"deviceX\":$(($1 * 19200 / $3 + 1)),\"deviceY\":$(($2 * 12000 / $4 + 1))"
}
