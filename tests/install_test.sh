#!/bin/bash
# The installed game: `cmake --install` into a temporary DESTDIR, the desktop entry and
# the metainfo validated, the command line answered, and the installed program started
# from another folder under Xvfb with its data folder read-only: it must find its data,
# show its field, and keep its settings in the user's configuration folder.
# Arguments: the build folder and the e2e_check helper.
set -euo pipefail
build=$1
check=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2> /dev/null; rm -rf "$work"' EXIT
root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr > "$work/install.log"

fail() { echo "FAIL: $*"; exit 1; }
for f in usr/games/kestrum usr/share/games/kestrum/Skins/kestrum usr/share/games/kestrum/English.lng \
         usr/share/games/kestrum/Sounds.dxw usr/share/games/kestrum/levels/garden.lev \
         usr/share/applications/org.kestrum.Kestrum.desktop \
         usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml usr/share/man/man6/kestrum.6.gz; do
    [ -e "$root/$f" ] || fail "not installed: /$f"
done
for size in 16 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/kestrum.png"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "icon $size is not ${size}x${size}"
done
desktop-file-validate "$root/usr/share/applications/org.kestrum.Kestrum.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml" || fail "metainfo"
zcat "$root/usr/share/man/man6/kestrum.6.gz" | grep -q '^\.TH KESTRUM 6' || fail "manual page"
echo "installed files, desktop entry, metainfo and manual page are in order"

# The command line.
exe="$root/usr/games/kestrum"
"$exe" --version | grep -Eq '^Kestrum [0-9]+\.[0-9]+\.[0-9]+$' || fail "--version"
"$exe" --help | grep -q -- '--check-level-pack' || fail "--help"
set +e
"$exe" --no-such-option 2> "$work/err.txt"; rc=$?
set -e
[ "$rc" = 2 ] || fail "an unknown option exits with $rc, not 2"
grep -q "Unknown option 'no-such-option'" "$work/err.txt" || fail "unknown option message: $(cat "$work/err.txt")"
"$exe" --check-level-pack "$root/usr/share/games/kestrum/levels/fortress.lev" --field-size 46 > /dev/null || fail "pack checker"
echo "--help, --version, an unknown option and the level pack checker answer as they should"

# Started from elsewhere with the installed data read-only, as a user runs it.
chmod -R a-w "$root/usr"
mkdir -p "$work/elsewhere" "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" SDL_AUDIODRIVER=dummy
cat > "$work/play.sh" <<SCRIPT
#!/bin/bash
set -eu
cd "$work/elsewhere"
"$exe" &
game=\$!
xdotool search --sync --name '^Kestrum\$' > /dev/null
sleep 1
import -window root "$work/shot.png"
# Ctrl+S switches the sound and writes the setting.
xdotool key ctrl+s
sleep 0.5
kill -TERM \$game
wait \$game || true
SCRIPT
chmod +x "$work/play.sh"
timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" "$work/play.sh"
"$check" --verify-start "$work/shot.png" "$root/usr/share/games/kestrum/Skins/kestrum" || fail "the field"
grep -q '^Sounds=' "$XDG_CONFIG_HOME/Kestrum/Kestrum.ini" || fail "no settings in the user's folder"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "files were written into the working directory"
echo "the installed game found its data from another folder and keeps its settings in $XDG_CONFIG_HOME/Kestrum"
