#!/bin/bash
# The whole program under Xvfb, RUNS times (5 unless told), medians reported, beside the
# least a Qt window with the same frames costs (bench/reference_window):
#   start-up: to the window being mapped and to the first drawn field (the two programs
#     started by turns);
#   waiting for a key for 10 s: CPU with sound off, and with sound on (SDL's disk driver,
#     measured from 5 s after the start, once the start sound and a silence are over);
#   playing at 50 ms for 10 s (keys from xdotool): CPU and frames shown a second;
#   peak resident memory.
# The reference window then runs at the game's own frame rate, so that both show the same
# number of frames. Budgets are ratios to it where it does the same work, and absolute
# where it does none (waiting).
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

. "$(dirname "$0")/game_folder.sh"
enter_game_folder "$build"
export KESTRUM_TRACE_START=1

# CPU time of every thread of a process, in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%d", sum }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# CPU of process $1 over $2 seconds, in per cent of one core.
cpu_over() {
    local c0 c1 t0 t1
    c0=$(cpu_ns "$1"); t0=$(date +%s%N)
    sleep "$2"
    c1=$(cpu_ns "$1"); t1=$(date +%s%N)
    echo "$c0 $c1 $t0 $t1" | awk '{ print 100 * ($2 - $1) / ($4 - $3) }'
}
# The frames the program has shown so far (it writes the count on SIGUSR1).
frames() {
    local before
    before=$(grep -c 'kestrum: frames' trace.txt || true)
    kill -USR1 "$1"
    for _ in $(seq 1 100); do
        [ "$(grep -c 'kestrum: frames' trace.txt || true)" -gt "$before" ] && break
        sleep 0.01
    done
    awk '/kestrum: frames/ { n = $3 } END { print n + 0 }' trace.txt
}
# Starts a program and waits for its first drawn field; sets $program_pid.
start() {
    printf '[options]\nSpeed=50\nSounds=%s\nMusic=0\n' "$2" > Kestrum.ini
    started=$(date +%s%N)
    "$1" $3 2> trace.txt &
    program_pid=$!
    for _ in $(seq 1 200); do
        grep -q 'field drawn' trace.txt && break
        sleep 0.05
    done
    grep -q 'field drawn' trace.txt || { echo "the program did not show its field"; cat trace.txt; exit 1; }
}
stop() { kill -TERM "$program_pid"; wait "$program_pid" 2> /dev/null || true; }
moment() { awk -v what="$1" '$0 ~ "kestrum: " what { print $NF }' trace.txt; }

# Start-up of the game and of the bare window, by turns, so that a machine that slows down
# or speeds up meanwhile weighs on both alike: 4 x RUNS + 1 pairs, into TAG.mapped and
# TAG.drawn.
startups() {
    : > game.mapped; : > game.drawn; : > bare.mapped; : > bare.drawn
    for _ in $(seq 1 $((4 * runs + 1))); do
        for tag in game bare; do
            [ $tag = game ] && start "$build/kestrum" 0 "" || start "$build/bench/reference_window" 0 ""
            echo "$(( ($(moment mapped) - started) / 1000 ))" | awk '{ print $1 / 1000 }' >> "$tag.mapped"
            echo "$(( ($(moment 'field drawn') - started) / 1000 ))" | awk '{ print $1 / 1000 }' >> "$tag.drawn"
            stop
            sleep 0.2
        done
    done
    echo "start-up, $((4 * runs + 1)) starts each: game $(median < game.drawn) ms, bare window $(median < bare.drawn) ms to the first drawn field"
}

# measure PROGRAM TAG [FRAME_MS]: RUNS runs, one figure a line in TAG.idle, TAG.play, ...
measure() {
    local program=$1 tag=$2 frame_ms=${3:-} f0 f1
    for file in idle quiet play fps rss; do : > "$tag.$file"; done
    for run in $(seq 1 "$runs"); do
        start "$program" 0 "$frame_ms"
        wid=$(xdotool search --sync --name '^Kestrum$' | head -1)
        sleep 1
        cpu_over "$program_pid" "$seconds" >> "$tag.idle"

        # Play: a key starts the game, then a turn every half second runs the snake round a
        # square of ten cells; after a death the next key starts the next attempt. One
        # xdotool for all the keys, so that the program sees one client, not forty.
        xdotool windowfocus --sync "$wid" 2> /dev/null || true
        xdotool key Up
        for _ in $(seq 1 $((seconds / 2))); do
            for k in Left Down Right Up; do printf 'sleep 0.5\nkey %s\n' "$k"; done
        done > keys.txt
        xdotool keys.txt &
        keys=$!
        f0=$(frames "$program_pid")
        cpu_over "$program_pid" "$seconds" >> "$tag.play"
        f1=$(frames "$program_pid")
        echo "$f0 $f1 $seconds" | awk '{ print ($2 - $1) / $3 }' >> "$tag.fps"
        wait "$keys" || true
        awk '/VmHWM/ { print $2 / 1024 }' /proc/"$program_pid"/status >> "$tag.rss"
        stop

        # Waiting with sound on, through SDL's disk driver (the bare window has no sound).
        if [ "$tag" = game ]; then
            SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null start "$program" 1 ""
            sleep 5
            cpu_over "$program_pid" "$seconds" >> "$tag.quiet"
            stop
        fi
        echo "$tag run $run:" \
             "CPU waiting $(tail -1 "$tag.idle") %$( [ "$tag" = game ] && echo ", with sound $(tail -1 "$tag.quiet") %")," \
             "playing $(tail -1 "$tag.play") % at $(tail -1 "$tag.fps") frames/s, peak RSS $(tail -1 "$tag.rss") MiB"
    done
}

startups
measure "$build/kestrum" game
game_fps=$(median < game.fps)
frame_ms=$(awk -v f="$game_fps" 'BEGIN { ms = f > 0 ? int(1000 / f + 0.5) : 50; print ms < 1 ? 1 : ms }')
echo "the game showed $game_fps frames a second: the bare window repaints every $frame_ms ms"
measure "$build/bench/reference_window" bare "$frame_ms"

over=0
# row NAME FILE UNIT KIND LIMIT: KIND "ratio" judges the game's median against the bare
# window's times LIMIT, "below" the game's median against LIMIT, "" judges nothing.
row() {
    local game bare ratio result=-
    game=$(median < "game.$2")
    bare=$( [ -s "bare.$2" ] && median < "bare.$2" || echo "")
    ratio=$( [ -n "$bare" ] && awk -v g="$game" -v b="$bare" 'BEGIN { if (b > 0) printf "%.2f", g / b; else print "-" }' || echo "-")
    case $4 in
    ratio) result=ok; awk -v r="$ratio" -v l="$5" 'BEGIN { exit !(r == "-" || r > l) }' && { result=OVER; over=1; } ;;
    below) result=ok; awk -v v="$game" -v l="$5" 'BEGIN { exit !(v >= l) }' && { result=OVER; over=1; } ;;
    esac
    local budget=""
    [ "$4" = ratio ] && budget="ratio <= $5"
    [ "$4" = below ] && budget="< $5 $3"
    printf '%-38s %10.3f %-8s %12s %-8s %6s  %-16s %s\n' "$1" "$game" "$3" "${bare:--}" "$( [ -n "$bare" ] && echo "$3")" "$ratio" "$budget" "$result"
}
echo
echo "Medians of $runs runs ($(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo), Xvfb 1024x768)"
printf '%-38s %19s %21s %6s  %-16s %s\n' "Figure" "Kestrum" "Bare Qt window" "Ratio" "Budget" "Result"
row "Start to window mapped" mapped ms "" ""
row "Start to first drawn field" drawn ms ratio 1.1
row "CPU waiting, sound off (${seconds} s)" idle % below 0.1
row "CPU waiting, sound on (${seconds} s)" quiet % below 0.1
row "Frames shown while playing" fps "/s" "" ""
row "CPU playing at 50 ms (${seconds} s)" play % ratio 1.3
row "Peak resident memory" rss MiB below 60
if [ "$check" = "--check-budgets" ] && [ "$over" = 1 ]; then
    echo "a figure is over its budget"; exit 1
fi
exit 0
