#!/bin/bash
# DstFolderID 3, the system folder, installed from the menu and uninstalled again. The
# programs name it as the system names it to them (C:\windows\system32); 64-bit
# Windows gives a 32-bit program SysWOW64 under that name, so there, and only there,
# the files must land and be removed. A program that stepped around the 32-bit view
# would write into the 64-bit system folder instead.
source "$(dirname "$0")/lib.sh"

SOFT=システム試験$$
ENTRY=$(e2e_key_name "$SOFT")
DEST_WIN="C:\\windows\\system32\\$SOFT"
WINDOWS_UNIX=$E2E_DRIVE_C/windows
if [ "$E2E_BITS" = 32 ] && [ -d "$WINDOWS_UNIX/syswow64" ]; then
    DEST_UNIX=$WINDOWS_UNIX/syswow64/$SOFT
    OTHER_UNIX=$WINDOWS_UNIX/system32/$SOFT
else
    DEST_UNIX=$WINDOWS_UNIX/system32/$SOFT
    OTHER_UNIX=
fi
UNINSTALL_KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$ENTRY"

forget_installation() {
    e2e_reg delete "HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$ENTRY" /f >/dev/null || true
    e2e_reg delete "$UNINSTALL_KEY" /f >/dev/null || true
    rm -rf "$WINDOWS_UNIX/syswow64/$SOFT" "$WINDOWS_UNIX/system32/$SOFT"
}
trap 'forget_installation; e2e_cleanup' EXIT

e2e_medium
cp "$SETUP_BUILD/_uninst.exe" "$E2E_MEDIUM/"
mkdir -p "$E2E_MEDIUM/SETUP/sub"
printf 'MZ app' >"$E2E_MEDIUM/SETUP/app.exe"
printf 'data\r\n' >"$E2E_MEDIUM/SETUP/sub/data.txt"
e2e_settings 'app.exe' "$SOFT" <<EOF
[AdvanceOption]
DstSubFolder=$SOFT
DstFolderID=3
ShortcutDesktop=0
StandAloneUninstUse=1
EOF
forget_installation

e2e_start
e2e_install_from_menu "$DEST_WIN"
diff -r "$E2E_MEDIUM/SETUP" "$DEST_UNIX" -x _setup.log -x _uninst.exe >"$E2E_DIR/tree.diff" ||
    e2e_fail "expected the medium's tree in ${DEST_UNIX#"$E2E_DRIVE_C"/}:" "$(cat "$E2E_DIR/tree.diff")"
cmp -s "$E2E_MEDIUM/_uninst.exe" "$DEST_UNIX/_uninst.exe" ||
    e2e_fail "expected the uninstaller copied to ${DEST_UNIX#"$E2E_DRIVE_C"/}"
[ -z "$OTHER_UNIX" ] || [ ! -e "$OTHER_UNIX" ] ||
    e2e_fail "expected nothing in the 64-bit system folder, saw:" "$(cd "$OTHER_UNIX" && find .)"
# The record and the list of installed programs name the folder as the program sees it.
iconv -f cp932 -t utf-8 "$DEST_UNIX/_setup.log" | tr -d '\r' | grep -qxF "$DEST_WIN\\sub\\data.txt" ||
    e2e_fail "expected $DEST_WIN\\sub\\data.txt in the record:" "$(iconv -f cp932 -t utf-8 "$DEST_UNIX/_setup.log")"
e2e_reg query "$UNINSTALL_KEY" /v UninstallString | grep -qF "\"$DEST_WIN\\_uninst.exe\" @$ENTRY" ||
    e2e_fail "expected the UninstallString \"$DEST_WIN\\_uninst.exe\" @$ENTRY, saw:" \
        "$(e2e_reg query "$UNINSTALL_KEY")"
# In the 32-bit registry view only, where 64-bit Windows keeps a 32-bit program's list.
if [ -n "$OTHER_UNIX" ] &&
    SETUP_WINE_LOCALE=ja_JP.UTF-8 "$E2E_WINE_RUN" reg query "$UNINSTALL_KEY" /reg:64 </dev/null >/dev/null 2>&1; then
    e2e_fail "expected $UNINSTALL_KEY in the 32-bit registry view only"
fi

e2e_start
e2e_uninstall_from_menu
[ ! -e "$DEST_UNIX" ] || e2e_fail "expected ${DEST_UNIX#"$E2E_DRIVE_C"/} removed, saw:" \
    "$(cd "$DEST_UNIX" && find .)"
! e2e_reg query "$UNINSTALL_KEY" >/dev/null || e2e_fail "expected $UNINSTALL_KEY removed"

echo "PASS $E2E_TEST"
