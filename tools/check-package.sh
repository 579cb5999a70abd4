#!/usr/bin/env bash
# Builds the Debian package of the build folder BUILD and checks it as the distribution would:
# lintian, every tag shown at every level; the hardening of each program it carries (PIE, full
# RELRO with immediate binding, a stack protector, fortified functions, no compiler notes); and
# its menu entries and software-centre metadata where the package installs them. Any remark
# fails the check.
#   tools/check-package.sh BUILD
set -euo pipefail
build=$(cd "${1:?usage: tools/check-package.sh BUILD}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! (cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
    cat "$work/cpack.log" >&2
    exit 1
fi
deb=$(echo "$work"/out/*.deb)
dpkg-deb -x "$deb" "$work/root"
status=0
fail() {
    echo "check-package.sh: $*" >&2
    status=1
}

for program in "$work"/root/usr/bin/*; do
    name=${program##*/}
    dynamic=$(readelf -dW "$program")
    grep -q '(FLAGS_1).*NOW.*PIE' <<<"$dynamic" || fail "$name: not PIE bound at start"
    readelf -lW "$program" | grep -q GNU_RELRO || fail "$name: no RELRO"
    symbols=$(nm -D "$program")
    grep -q ' U __stack_chk_fail' <<<"$symbols" || fail "$name: no stack protector"
    grep -qE ' U __[a-z_]+_chk' <<<"$symbols" || fail "$name: no fortified function"
    if readelf -SW "$program" | grep -qE '\.comment|\.note '; then fail "$name: compiler notes"; fi
done

metainfo=$(appstreamcli validate --no-net --pedantic "$work"/root/usr/share/metainfo/*.xml 2>&1) ||
    fail "appstreamcli validate failed"
if grep -qE '(errors|warnings|infos|pedantic): [0-9]' <<<"$metainfo"; then fail "$metainfo"; fi
desktop=$(desktop-file-validate "$work"/root/usr/share/applications/*.desktop 2>&1) ||
    fail "desktop-file-validate failed"
if [ -n "$desktop" ]; then fail "$desktop"; fi

# lintian warns on stderr that it runs as root, as it does in containers.
tags=$(lintian --display-info --pedantic --display-experimental "$deb" 2>/dev/null) || fail "lintian failed"
if [ -n "$tags" ]; then fail "lintian: $tags"; fi

[ "$status" -eq 0 ] && echo "$(basename "$deb"): lintian, hardening, metainfo and menu entries clean"
exit "$status"
