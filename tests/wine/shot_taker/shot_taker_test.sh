#!/bin/sh
# shot-taker under Wine with machine-sim on COM1, on an Xvfb screen.
#   shot_taker_test.sh BIN_DIR HOST_TOOLS WIDTHxHEIGHT SCENARIO SCREENSHOT_DIR
# Scenarios:
#   signals   full-screen mode: capture signal -> three files equal to the
#             screen; a second capture within the second replaces the set;
#             other values do nothing; the exit signal ends the tool after
#             the normal-mode command
#   framed    framed-window mode with the cursor over the tool: the set holds
#             the tool's window and the cursor's mask
#   button | esc   the tool ends by its button or by Esc, in normal mode
#   readonly  the screenshot folder cannot be made: the tool says so
#   drag      the window is dragged by its button; a click still presses it
#   hid       the same over HID with the demo machine (QUILLON_MACHINE=sim)
#   hidlink   the tool's real HID code through the test stand-in of hid.dll
#             (and of its setupapi enumeration), against machine-sim: a capture
#             and the exit signal in input reports, normal mode at the end
#   hidunplug the same link; the machine is unplugged while the tool waits for
#             a signal: the tool notices, warns as over the serial link, ends
#   silentexit  the normal-mode command is not answered: a warning, then the end
#   nodevice | refused | nodata   start-up failures: a warning box, then the end
# The tool runs from a folder of its own with start-up data made for the test.
set -eu
BIN=$1 TOOLS=$2 SIZE=$3 SCENARIO=$4 SHOTS=$5
# The scenarios that run the tool's real HID code through the stand-in.
HIDLINK=
case $SCENARIO in hidlink | hidunplug) HIDLINK=1 ;; esac
QUILLON_ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
QUILLON_BUILD=$(cd "$BIN/.." && pwd)
# The per-prefix session lock of the GUI tests (gui_prefix_lock): restarting
# the Wine server would end the programs of another test using this prefix.
. "$QUILLON_ROOT/tests/wine/gui_session.sh"
. "$QUILLON_ROOT/scripts/wine-env"
quillon_wine_prefix
unset DISPLAY
gui_prefix_lock
trap gui_prefix_unlock EXIT
wineserver -k 2>/dev/null || true
wineserver -w
# Without a machine on COM1 of its own, the tool must find no serial machine:
# a port left from an earlier serial test may lead to another test's machine.
gui_forget_serial_terminals
gui_keep_cores
W=$(mktemp -d)
SIM_PID= TOOL_PID= PAINT_PID=
cleanup() {
    gui_core_report
    [ -n "$TOOL_PID" ] && kill "$TOOL_PID" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -n "$PAINT_PID" ] && kill "$PAINT_PID" 2>/dev/null || true
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null || true
    [ -n "${QUILLON_XVFB_PID:-}" ] && kill "$QUILLON_XVFB_PID" 2>/dev/null || true
    [ -n "${SHOTDIR:-}" ] && rm -rf "$SHOTDIR" || true
    rm -rf "$W"
    # The server is gone before the next session may start one.
    wineserver -w 2>/dev/null || true
    gui_prefix_unlock
}
trap cleanup EXIT
fail() {
    echo "FAIL ($SIZE, $SCENARIO): $*" >&2
    [ -f "$W/sim.log" ] && tail -5 "$W/sim.log" >&2
    exit 1
}
drive() { "$WINE" "$BIN/gui-driver.exe" "$@" | tr -d '\r'; }
# Control commands: machine-sim's FIFO, or the demo machine's control file.
control() {
    if [ "$SCENARIO" = hid ]; then
        printf '%s\n' "$@" >> "$W/democtl"
    else
        printf '%s\n' "$@" > "$W/ctl"
    fi
}
machine_mode() {
    rm -f "$W/state.json"
    if [ "$SCENARIO" = hid ]; then
        control "dump $(winepath -w "$W/state.json")"
    else
        control "dump $W/state.json"
    fi
    i=0
    while [ ! -s "$W/state.json" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
    sed -n 's/.*"mode":"\([a-z]*\)".*/\1/p' "$W/state.json"
}
set_count() { ls "$SHOTDIR" 2>/dev/null | wc -l; }

# The tool's own folder (a name that needs Unicode), with start-up data for
# the scenario.
P="$W/화면 찍기 도구"
mkdir -p "$P/Data"
cp "$BIN/shot-taker.exe" "$P/"
case $SCENARIO in
signals | hid | hidlink | hidunplug) sed 's/^1220 0 /1220 1 /' "$QUILLON_ROOT/resources/data/settings.txt" > "$W/settings.txt" ;;
framed) sed 's/^1216 0 /1216 1 /; s/^3272 0 /3272 2 /' "$QUILLON_ROOT/resources/data/settings.txt" > "$W/settings.txt" ;;
*) cp "$QUILLON_ROOT/resources/data/settings.txt" "$W/settings.txt" ;;
esac
"$TOOLS/make-datafiles" "$QUILLON_ROOT/resources/data/texts.txt" "$W/settings.txt" \
    "$QUILLON_ROOT/resources/data/names.txt" "$P/Data" || fail "make-datafiles"
[ "$SCENARIO" = nodata ] && rm "$P/Data/qlconf.bin"

# The display first: machine-sim's registry entry starts the Wine server,
# which takes its screen size from the display it finds.
quillon_display "$SIZE"
# The sets go into the user's screenshot folder, where the editor imports from.
SHOTDIR="$(winepath -u "$("$WINE" cmd /c echo %LOCALAPPDATA% | tr -d '\r')")/Quillon/ImageSave"
rm -rf "$SHOTDIR"
mkdir -p "$(dirname "$SHOTDIR")"
[ "$SCENARIO" = readonly ] && echo "in the way" > "$SHOTDIR"
if [ "$SCENARIO" = hid ]; then
    # The demo machine inside the tool, over HID, following a control file.
    export QUILLON_MACHINE=sim
    : > "$W/democtl"
    QUILLON_MACHINE_CONTROL=$(winepath -w "$W/democtl")
    export QUILLON_MACHINE_CONTROL
fi
if [ -n "$HIDLINK" ]; then
    fail() { echo "FAIL ($SIZE, $SCENARIO): $*" >&2; tail -5 "$W/actions.log" >&2; exit 1; }
    cp "$BIN/../hid_link/hid.dll" "$P/"
    mkfifo "$W/ctl"
    "$TOOLS/machine-sim" --no-stdin --hid-port 0 --hid-port-file "$W/hid-port" --control "$W/ctl" --log-actions \
        > "$W/sim.out" 2> "$W/actions.log" &
    SIM_PID=$!
    i=0
    while [ ! -s "$W/hid-port" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i + 1)); done
    [ -s "$W/hid-port" ] || fail "machine-sim did not start"
    QUILLON_HID_BRIDGE_PORT=$(cat "$W/hid-port")
    export QUILLON_HID_BRIDGE_PORT
    unset QUILLON_MACHINE
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;hid=n,b"
fi
[ "$SCENARIO" = nodevice ] || [ "$SCENARIO" = hid ] || [ -n "$HIDLINK" ] || "$TOOLS/machine-sim" --no-stdin --link-com 1 --wineprefix "$WINEPREFIX" --pty-path "$W/pty" --control "$W/ctl" \
    > "$W/sim.log" 2>&1 &
if [ "$SCENARIO" != nodevice ] && [ "$SCENARIO" != hid ] && [ -z "$HIDLINK" ]; then
    SIM_PID=$!
    i=0
    while [ ! -s "$W/pty" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i + 1)); done
    [ -s "$W/pty" ] || fail "machine-sim did not start"
fi
# The screenshot mode goes unanswered: the link test of the serial probe is
# the only frame the machine answers.
[ "$SCENARIO" = refused ] && control "fault silence 1"

WIDTH=${SIZE%x*} HEIGHT=${SIZE#*x}
convert -size "${WIDTH}x${HEIGHT}" gradient:orange-navy -fill '#20C040' -draw "rectangle 40,40 300,140" \
    "$W/paint.png"
display -window root "$W/paint.png" &
PAINT_PID=$!
sleep 1

"$WINE" "$P/shot-taker.exe" &
TOOL_PID=$!

# Ends the test once the tool has ended with exit code 0.
expect_exit() {
    i=0
    while kill -0 "$TOOL_PID" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    kill -0 "$TOOL_PID" 2>/dev/null && fail "the tool did not end after $1"
    wait "$TOOL_PID" && RC=0 || RC=$?
    TOOL_PID=
    [ "$RC" -eq 0 ] || fail "exit code $RC after $1"
}
# A warning box with TITLE whose text begins with TEXT; Enter closes it.
expect_warning() {
    BOX=$(drive wait-window --class '#32770' --title "$1" --timeout 30000) || fail "no warning box \"$1\""
    drive children "$BOX" > "$W/box.txt"
    grep -q "^65535	Static	.*	$2" "$W/box.txt" || { cat "$W/box.txt"; fail "the box does not say \"$2\""; }
    mkdir -p "$SHOTS"
    drive screenshot "$BOX" "$W/box.bmp" >/dev/null && convert "$W/box.bmp" "$SHOTS/shot-taker-$SCENARIO-box.png"
    drive key "$BOX" enter
    drive wait-gone "$BOX" --timeout 5000 >/dev/null || fail "the box stayed"
}
case $SCENARIO in
nodevice | refused)
    expect_warning "기계와 연결할 수 없습니다" "기계와 연결할 수 없습니다"
    expect_exit "the warning"
    if [ "$SCENARIO" = refused ]; then
        control "fault none"
        [ "$(machine_mode)" = normal ] || fail "the machine left normal mode"
    fi
    echo "ok ($SIZE, $SCENARIO)"
    exit 0
    ;;
nodata)
    expect_warning "기계와 연결할 수 없습니다" "시작 자료 파일을 읽지 못했습니다."
    expect_exit "the warning"
    [ "$(machine_mode)" = normal ] || fail "the machine left normal mode"
    echo "ok ($SIZE, $SCENARIO)"
    exit 0
    ;;
esac
DIALOG=$(drive wait-window --class '#32770' --child-text "$(printf '화면 찍기\n(종료: Esc)')" --timeout 30000) ||
    fail "the tool's window did not appear"
[ "$(machine_mode)" = screenshot ] || fail "the machine is not in screenshot mode"
# The machine takes the mode before the tool has read its acknowledgement and
# placed its window: the window becomes topmost a moment later.
i=0
while [ "$(drive topmost "$DIALOG")" != 1 ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
[ "$(drive topmost "$DIALOG")" = 1 ] || fail "the window is not topmost"
set -- $(drive rect "$DIALOG")
DX=$1 DY=$2 DW=$3 DH=$4
echo "window at $DX,$DY size ${DW}x${DH}"
mkdir -p "$SHOTS"
drive screenshot "$DIALOG" "$W/window.bmp" >/dev/null && convert "$W/window.bmp" "$SHOTS/shot-taker-$SIZE-$SCENARIO.png"

# Waits until the tool has ended; checks its exit code and the machine's mode.
expect_end() {
    drive wait-gone "$DIALOG" --timeout 10000 >/dev/null || fail "the window is still open after $1"
    i=0
    while kill -0 "$TOOL_PID" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    kill -0 "$TOOL_PID" 2>/dev/null && fail "the tool did not end after $1"
    wait "$TOOL_PID" && RC=0 || RC=$?
    TOOL_PID=
    [ "$RC" -eq 0 ] || fail "exit code $RC after $1"
    # (The demo machine ends with the tool: nothing to ask afterwards.)
    [ "$SCENARIO" = hid ] || [ "$(machine_mode)" = normal ] ||
        fail "the machine was not put back into normal mode after $1"
}
# Waits for a complete set (three files, the bitmap whole); prints its base.
wait_set() {
    i=0
    while [ $i -lt 100 ]; do
        BMP=$(ls "$SHOTDIR/"*.bmp 2>/dev/null | tail -1)
        if [ -n "$BMP" ] && [ -f "${BMP%.bmp}.dat" ] && [ "$(set_count)" -ge 3 ]; then
            echo "${BMP%.bmp}"
            return 0
        fi
        sleep 0.1
        i=$((i + 1))
    done
    return 1
}
check_set() { # BASE LEFT TOP CURSOR [skip=X,Y,W,H]
    import -window root -depth 8 "rgb:$W/screen.rgb"
    "$WINE" "$BIN/shot-set-check.exe" "$(winepath -w "$1")" "$(winepath -w "$W/screen.rgb")" "$WIDTH" "$HEIGHT" \
        "$2" "$3" "cursor=$4" ${5:-} | tr -d '\r' > "$W/check.txt"
    cat "$W/check.txt"
    grep -q '^ok$' "$W/check.txt" || fail "the set $1 does not match the screen"
}

case $SCENARIO in
signals)
    xdotool mousemove $((WIDTH - 5)) $((HEIGHT - 5))
    control "signal 1"
    BASE=$(wait_set) || fail "no screenshot set after the capture signal"
    # The tool's window is topmost and part of the screen: wait for the blink to end.
    sleep 0.5
    check_set "$BASE" 0 0 0
    [ "$(set_count)" -eq 3 ] || fail "$(set_count) files after one capture"
    # Two captures within one second write the same three names: the second
    # set replaces the first (a new file under the same name). The two signals
    # go out together just after a second begins; when the captures still
    # fall into two seconds, the round is tried again.
    round=0
    while :; do
        round=$((round + 1))
        [ $round -le 6 ] || fail "no round where two captures fell into one second and the second replaced the set"
        rm -f "$SHOTDIR/"*
        while [ "$(date +%N | cut -c1)" != 0 ]; do sleep 0.01; done
        control "signal 1" "signal 1"
        BASE=$(wait_set) || fail "no set after two captures"
        INODE=$(stat -c %i "$BASE.bmp")
        sleep 1.5
        [ "$(set_count)" -eq 3 ] || { echo "two captures fell into two seconds: $(ls "$SHOTDIR" | tr '\n' ' ')"; continue; }
        # Same file: the second capture did not replace the set, or it was done
        # before the first set was seen (a loaded machine); the round is tried
        # again, and six rounds without a replacement fail.
        [ "$(stat -c %i "$BASE.bmp")" != "$INODE" ] || { echo "no replacement seen in round $round"; continue; }
        # The second capture may have caught the tool's window while it blinked
        # for the first one: the window's rectangle is left out of the comparison.
        check_set "$BASE" 0 0 0 "skip=$DX,$DY,$DW,$DH"
        echo "two captures within one second: one set, replaced"
        break
    done
    # Values that are neither the capture nor the exit signal.
    BEFORE=$(ls -l --time-style=+%s.%N "$SHOTDIR")
    control "signal 0" "signal 3" "signal 0x7F" "signal 0xFE"
    sleep 1.5
    [ "$(ls -l --time-style=+%s.%N "$SHOTDIR")" = "$BEFORE" ] || fail "another signal value wrote files"
    control "signal 2"
    expect_end "the exit signal"
    ;;
framed)
    xdotool mousemove $((DX + DW / 2)) $((DY + 4))
    sleep 0.3
    control "signal 1"
    BASE=$(wait_set) || fail "no screenshot set after the capture signal"
    sleep 0.5
    # The window's own rectangle, clamped to the screen.
    check_set "$BASE" "$DX" "$DY" 1
    grep -q "^bitmap ${DW}x${DH} " "$W/check.txt" || fail "the bitmap is not the framed window"
    drive click "$DIALOG" 1
    expect_end "the button"
    ;;
hid)
    # Signals in the first payload byte of input reports.
    xdotool mousemove $((WIDTH - 5)) $((HEIGHT - 5))
    control "signal 1"
    BASE=$(wait_set) || fail "no screenshot set after the capture signal"
    sleep 1
    [ "$(set_count)" -eq 3 ] || fail "$(set_count) files after one capture"
    check_set "$BASE" 0 0 0
    control "signal 2"
    expect_end "the exit signal"
    ;;
hidlink)
    xdotool mousemove $((WIDTH - 5)) $((HEIGHT - 5))
    control "signal 1"
    BASE=$(wait_set) || fail "no screenshot set after the capture signal"
    sleep 1
    [ "$(set_count)" -eq 3 ] || fail "$(set_count) files after one capture"
    check_set "$BASE" 0 0 0
    control "signal 2"
    expect_end "the exit signal"
    ;;
hidunplug)
    # Unplugged while the tool waits for a signal: it notices within its read
    # retries, says so and ends (the normal-mode command cannot be sent).
    sleep 1
    control "fault unplug"
    expect_warning "기계와 연결할 수 없습니다" "기계와 연결할 수 없습니다"
    drive wait-gone "$DIALOG" --timeout 10000 >/dev/null || fail "the window is still open after the unplug"
    expect_exit "the unplug"
    ;;
button)
    drive click "$DIALOG" 1
    expect_end "the button"
    ;;
drag)
    # Dragging the button moves the window and does not press it; a press
    # without moving does.
    xdotool mousemove $((DX + DW / 2)) $((DY + DH / 2)) mousedown 1
    sleep 0.3
    xdotool mousemove $((DX + DW / 2 - 60)) $((DY + DH / 2 - 50))
    sleep 0.3
    xdotool mousemove $((DX + DW / 2 - 150)) $((DY + DH / 2 - 120)) mouseup 1
    sleep 0.5
    set -- $(drive rect "$DIALOG")
    echo "dragged to $1,$2"
    [ "$1" -eq $((DX - 150)) ] && [ "$2" -eq $((DY - 120)) ] || fail "the window is at $1,$2 after the drag"
    kill -0 "$TOOL_PID" 2>/dev/null || fail "the drag pressed the button"
    # The strip of the window above the button drags it as well.
    X=$1 Y=$2
    xdotool mousemove $((X + DW / 2)) $((Y + 5)) mousedown 1
    sleep 0.3
    xdotool mousemove $((X + DW / 2 + 30)) $((Y + 5 + 20))
    sleep 0.3
    xdotool mousemove $((X + DW / 2 + 50)) $((Y + 5 + 40)) mouseup 1
    sleep 0.5
    set -- $(drive rect "$DIALOG")
    echo "dragged by the strip to $1,$2"
    [ "$1" -eq $((X + 50)) ] && [ "$2" -eq $((Y + 40)) ] || fail "the window is at $1,$2 after the second drag"
    xdotool mousemove $(($1 + DW / 2)) $(($2 + DH / 2)) click 1
    expect_end "a click on the button"
    ;;
silentexit)
    # The normal-mode command goes unanswered: the tool says so and ends anyway.
    control "fault silence"
    drive key "$DIALOG" esc
    expect_warning "기계와 연결할 수 없습니다" "기계와 연결할 수 없습니다"
    drive wait-gone "$DIALOG" --timeout 10000 >/dev/null || fail "the window is still open"
    expect_exit "the unanswered normal-mode command"
    ;;
esc)
    drive key "$DIALOG" esc
    expect_end "Esc"
    ;;
readonly)
    control "signal 1"
    BOX=$(drive wait-window --class '#32770' --title '오류' --timeout 10000) || fail "no message about the failed save"
    drive children "$BOX" | tee "$W/box.txt"
    grep -q "스크린샷을 저장하지 못했습니다" "$W/box.txt" || fail "the message does not say the shot was not saved"
    drive screenshot "$BOX" "$W/box.bmp" >/dev/null && convert "$W/box.bmp" "$SHOTS/shot-taker-save-failed.png"
    drive key "$BOX" enter
    drive wait-gone "$BOX" --timeout 5000 >/dev/null || fail "the message stayed"
    control "signal 2"
    expect_end "the exit signal"
    ;;
*) fail "unknown scenario" ;;
esac
echo "ok ($SIZE, $SCENARIO)"
