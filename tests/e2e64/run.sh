#!/bin/bash
# The end-to-end tests once more in a 64-bit Wine prefix, where the 32-bit programs
# see "C:\Program Files (x86)" and the registry's 32-bit view:
#
#   tests/e2e64/run.sh <Windows build folder>
#
# The prefix is WINEPREFIX (build/wine64 unless set), made on first use. Prints one
# line per test, "e2e64_<test>: ok" or "e2e64_<test>: FAILED" followed by what the
# test said; exit code 1 when one failed. Each test's folders and screenshots go to
# <build>/e2e64/ instead of the build folder itself, which the 32-bit run uses.
set -uo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: tests/e2e64/run.sh <Windows build folder>}" && pwd)
export WINEPREFIX=${WINEPREFIX:-$source/build/wine64} WINEARCH=${WINEARCH:-win64}

bash "$source/tests/wine-prefix.sh" || {
    echo "e2e64: FAILED to prepare the prefix $WINEPREFIX"
    exit 1
}

# The build as the tests see it: its programs, its own output folders.
view=$build/e2e64
rm -rf "$view"
mkdir -p "$view"
for entry in Setup.exe _uninst.exe tools tests; do
    ln -s "$build/$entry" "$view/$entry"
done

failed=0
for script in "$source"/tests/e2e/*.sh; do
    name=$(basename "$script" .sh)
    [ "$name" != lib ] || continue
    started=$SECONDS
    if output=$(SETUP_BUILD=$view SETUP_SOURCE=$source timeout 300 bash "$script" 2>&1); then
        echo "e2e64_$name: ok ($((SECONDS - started)) s)"
    else
        echo "e2e64_$name: FAILED ($((SECONDS - started)) s)"
        printf '%s\n' "$output" | sed 's/^/  /'
        failed=1
    fi
done
# The prefix is this script's own: its server ends with it.
wineserver -k 2>/dev/null || true
exit $failed
