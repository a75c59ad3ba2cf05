#!/usr/bin/env bash
# Kurvaro's one entry point for building, testing, benchmarking and fuzzing.
#
#   ./build.sh                 install missing packages, build into build/
#   ./build.sh run             build and start Kurvaro
#   ./build.sh test            build and run every test, then again under ASan+LSan+UBSan
#   ./build.sh bench           Release build, run the benchmarks
#   ./build.sh fuzz [SECONDS]  build the libFuzzer targets with clang, run each SECONDS (60)
#   ./build.sh screenshot FILE.png [INI]
#                              start Kurvaro under Xvfb, save a PNG of the screen
#   ./build.sh package         portable TGZ archive with CPack
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

install_packages() {
    local missing=()
    local pkg
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done < "$root/debian-packages.txt"
    [[ ${#missing[@]} -eq 0 ]] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update -q || true
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# configure_and_build DIR [cmake args...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

build_default() { configure_and_build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo; }

run_tests() {
    local dir=$1
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

cmd=${1:-build}
[[ $# -gt 0 ]] && shift

install_packages

case "$cmd" in
build)
    build_default
    ;;
run)
    build_default
    exec "$root/build/bin/kurvaro"
    ;;
test)
    build_default
    run_tests "$root/build"
    echo "== again with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer =="
    configure_and_build "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKURVARO_SANITIZE=ON
    export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1:detect_leaks=1:strict_string_checks=1"
    export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    run_tests "$root/build-asan"
    ;;
bench)
    configure_and_build "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DKURVARO_BENCH=ON
    for b in "$root"/build-release/bin/bench-*; do
        echo "== $(basename "$b") =="
        QT_QPA_PLATFORM=offscreen "$b"
    done
    ;;
fuzz)
    seconds=${1:-60}
    configure_and_build "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVARO_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
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
    build_default
    exec "$root/tools/screenshot.sh" "$root/build/bin" "$out" "$ini"
    ;;
package)
    configure_and_build "$root/build-release" -DCMAKE_BUILD_TYPE=Release
    (cd "$root/build-release" && cpack -G TGZ)
    ;;
*)
    echo "usage: ./build.sh [build|run|test|bench|fuzz [SECONDS]|screenshot FILE.png [INI]|package]" >&2
    exit 64
    ;;
esac
