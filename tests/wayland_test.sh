#!/bin/bash
# The game on Qt's own Wayland platform under weston's headless compositor (its desktop
# shell puts a panel at the top, and Qt draws the window's title bar itself): the window,
# title bar included, and the whole field with the legend are on the screen.
#   wayland_test.sh BUILD CHECK [WIDTHxHEIGHT]
set -euo pipefail
build=$1 check=$2 size=${3:-1024x768}
work=$(mktemp -d)
runtime=$(mktemp -d)
chmod 700 "$runtime"
fail() { echo "FAIL: $*" >&2; exit 1; }
cleanup() {
    [ -z "${game:-}" ] || kill "$game" 2>/dev/null || true
    [ -z "${compositor:-}" ] || kill "$compositor" 2>/dev/null || true
    wait 2>/dev/null || true
    [ -z "${KESTRUM_SHOTS:-}" ] || { mkdir -p "$KESTRUM_SHOTS" && cp "$work"/*.png "$KESTRUM_SHOTS/" 2>/dev/null || true; }
    rm -rf "$work" "$runtime"
}
trap cleanup EXIT
cp -r "$build/Skins" "$build/Kestrum.hlp" "$build/English.lng" "$build/Russian.lng" "$build/Sounds.dxw" "$work/"
"$check" --make-skin "$work/Skins/kestrum"
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=kestrum-test HOME=$work XDG_CONFIG_HOME=$work/config
# Screenshots need weston's pixel renderer and its debugging protocols.
weston --backend=headless-backend.so --use-pixman --width="${size%x*}" --height="${size#*x}" \
    --socket="$WAYLAND_DISPLAY" --idle-time=0 --debug >"$work/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 100); do
    [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
    sleep 0.1
done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || { cat "$work/weston.log"; fail "weston did not start"; }
cd "$work"
QT_QPA_PLATFORM=wayland "$build/kestrum" >"$work/game.log" 2>&1 &
game=$!
# The field is whole once the compositor has sized the window and the game has drawn it.
status=1
for _ in $(seq 20); do
    sleep 0.5
    rm -f wayland-screenshot*.png
    timeout 10 weston-screenshooter >/dev/null 2>&1 || continue
    mv wayland-screenshot*.png layout.png 2>/dev/null || continue
    KESTRUM_E2E_STRIP=0 "$check" --layout layout.png >"$work/layout.txt" && { status=0; break; }
done
cat "$work/layout.txt" 2>/dev/null || true
[ $status -eq 0 ] || { cat "$work/game.log"; fail "the field or the legend is off the screen on Wayland"; }
kill -0 "$game" 2>/dev/null || fail "the game has ended"
echo "on Wayland the window and the whole field are on the screen"
