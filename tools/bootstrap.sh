#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quorvane, builds it, and runs the program or the tests.
#   tools/bootstrap.sh run    install what is missing, build, start the program
#   tools/bootstrap.sh test   install what is missing, build, run the whole test suite
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-run}
build_dir=${QUORVANE_BUILD_DIR:-build}
jobs=${QUORVANE_JOBS:-2}

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-charts-dev libgl-dev
          libgtest-dev fonts-liberation)
if [ "$mode" = test ]; then
    # the fuzz target and the sanitizer runs build with clang's runtime
    packages+=(clang libclang-rt-dev)
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
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j "$jobs"

sample=samples/sample.adi
case "$mode" in
    run)
        if [ -x "$build_dir/app/quorvane" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
            exec "$build_dir/app/quorvane"
        fi
        echo "No display available: here is the report for $sample instead."
        exec "$build_dir/app/quorvane-report" "$sample"
        ;;
    test)
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j "$jobs"
        if [ -x tools/checks.sh ]; then tools/checks.sh "$build_dir"; fi
        ;;
    *)
        echo "usage: tools/bootstrap.sh run|test" >&2
        exit 1
        ;;
esac
