#!/bin/bash
# Installations that meet trouble, through the real menu and dialogs: a SoftName too
# long for a registry key name, source and destination paths beyond 259 bytes, a
# read-only file in the destination and a source file that vanishes between the scan
# and the copy. Each ends in an orderly way with its message, and the files and the
# registry show that nothing was lost or left half-done.
source "$(dirname "$0")/lib.sh"

# Names of this run's own: the prefix and its registry may be shared.
SOFT=壊れた導入$$
LONG_SOFT=$(printf '長%.0s' $(seq 65))$$
ROOT_UNIX=$WINEPREFIX/drive_c/e2e-bad-install-$$
ROOT="C:\\e2e-bad-install-$$"
PRODUCT_KEYS='HKCU\Software\Quillfen\SolvanInstallerMaker'
UNINSTALL_KEYS='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

REGISTRY_FAILED="レジストリの書込みに失敗しました.
最初からやり直してください."

forget_installations() {
    local name
    for name in "$SOFT" "$LONG_SOFT"; do
        e2e_reg delete "$PRODUCT_KEYS\\$(e2e_key_name "$name")" /f >/dev/null || true
        e2e_reg delete "$UNINSTALL_KEYS\\$(e2e_key_name "$name")" /f >/dev/null || true
    done
}

cleanup_bad_install() {
    forget_installations
    chmod -R u+w "$ROOT_UNIX" 2>/dev/null || true
    rm -rf "$ROOT_UNIX"
    e2e_cleanup
}
trap cleanup_bad_install EXIT

# The registry keys of every installation made with that name, under both roots.
expect_no_keys() {
    local root key
    for root in "$PRODUCT_KEYS" "$UNINSTALL_KEYS"; do
        key=$root\\$(e2e_key_name "$1")
        ! e2e_reg query "$key" >/dev/null || e2e_fail "$CASE: expected no key $key"
    done
}

# A string value of this run's installation: root, value name, expected text.
expect_value() {
    local key seen
    key=$1\\$(e2e_key_name "$SOFT")
    seen=$(e2e_reg query "$key" /v "$2" | sed -n "s/^ *$2 *REG_SZ *//p" || true)
    [ "$seen" = "$3" ] || e2e_fail "$CASE: expected $2 \"$3\" in $key, saw \"$seen\""
}

windows_path() {
    local path=${1//\//\\}
    printf 'Z:%s' "$path"
}

write_settings() {
    e2e_settings prog.exe "$1" <<EOF
[AdvanceOption]
ShortcutDesktop=0
StandAloneUninstUse=1
EOF
}

# The source tree: a program and a text beside a deeper folder.
fresh_source() {
    rm -rf "$E2E_MEDIUM/SETUP"
    mkdir -p "$E2E_MEDIUM/SETUP/doc"
    printf 'program' >"$E2E_MEDIUM/SETUP/prog.exe"
    printf 'read me' >"$E2E_MEDIUM/SETUP/doc/readme.txt"
    printf 'more' >"$E2E_MEDIUM/SETUP/doc/more.txt"
}

# Starts Setup.exe and goes through the menu and the destination dialog to the
# install engine, into the Windows folder given.
install_into() {
    e2e_start
    e2e_wait_window "${MENU[@]}"
    # A fresh desktop's pointer rests at the centre, on no slot: Down highlights Install.
    e2e_drive key "${MENU[@]}" Down Enter
    e2e_wait_window "${DEST[@]}"
    e2e_drive type "${DEST[@]}" インストール先フォルダ名 "$1"
    e2e_drive key "${DEST[@]}" Enter
}

expect_new_folder_notice() {
    e2e_expect_message メッセージ OK "フォルダ $1 がありません.
このフォルダを新規に作成します."
}

expect_existing_folder_question() {
    e2e_expect_message 確認 "OK Cancel" "フォルダ $1 は既に存在します.
このフォルダのファイルは上書きされる可能性があります.
続行しますか？"
}

# The last message answered, the progress window closes and the menu comes back;
# Esc leaves it.
expect_menu_and_exit() {
    e2e_wait_closed "${PROGRESS[@]}"
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Esc
    e2e_expect_exit_code 0
}

expect_file() {
    [ -f "$1" ] && [ "$(cat "$1")" = "$2" ] ||
        e2e_fail "$CASE: expected $1 holding \"$2\", saw \"$(cat "$1" 2>&1)\""
}

expect_no_file() {
    [ ! -e "$1" ] || e2e_fail "$CASE: expected no $1"
}

# The source tree is as the test made it.
expect_source_intact() {
    expect_file "$E2E_MEDIUM/SETUP/prog.exe" program
    expect_file "$E2E_MEDIUM/SETUP/doc/readme.txt" "read me"
    expect_file "$E2E_MEDIUM/SETUP/doc/more.txt" more
}

e2e_medium
cp "$SETUP_BUILD/_uninst.exe" "$E2E_MEDIUM/"
SOURCE=$(windows_path "$E2E_MEDIUM")\\SETUP
mkdir -p "$ROOT_UNIX"
forget_installations

# ---- A SoftName of more than 127 bytes: its key name is more than 255 characters.
# Everything up to the registry is done; the first registry write fails with its
# message, and no key is made, under either root.
CASE=long-softname
write_settings "$LONG_SOFT"
fresh_source
dst_unix=$ROOT_UNIX/long-name
install_into "$ROOT\\long-name"
expect_new_folder_notice "$ROOT\\long-name"
e2e_answer OK
e2e_expect_message エラー OK "$REGISTRY_FAILED"
e2e_screenshot "$CASE"
e2e_answer OK
expect_menu_and_exit
expect_no_keys "$LONG_SOFT"
expect_file "$dst_unix/prog.exe" program
expect_file "$dst_unix/doc/readme.txt" "read me"
[ -f "$dst_unix/_setup.log" ] && [ -f "$dst_unix/_uninst.exe" ] ||
    e2e_fail "$CASE: expected the record and the uninstaller in $dst_unix:" "$(ls -A "$dst_unix")"
expect_source_intact

write_settings "$SOFT"

# Answers a file's failure prompt (Yes or No) of the case's installation into dst:
# Yes skips the file, and the installation succeeds with the other file (its path
# below dst and its text given); No ends it with the cancel message, before the
# record and the keys.
answer_file_prompt() {
    e2e_screenshot "$CASE"
    e2e_answer "$1"
    if [ "$1" = Yes ]; then
        e2e_expect_message 成功 OK "$SUCCEEDED"
        e2e_answer OK
        expect_menu_and_exit
        expect_file "$dst_unix/prog.exe" program
        expect_file "$dst_unix/$2" "$3"
        expect_value "$PRODUCT_KEYS" Path "$dst\\prog.exe"
        forget_installations
    else
        e2e_expect_message 警告 OK "$CANCELLED"
        e2e_answer OK
        expect_menu_and_exit
        expect_no_keys "$SOFT"
        expect_no_file "$dst_unix/_setup.log"
    fi
}

# ---- A source file that vanishes after the scan, while the engine's first message
# is up: the read failure prompt. Yes skips it and the installation succeeds; No ends
# it with the cancel message.
for answer in Yes No; do
    CASE=vanished-$answer
    fresh_source
    dst_unix=$ROOT_UNIX/$CASE
    dst="$ROOT\\$CASE"
    install_into "$dst"
    expect_new_folder_notice "$dst"
    rm "$E2E_MEDIUM/SETUP/doc/readme.txt"
    e2e_answer OK
    e2e_expect_message エラー "Yes No" "ファイル $SOURCE\\doc\\readme.txt の読み込みに失敗しました.
続行しますか？"
    answer_file_prompt $answer doc/more.txt more
    expect_no_file "$dst_unix/doc/readme.txt"
done

# ---- Paths beyond 259 bytes. The system starts programs only from shorter paths, so
# the destination must leave room for the uninstaller's longest name (20 characters)
# in 259: one character more is refused at Start, before anything is made.
CASE=long-destination
fresh_source
longest_dst="$ROOT\\"
while ((${#longest_dst} < 238)); do longest_dst+=q; done
install_into "${longest_dst}x"
e2e_expect_message エラー OK "有効なパスではありません.."
e2e_screenshot "$CASE"
e2e_answer OK
e2e_wait_window "${DEST[@]}"
e2e_drive key "${DEST[@]}" Esc
e2e_wait_window "${MENU[@]}"
e2e_drive key "${MENU[@]}" Esc
e2e_expect_exit_code 0
expect_no_file "$ROOT_UNIX/${longest_dst##*\\}x"

# The longest destination, with a source file deep in the tree: its paths on both
# sides are beyond 259 bytes. It is installed, and removed again as the system's list
# of installed programs does it, through the uninstaller's copy in the destination.
CASE=deep-source
segment=$(printf 'p%.0s' $(seq 60))
deep=$segment/$segment/$segment/$segment
mkdir -p "$E2E_MEDIUM/SETUP/$deep"
printf 'deep' >"$E2E_MEDIUM/SETUP/$deep/deep.txt"
deep_source="$SOURCE\\${deep//\//\\}\\deep.txt"
((${#deep_source} > 259)) || e2e_fail "$CASE: the source path is only ${#deep_source} bytes"
dst_unix=$ROOT_UNIX/${longest_dst##*\\}
install_into "$longest_dst"
expect_new_folder_notice "$longest_dst"
e2e_answer OK
e2e_expect_message 成功 OK "$SUCCEEDED"
e2e_screenshot "$CASE"
e2e_answer OK
expect_menu_and_exit
expect_file "$dst_unix/prog.exe" program
expect_file "$dst_unix/$deep/deep.txt" deep
[ -f "$dst_unix/_setup.log" ] && [ -f "$dst_unix/_uninst.exe" ] ||
    e2e_fail "$CASE: expected the record and the uninstaller in $dst_unix"
expect_value "$PRODUCT_KEYS" Path "$longest_dst\\prog.exe"
expect_value "$UNINSTALL_KEYS" UninstallString \
    "\"$longest_dst\\_uninst.exe\" @$(e2e_key_name "$SOFT")"
e2e_run_in "$E2E_DIR" --all 'C:\\windows\\system32\\uninstaller.exe' --remove "$(e2e_key_name "$SOFT")"
e2e_expect_message 確認 "Yes No" "$SOFT を削除してよろしいですか？"
e2e_answer Yes
e2e_expect_message 成功 OK "アンインストールが正常に終了しました."
e2e_answer OK
e2e_expect_exit_code 0
expect_no_file "$dst_unix"
expect_no_keys "$SOFT"
expect_file "$E2E_MEDIUM/SETUP/$deep/deep.txt" deep

# ---- A read-only file in the destination, named like a source file: the write
# failure prompt. Yes skips that file and the installation succeeds; No ends it with
# the cancel message. The read-only file keeps its contents either way.
for answer in Yes No; do
    CASE=read-only-$answer
    fresh_source
    dst_unix=$ROOT_UNIX/$CASE
    dst="$ROOT\\$CASE"
    mkdir -p "$dst_unix/doc"
    printf 'kept' >"$dst_unix/doc/more.txt"
    chmod a-w "$dst_unix/doc/more.txt"
    install_into "$dst"
    expect_existing_folder_question "$dst"
    e2e_answer OK
    e2e_expect_message エラー "Yes No" "ファイル $dst\\doc\\more.txt の書き込みに失敗しました.
続行しますか？"
    answer_file_prompt $answer doc/readme.txt "read me"
    expect_file "$dst_unix/doc/more.txt" kept
    expect_source_intact
done

echo "PASS $E2E_TEST"
