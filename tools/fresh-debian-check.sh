#!/usr/bin/env bash
# Tries the README's set-up as a new user would: makes a fresh Debian 12 root with debootstrap,
# clones the project into it and runs the README's three commands there, `tools/bootstrap.sh web`
# first (it installs the least), then `tools/bootstrap.sh run` (without a display) and
# `tools/bootstrap.sh test`, so that each must install all it needs itself. Prints each command's exit code and wall time, and ctest's
# test counts by label.
#
#   tools/fresh-debian-check.sh [REPO [ROOT]]
#     REPO  the git repository or worktree to clone, at its checked-out commit
#           (default: the one holding this script); uncommitted changes are not part of the check
#     ROOT  where the root is made (default /var/tmp/quorvane-fresh-root); a root left there by
#           an earlier run is removed first. Logs go to ROOT.logs/.
#
# Needs root, debootstrap and git on this machine, and a reachable Debian mirror: the first one
# in this machine's apt sources, or QUORVANE_MIRROR. QUORVANE_FUZZ_SECONDS, QUORVANE_SANITIZE and
# QUORVANE_JOBS are passed on to the commands. Exits non-zero when a command fails or the build
# leaves the clone's git status unclean.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
repo=$(git -C "${1:-$here}" rev-parse --show-toplevel)
root=${2:-/var/tmp/quorvane-fresh-root}
root=$(realpath -m "$root")
logs=$root.logs
marker=$root/.quorvane-fresh-root
project=/root/quorvane

[ "$(id -u)" -eq 0 ] || { echo "fresh-debian-check.sh: must run as root (debootstrap, chroot, mount)" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "fresh-debian-check.sh: install debootstrap first" >&2; exit 1; }
case "$root" in
    / | "$repo" | "$repo"/*) echo "fresh-debian-check.sh: refusing to make the root at $root" >&2; exit 1 ;;
esac

mirror=${QUORVANE_MIRROR:-}
if [ -z "$mirror" ]; then
    mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
        sed -n 's,^URIs:[[:space:]]*\([^[:space:]]*/debian\)/\?$,\1,p' | head -n 1)
fi
if [ -z "$mirror" ]; then
    mirror=$(sed -n 's,^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*/debian\)/\?[[:space:]].*,\2,p' \
        /etc/apt/sources.list 2>/dev/null | head -n 1)
fi
mirror=${mirror:-http://deb.debian.org/debian}

mounts=(proc sys dev dev/pts dev/shm)
unmount_all() {
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        if mountpoint -q "$root/${mounts[i]}"; then umount -l "$root/${mounts[i]}" || true; fi
    done
}
trap unmount_all EXIT

# A root from an earlier run goes first, but only one that this script made.
if [ -e "$root" ]; then
    if [ ! -e "$marker" ] && [ -n "$(ls -A "$root")" ]; then
        echo "fresh-debian-check.sh: $root exists and was not made by this script; choose another ROOT" >&2
        exit 1
    fi
    unmount_all
    rm -rf --one-file-system "$root"
fi
rm -rf "$logs"
mkdir -p "$root" "$logs"
touch "$marker"

commit=$(git -C "$repo" rev-parse HEAD)
branch=$(git -C "$repo" symbolic-ref -q --short HEAD || true)
[ -z "$(git -C "$repo" status --porcelain)" ] ||
    echo "fresh-debian-check.sh: note: $repo has uncommitted changes; checking $commit without them"

elapsed() { echo $(($(date +%s) - $1)); }

echo "== debootstrap --variant=minbase bookworm $root $mirror"
start=$(date +%s)
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$logs/debootstrap.log" 2>&1 ||
    { tail -n 30 "$logs/debootstrap.log" >&2; exit 1; }
debootstrap_time=$(elapsed "$start")

# The same apt sources as this machine (updates and security as well), else the mirror alone.
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
    : >"$root/etc/apt/sources.list"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"
# A network that reaches the registries through a proxy with its own certificate authority: the
# host's extra authorities go into the root too, for npm (Node reads NODE_EXTRA_CA_CERTS).
host_cas=$(find /usr/local/share/ca-certificates -name '*.crt' 2>/dev/null | sort)
if [ -n "$host_cas" ]; then
    # shellcheck disable=SC2086
    cat $host_cas >"$root/etc/quorvane-host-cas.pem"
fi
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
if mountpoint -q /dev/shm; then mount --bind /dev/shm "$root/dev/shm"; fi

# Cloned from outside: the root has no git, and the README's commands must install the rest.
git clone -q ${branch:+--branch "$branch"} "$repo" "$root$project"
git -C "$root$project" checkout -q "$commit"
echo "== cloned $repo at $commit${branch:+ ($branch)} into $root$project"

# A clean environment without a display, as a new user's terminal on a headless machine.
in_root() {
    local vars=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
        LANG=C.UTF-8 TERM=dumb)
    local v
    if [ -f "$root/etc/quorvane-host-cas.pem" ]; then
        vars+=(NODE_EXTRA_CA_CERTS=/etc/quorvane-host-cas.pem)
    fi
    for v in QUORVANE_FUZZ_SECONDS QUORVANE_SANITIZE QUORVANE_JOBS; do
        if [ -n "${!v:-}" ]; then vars+=("$v=${!v}"); fi
    done
    chroot "$root" /usr/bin/env -i "${vars[@]}" /bin/bash -c "cd $project && $1"
}

declare -A rc took
for cmd in "tools/bootstrap.sh web" "tools/bootstrap.sh run" "tools/bootstrap.sh test"; do
    log=$logs/${cmd##* }.log
    echo "== $cmd   (log: $log)"
    start=$(date +%s)
    set +e
    in_root "$cmd" </dev/null 2>&1 | tee "$log"
    rc[$cmd]=${PIPESTATUS[0]}
    set -e
    took[$cmd]=$(elapsed "$start")
done

echo
echo "== Results ($commit, root $root)"
printf '%-26s %4s %8s\n' command exit "wall s"
printf '%-26s %4s %8s\n' "debootstrap" 0 "$debootstrap_time"
status=0
for cmd in "tools/bootstrap.sh web" "tools/bootstrap.sh run" "tools/bootstrap.sh test"; do
    printf '%-26s %4s %8s\n' "$cmd" "${rc[$cmd]}" "${took[$cmd]}"
    [ "${rc[$cmd]}" -eq 0 ] || status=1
done

for build in build build-sanitize build-web; do
    [ -f "$root$project/$build/CTestTestfile.cmake" ] || continue
    echo "ctest tests by label in $build:"
    for label in $(in_root "ctest --test-dir $build --print-labels" | sed -n 's/^  //p'); do
        printf '  %-8s %s\n' "$label" \
            "$(in_root "ctest --test-dir $build -N -L '^$label\$'" | sed -n 's/^Total Tests: //p')"
    done
    printf '  %-8s %s\n' all "$(in_root "ctest --test-dir $build -N" | sed -n 's/^Total Tests: //p')"
done
echo "ctest summaries in the test log:"
grep -E 'tests passed|tests failed' "$logs/test.log" | sed 's/^/  /' || echo "  none"

# The build writes only into the build folders that .gitignore covers.
dirty=$(git -C "$root$project" status --porcelain)
if [ -n "$dirty" ]; then
    echo "git status of the clone is not clean:"
    echo "  ${dirty//$'\n'/$'\n'  }"
    status=1
else
    echo "git status of the clone: clean (ignored: $(git -C "$root$project" status --porcelain --ignored |
        sed -n 's/^!! //p' | tr '\n' ' '))"
fi
exit $status
