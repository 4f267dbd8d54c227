#!/bin/sh
# Every program started at DPI on a 1280 x 800 screen: every visible top-level
# window lies within the work area, and a window that had to shrink scrolls.
#   dpi_fit_test.sh BIN_DIR HOST_TOOLS SCREENSHOT_DIR DPI
set -eu
BIN=$1 HOST_TOOLS=$2 SHOTS=$3 DPI=$4
. "$(dirname "$0")/../gui_session.sh"
gui_session_start "$BIN" 1280x800
gui_work_start
GOLDEN=$QUILLON_ROOT/tests/golden
fail() { GUI_FAILED=1; echo "FAIL (dpi $DPI): $*" >&2; exit 1; }

# The prefix is shared by the other GUI tests: the DPI goes back to the default at the end.
set_dpi() {
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
}
# A program left open by a failure is ended first: waiting for the Wine server would not return.
dpi_end() {
    for pid in $BG_PIDS; do kill "$pid" 2>/dev/null || true; done
    set_dpi 96
    gui_work_end
}
trap dpi_end EXIT
set_dpi "$DPI"
set -- $(drive workarea)
WL=$1 WT=$2 WR=$3 WB=$4
[ "$5" = "$DPI" ] || fail "the screen has $5 dots per inch"
echo "work area $WL,$WT - $WR,$WB at $DPI DPI"

# Every visible top-level window with a size lies within the work area.
all_within() {
    label=$1
    drive windows > "$WORK/windows"
    seen=0
    while IFS="$(printf '\t')" read -r handle rect title; do
        set -- $rect
        [ "$3" -gt "$1" ] && [ "$4" -gt "$2" ] || continue
        seen=$((seen + 1))
        echo "$label: $title at $rect"
        [ "$1" -ge "$WL" ] && [ "$2" -ge "$WT" ] && [ "$3" -le "$WR" ] && [ "$4" -le "$WB" ] ||
            fail "$label: \"$title\" at $rect lies outside the work area $WL $WT $WR $WB"
    done < "$WORK/windows"
    [ "$seen" -gt 0 ] || fail "$label: no window"
}

# control-panel: the start notice, then the main dialog with each page.
QUILLON_MACHINE=sim wine_bg "$BIN/control-panel.exe"
CONTROL=$BG_PID
NOTICE=$(drive wait-window --class '#32770' --title "알림" --timeout 20000) || fail "no start notice"
all_within "control-panel notice"
drive key "$NOTICE" enter
MAIN=$(drive wait-window --class '#32770' --child-text "환경 설정" --timeout 20000) || fail "no main dialog"
sleep 1
for page in 1002 1003 1004 1005 1001; do
    drive click "$MAIN" $page
    sleep 1
    all_within "control-panel page $page"
done
screenshot "$MAIN" "dpi-$DPI-control-panel"
drive click "$MAIN" 1010
wait_exit "$CONTROL"

# analyzer-runner: the main status window, then the mini window.
QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-runner.exe" "$GOLDEN/typical.dat"
RUNNER=$BG_PID
MAIN=$(drive wait-window --class '#32770' --child-text "인식점 이미지" --timeout 20000) || fail "no runner window"
sleep 1
all_within "analyzer-runner main"
screenshot "$MAIN" "dpi-$DPI-runner-main"
drive click "$MAIN" 1282
MINI=$(drive wait-window --class '#32770' --child-text typical --timeout 5000) || fail "no mini window"
sleep 0.5
all_within "analyzer-runner mini"
drive click "$MINI" 1224
wait_exit "$RUNNER"

# analyzer-editor: the main panel and the main window with an analyzer open.
QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe" "$GOLDEN/typical.dat"
EDITOR=$BG_PID
BOX=$(drive wait-window --class '#32770' --child-contains "기계매크로를 기계로 저장하시겠습니까?" --timeout 30000) ||
    fail "no macro question"
all_within "analyzer-editor question"
drive click "$BOX" 7
PANEL=$(drive wait-window --class '#32770' --child-contains "자동저장" --timeout 30000) || fail "no editor panel"
sleep 1
all_within "analyzer-editor"
screenshot "$PANEL" "dpi-$DPI-editor-panel"
drive close "$PANEL"
BOX=$(drive wait-window --class '#32770' --child-contains "이미지 분석 편집기를 종료하시겠습니까?" --timeout 20000) ||
    fail "no closing question"
drive click "$BOX" 6
wait_exit "$EDITOR"

# shot-taker with the demo machine: its window, ended by Esc.
QUILLON_MACHINE=sim wine_bg "$BIN/shot-taker.exe"
SHOT=$BG_PID
DIALOG=$(drive wait-window --class '#32770' --child-text "$(printf '화면 찍기\n(종료: Esc)')" --timeout 30000) ||
    fail "no shot-taker window"
sleep 1
all_within "shot-taker"
drive key "$DIALOG" esc
wait_exit "$SHOT"

# manual-launcher: its dialog (placed above the screen's middle).
wine_bg "$BIN/manual-launcher.exe"
LAUNCHER=$BG_PID
DIALOG=$(drive wait-window --class '#32770' --child-text '설치' --timeout 30000) || fail "no launcher dialog"
sleep 0.5
all_within "manual-launcher"
screenshot "$DIALOG" "dpi-$DPI-launcher"
drive click "$DIALOG" 2
wait_exit "$LAUNCHER"
echo "ok (dpi $DPI)"
