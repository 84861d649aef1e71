#!/bin/bash
# Neither program loads a DLL placed beside it under the name of a system DLL, with
# Wine told to prefer such a DLL to its own: both import only DLLs that the system
# always takes from its own folder, and restrict the search for any other to the
# system folder. A control program without that restriction, run the same way beside
# the same DLLs, loads them, so that the test sees a DLL it fails to keep out.
source "$(dirname "$0")/lib.sh"

PLANTED_DLL=$SETUP_BUILD/tests/PlantedDll.dll
CONTROL=$SETUP_BUILD/tests/UnguardedProgram.exe
# Neither is a known DLL: unless told otherwise the system looks for them in the
# program's folder first. The system's window code loads uxtheme.dll while windows
# are made; comctl32.dll holds the progress bar. Not version.dll: Wine's own user32
# imports it, so under Wine every window program loads it before its first
# instruction, where Windows' user32 does not.
PLANTED=(uxtheme.dll comctl32.dll)
# The known DLLs that Windows 7 to 11 all have.
KNOWN=" advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz
    nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32 "
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=;uxtheme,comctl32=n,b"

for program in Setup.exe _uninst.exe; do
    imports=$(x86_64-w64-mingw32-objdump -p "$SETUP_BUILD/$program" |
        sed -n 's/^\s*DLL Name: *//p' | tr 'A-Z' 'a-z')
    [ -n "$imports" ] || e2e_fail "no imports found in $SETUP_BUILD/$program"
    for dll in $imports; do
        [[ $KNOWN == *" ${dll%.dll} "* ]] || e2e_fail "$program imports $dll, not a known DLL"
    done
done

plant() {
    for dll in "${PLANTED[@]}"; do
        cp "$PLANTED_DLL" "$1/$dll"
    done
}

# The planted DLLs that have been loaded from a folder.
loaded_from() {
    find "$1" -maxdepth 1 -name '*.loaded' -printf '%f\n' | sed 's/\.loaded$//' | sort |
        tr '\n' ' '
}

# Checked while the program runs, as soon as it has shown a window: a DLL it should
# not have loaded may keep it from going further.
expect_none_loaded() {
    local seen
    seen=$(loaded_from "$E2E_MEDIUM")
    [ -z "$seen" ] || e2e_fail "$1 loaded the DLLs planted beside it: $seen"
}

[ -f "$PLANTED_DLL" ] && [ -f "$CONTROL" ] || e2e_fail "build the Windows tree's tests first"
e2e_medium
bash "$SETUP_SOURCE/tools/make-demo-medium.sh" "$E2E_MEDIUM" "$SETUP_BUILD"
plant "$E2E_MEDIUM"

# Setup.exe through the windows that use most of the system: the menu, the dialogs,
# the progress bar's classes and the shell's folder-browse dialog.
e2e_start
e2e_wait_window "${MENU[@]}"
expect_none_loaded Setup.exe
e2e_drive key "${MENU[@]}" Enter
e2e_drive key "${MENU[@]}" Enter
e2e_wait_window "${INFO[@]}"
e2e_drive click "${INFO[@]}" '次へ(&N) >'
e2e_wait_window "${DEST[@]}"
e2e_drive click "${DEST[@]}" '参照...(&B)'
e2e_wait_window '#32770' '*'
e2e_screenshot setup
e2e_drive click '#32770' '*' "$E2E_SYSTEM_CANCEL"
# Ending the driver's run ends the program.
kill "$E2E_PROGRAM_PID"
wait "$E2E_PROGRAM_PID" || true
E2E_PROGRAM_PID=
expect_none_loaded Setup.exe

# _uninst.exe as far as its first message.
e2e_run_in "$E2E_MEDIUM" _uninst.exe
e2e_expect_message エラー OK アンインストールするソフトが指定されていません.
expect_none_loaded _uninst.exe
e2e_answer OK
e2e_expect_exit_code 0

# The control loads each of them from its own folder.
control=$E2E_DIR/control
mkdir -p "$control"
cp "$CONTROL" "$control/"
plant "$control"
(cd "$control" && "$E2E_WINE_RUN" UnguardedProgram.exe "${PLANTED[@]}") </dev/null ||
    e2e_fail "the control program could not load ${PLANTED[*]}"
expected=$(printf '%s\n' "${PLANTED[@]}" | sort | tr '\n' ' ')
seen=$(loaded_from "$control")
[ "$seen" = "$expected" ] ||
    e2e_fail "expected the control program to load the planted $expected" "but it loaded: $seen"
