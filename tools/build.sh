#!/usr/bin/env bash
# Installs what Korvane needs on Debian 12, builds it, and either starts it or runs every test.
#   bash tools/build.sh run     install, build and start Korvane (on a demo data folder the first time)
#   bash tools/build.sh test    install, build, run all tests (plus a sanitizer build of the core tests)
#   bash tools/build.sh package install, make a Release build and pack it as a Debian package
set -euo pipefail

mode=${1:-run}
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KORVANE_BUILD_DIR:-$top/build}

packages=(build-essential cmake ninja-build pkg-config git qt6-base-dev qt6-base-private-dev qt6-svg-dev libxlsxwriter-dev
          libical-dev libzip-dev zipcmp zipmerge ziptool libgtest-dev libbenchmark-dev xvfb xauth help2man
          qtkeychain-qt6-dev)
# The tests open the .docx and .xlsx exports in LibreOffice headless; poppler turns its PDFs into text and pictures.
# The fuzz targets need clang with its libFuzzer and sanitizer runtimes, and llvm-symbolizer for readable reports.
# The install test packs the build as a Debian package and checks its desktop entry, metainfo and
# manual pages; lintian checks the package the package command makes.
# The publish tests start a Radicale calendar server and check it with a second CalDAV client; two
# Syncthing instances share a data folder in the test of sync conflict copies.
if [ "$mode" = test ]; then
    packages+=(radicale python3-caldav python3-icalendar libreoffice-calc libreoffice-writer poppler-utils clang libclang-rt-dev llvm
               dpkg-dev appstream desktop-file-utils man-db syncthing)
fi
if [ "$mode" = package ]; then
    packages+=(dpkg-dev lintian)
fi

install_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo=sudo
        $sudo apt-get update
        # Waits for another apt run that holds the lock instead of failing at once.
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
            -o DPkg::Lock::Timeout=600 "${missing[@]}"
    fi
}

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$top" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}

install_packages
case "$mode" in
run)
    configure_and_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    # First start on this machine: a demo data folder, so there is something to look at. The
    # program asks for a folder itself when the remembered one is gone.
    config=${XDG_CONFIG_HOME:-$HOME/.config}/Brisolt/Korvane.conf
    if ! grep -q '^Path=' "$config" 2>/dev/null; then
        picked=$HOME/Korvane-Demo
        [ -d "$picked/Korvane" ] || "$build/cli/korvane-cli" --data "$picked/Korvane" demo
        mkdir -p "$(dirname "$config")"
        printf '[Directory]\nPath=%s\n' "$picked" >> "$config"
        echo "Demo data folder: $picked/Korvane (login name naro, password naro)"
    fi
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "No display found: start $build/app/korvane from a desktop session." >&2
        exit 1
    fi
    exec "$build/app/korvane"
    ;;
test)
    configure_and_build "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
    configure_and_build "$build-sanitizers" -DCMAKE_BUILD_TYPE=Debug -DENABLE_SANITIZERS=ON -DKORVANE_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$build-sanitizers" --output-on-failure --parallel "$(nproc)"
    # A short round of every fuzz target from the committed seeds; any finding fails the run.
    cmake -S "$top" -B "$build-fuzz" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_BUILD_FUZZ=ON -DKORVANE_BUILD_TESTS=OFF \
        -DKORVANE_BUILD_BENCH=OFF -DKORVANE_FUZZ_SECONDS=12
    cmake --build "$build-fuzz" --parallel "$(nproc)" --target fuzz_run
    ;;
package)
    # Debian's compiler and linker flags (with every hardening option), no tests and benchmarks.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cd "$top"
    configure_and_build "$build-release" -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_TESTS=OFF \
        -DKORVANE_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
    (cd "$build-release" && cpack --config CPackConfig.cmake)
    deb=$(ls -t "$build-release"/korvane_*.deb | head -1)
    lintian --fail-on error --tag-display-limit 0 "$deb"
    echo "Package: $deb (install it with: apt install $deb)"
    ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 1
    ;;
esac
