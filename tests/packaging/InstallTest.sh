#!/usr/bin/env bash
# The per-user install from a build tree:  InstallTest.sh BUILD_DIR
#
# Installs into a temporary prefix whose name holds a blank, with a temporary
# home, then checks what install.sh added with the desktop's own validators,
# that the programs work through their links, that uninstall.sh removes
# exactly what was added (keeping Functions.ini unless --purge), and that a
# folder the user cannot write is refused.
set -uo pipefail

build=${1:?usage: InstallTest.sh BUILD_DIR}
id=org.example.Kurvaro
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# check DESCRIPTION COMMAND...: the command must succeed.
check() {
    local what=$1
    shift
    local out
    if ! out=$("$@" 2>&1); then
        fail "$what: $out"
    fi
}

for tool in desktop-file-validate appstreamcli groff; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (the [test] packages)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
export HOME=$work/home
unset XDG_DATA_HOME
mkdir -p "$HOME"
prefix="$work/my programs/kurvaro"
data=$HOME/.local/share

install_into() {
    cmake --install "$build" --prefix "$1" >/dev/null || { fail "cmake --install $1"; return 1; }
}

install_into "$prefix" || exit 1
out=$("$prefix/install.sh" 2>&1) || fail "install.sh: $out"

# What install.sh adds, with the check each must pass.
entry=$data/applications/$id.desktop
check "desktop entry valid" desktop-file-validate "$entry"
check "metainfo valid" appstreamcli validate --no-net "$data/metainfo/$id.metainfo.xml"
for page in kurvaro.1 kurvaro-cli.1; do
    file=$data/man/man1/$page
    warnings=$(groff -man -ww -z "$file" 2>&1)
    [[ -f $file && -z $warnings ]] || fail "man page $page: ${warnings:-missing}"
    if command -v man >/dev/null; then
        warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "man page $page: $warnings"
    fi
done
for size in 16 22 24 32 48 64 128 256; do
    icon=$data/icons/hicolor/${size}x${size}/apps/$id.png
    # PNG: width and height as big-endian 32-bit numbers from byte 16.
    dims=$(od -An -tu1 -j16 -N8 "$icon" 2>/dev/null | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [[ $dims == "${size}x${size}" ]] || fail "icon $size: ${dims:-missing}"
done
[[ -f $data/icons/hicolor/scalable/apps/$id.svg ]] || fail "scalable icon missing"

# The entry starts this folder's program, its path quoted for the blank.
grep -qxF "Exec=\"$prefix/kurvaro\"" "$entry" || fail "Exec line: $(grep '^Exec=' "$entry")"
grep -qxF "TryExec=$prefix/kurvaro" "$entry" || fail "TryExec line: $(grep '^TryExec=' "$entry")"
grep -qxF "Icon=$id" "$entry" || fail "Icon line"

# The links lead to the folder, so the programs find Functions.ini there.
for program in kurvaro kurvaro-cli; do
    [[ $(readlink "$HOME/.local/bin/$program") == "$prefix/$program" ]] || fail "link $program"
done
version=$("$HOME/.local/bin/kurvaro-cli" --version 2>&1)
[[ $version == "kurvaro-cli "* ]] || fail "kurvaro-cli --version through the link: $version"
printf '[Axis]\r\nColor=nocolour\r\n' >"$prefix/Functions.ini"
err=$("$HOME/.local/bin/kurvaro-cli" render --out "$work/picture.bmp" 2>&1 >/dev/null)
[[ $err == *"in $prefix/Functions.ini, section [Axis], key Color"* ]] ||
    fail "kurvaro-cli through the link reads Functions.ini beside the real program: $err"

# uninstall.sh removes exactly what was added; Functions.ini stays.
mapfile -t added <"$prefix/.installed-files"
[[ ${#added[@]} -eq 15 ]] || fail "install.sh added ${#added[@]} files, not 15: ${added[*]}"
out=$("$prefix/uninstall.sh" 2>&1) || fail "uninstall.sh: $out"
for file in "${added[@]}"; do
    [[ -e $file || -L $file ]] && fail "uninstall left $file"
done
left=$(cd "$prefix" && find . -mindepth 1 | sort | tr '\n' ' ')
[[ $left == "./Functions.ini " ]] || fail "uninstall left in the folder: $left"
stray=$(find "$HOME" -name "$id*" -o -name 'kurvaro*' | tr '\n' ' ')
[[ -z $stray ]] || fail "uninstall left in the home: $stray"

# Again, then --purge: the folder goes with the settings.
install_into "$prefix" && "$prefix/install.sh" >/dev/null 2>&1 || fail "second install"
out=$("$prefix/uninstall.sh" --purge 2>&1) || fail "uninstall.sh --purge: $out"
[[ -e $prefix ]] && fail "uninstall --purge left $prefix"

# A folder the user cannot write is refused before anything is added.
locked=$work/locked/kurvaro
install_into "$locked" || exit 1
chmod -R a-w "$work/locked"
as_user=()
if [[ $(id -u) -eq 0 ]]; then
    # root writes everywhere: try it as an ordinary user
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
before=$(find "$HOME" | wc -l)
if out=$("${as_user[@]}" env HOME="$HOME" "$locked/install.sh" 2>&1); then
    fail "install.sh accepted a folder the user cannot write"
fi
[[ $out == *"you cannot write there"* && $out == *"folder you own"* ]] || fail "refusal: $out"
[[ $(find "$HOME" | wc -l) -eq $before ]] || fail "the refused install added files"

if [[ $failures -gt 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "install, validators, links, uninstall and refusal: all passed"
