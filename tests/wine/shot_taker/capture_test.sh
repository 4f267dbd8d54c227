#!/bin/sh
# Screen capture under Wine, checked against the X screen.
#   capture_test.sh BIN_DIR WIDTHxHEIGHT[xDEPTH] directdraw|primarylock|legacy SCREENSHOT_DIR
# Paints a picture on the root window, takes a full-screen set with the
# capture of shot-taker (DirectDraw first, or always GDI with the legacy
# flag), grabs the same screen with ImageMagick `import`, and has
# shot-set-check compare the two pixel by pixel.
set -eu
BIN=$1 SIZE=$2 HOW=$3 SHOTS=$4
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
DEPTH=24
case $SIZE in *x*x*) DEPTH=${SIZE##*x}; SIZE=${SIZE%x*} ;; esac
quillon_display "$SIZE" "$DEPTH"
WORK=$(mktemp -d)
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [ -n "${PAINT_PID:-}" ] && kill "$PAINT_PID" 2>/dev/null || true
    kill "$QUILLON_XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
    gui_prefix_unlock
}
trap cleanup EXIT
fail() { echo "FAIL ($SIZE, $HOW): $*" >&2; exit 1; }

W=${SIZE%x*} H=${SIZE#*x}
# Colours in every channel and sharp edges: a shifted row or a swapped
# channel shows.
convert -size "${W}x${H}" gradient:red-blue \( -size "${W}x${H}" gradient:lime-black -rotate 90 -resize "${W}x${H}!" \) \
    -compose plus -composite -fill '#FFFF00' -draw "rectangle 10,10 120,60" \
    -fill '#123456' -draw "circle $((W / 2)),$((H / 2)) $((W / 2 + 40)),$((H / 2))" "$WORK/paint.png"
display -window root "$WORK/paint.png" &
PAINT_PID=$!
sleep 1

case $HOW in
directdraw) FLAGS="" ;;
legacy) FLAGS="legacy" ;;
primarylock) FLAGS="nooffscreen" ;;
*) fail "unknown way $HOW" ;;
esac
OUT=$("$WINE" "$BIN/shot-capture-probe.exe" "$(winepath -w "$WORK")" full $FLAGS repeat 2 | tr -d '\r')
printf '%s\n' "$OUT"
printf '%s\n' "$OUT" | grep -q '^method=' || fail "no set written"
import -window root -depth 8 "rgb:$WORK/screen.rgb"
METHOD=$(printf '%s\n' "$OUT" | sed -n 's/^method=\([0-9]\).*/\1/p' | tail -1)
case "$HOW:$METHOD" in
directdraw:0 | primarylock:1 | legacy:2) ;;
*) fail "capture used method $METHOD" ;;
esac
printf '%s\n' "$OUT" | grep -q "width=$((W - 1)) height=$((H - 1)) bits=$((DEPTH == 24 ? 32 : DEPTH)) " ||
    fail "full screen is not $((W - 1)) x $((H - 1)) at the screen's depth"
TOLERANCE=0
[ "$DEPTH" = 16 ] && TOLERANCE=8

for BMP in $(printf '%s\n' "$OUT" | sed -n 's/.*bitmap=//p'); do
    BASE=$(winepath -u "$BMP" 2>/dev/null)
    BASE=${BASE%.bmp}
    "$WINE" "$BIN/shot-set-check.exe" "$(winepath -w "$BASE")" "$(winepath -w "$WORK/screen.rgb")" "$W" "$H" 0 0 \
        "tolerance=$TOLERANCE" | tr -d '\r' | tee "$WORK/check.txt"
    grep -q '^ok$' "$WORK/check.txt" || fail "set $BASE does not match the screen"
done
mkdir -p "$SHOTS"
convert "$BASE.bmp" "$SHOTS/shot-capture-$SIZE-$HOW.png"
echo "ok ($SIZE, $HOW, method $METHOD)"
