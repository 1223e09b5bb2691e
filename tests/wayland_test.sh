#!/bin/bash
# The game on Qt's own Wayland platform under a headless compositor: weston (its desktop
# shell puts a panel at the top, and Qt draws the window's title bar itself) or sway (a
# wlroots compositor that draws the title bar itself). The window, title bar included, and
# the whole field with the legend are on the screen. Under sway the game is then played by
# keys (wtype) and goes full screen with F11.
# With weston-x11 the game runs as an X11 program under weston's Xwayland window manager,
# which places windows itself and reports no frame.
#   wayland_test.sh BUILD CHECK [WIDTHxHEIGHT] [weston|sway|weston-x11]
set -euo pipefail
build=$1 check=$2 size=${3:-1024x768} compositor_name=${4:-weston}
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
if [ "$compositor_name" = sway ]; then
    # sway will not run as root: as root it runs as nobody, in a runtime folder of its own
    # that the game (root) reaches all the same.
    printf 'output HEADLESS-1 resolution %s\n' "$size" >"$runtime/sway.cfg"
    as_user=()
    if [ "$(id -u)" = 0 ]; then
        chown -R 65534:65534 "$runtime"
        as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    fi
    "${as_user[@]}" env HOME="$runtime" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless \
        WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$runtime/sway.cfg" >"$work/sway.log" 2>&1 &
    compositor=$!
    WAYLAND_DISPLAY=wayland-1
    screenshot() { grim "$1"; }
else
    # Screenshots need weston's pixel renderer and its debugging protocols.
    xwayland=()
    [ "$compositor_name" != weston-x11 ] || xwayland=(--xwayland)
    weston --backend=headless-backend.so --use-pixman --width="${size%x*}" --height="${size#*x}" \
        --socket="$WAYLAND_DISPLAY" --idle-time=0 --debug "${xwayland[@]}" >"$work/weston.log" 2>&1 &
    compositor=$!
    screenshot() {
        rm -f wayland-screenshot*.png
        timeout 10 weston-screenshooter >/dev/null 2>&1 && mv wayland-screenshot*.png "$1" 2>/dev/null
    }
fi
for _ in $(seq 100); do
    [ -S "$runtime/$WAYLAND_DISPLAY" ] && break
    sleep 0.1
done
[ -S "$runtime/$WAYLAND_DISPLAY" ] || { cat "$work"/*.log; fail "$compositor_name did not start"; }
cd "$work"
platform=wayland
if [ "$compositor_name" = weston-x11 ]; then
    for _ in $(seq 100); do
        DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
        [ -n "$DISPLAY" ] && break
        sleep 0.1
    done
    [ -n "$DISPLAY" ] || { cat "$work/weston.log"; fail "weston started no X server"; }
    export DISPLAY
    platform=xcb
fi
QT_QPA_PLATFORM=$platform "$build/kestrum" >"$work/game.log" 2>&1 &
game=$!
# The field is whole once the compositor has sized the window and the game has drawn it.
status=1
for _ in $(seq 20); do
    sleep 0.5
    screenshot layout.png || continue
    KESTRUM_E2E_STRIP=0 "$check" --layout layout.png >"$work/layout.txt" && { status=0; break; }
done
cat "$work/layout.txt" 2>/dev/null || true
[ $status -eq 0 ] || { cat "$work/game.log"; fail "the field or the legend is off the screen on Wayland"; }
kill -0 "$game" 2>/dev/null || fail "the game has ended"
echo "on Wayland the window and the whole field are on the screen"
[ "$compositor_name" = sway ] || exit 0

# Played by keys: one virtual keyboard for the whole sequence (the window loses the
# keyboard, and the game pauses, when it goes; a key sent before the window has taken the
# new keyboard is lost, so each sequence waits a moment first). Up starts the snake, Left
# turns it.
looks() {
    for _ in $(seq 10); do
        sleep 0.3
        screenshot keys.png
        head=$("$check" --head keys.png) || true
        [ "$head" = "$1" ] && return 0
    done
    fail "the head looks $head, not $1 ($2)"
}
wtype -s 300 -k Up -s 400 -k Left -s 300 -k p
looks left "Up, then Left"
wtype -s 300 -k Up -s 300 -k p
looks up "Up after a pause"
echo "the keys steer the snake on Wayland"
# F11: the whole output, the field built for it; F11 again: back in the window.
wtype -s 300 -k F11
status=1
for _ in $(seq 20); do
    sleep 0.3
    screenshot full.png
    KESTRUM_E2E_STRIP=0 "$check" --layout full.png >"$work/full.txt" && grep -q "at ([0-9]*, 18)" "$work/full.txt" && { status=0; break; }
done
cat "$work/full.txt"
[ $status -eq 0 ] || fail "full screen does not show the whole field under the menu bar"
wtype -s 300 -k F11 -s 300 -k Up -s 400 -k Right -s 300 -k p
looks right "back from full screen"
echo "full screen and back on Wayland"
