#!/usr/bin/env bash
# build.sh's package handling, with stand-ins for id, dpkg-query, sudo and
# apt-get that log their calls:  BuildScriptTest.sh SOURCE_DIR
#
# Each case runs a copy of build.sh with a PATH of the stand-ins and the few
# real tools the script uses before it builds. No case gets as far as a build:
# the stand-in apt-get refuses to install, or the case stops before it.
set -uo pipefail

source_dir=${1:?usage: BuildScriptTest.sh SOURCE_DIR}
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A tree with build.sh and its package lists only.
cp "$source_dir/build.sh" "$source_dir/debian-packages.txt" "$work/"

# stand_ins UID SUDO UPDATE: id -u prints UID; sudo is "none" (not installed),
# "password" (asks for one) or "works"; apt-get update exits with UPDATE.
# Every package reads as missing, and apt-get install always fails.
stand_ins() {
    local bin=$work/bin
    rm -rf "$bin"
    mkdir -p "$bin"
    for tool in bash env awk grep cat dirname nproc; do
        ln -s "$(command -v "$tool")" "$bin/$tool"
    done
    printf '#!/bin/sh\n[ "$1" = -u ] && echo %s && exit 0\necho "id $*" >>"%s"\n' \
        "$1" "$work/calls" >"$bin/id"
    printf '#!/bin/sh\necho "dpkg-query $*" >>"%s"\nexit 1\n' "$work/calls" >"$bin/dpkg-query"
    case $2 in
    password) printf '#!/bin/sh\necho "sudo $*" >>"%s"\nexit 1\n' "$work/calls" >"$bin/sudo" ;;
    works) printf '#!/bin/sh\necho "sudo $*" >>"%s"\n[ "$1" = -n ] && shift\n"$@"\n' \
        "$work/calls" >"$bin/sudo" ;;
    esac
    printf '#!/bin/sh\necho "apt-get $*" >>"%s"\n[ "$1" = update ] && exit %s\nexit 100\n' \
        "$work/calls" "$3" >"$bin/apt-get"
    chmod +x "$bin"/*
}

# run ARGS...: build.sh with the stand-ins; sets status, out, err, calls.
run() {
    : >"$work/calls"
    PATH=$work/bin "$work/build.sh" "$@" >"$work/out" 2>"$work/err"
    status=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
    calls=$(grep -v '^dpkg-query' "$work/calls")
}

expect() { # expect DESCRIPTION CONDITION...
    local what=$1
    shift
    "$@" || fail "$what (status $status)
--- stdout: $out
--- stderr: $err
--- calls: $calls"
}
has() { [[ $1 == *"$2"* ]]; }
lacks() { [[ $1 != *"$2"* ]]; }

# Usage before any package work.
stand_ins 1000 none 0
for args in help --help -h; do
    run $args
    expect "$args: usage on stdout, exit 0" [ $status -eq 0 ]
    expect "$args: usage" has "$out" "usage: ./build.sh"
    expect "$args: no package looked at" [ -z "$(cat "$work/calls")" ]
done
run frobnicate
expect "unknown command: exit 64" [ $status -eq 64 ]
expect "unknown command: named, with the usage" has "$err" "unknown command 'frobnicate'"
expect "unknown command: usage" has "$err" "usage: ./build.sh"
expect "unknown command: no package looked at" [ -z "$(cat "$work/calls")" ]

# A user who cannot use sudo: the apt-get line to run as root, and no apt-get.
for sudo in none password; do
    stand_ins 1000 $sudo 0
    run run
    expect "no sudo ($sudo): exit 1" [ $status -eq 1 ]
    expect "no sudo ($sudo): the line for root" \
        has "$err" "apt-get update && apt-get install --no-install-recommends -y g++ cmake"
    expect "no sudo ($sudo): apt-get untouched" lacks "$calls" "apt-get"
done

# Each command asks for its lists and no others (what, wanted, unwanted).
stand_ins 1000 works 0
cases=(
    "run|g++ qt6-base-dev qt6-translations-l10n fonts-dejavu-core|libgtest-dev xvfb clang libbenchmark-dev"
    "install|g++ qt6-base-dev|libgtest-dev xvfb clang"
    "package|g++ qt6-base-dev|libgtest-dev xvfb"
    "test|g++ libgtest-dev xvfb openbox desktop-file-utils appstream|clang libbenchmark-dev"
    "bench|g++ libbenchmark-dev libmuparser-dev|libgtest-dev clang xvfb"
    "fuzz|g++ clang libclang-rt-14-dev|libgtest-dev libbenchmark-dev xvfb"
)
for row in "${cases[@]}"; do
    IFS='|' read -r command wanted unwanted <<<"$row"
    run "$command"
    install_line=$(grep '^apt-get install' <<<"$calls")
    expect "$command: through sudo without a prompt" has "$calls" "sudo -n env DEBIAN_FRONTEND"
    expect "$command: without recommended extras" has "$install_line" "--no-install-recommends"
    for pkg in $wanted; do
        expect "$command: asks for $pkg" has " $install_line " " $pkg "
    done
    for pkg in $unwanted; do
        expect "$command: does not ask for $pkg" lacks " $install_line " " $pkg "
    done
    expect "$command: a failed install ends it" [ $status -eq 1 ]
    expect "$command: a failed install is reported" has "$err" "installing the packages failed"
done

# As root, no sudo; a failing index update is reported, the install still tried.
stand_ins 0 none 100
run run
expect "root: apt-get directly" has "$calls" "apt-get update"
expect "root: no sudo" lacks "$calls" "sudo"
expect "failed update reported" has "$err" "'apt-get update' failed"
expect "install tried after it" has "$calls" "apt-get install"

if [[ $failures -gt 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "build.sh package handling: all passed"
