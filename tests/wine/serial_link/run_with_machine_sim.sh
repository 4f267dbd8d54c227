#!/bin/sh
# Starts machine-sim, links its terminal as COM1 of the Wine prefix, runs the
# Windows check under Wine and stops machine-sim.
#   run_with_machine_sim.sh MACHINE_SIM WINDOWS_EXE WINE_RUN [args...]
set -eu
SIM=$1
EXE=$2
WINE_RUN=$3
shift 3
[ -x "$SIM" ] || { echo "machine-sim not found at $SIM (build the native preset first)" >&2; exit 1; }
. "$(dirname "$WINE_RUN")/wine-env"
quillon_wine_prefix
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
"$SIM" --no-stdin --link-com 1 --wineprefix "$WINEPREFIX" --pty-path "$work/pty" --control "$work/ctl" \
    > "$work/sim.log" 2>&1 &
pid=$!
i=0
while [ ! -s "$work/pty" ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i + 1)); done
[ -s "$work/pty" ] || { echo "machine-sim did not start" >&2; cat "$work/sim.log" >&2; exit 1; }
echo "machine-sim on $(cat "$work/pty") as COM1 of $WINEPREFIX"
set +e
"$WINE_RUN" "$EXE" "$@"
rc=$?
set -e
echo "dump $work/state.json" > "$work/ctl"
i=0
while [ ! -s "$work/state.json" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
if [ -s "$work/state.json" ]; then
    # The machine's own view: how many link tests and frames it saw.
    grep -o '"mode":"[a-z]*","frames":[0-9]*,"linkTests":[0-9]*' "$work/state.json" || true
    grep -o '"edit":\[[^]]*\]' "$work/state.json" || true
fi
exit $rc
