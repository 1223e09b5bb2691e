#!/bin/bash
# Data safety: the real program is killed (kill -9) at random moments while it writes its
# settings and its hall of fame, many times; "Kestrum.ini" must always read whole, with
# either the old or the new values and every line it did not write kept.
# Arguments: the build folder and the number of rounds.
set -euo pipefail
build=$1
rounds=${2:-25}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$build/Skins" "$build/English.lng" "$build/Sounds.dxw" "$work/"
cat > "$work/Kestrum.ini" <<'INI'
; kept by hand
[options]
Speed=100
Keep=me
[fame]
Name1=Ann
Score1=77
INI
cat > "$work/round.sh" <<SCRIPT
#!/bin/bash
cd "$work"
export SDL_AUDIODRIVER=dummy
for r in \$(seq 1 $rounds); do
    "$build/kestrum" > /dev/null 2>&1 &
    game=\$!
    xdotool search --sync --name '^Kestrum\$' > /dev/null
    # Each Ctrl+S and Ctrl+F2 writes the settings; F2 after a score writes the fame.
    for k in \$(seq 1 12); do xdotool key ctrl+s ctrl+F1 ctrl+F2; done &
    sleep 0.\$((RANDOM % 9 + 1))
    kill -9 \$game
    wait \$game 2> /dev/null || true
    wait
    grep -q '^\[options\]' Kestrum.ini || { echo "round \$r: no options section"; cat Kestrum.ini; exit 1; }
    grep -q '^; kept by hand' Kestrum.ini || { echo "round \$r: the comment is gone"; exit 1; }
    grep -q '^Keep=me' Kestrum.ini || { echo "round \$r: the unknown key is gone"; exit 1; }
    grep -q '^Name1=Ann' Kestrum.ini || { echo "round \$r: the hall of fame is gone"; exit 1; }
    grep -Eq '^Speed=(100|150)\$' Kestrum.ini || { echo "round \$r: a broken speed"; cat Kestrum.ini; exit 1; }
done
echo "$rounds rounds killed while writing: the settings file read whole every time"
SCRIPT
chmod +x "$work/round.sh"
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" "$work/round.sh"
