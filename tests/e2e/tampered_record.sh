#!/bin/bash
# The stand-alone uninstaller on an installation whose record and product key were
# edited afterwards, as a user without administrator rights can. Setup.exe installs a
# medium; then the record lists, besides its own lines, a file of another folder, a
# file and a folder reached through "..", a file behind a symbolic link inside the
# installation and an empty folder elsewhere, and the name of the extra shortcut climbs
# out of the desktop. First the product key names a copy of the record outside the
# installation: nothing is removed. Then, with the installation's own record, its
# genuine lines are removed and everything else stays.
source "$(dirname "$0")/lib.sh"

UNINSTALLER=$SETUP_BUILD/_uninst.exe
[ -f "$UNINSTALLER" ] || e2e_fail "no $UNINSTALLER: build the Windows tree first"

SOFT_NAME=改変試験ソフト
ENTRY=$(e2e_key_name "$SOFT_NAME")
PRODUCT_KEY="HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$ENTRY"
UNINSTALL_KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$ENTRY"
DEST_WIN="$E2E_PROGRAM_FILES\\$SOFT_NAME"
DEST_UNIX=$E2E_PROGRAM_FILES_UNIX/$SOFT_NAME
# Someone else's files, which the edited lines name.
OTHERS_WIN='C:\改変試験の他人'
OTHERS=$E2E_DRIVE_C/改変試験の他人

forget_installation() {
    e2e_reg delete "$PRODUCT_KEY" /f >/dev/null || true
    e2e_reg delete "$UNINSTALL_KEY" /f >/dev/null || true
    rm -rf "$DEST_UNIX" "$OTHERS" "$E2E_DESKTOP/$SOFT_NAME.lnk"
}

cleanup_tampered_record_test() {
    forget_installation
    e2e_cleanup
}
trap cleanup_tampered_record_test EXIT

start_program() {
    e2e_run_in "$1" --all "${@:2}"
}

# Every file, folder and link of the installation and of the others' folder, with the
# bytes of each file, the desktop and both registry keys.
state() {
    (cd "$E2E_PROGRAM_FILES_UNIX" && find "$SOFT_NAME" -type f -exec md5sum {} + | sort
        find "$SOFT_NAME" -type d -o -type l | sort)
    (cd "$E2E_DRIVE_C" && find 改変試験の他人 -type f -exec md5sum {} + | sort
        find 改変試験の他人 -type d | sort)
    ls "$E2E_DESKTOP/$SOFT_NAME.lnk" 2>&1
    e2e_reg query "$PRODUCT_KEY"
    e2e_reg query "$UNINSTALL_KEY"
}

# Starts the removal as the list of installed programs does and says Yes to it.
remove_and_confirm() {
    start_program "$E2E_DIR" 'C:\windows\system32\uninstaller.exe' --remove "$ENTRY"
    e2e_expect_message 確認 "Yes No" "$SOFT_NAME を削除してよろしいですか？"
    e2e_answer Yes
}

rm -rf "$E2E_DIR"
mkdir -p "$E2E_DIR"
forget_installation

# ---- The installation, as a user makes it

rm -rf "$E2E_MEDIUM"
mkdir -p "$E2E_MEDIUM/SETUP/sub"
cp "$SETUP_BUILD/Setup.exe" "$UNINSTALLER" "$E2E_MEDIUM/"
printf 'MZ app' >"$E2E_MEDIUM/SETUP/app.exe"
printf 'data\r\n' >"$E2E_MEDIUM/SETUP/sub/data.txt"
e2e_settings app.exe "$SOFT_NAME" <<EOF
[AdvanceOption]
DstSubFolder=$SOFT_NAME
DstFolderID=0
ShortcutDesktop=1
StandAloneUninstUse=1
EOF
start_program "$E2E_MEDIUM" Setup.exe
e2e_install_from_menu "$DEST_WIN"
for file in app.exe sub/data.txt _setup.log _uninst.exe; do
    [ -f "$DEST_UNIX/$file" ] || e2e_fail "Setup.exe did not install $DEST_UNIX/$file"
done
[ -f "$E2E_DESKTOP/$SOFT_NAME.lnk" ] || e2e_fail "expected the shortcut $SOFT_NAME.lnk"

# ---- The edits

mkdir -p "$OTHERS/linked" "$OTHERS/empty" "$OTHERS/above"
for file in outside.txt dotdot.txt linked/through-link.txt victim.lnk; do
    printf 'not made by the installation' >"$OTHERS/$file"
done
ln -s "$OTHERS/linked" "$DEST_UNIX/link"
EXTRA_FILES=(
    "$OTHERS_WIN\\outside.txt"
    "$DEST_WIN\\..\\..\\改変試験の他人\\dotdot.txt"
    "$DEST_WIN\\link\\through-link.txt"
)
EXTRA_FOLDERS=(
    "$OTHERS_WIN\\empty\\"
    "$DEST_WIN\\sub\\..\\..\\..\\改変試験の他人\\above\\"
)
RECORD=$DEST_UNIX/_setup.log
{
    printf '%s\r\n' "${EXTRA_FILES[@]}" | iconv -f utf-8 -t cp932
    cat "$RECORD"
    printf '%s\r\n' "${EXTRA_FOLDERS[@]}" | iconv -f utf-8 -t cp932
} >"$E2E_DIR/record"
cp "$E2E_DIR/record" "$RECORD"
e2e_reg add "$PRODUCT_KEY" /v ExShortcutDesktop /t REG_SZ /d 1 /f >/dev/null ||
    e2e_fail "could not set ExShortcutDesktop"
e2e_reg add "$PRODUCT_KEY" /v ExShortcutName /t REG_SZ \
    /d "..\\..\\..\\改変試験の他人\\victim" /f >/dev/null || e2e_fail "could not set ExShortcutName"

# ---- A record path outside the installation: the unreadable-record message, nothing gone

cp "$RECORD" "$OTHERS/list.txt"
e2e_reg add "$PRODUCT_KEY" /v LogFile /t REG_SZ /d "$OTHERS_WIN\\list.txt" /f >/dev/null ||
    e2e_fail "could not set LogFile"
BEFORE=$(state)
remove_and_confirm
e2e_expect_message エラー OK "インストール情報ファイルの読み込みに失敗しました.
最初からやり直してください."
e2e_screenshot record-path
e2e_answer OK
e2e_expect_exit_code 0
[ "$(state)" = "$BEFORE" ] ||
    e2e_fail "a record path outside the installation changed something:" \
        "$(diff <(echo "$BEFORE") <(state))"
rm "$OTHERS/list.txt"
e2e_reg add "$PRODUCT_KEY" /v LogFile /t REG_SZ /d "$DEST_WIN\\_setup.log" /f >/dev/null ||
    e2e_fail "could not set LogFile"

# ---- The removal with the edited record

remove_and_confirm
e2e_expect_message 成功 OK アンインストールが正常に終了しました.
e2e_screenshot success
e2e_answer OK
e2e_expect_exit_code 0

# The link the edit put there keeps the destination; all the installation made is gone.
[ "$(ls -A "$DEST_UNIX")" = link ] ||
    e2e_fail "expected only the link in $DEST_WIN, saw:" "$(cd "$DEST_UNIX" && find .)"
[ ! -e "$E2E_DESKTOP/$SOFT_NAME.lnk" ] || e2e_fail "the shortcut $SOFT_NAME.lnk is still there"
for key in "$PRODUCT_KEY" "$UNINSTALL_KEY"; do
    ! e2e_reg query "$key" >/dev/null || e2e_fail "the key $key is still there"
done
for file in outside.txt dotdot.txt linked/through-link.txt victim.lnk; do
    [ "$(cat "$OTHERS/$file" 2>&1)" = 'not made by the installation' ] ||
        e2e_fail "the edited record or key reached $OTHERS_WIN\\$file"
done
for folder in empty above; do
    [ -d "$OTHERS/$folder" ] || e2e_fail "the edited record removed $OTHERS_WIN\\$folder"
done

echo "PASS $E2E_TEST"
