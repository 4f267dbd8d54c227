#!/bin/sh
# machine-sim --x11 moves the X pointer where an absolute move action says.
set -eu
SIM=$1
PROBE=$2
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "no Xvfb or xdotool: skipped"; exit 0; }
work=$(mktemp -d)
n=150
while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
trap 'kill "$pid" 2>/dev/null || true; kill "$xpid" 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY=":$n"
i=0
while [ ! -e /tmp/.X11-unix/X$n ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
"$SIM" --no-stdin --x11 --pty-path "$work/pty" > "$work/out" 2>&1 &
pid=$!
i=0
while [ ! -s "$work/pty" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
"$PROBE" "$(cat "$work/pty")" move 1279 333 1280 800
sleep 0.2
where=$(xdotool getmouselocation)
echo "$where"
echo "$where" | grep -q "x:1279 y:333"
echo "machine-sim x11 test passed"
