#!/usr/bin/env bash
# The web page and the core compiled to WebAssembly, built with Emscripten in build-web.
#   tools/web.sh page           build quorvane.html and print its path
#   tools/web.sh test NATIVE    also build the core's tests, run them under Node (ctest label
#                               wasm) and run the browser test of the page against the native
#                               quorvane-report and quorvane-loggen in the build folder NATIVE
#                               (ctest label web)
# Needs emscripten and node-acorn (tools/bootstrap.sh web installs them); the browser test also
# needs npm, chromium, firefox-esr, webkit2gtk-driver and xvfb (tools/bootstrap.sh test).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-page}
build=${QUORVANE_WEB_BUILD_DIR:-build-web}
jobs=${QUORVANE_JOBS:-2}
# Debian's Emscripten finds Debian's acorn there, also when `node` is another build of Node.
export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs

configure=(emcmake cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release)
case "$mode" in
    page)
        # without the tests, which need GoogleTest's sources and JSON for Modern C++ as well
        "${configure[@]}" -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF >/dev/null
        cmake --build "$build" -j "$jobs" --target quorvane_page
        echo "$PWD/$build/web/quorvane.html"
        ;;
    test)
        native=$(cd "${2:?usage: tools/web.sh test NATIVE_BUILD_DIR}" && pwd)
        "${configure[@]}" -DQUORVANE_TESTS=ON -DQUORVANE_NATIVE_BUILD="$native" >/dev/null
        cmake --build "$build" -j "$jobs"
        # puppeteer-core as the lock file pins it; it drives Debian's Chromium and Firefox ESR and
        # downloads no browser of its own.
        (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
        ctest --test-dir "$build" --output-on-failure -j "$jobs" -L '^(wasm|web)$'
        ;;
    *)
        echo "usage: tools/web.sh page|test NATIVE_BUILD_DIR" >&2
        exit 1
        ;;
esac
