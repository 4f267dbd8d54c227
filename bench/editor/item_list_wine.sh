#!/bin/sh
# Times analyzer-editor's item list under Wine (not a test: figures only).
#   item_list_wine.sh BIN_DIR HOST_TOOLS
# 1. "불러 오기" of an analyzer of 500 items: from the file dialog's close to
#    the list painted with its last row (target: 1 s).
# 2. "위로 이동" on one item of 5,000 with the item list focused: the
#    command handled and the list repainted (target: 100 ms).
set -eu
BIN=$(cd "$1" && pwd) HOST_TOOLS=$2
QUILLON_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$QUILLON_ROOT/tests/wine/gui_session.sh"
gui_session_start "$BIN" 1280x800
WORK=$(mktemp -d)
trap 'gui_session_end; rm -rf "$WORK"' EXIT
winpath() { echo "Z:$1" | tr / '\\'; }

"$HOST_TOOLS/make-demo-analyzer" "$WORK/items500.dat" --flow links --items 497 >/dev/null
"$HOST_TOOLS/make-demo-analyzer" "$WORK/items5000.dat" --flow links --items 4997 >/dev/null

# Opens FILE through the menu; prints the milliseconds from the dialog's
# close to the list repainted.
timed_open() {
    drive timed-command "$PANEL" 40006 1008 > "$WORK/open.out" &
    OPENER=$!
    DIALOG=$(drive wait-window --title "만들어진 분석기 불러오기" --timeout 20000) || fail "no open dialog"
    drive settext "$DIALOG" 1148 "$(winpath "$1")"
    START=$(drive timed-click "$DIALOG" 1)
    wait "$OPENER"
    END=$(cut -d' ' -f2 "$WORK/open.out" | tr -d '\r')
    echo $((END - START))
}

QUILLON_MACHINE=sim wine_bg "$BIN/analyzer-editor.exe"
PANEL=$(drive wait-window --class '#32770' --child-contains "자동저장" --timeout 30000) || fail "no main panel"
sleep 2
for run in 1 2 3; do
    MS=$(timed_open "$WORK/items500.dat")
    ROWS=$(drive lines "$PANEL" 1008 | wc -l)
    echo "open 500 items, run $run: $MS ms ($ROWS rows)"
done

MS=$(timed_open "$WORK/items5000.dat")
echo "open 5000 items: $MS ms ($(drive lines "$PANEL" 1008 | wc -l) rows)"
# The item list takes the focus with a real click on its first row.
set -- $(drive children "$PANEL" | awk -F'\t' '$1 == 1008 { print $3; exit }')
xdotool mousemove $(($1 + $3 / 2)) $(($2 + 6)) click 1
sleep 0.5
xdotool key Down Down Down
sleep 0.5
# Each figure includes sending the command from another process, so a
# command the panel ignores is timed too: on a loaded machine that round
# trip dominates. Ten of each, alternating up and down; minimum and median.
summary() { sort -n | awk '{ v[NR] = $1 } END { printf "min %d ms, median %d ms\n", v[1], v[int((NR + 1) / 2)] }'; }
i=0
while [ $i -lt 10 ]; do drive timed-command "$PANEL" 9999 1008 | cut -d' ' -f1; i=$((i + 1)); done > "$WORK/noop"
i=0
while [ $i -lt 10 ]; do
    drive timed-command "$PANEL" $((1010 + i % 2)) 1008 | cut -d' ' -f1
    i=$((i + 1))
done > "$WORK/move"
echo "no-op command (round trip): $(summary < "$WORK/noop")"
echo "move in 5000 items: $(summary < "$WORK/move")"
