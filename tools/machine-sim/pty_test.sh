#!/bin/sh
# machine-sim over a real pseudo-terminal, driven by the POSIX serial transport.
set -eu
SIM=$1
PROBE=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
"$SIM" --no-stdin --control "$work/ctl" --pty-path "$work/pty" > "$work/out" 2>&1 &
pid=$!
i=0
while [ ! -s "$work/pty" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
pty=$(cat "$work/pty")
echo "hotkey 0x3b" > "$work/ctl"
echo "remote 7" > "$work/ctl"
sleep 0.2
"$PROBE" "$pty" status | tee "$work/probe"
grep -q "serial port index 1" "$work/probe"
grep -q "option record magic 5678 device 20261208 firmware 01.03" "$work/probe"
grep -q "status hotkey 59 remote 7" "$work/probe"
echo "dump $work/state.json" > "$work/ctl"
i=0
while [ ! -s "$work/state.json" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
grep -q '"mode":"normal"' "$work/state.json"
grep -q '"action":"keyDown","key":4' "$work/state.json"
grep -q '"linkTests":1' "$work/state.json"
echo "machine-sim pty test passed"
