#!/bin/bash
# Where a playing game's time goes: the real program under Xvfb, played for SECONDS at
# 50 ms as program_bench.sh plays it, counted by valgrind's callgrind from the first key
# to the last (start-up left out). Prints the functions with the most instructions, self
# and inclusive, and keeps the profile for callgrind_annotate or kcachegrind.
# Usage: profile.sh BUILD_FOLDER [SECONDS] [OUTPUT_FILE]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-10}
out=${3:-$PWD/callgrind.kestrum.out}

if [ -z "${KESTRUM_BENCH_INSIDE:-}" ]; then
    export KESTRUM_BENCH_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$seconds" "$out"
fi

. "$(dirname "$0")/game_folder.sh"
enter_game_folder "$build"
printf '[options]\nSpeed=50\nSounds=0\nMusic=0\n' > Kestrum.ini
valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out" "$build/kestrum" 2> /dev/null &
game=$!
xdotool search --sync --name '^Kestrum$' > /dev/null
sleep 3
callgrind_control -i on "$game" > /dev/null
xdotool key Up
for _ in $(seq 1 $((seconds / 2))); do
    for k in Left Down Right Up; do printf 'sleep 0.5\nkey %s\n' "$k"; done
done > keys.txt
xdotool keys.txt
callgrind_control -i off "$game" > /dev/null
callgrind_control -d "$game" > /dev/null
sleep 0.5
kill "$game"; wait "$game" 2> /dev/null || true
# The dump asked for above; the one written at the end holds nothing (counting was off).
dump="$out.1"
echo "== Self"
callgrind_annotate "$dump" 2> /dev/null | sed -n '/^Ir /,$p' | sed -n '3,22p'
echo "== Inclusive, the program's own functions"
callgrind_annotate --inclusive=yes "$dump" 2> /dev/null | grep -E 'PROGRAM TOTALS|kestrum::' | head -20
echo "profile kept in $dump"
