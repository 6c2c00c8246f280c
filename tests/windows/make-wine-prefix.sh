#!/usr/bin/env bash
# make-wine-prefix.sh PREFIX: a new Wine prefix for the Windows tests, made
# afresh on every run: 64-bit with the 32-bit part (both programs run in it),
# and a display of 144 DPI, what Windows calls 150 %.
set -euo pipefail
prefix=$(realpath -m "$1")
rm -rf "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all
# No Mono or Gecko to offer to install; no display needed for any of it.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine wineboot --init >/dev/null 2>&1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver --wait
echo "Wine prefix $prefix: $(wine --version), 144 DPI"
