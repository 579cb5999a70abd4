#!/usr/bin/env bash
# Makes the README's pictures: starts the program's windows under Xvfb on the bundled sample
# log, opens each window through its menu command and saves one PNG per window into docs/.
# Run it again whenever the windows change.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QUORVANE_BUILD_DIR:-build}

if ! command -v xvfb-run >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends xvfb xauth
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" -j "${QUORVANE_JOBS:-2}" --target quorvane-screenshots
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build_dir/tools/screenshots/quorvane-screenshots" samples/sample.adi docs
ls -l docs/*.png
