#!/bin/bash
# End to end: the real game under Xvfb, keys from xdotool, a screenshot checked for the
# field and the snake. Arguments: the build folder and the e2e_check helper.
set -euo pipefail
build=$1
check=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$build/Skins" "$build/Kestrum.hlp" "$build/English.lng" "$build/Russian.lng" "$build/Sounds.dxw" "$work/"
"$check" --make-skin "$work/Skins/kestrum"
export XDG_CONFIG_HOME="$work/config" HOME="$work"
cat > "$work/play.sh" <<SCRIPT
#!/bin/bash
set -eu
cd "$work"
"$build/kestrum" &
game=\$!
xdotool search --sync --name '^Kestrum\$' >/dev/null
sleep 1
xdotool key Left
sleep 0.3
xdotool key Up
sleep 0.3
xdotool key p
sleep 0.3
import -window root "$work/shot.png"
kill -TERM \$game
wait \$game || true
SCRIPT
chmod +x "$work/play.sh"
timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$work/play.sh"
"$check" --verify "$work/shot.png"
