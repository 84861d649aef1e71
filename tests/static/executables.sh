#!/bin/bash
# What ships, checked without running it, so that it is checked on every machine:
#
#   tests/static/executables.sh <i686 build folder>
#
# Setup.exe, _uninst.exe and SetupCheck.exe are 32-bit x86 programs of the right
# subsystem, with address-space randomisation and no-execute data, importing only
# DLLs that Windows always takes from its own folder (nothing of the compiler's
# runtime beside them); the two that change the system ask for administrator rights
# and the checker runs as its caller; the setup program stays within 420,000 bytes and
# the uninstaller within 220,000.
set -uo pipefail
build=${1:?usage: tests/static/executables.sh <i686 build folder>}
objdump=x86_64-w64-mingw32-objdump
# The known DLLs that Windows 7 to 11 all have.
KNOWN=" advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz
    nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32 "
SETUP_LIMIT=420000
UNINSTALLER_LIMIT=220000
failures=0

fail() {
    echo "FAIL $program: $*"
    failures=$((failures + 1))
}

# program, subsystem, execution level, size limit (0: none)
while read -r program subsystem level limit; do
    file=$build/$program
    if ! [ -f "$file" ]; then
        fail "not built"
        continue
    fi
    headers=$($objdump -p "$file" 2>&1)
    format=$($objdump -f "$file" 2>&1 | sed -n 's/.*file format //p')
    [ "$format" = pei-i386 ] || fail "file format \"$format\", expected pei-i386"
    grep -q "^Subsystem.*(Windows $subsystem)" <<<"$headers" ||
        fail "subsystem $(sed -n 's/^Subsystem\s*//p' <<<"$headers"), expected Windows $subsystem"
    characteristics=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
    for flag in DYNAMIC_BASE NX_COMPAT; do
        grep -qw "$flag" <<<"$characteristics" || fail "no $flag"
    done
    imports=$(sed -n 's/^\s*DLL Name: *//p' <<<"$headers" | tr 'A-Z' 'a-z')
    [ -n "$imports" ] || fail "no imports found"
    for dll in $imports; do
        [[ $KNOWN == *" ${dll%.dll} "* ]] || fail "imports $dll, not a known DLL"
    done
    grep -qa "<requestedExecutionLevel level=\"$level\"" "$file" ||
        fail "no manifest asking for $level"
    size=$(stat -c %s "$file")
    ((limit == 0 || size <= limit)) || fail "$size bytes, more than $limit"
done <<EOF2
Setup.exe GUI requireAdministrator $SETUP_LIMIT
_uninst.exe GUI requireAdministrator $UNINSTALLER_LIMIT
SetupCheck.exe CUI asInvoker 0
EOF2

[ "$failures" = 0 ] && echo "3 executables checked: ok"
exit $((failures > 0))
