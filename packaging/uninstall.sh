#!/bin/sh
# Removes what install.sh added for this user and the program files of this
# folder. The settings file Functions.ini stays unless --purge is given; the
# folder itself goes when nothing else is left in it.
set -eu

here=$(cd "$(dirname "$0")" && pwd -P)
id=org.example.Kurvaro
purge=0
case ${1:-} in
--purge) purge=1 ;;
"") ;;
*)
    echo "usage: $0 [--purge]" >&2
    exit 64
    ;;
esac

if [ -f "$here/.installed-files" ]; then
    while IFS= read -r file; do
        [ -n "$file" ] && rm -f "$file"
    done <"$here/.installed-files"
fi

cd "$here"
rm -f kurvaro kurvaro-cli Info.txt install.sh uninstall.sh .installed-files \
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    share/man/man1/kurvaro.1 share/man/man1/kurvaro-cli.1 \
    share/icons/hicolor/*/apps/"$id".*
[ -d share ] && find share -depth -type d -empty -delete
if [ $purge -eq 1 ]; then
    rm -f Functions.ini
fi
cd /
if rmdir "$here" 2>/dev/null; then
    echo "Kurvaro is removed, and its folder $here."
else
    echo "Kurvaro is removed; $here keeps what is not Kurvaro's own:"
    ls -A "$here" | sed 's/^/  /'
    [ $purge -eq 0 ] && [ -f "$here/Functions.ini" ] &&
        echo "(Functions.ini holds your settings; --purge removes it too.)"
fi
exit 0
