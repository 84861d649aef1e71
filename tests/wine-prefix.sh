#!/bin/bash
# Prepares the Wine prefix that WINEPREFIX names (32-bit unless WINEARCH says
# otherwise) for the tests: made once, with the fonts the windows ask for; then its
# server and services started, detached, so that none holds a test's output open.
# A failing step ends it with that step's output.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEPREFIX

stamp=$WINEPREFIX/.setup-prefix
if [ ! -f "$stamp" ]; then
    # Emptied rather than removed: the emulated machine mounts its own folder there.
    mkdir -p "$WINEPREFIX"
    find "$WINEPREFIX" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
    # Wine's loader waits five minutes for a new prefix's first boot ("boot event wait
    # timed out") and then fails, while the boot goes on: an emulated machine on a busy
    # host may need longer. Then the boot is waited for, and asked for once more.
    if ! "$here/wine-run" wineboot -i; then
        wineserver -w
        "$here/wine-run" wineboot -i
    fi
    fonts='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    # A 64-bit prefix shares the key between its two registry views.
    "$here/wine-run" reg add "$fonts" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f
    "$here/wine-run" reg add "$fonts" /v 'ＭＳ ゴシック' /d IPAGothic /f
    # A program that crashes ends, rather than wait for someone at Wine's crash dialog.
    "$here/wine-run" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    "$here/wine-run" wineboot -s || true
    wineserver -w
    touch "$stamp"
fi
wineserver -p </dev/null >/dev/null 2>&1 || true  # 2: already running
# The same in a prefix made before that was set.
if ! grep -q '^"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$here/wine-run" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
        /d 0 /f </dev/null
fi
"$here/wine-run" cmd /c exit </dev/null
