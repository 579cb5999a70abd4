#!/bin/sh
# Checks, in a throw-away data folder, that the ADIF log file type resolves as meant: logs named
# .adi or .adif, or text holding <EOR>, are text/x-adif-log, an AAC file named .adif stays
# audio/aac, and quorvane-adif is offered for logs. Needs gio (libglib2.0-bin), shared-mime-info
# and, for the menu entries, desktop-file-utils.
#   tools/check-mime.sh [BUILD_DIR]          (default build; quorvane-adif must be built there)
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-$source_dir/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export XDG_DATA_HOME="$work/share"
# GLib offers only programs it finds on the PATH.
export PATH="$build_dir/app:$PATH"
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$work/aac"
cp "$source_dir/packaging/quorvane.xml" "$XDG_DATA_HOME/mime/packages/"
cp "$source_dir/packaging/quorvane.desktop" "$source_dir/packaging/quorvane-adif.desktop" \
    "$XDG_DATA_HOME/applications/"
update-mime-database "$XDG_DATA_HOME/mime"
if command -v update-desktop-database >/dev/null; then
    update-desktop-database "$XDG_DATA_HOME/applications"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$XDG_DATA_HOME"/applications/*.desktop
fi

cd "$work"
printf 'ADIF export\n<ADIF_VER:5>3.1.6 <EOH>\n<CALL:4>K1AB <BAND:3>20M <MODE:2>CW <EOR>\n' >x.adi
printf '<call:4>K1AB\n<band:3>20m\n<mode:3>SSB\n<eor>\n' >x.adif
printf 'notes\n<call:4>K1AB <freq:6>14.074 <mode:3>FT8 <eor>\n' >log
# An AAC stream in ADIF form: "ADIF", then binary.
{ printf 'ADIF\000\200\021\223'; head -c 2000 /dev/urandom; } >aac/x.adif

failed=0
expect() {
    got=$(gio info -a standard::content-type "$1" | sed -n 's/.*standard::content-type: //p')
    if [ "$got" = "$2" ]; then
        echo "ok   $1: $got"
    else
        echo "FAIL $1: $got, expected $2"
        failed=1
    fi
}
expect x.adi text/x-adif-log
expect x.adif text/x-adif-log
expect log text/x-adif-log
expect aac/x.adif audio/aac

if gio mime text/x-adif-log | grep -q 'quorvane-adif.desktop'; then
    echo "ok   quorvane-adif is offered for text/x-adif-log"
else
    echo "FAIL quorvane-adif is not offered for text/x-adif-log"
    failed=1
fi
exit $failed
