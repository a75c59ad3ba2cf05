#!/bin/sh
# Adds Kurvaro to the desktop's application menu, pointing at this folder.
# Kurvaro keeps its Functions.ini beside the executable, so the folder must stay writable.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
apps=${XDG_DATA_HOME:-$HOME/.local/share}/applications
mkdir -p "$apps"
sed -e "s|^Exec=.*|Exec=\"$here/kurvaro\"|" -e "s|^Icon=.*|Icon=$here/kurvaro.svg|" \
    "$here/kurvaro.desktop" > "$apps/kurvaro.desktop"
echo "Kurvaro added to the application menu ($apps/kurvaro.desktop)."
