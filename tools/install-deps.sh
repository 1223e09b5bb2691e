#!/bin/sh
# Installs the Debian packages named on the command line that are not installed yet.
# As root it runs apt-get; otherwise it prints the command and fails.
missing=""
for pkg in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $pkg" ;;
    esac
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q && apt-get install -y -q $missing
else
    echo "Missing Debian packages. Install them as root, then run this again:"
    # A Debian installed with a root password gives the first user no sudo.
    if command -v sudo >/dev/null 2>&1 && sudo -n -l apt-get >/dev/null 2>&1; then
        echo "  sudo apt-get install -y$missing"
    else
        echo "  su -c 'apt-get install -y$missing'"
    fi
    exit 1
fi
