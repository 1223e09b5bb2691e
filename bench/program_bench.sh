#!/bin/bash
# The whole program under Xvfb, RUNS times (5 unless told), medians reported: time from
# start to the window being mapped and to the first drawn field, CPU over 10 s waiting
# for a key, CPU over 10 s of play at 50 ms (keys from xdotool), peak resident memory;
# then the same for bench/reference_window, the least a Qt window with such frames costs.
# Usage: program_bench.sh BUILD_FOLDER [RUNS] [--check-budgets]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-5}
check=${3:-}
seconds=10

if [ -z "${KESTRUM_BENCH_INSIDE:-}" ]; then
    export KESTRUM_BENCH_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$runs" "$check"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in Skins Kestrum.hlp English.lng Russian.lng Sounds.dxw Sounds levels; do
    [ -e "$build/$f" ] && ln -s "$build/$f" "$work/$f"
done
export XDG_CONFIG_HOME="$work/config" HOME="$work" SDL_AUDIODRIVER=dummy
cd "$work"

# CPU time of every thread of a process, in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%d", sum }'; }

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure PROGRAM TAG: RUNS runs, one figure a line in TAG.mapped, TAG.drawn, ...
measure() {
    local program=$1 tag=$2
    : > "$tag.mapped"; : > "$tag.drawn"; : > "$tag.idle"; : > "$tag.play"; : > "$tag.rss"
    for run in $(seq 1 "$runs"); do
        printf '[options]\nSpeed=50\nSounds=0\nMusic=0\n' > Kestrum.ini
        start=$(date +%s%N)
        KESTRUM_TRACE_START=1 "$program" 2> trace.txt &
        game=$!
        for _ in $(seq 1 200); do
            grep -q 'field drawn' trace.txt && break
            sleep 0.05
        done
        mapped=$(awk '/kestrum: mapped/ { print $3 }' trace.txt)
        drawn=$(awk '/kestrum: field drawn/ { print $4 }' trace.txt)
        if [ -z "$mapped" ] || [ -z "$drawn" ]; then
            echo "run $run: the program did not show its field"; cat trace.txt; exit 1
        fi
        echo "$(( (mapped - start) / 1000 ))" | awk '{ print $1 / 1000 }' >> "$tag.mapped"
        echo "$(( (drawn - start) / 1000 ))" | awk '{ print $1 / 1000 }' >> "$tag.drawn"
        wid=$(xdotool search --sync --name '^Kestrum$' | head -1)

        # Waiting for a key, as after the start.
        sleep 1
        c0=$(cpu_ns "$game"); t0=$(date +%s%N)
        sleep "$seconds"
        c1=$(cpu_ns "$game"); t1=$(date +%s%N)
        echo "$c0 $c1 $t0 $t1" | awk '{ print 100 * ($2 - $1) / ($4 - $3) }' >> "$tag.idle"

        # Play: a key starts the game, then a turn every half second runs the snake round a
        # square of ten cells; after a death the next key starts the next attempt.
        xdotool windowfocus --sync "$wid" 2> /dev/null || true
        xdotool key Up
        c0=$(cpu_ns "$game"); t0=$(date +%s%N)
        # One xdotool for all the keys, so that the game sees one client, not forty.
        for _ in $(seq 1 $((seconds / 2))); do
            for k in Left Down Right Up; do printf 'sleep 0.5\nkey %s\n' "$k"; done
        done > keys.txt
        xdotool keys.txt &
        keys=$!
        sleep "$seconds"
        c1=$(cpu_ns "$game"); t1=$(date +%s%N)
        echo "$c0 $c1 $t0 $t1" | awk '{ print 100 * ($2 - $1) / ($4 - $3) }' >> "$tag.play"
        wait "$keys" || true
        awk '/VmHWM/ { print $2 / 1024 }' /proc/"$game"/status >> "$tag.rss"
        kill -TERM "$game"; wait "$game" 2> /dev/null || true
        echo "$tag run $run: mapped $(tail -1 "$tag.mapped") ms, field $(tail -1 "$tag.drawn") ms," \
             "CPU waiting $(tail -1 "$tag.idle") %, playing $(tail -1 "$tag.play") %, peak RSS $(tail -1 "$tag.rss") MiB"
    done
}

measure "$build/kestrum" game
measure "$build/bench/reference_window" bare

over=0
row() {  # name file unit budget
    local game bare result=ok
    game=$(median < "game.$2"); bare=$(median < "bare.$2")
    if [ -n "$4" ] && awk -v v="$game" -v b="$4" 'BEGIN { exit !(v >= b) }'; then result=OVER; over=1; fi
    [ -z "$4" ] && result=-
    printf '%-36s %10.3f %-4s %12.3f %-4s %9s %s\n' "$1" "$game" "$3" "$bare" "$3" "${4:+< $4}" "$result"
}
echo
echo "Medians of $runs runs ($(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), Xvfb 1024x768)"
printf '%-36s %15s %17s %9s %s\n' "Figure" "Kestrum" "Bare Qt window" "Budget" "Result"
row "Start to window mapped" mapped ms ""
row "Start to first drawn field" drawn ms 60
row "CPU waiting for a key (${seconds} s)" idle % 0.1
row "CPU playing at 50 ms (${seconds} s)" play % 0.5
row "Peak resident memory" rss MiB 60
if [ "$check" = "--check-budgets" ] && [ "$over" = 1 ]; then
    echo "a figure is over its budget"; exit 1
fi
