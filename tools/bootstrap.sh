#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quorvane, builds it, and runs the program or the tests.
#   tools/bootstrap.sh run    install what is missing, build, start the program
#   tools/bootstrap.sh test   install what is missing, build, run the whole test suite
#   tools/bootstrap.sh web    install what is missing, build the web page, print its path
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
if [ "$mode" != run ] && [ "$mode" != test ] && [ "$mode" != web ]; then
    echo "usage: tools/bootstrap.sh run|test|web" >&2
    exit 1
fi
build_dir=${QUORVANE_BUILD_DIR:-build}
jobs=${QUORVANE_JOBS:-2}

# Everything the whole build needs on a fresh Debian 12, installed without recommends: so
# libqt6opengl6-dev, which qt6-base-dev only recommends but Qt Charts' CMake package needs,
# is named here.
packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
          libcxxopts-dev libgtest-dev nlohmann-json3-dev fonts-liberation)
if [ "$mode" = test ]; then
    # the fuzz target and the sanitizer runs build with clang's runtime; the format check; the
    # package's check runs lintian and validates its software-centre metadata and menu entries
    packages+=(clang libclang-rt-dev clang-format appstream desktop-file-utils lintian)
fi
if [ "$mode" = web ]; then
    # the page alone: Emscripten, the acorn parser its optimizer needs, and the header of
    # quorvane-report's option parser, which the configuration looks for
    packages=(cmake ninja-build emscripten node-acorn libcxxopts-dev)
elif [ "$mode" = test ]; then
    # the core's tests under Node and the browser test of the page (tools/web.sh) in Chromium,
    # Firefox ESR and WebKitGTK (its WebDriver and MiniBrowser, on a display of Xvfb's)
    packages+=(emscripten node-acorn chromium firefox-esr webkit2gtk-driver xvfb)
    if ! command -v npm >/dev/null; then packages+=(npm); fi
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "tools/bootstrap.sh: needs root or sudo to install: ${missing[*]}" >&2
            exit 1
        fi
        sudo=sudo
    fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [ "$mode" = web ]; then exec tools/web.sh page; fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j "$jobs"

# Whether this build has the windows: on unless it was configured with -DQUORVANE_GUI=OFF.
gui=$(sed -n 's/^QUORVANE_GUI:BOOL=//p' "$build_dir/CMakeCache.txt")
case "${gui^^}" in ON | TRUE | YES | Y | 1) gui=on ;; *) gui=off ;; esac

sample=samples/sample.adi
case "$mode" in
    run)
        if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
            echo "No display (DISPLAY and WAYLAND_DISPLAY are unset), so no window: here is the report of $sample instead."
            exec "$build_dir/app/quorvane-report" "$sample"
        fi
        if [ ! -x "$build_dir/app/quorvane" ]; then
            echo "tools/bootstrap.sh: $build_dir/app/quorvane was not built (QUORVANE_GUI is $gui in $build_dir);" \
                "configure with cmake -S . -B $build_dir -DQUORVANE_GUI=ON and run this again" >&2
            exit 1
        fi
        exec "$build_dir/app/quorvane"
        ;;
    test)
        if [ "$gui" = on ]; then
            for label in gui package; do
                count=$(ctest --test-dir "$build_dir" -N -L "^$label\$" | sed -n 's/^Total Tests: //p')
                if [ "${count:-0}" -eq 0 ]; then
                    echo "tools/bootstrap.sh: the build in $build_dir has the windows but no test" \
                        "labelled $label; those checks would not run" >&2
                    exit 1
                fi
            done
        fi
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
        tools/checks.sh "$build_dir"
        tools/web.sh test "$build_dir"
        ;;
esac
