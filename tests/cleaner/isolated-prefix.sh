#!/bin/sh
# isolated-prefix.sh PROGRAM [ARGS...]: runs a Windows test program under Wine
# in a private copy of the test prefix's registry (the drive is shared), for
# tests that change the registry from another process and must not disturb
# the tests running beside them.
set -eu
template=${ZORVANE_PREFIX_TEMPLATE:-${WINEPREFIX:?no Wine prefix}}
dir=$(mktemp -d "${TMPDIR:-/tmp}/zorvane-prefix.XXXXXX")
cleanup() {
    WINEPREFIX="$dir" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap cleanup EXIT
cp "$template"/system.reg "$template"/user.reg "$template"/userdef.reg "$dir"/
cp "$template"/.update-timestamp "$dir"/ 2>/dev/null || true
ln -s "$template/drive_c" "$dir/drive_c"
mkdir "$dir/dosdevices"
ln -s ../drive_c "$dir/dosdevices/c:"
ln -s / "$dir/dosdevices/z:"
export WINEPREFIX="$dir" WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
unset DISPLAY
status=0
wine "$@" || status=$?
WINEPREFIX="$dir" wineserver -w
exit $status
