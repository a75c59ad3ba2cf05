#!/bin/sh
# Makes the Kurvaro in this folder a program of this user: links to kurvaro and
# kurvaro-cli in ~/.local/bin, and the menu entry, icons, AppStream metainfo
# and man pages in the user's data folder (XDG_DATA_HOME, ~/.local/share).
# What it adds is listed in .installed-files; uninstall.sh removes exactly that.
#
# Kurvaro keeps its Functions.ini beside the executable, so this folder must be
# one the user can write; elsewhere the installer refuses.
set -eu

here=$(cd "$(dirname "$0")" && pwd -P)
id=org.example.Kurvaro
bin_dir=$HOME/.local/bin
data_dir=${XDG_DATA_HOME:-$HOME/.local/share}
manifest=$here/.installed-files

fail() {
    printf '%s\n' "$@" >&2
    exit 1
}

case $here in
*'
'*) fail "Kurvaro cannot be installed from a folder whose name holds a line break." ;;
esac
probe=$here/.write-test.$$
if ! (: >"$probe") 2>/dev/null || { [ -e "$here/Functions.ini" ] && [ ! -w "$here/Functions.ini" ]; }; then
    rm -f "$probe" 2>/dev/null || true
    name=$(basename "$here")
    fail "Kurvaro cannot be used from $here: you cannot write there." \
        "Kurvaro keeps its settings (Functions.ini) beside the program, so it must live in" \
        "a folder you own. Unpack the archive into one and run its install.sh there, e.g.:" \
        "  mkdir -p ~/.local/opt && tar xzf $name.tar.gz -C ~/.local/opt" \
        "  ~/.local/opt/$name/install.sh"
fi
rm -f "$probe"
for program in kurvaro kurvaro-cli; do
    target=$bin_dir/$program
    if [ -e "$target" ] && [ ! -L "$target" ]; then
        fail "$target exists and is no link: remove it or move it away, then install again."
    fi
done

# The menu entry starts this folder's program; Exec quotes the path as the
# desktop entry format wants it, TryExec keeps it as a plain string.
escape_value() { printf '%s' "$1" | sed -e 's/\\/\\\\/g'; }
quoted=$(printf '%s' "$here/kurvaro" | sed -e 's/[\\"`$]/\\&/g' -e 's/%/%%/g')
KURVARO_EXEC="Exec=$(escape_value "\"$quoted\"")"
KURVARO_TRYEXEC="TryExec=$(escape_value "$here/kurvaro")"
export KURVARO_EXEC KURVARO_TRYEXEC

: >"$manifest"
added() { printf '%s\n' "$1" >>"$manifest"; }

mkdir -p "$bin_dir"
for program in kurvaro kurvaro-cli; do
    ln -sfn "$here/$program" "$bin_dir/$program"
    added "$bin_dir/$program"
done

mkdir -p "$data_dir/applications"
awk '/^Exec=/ { print ENVIRON["KURVARO_EXEC"]; next }
     /^TryExec=/ { print ENVIRON["KURVARO_TRYEXEC"]; next }
     { print }' "$here/share/applications/$id.desktop" >"$data_dir/applications/$id.desktop"
added "$data_dir/applications/$id.desktop"

for icon in "$here"/share/icons/hicolor/*/apps/"$id".*; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    mkdir -p "$data_dir/icons/hicolor/$size/apps"
    cp "$icon" "$data_dir/icons/hicolor/$size/apps/"
    added "$data_dir/icons/hicolor/$size/apps/$(basename "$icon")"
done

mkdir -p "$data_dir/metainfo" "$data_dir/man/man1"
cp "$here/share/metainfo/$id.metainfo.xml" "$data_dir/metainfo/"
added "$data_dir/metainfo/$id.metainfo.xml"
for page in kurvaro.1 kurvaro-cli.1; do
    cp "$here/share/man/man1/$page" "$data_dir/man/man1/"
    added "$data_dir/man/man1/$page"
done

# Menus and icon caches notice new files by the folders' times.
touch "$data_dir/icons/hicolor" 2>/dev/null || true
if command -v update-desktop-database >/dev/null 2>&1; then
    update-desktop-database -q "$data_dir/applications" 2>/dev/null || true
fi

echo "Kurvaro is installed in $here for $(id -un):"
echo "  the menu entry 'Kurvaro', and 'kurvaro' and 'kurvaro-cli' in $bin_dir."
case ":$PATH:" in
*":$bin_dir:"*) ;;
*) echo "  $bin_dir is not in your PATH; add it to start the programs by name." ;;
esac
echo "  Remove it with $here/uninstall.sh (your Functions.ini stays)."
