#!/bin/bash
# A user whose Documents and AppData folders have names that code page 932 cannot
# write, redirected there through the registry's shell-folder values, in a prefix of
# its own beside the test prefix: an installation below each of them (DstFolderID 4
# and 6) lands in the real folder under its short name, its shortcuts lead there (read
# back by lnkinfo, resolved by Wine), and the uninstallation removes all of it and
# nothing else.
source "$(dirname "$0")/lib.sh"

BASE_PREFIX=$WINEPREFIX
export WINEPREFIX=$BASE_PREFIX-profile
SOFT=転居試験$$
SUB=Moved$$
ENTRY=$(e2e_key_name "$SOFT")
PRODUCT_KEY="HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$ENTRY"
UNINSTALL_KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$ENTRY"
DRIVE_C=$WINEPREFIX/drive_c
DESKTOP=$DRIVE_C/users/Public/Desktop
DOCUMENTS='C:\Jürgen Müller\Dokumente'
APPDATA='C:\Łukasz\AppData\Roaming'
PROGRAMS="$APPDATA\\Microsoft\\Windows\\Start Menu\\Programs"
unix_of() {
    local path=${1#C:\\}
    printf '%s' "$DRIVE_C/${path//\\//}"
}
SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'

forget_installation() {
    e2e_reg delete "$PRODUCT_KEY" /f >/dev/null 2>&1 || true
    e2e_reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1 || true
    rm -rf "$(unix_of "$DOCUMENTS")/$SUB" "$(unix_of "$APPDATA")/$SUB" \
        "$(unix_of "$PROGRAMS")/$SOFT" "$DESKTOP/$SOFT.lnk"
}
# That prefix's server goes with the test; the test prefix's stays for the others.
trap 'forget_installation; e2e_cleanup; wineserver -k 2>/dev/null || true' EXIT

expect_equal() {
    [ "$2" = "$3" ] || e2e_fail "$1:" "expected:" "$2" "but saw:" "$3"
}

# The prefix: made once, its user folders redirected anew, each holding a file of the
# user's own.
bash "$SETUP_SOURCE/tests/wine-prefix.sh" || e2e_fail "could not prepare the prefix $WINEPREFIX"
for folder in "$DOCUMENTS" "$PROGRAMS"; do
    mkdir -p "$(unix_of "$folder")"
done
echo mine >"$(unix_of "$DOCUMENTS")/Brief.txt"
echo mine >"$(unix_of "$APPDATA")/Einstellungen.ini"
for key in "User Shell Folders" "Shell Folders"; do
    for value in "Personal=$DOCUMENTS" "AppData=$APPDATA" "Programs=$PROGRAMS" \
        "Start Menu=${PROGRAMS%\\Programs}"; do
        "$E2E_WINE_RUN" reg add "$SHELL_FOLDERS\\$key" /v "${value%%=*}" /d "${value#*=}" /f \
            </dev/null >/dev/null 2>&1 || e2e_fail "could not redirect ${value%%=*} in $key"
    done
done
forget_installation

e2e_medium
m=$E2E_MEDIUM
cp "$SETUP_BUILD/_uninst.exe" "$m/"
mkdir -p "$m/SETUP/bin" "$m/SETUP/データ"
head -c 100000 /dev/urandom >"$m/SETUP/bin/app.exe"
printf 'manual\r\n' >"$m/SETUP/データ/説明書.txt"

# Expects a Windows path of the prefix to name the same file as a Unix path.
expect_same_file() {
    local unix
    unix=$("$E2E_WINE_RUN" winepath -u "$2" </dev/null 2>/dev/null)
    [ -e "$3" ] && [ "$unix" -ef "$3" ] ||
        e2e_fail "$1: expected $2 to name $3, but Wine resolves it to \"$unix\""
}

# Everything in the user's folders, for the check that the uninstallation leaves
# them as they were.
user_files() {
    find "$(unix_of "$DOCUMENTS")" "$(unix_of "$APPDATA")" "$DESKTOP" | sort
}

# Installs the medium below the base folder of a DstFolderID and uninstalls it.
install_below() {
    local id=$1 base=$2 before message folder
    local real
    real=$(unix_of "$base")/$SUB
    e2e_settings 'bin\app.exe' "$SOFT" <<EOF
[AdvanceOption]
DstFolderID=$id
DstSubFolder=$SUB
ShortcutDesktop=1
ShortcutPrograms=1
ShortcutFolder=$SOFT
StandAloneUninstUse=1
EOF
    before=$(user_files)
    e2e_start
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Down Enter
    e2e_wait_window "${DEST[@]}"
    e2e_drive click "${DEST[@]}" '開始(&S)'
    message=$(e2e_driver message "$E2E_TIMEOUT_MS") || e2e_fail "DstFolderID $id: expected a message box"
    # The destination as the dialog holds it: plain ASCII, the short form of the real folder.
    folder=$(sed -n 's/^フォルダ \(.*\) がありません.$/\1/p' <<<"$message")
    [[ $folder =~ ^C:\\[\ -~]+\\$SUB$ && $folder != *\?* ]] ||
        e2e_fail "DstFolderID $id: expected a new folder in plain ASCII, saw:" "$message"
    e2e_answer OK
    e2e_expect_message 成功 OK インストールが正常に終了しました.
    e2e_answer OK
    e2e_wait_window "${MENU[@]}"

    expect_same_file "DstFolderID $id, the destination" "$folder" "$real"
    diff -r "$m/SETUP" "$real" -x _setup.log -x _uninst.exe >"$E2E_DIR/tree.diff" ||
        e2e_fail "DstFolderID $id: the installed tree differs from the medium's:" \
            "$(cat "$E2E_DIR/tree.diff")"
    grep -qxF "$folder\\bin\\app.exe"$'\r' "$real/_setup.log" ||
        e2e_fail "DstFolderID $id: expected the record to hold $folder\\bin\\app.exe:" \
            "$(iconv -f cp932 -t utf-8 "$real/_setup.log")"
    expect_equal "DstFolderID $id, the program's registry value" "$folder\\bin\\app.exe" \
        "$(e2e_reg query "$PRODUCT_KEY" /v Path | sed -n 's/^ *Path *REG_SZ *//p')"
    local link
    for link in "$DESKTOP/$SOFT.lnk" "$(unix_of "$PROGRAMS")/$SOFT/$SOFT.lnk"; do
        expect_equal "DstFolderID $id, the shortcut $link" "$folder\\bin\\app.exe
$folder\\bin" "$(e2e_link_of "$link")"
        expect_same_file "DstFolderID $id, the target of $link" "$folder\\bin\\app.exe" \
            "$real/bin/app.exe"
    done

    e2e_uninstall_from_menu
    expect_equal "DstFolderID $id, the user's folders after the uninstallation" "$before" \
        "$(user_files)"
    local key
    for key in "$PRODUCT_KEY" "$UNINSTALL_KEY"; do
        ! e2e_reg query "$key" >/dev/null ||
            e2e_fail "DstFolderID $id: expected $key removed by the uninstallation"
    done
}

install_below 4 "$DOCUMENTS"
install_below 6 "$APPDATA"

echo "PASS $E2E_TEST"
