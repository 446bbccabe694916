#!/usr/bin/env bash
# Set-up, build, run and test of Quantaro on Debian 12.
#   scripts/quantaro.sh run    install what is missing, build, run the program
#   scripts/quantaro.sh test   install what is missing, build, run every test
#   scripts/quantaro.sh package  build the Debian package into build/package, run lintian and the validators
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-svg-dev libgl-dev libxkbcommon-dev
          libcurl4-openssl-dev xvfb xauth units desktop-file-utils appstream
          locales tzdata python3-fonttools fonts-dejavu-core fonts-noto-cjk xdotool imagemagick
          dbus-daemon libglib2.0-bin python3-gi gir1.2-glib-2.0 python3-babel)

# The tests format and parse under these comma-decimal locales, which a fresh machine lacks.
TEST_LOCALES=(fr_FR.UTF-8 de_DE.UTF-8)

# Building the Debian package.
PACKAGE_PACKAGES=(debhelper dpkg-dev lintian)

# CI also builds the fuzz targets, which need clang and its fuzzer runtime, and checks the formatting
# with the clang-format of Debian 12 (14), the one the tree is formatted with.
CI_PACKAGES=(clang libclang-rt-14-dev clang-format)

install_missing() {
    local wanted=("${PACKAGES[@]}" "$@")
    if [ "${CI:-}" = "true" ]; then
        wanted+=("${CI_PACKAGES[@]}")
    fi
    local missing=()
    for package in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

generate_test_locales() {
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    for name in "${TEST_LOCALES[@]}"; do
        if ! locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}"; then
            echo "Generating locale $name"
            "${sudo[@]}" localedef -i "${name%%.*}" -c -f UTF-8 "$name"
        fi
    done
}

build() {
    local preset=$1
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
}

case "${1:-}" in
run)
    install_missing
    build dev
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "No display: starting the program under Xvfb"
        exec xvfb-run -a -s "-screen 0 1280x800x24" build/dev/program/quantaro "${@:2}"
    fi
    exec build/dev/program/quantaro "${@:2}"
    ;;
test)
    install_missing
    generate_test_locales
    preset=dev
    if [ "${CI:-}" = "true" ]; then
        preset=ci
    fi
    build "$preset"
    if [ "${CI:-}" = "true" ]; then
        # Every C++ file as clang-format writes it (cmake --build build/dev --target format mends it).
        cmake --build --preset ci --target format-check
    fi
    export QT_QPA_PLATFORM=offscreen
    ctest --preset "$preset" -j2
    if [ "${CI:-}" = "true" ]; then
        # CI keeps the fuzz targets alive with a few seconds of fuzzing each...
        build fuzz
        ctest --preset fuzz
        # ...and runs the whole suite under the address and undefined-behaviour sanitizers. Qt keeps
        # some allocations until exit, so leak reports are off.
        build asan
        ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --preset asan -j2
    fi
    ;;
package)
    install_missing "${PACKAGE_PACKAGES[@]}"
    # dpkg-buildpackage writes into the parent folder; the results are moved under build/package.
    version=$(dpkg-parsechangelog -S Version)
    out=build/package
    rm -rf "$out" && mkdir -p "$out"
    dpkg-buildpackage -us -uc -b
    mv ../quantaro*_"${version}"_* "$out"/
    lintian --fail-on error,warning "$out"/quantaro_"${version}"_*.changes
    dpkg-deb -x "$out"/quantaro_"${version}"_*.deb "$out/tree"
    packaging/validate-tree.sh "$out/tree"
    ls -l "$out"/*.deb
    ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
