#!/usr/bin/env bash
# Starts the real Kurvaro under a virtual X server and saves a PNG of the screen
# once the first picture stands still.
#
#   tools/screenshot.sh BIN_DIR OUT.png [INI]
#
# The program reads only Functions.ini beside its executable, so it runs as a
# copy in a temporary folder, with INI (when given) copied in as Functions.ini.
set -euo pipefail

bin_dir=${1:?usage: tools/screenshot.sh BIN_DIR OUT.png [INI]}
out=${2:?usage: tools/screenshot.sh BIN_DIR OUT.png [INI]}
ini=${3:-}

case "$out" in
/*) ;;
*) out="$(pwd)/$out" ;;
esac

work=$(mktemp -d)
cleanup() {
    [[ -n "${app_pid:-}" ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cp "$bin_dir/kurvaro" "$work/kurvaro"
[[ -f "$bin_dir/Info.txt" ]] && cp "$bin_dir/Info.txt" "$work/Info.txt"
if [[ -n "$ini" ]]; then
    cp "$ini" "$work/Functions.ini"
fi

# A free display number: the first without a lock file.
display=99
while [[ -e "/tmp/.X${display}-lock" || -e "/tmp/.X11-unix/X${display}" ]]; do
    display=$((display + 1))
done

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

(cd "$work" && QT_QPA_PLATFORM=xcb exec ./kurvaro >"$work/kurvaro.log" 2>&1) &
app_pid=$!

# Wait for the window, then until two captures half a second apart agree:
# the curves are drawn one after another, so a still screen means done.
shown=0
for _ in $(seq 1 200); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
        echo "kurvaro ended before its window appeared:" >&2
        cat "$work/kurvaro.log" >&2
        exit 1
    fi
    if xwininfo -root -tree 2>/dev/null | grep -q '"Kurvaro"'; then
        shown=1
        break
    fi
    sleep 0.1
done
if [[ $shown -ne 1 ]]; then
    echo "no Kurvaro window appeared within 20 s" >&2
    exit 1
fi
previous=""
for _ in $(seq 1 60); do
    sleep 0.5
    current=$(import -window root rgb:- 2>/dev/null | md5sum)
    [[ -n "$previous" && "$current" == "$previous" ]] && break
    previous=$current
done
import -window root "$out"
echo "screenshot written to $out"
