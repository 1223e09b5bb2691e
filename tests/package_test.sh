#!/bin/bash
# The Debian package: built with CPack from the build folder, it must hold the program,
# its data, the desktop files and the manual page, declare what it needs at run time,
# and the program it holds must run.
# Arguments: the build folder.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" > "$work/cpack.log" || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/kestrum_*_amd64.deb 2> /dev/null || ls "$work"/kestrum_*.deb)
[ -f "$deb" ] || fail "no package made"
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libfontconfig1 libxcb1 libsdl2-mixer-2.0-0 timgm6mb-soundfont fonts-liberation2 qt6-translations-l10n; do
    grep -q "$need" <<< "$depends" || fail "Depends lacks $need: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
dpkg-deb -c "$deb" > "$work/contents.txt"
for f in ./usr/games/kestrum ./usr/share/games/kestrum/Skins/kestrum ./usr/share/applications/org.kestrum.Kestrum.desktop \
         ./usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml ./usr/share/icons/hicolor/48x48/apps/kestrum.png \
         ./usr/share/man/man6/kestrum.6.gz ./usr/share/doc/kestrum/copyright ./usr/share/doc/kestrum/screenshot.png; do
    grep -q " $f\$" "$work/contents.txt" || fail "the package lacks $f"
done
dpkg-deb -x "$deb" "$work/root"
grep -q '^License: GPL-3.0-or-later$' "$work/root/usr/share/doc/kestrum/copyright" || fail "the copyright file"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
    "$work/root/usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml" || fail "the metainfo's licence"
"$work/root/usr/games/kestrum" --version | grep -q '^Kestrum ' || fail "the packaged program does not run"
# Debian's own checks, every tag down to the pedantic ones. Two wait for the project's
# maintainer address, which only the project can give: the Maintainer field and the
# changelog that names it.
# (A debug build, as the sanitizers' is, is no build for a package: it is not hardened.)
type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
if [ "$type" = Debug ]; then
    echo "lintian: not run on a debug build"
elif command -v lintian >/dev/null; then
    lintian -I --pedantic "$deb" 2>/dev/null | grep -v -E ': (malformed-contact|no-changelog) ' > "$work/lintian.txt" || true
    [ ! -s "$work/lintian.txt" ] || { cat "$work/lintian.txt"; fail "lintian"; }
    echo "lintian: no tag but the two that wait for a maintainer address"
fi
echo "the package holds the game and declares: $depends"
