# Sourced by the whole-program scripts: a scratch working folder holding links to the
# build's data, with its own settings home and the dummy audio driver; it is removed when
# the script ends. Usage: enter_game_folder BUILD_FOLDER (sets $work and changes into it).
enter_game_folder() {
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    local f
    for f in Skins Kestrum.hlp English.lng Russian.lng Sounds.dxw Sounds levels; do
        if [ -e "$1/$f" ]; then ln -s "$1/$f" "$work/$f"; fi
    done
    export XDG_CONFIG_HOME="$work/config" HOME="$work" SDL_AUDIODRIVER=dummy
    cd "$work"
}
