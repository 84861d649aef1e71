#!/bin/bash
# Prepares the Wine prefix that WINEPREFIX names (32-bit unless WINEARCH says
# otherwise) for the tests: made once, with the fonts the windows ask for; then its
# server and services started, detached, so that none holds a test's output open.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
export WINEPREFIX

stamp=$WINEPREFIX/.setup-prefix
if [ ! -f "$stamp" ]; then
    rm -rf "$WINEPREFIX"
    "$here/wine-run" wineboot -i >/dev/null 2>&1
    fonts='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    # A 64-bit prefix shares the key between its two registry views.
    "$here/wine-run" reg add "$fonts" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
    "$here/wine-run" reg add "$fonts" /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null 2>&1
    "$here/wine-run" wineboot -s >/dev/null 2>&1 || true
    wineserver -w
    touch "$stamp"
fi
wineserver -p </dev/null >/dev/null 2>&1 || true  # 2: already running
"$here/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
