#!/usr/bin/env bash
# Kurvaro's one entry point for building, testing, installing, benchmarking and fuzzing.
# `./build.sh help` lists the commands. Each command first installs the Debian
# packages of the lists in debian-packages.txt that it needs, and only those.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

usage() {
    cat <<'EOF'
usage: ./build.sh [COMMAND]

  run                  build the program and start Kurvaro (installs the [run] packages)
  build                build everything, tests included, into build/ (the default)
  test                 build and run every test, then again under ASan+LSan+UBSan
  install [PREFIX]     Release build of kurvaro and kurvaro-cli, installed for this user
                       into PREFIX (default ~/.local/opt/kurvaro) with links in
                       ~/.local/bin, a menu entry, icons, metainfo and man pages
  uninstall [--purge] [PREFIX]
                       remove what install added; the folder's Functions.ini stays
                       unless --purge is given
  package              portable TGZ archive (build-release/kurvaro-VERSION-Linux.tar.gz)
  bench                Release build, run the benchmarks
  fuzz [SECONDS]       build the libFuzzer targets with clang, run each SECONDS (60)
  screenshot FILE.png [INI]
                       start Kurvaro under Xvfb, save a PNG of the screen
  help                 this text

Packages: run as root, or as a user who may use sudo without a password prompt
(`sudo -v` first, then ./build.sh). Otherwise the missing packages are listed
with the apt-get line to run as root, and nothing is built.
EOF
}

# package_list SECTION...: the packages of these sections of debian-packages.txt.
package_list() {
    local sections=" $* "
    awk -v want="$sections" '
        /^[[:space:]]*(#|$)/ { next }
        /^\[.*\]$/ { section = substr($0, 2, length($0) - 2); next }
        index(want, " " section " ") { print $1 }
    ' "$root/debian-packages.txt"
}

# apt_as_root ARGS...: apt-get as root, directly or through sudo.
apt_as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        DEBIAN_FRONTEND=noninteractive apt-get "$@"
    else
        sudo -n env DEBIAN_FRONTEND=noninteractive apt-get "$@"
    fi
}

# install_packages SECTION...: installs the missing packages of these lists.
install_packages() {
    local missing=() pkg
    for pkg in $(package_list "$@"); do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    local line="apt-get update && apt-get install --no-install-recommends -y ${missing[*]}"
    if [[ $(id -u) -ne 0 ]] && ! { command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; }; then
        cat >&2 <<EOF
Kurvaro needs these Debian packages, which are not installed:
  ${missing[*]}
Installing them takes root rights, and sudo cannot be used here without a
password prompt (or is not installed). Run this as root, then ./build.sh again:

  $line

If you may use sudo, 'sudo -v' (enter your password) and then ./build.sh again
installs them for you.
EOF
        exit 1
    fi
    echo "Installing missing packages: ${missing[*]}"
    if ! apt_as_root update -q --error-on=any; then
        echo "warning: 'apt-get update' failed (see above); trying the package lists this" \
            "machine already has." >&2
    fi
    if ! apt_as_root install --no-install-recommends -y -q "${missing[@]}"; then
        echo "error: installing the packages failed. As root: $line" >&2
        exit 1
    fi
}

# configure DIR [cmake args...]
configure() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
}

# build DIR [TARGET...]: the targets given, or all of them.
build() {
    local dir=$1
    shift
    local targets=()
    [[ $# -gt 0 ]] && targets=(--target "$@")
    cmake --build "$dir" -j "$jobs" "${targets[@]}"
}

configure_default() {
    configure "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

# The Release build of the two programs that the install and the archive carry.
build_release_programs() {
    configure "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DKURVARO_TESTS=OFF \
        -DKURVARO_BENCH=OFF
    build "$root/build-release" kurvaro kurvaro-cli
}

run_tests() {
    local dir=$1
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

cmd=${1:-build}
[[ $# -gt 0 ]] && shift

case "$cmd" in
help | -h | --help)
    usage
    exit 0
    ;;
run | install | package) install_packages run ;;
build | test | screenshot) install_packages run test ;;
bench) install_packages run bench ;;
fuzz) install_packages run fuzz ;;
uninstall) ;;
*)
    echo "./build.sh: unknown command '$cmd'" >&2
    usage >&2
    exit 64
    ;;
esac

case "$cmd" in
build)
    configure_default -DKURVARO_TESTS=ON
    build "$root/build"
    ;;
run)
    configure_default -DKURVARO_TESTS=OFF
    build "$root/build" kurvaro
    exec "$root/build/bin/kurvaro"
    ;;
test)
    configure_default -DKURVARO_TESTS=ON
    build "$root/build"
    run_tests "$root/build"
    echo "== again with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer =="
    configure "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKURVARO_SANITIZE=ON -DKURVARO_TESTS=ON
    build "$root/build-asan"
    export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1:detect_leaks=1:strict_string_checks=1"
    export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    run_tests "$root/build-asan"
    ;;
install)
    prefix=${1:-$HOME/.local/opt/kurvaro}
    build_release_programs
    if ! mkdir -p "$prefix" 2>/dev/null || [[ ! -w $prefix ]]; then
        echo "error: cannot write to $prefix. Kurvaro keeps its Functions.ini beside the" \
            "program, so it installs into a folder you own; give one: ./build.sh install DIR" >&2
        exit 1
    fi
    cmake --install "$root/build-release" --prefix "$prefix" >/dev/null
    "$prefix/install.sh"
    ;;
uninstall)
    purge=()
    if [[ ${1:-} == --purge ]]; then
        purge=(--purge)
        shift
    fi
    prefix=${1:-$HOME/.local/opt/kurvaro}
    if [[ ! -x $prefix/uninstall.sh ]]; then
        echo "error: no Kurvaro installed in $prefix (no uninstall.sh there)" >&2
        exit 1
    fi
    "$prefix/uninstall.sh" "${purge[@]}"
    ;;
bench)
    configure "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DKURVARO_BENCH=ON \
        -DKURVARO_TESTS=OFF
    build "$root/build-release"
    for b in "$root"/build-release/bin/bench-*; do
        echo "== $(basename "$b") =="
        QT_QPA_PLATFORM=offscreen "$b"
    done
    ;;
fuzz)
    seconds=${1:-60}
    configure "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVARO_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    build "$root/build-fuzz"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    for f in "$root"/build-fuzz/bin/fuzz-*; do
        name=$(basename "$f")
        corpus="$root/build-fuzz/corpus/$name"
        mkdir -p "$corpus"
        echo "== $name for ${seconds}s =="
        QT_QPA_PLATFORM=offscreen "$f" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=4096 \
            -print_final_stats=1 "$corpus" "$root/fuzz/corpus/${name#fuzz-}"
    done
    ;;
screenshot)
    out=${1:?usage: ./build.sh screenshot FILE.png [INI]}
    ini=${2:-}
    configure_default
    build "$root/build" kurvaro
    exec "$root/tools/screenshot.sh" "$root/build/bin" "$out" "$ini"
    ;;
package)
    build_release_programs
    (cd "$root/build-release" && cpack -G TGZ)
    ;;
esac
