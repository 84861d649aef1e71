#!/bin/bash
# The stand-alone uninstaller. Setup.exe installs a medium without it (no copy, no
# entry in the list of installed programs) and with it; then the software is removed
# the way that list starts the uninstaller: `uninstaller --remove <key>` runs the
# registered command. It asks, runs again as a copy of itself from a private folder of
# the system's temporary folder, removes the files, the folders the installation made, the shortcuts, the
# record, both registry keys and its own file in the destination, leaves what the
# installation did not make, and has its copy deleted at the next start of the
# system. Bad command lines give one message each and touch nothing.
source "$(dirname "$0")/lib.sh"

UNINSTALLER=$SETUP_BUILD/_uninst.exe
[ -f "$UNINSTALLER" ] || e2e_fail "no $UNINSTALLER: build the Windows tree first"

# A name of this test's own: its registry keys are shared with nobody.
SOFT_NAME=削除試験ソフト
ENTRY=$(e2e_key_name "$SOFT_NAME")
PRODUCT_KEY="HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$ENTRY"
UNINSTALL_KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$ENTRY"
SESSION_MANAGER="HKLM\\System\\CurrentControlSet\\Control\\Session Manager"

# The vendor folder was there before the installation; the destination was made by it.
VENDOR=削除試験社
DEST_WIN="$E2E_PROGRAM_FILES\\$VENDOR\\$SOFT_NAME"
DEST_UNIX=$E2E_PROGRAM_FILES_UNIX/$VENDOR/$SOFT_NAME
SHORTCUT_FOLDER=$SOFT_NAME

forget_installation() {
    e2e_reg delete "$PRODUCT_KEY" /f >/dev/null || true
    e2e_reg delete "$UNINSTALL_KEY" /f >/dev/null || true
    rm -rf "$E2E_PROGRAM_FILES_UNIX/$VENDOR" "$E2E_PROGRAMS/$SHORTCUT_FOLDER" \
        "$E2E_DESKTOP/$SOFT_NAME.lnk"
}

cleanup_uninstaller_test() {
    forget_installation
    e2e_cleanup
}
trap cleanup_uninstaller_test EXIT

# A medium whose installation Setup.exe makes: a small tree with an empty folder, the
# uninstaller, and three shortcuts.
make_medium() {
    rm -rf "$E2E_MEDIUM"
    mkdir -p "$E2E_MEDIUM/SETUP/bin" "$E2E_MEDIUM/SETUP/doc/古い版" "$E2E_MEDIUM/SETUP/空"
    cp "$SETUP_BUILD/Setup.exe" "$UNINSTALLER" "$E2E_MEDIUM/"
    printf 'MZ app' >"$E2E_MEDIUM/SETUP/bin/app.exe"
    printf 'manual\r\n' >"$E2E_MEDIUM/SETUP/doc/説明書.txt"
    printf 'old\r\n' >"$E2E_MEDIUM/SETUP/doc/古い版/old.txt"
    e2e_settings 'bin\app.exe' "$SOFT_NAME" <<EOF
[AdvanceOption]
DstSubFolder=$VENDOR\\$SOFT_NAME
DstFolderID=0
ShortcutDesktop=1
ShortcutPrograms=1
ShortcutFolder=$SHORTCUT_FOLDER
ExShortcutDesktop=0
ExShortcutPrograms=1
ExShortcutFile=doc\\説明書.txt
ExShortcutName=説明書
StandAloneUninstUse=$1
EOF
}

# Runs a program of a folder through the driver, until what it started has ended too.
start_program() {
    e2e_run_in "$1" --all "${@:2}"
}

# Installs the medium with StandAloneUninstUse as given, as a user does with Setup.exe:
# Install in the menu, Start with the folder the destination dialog proposes, OK to
# the new folder and to the success, and Esc in the menu. The vendor folder around the
# destination is there before, with a file of its own.
install_with_setup() {
    forget_installation
    mkdir -p "$E2E_PROGRAM_FILES_UNIX/$VENDOR"
    printf 'not made by the installation' >"$E2E_PROGRAM_FILES_UNIX/$VENDOR/keep.txt"
    make_medium "$1"
    start_program "$E2E_MEDIUM" Setup.exe
    e2e_install_from_menu "$DEST_WIN"
    [ -f "$DEST_UNIX/bin/app.exe" ] || e2e_fail "Setup.exe did not install $DEST_WIN\\bin\\app.exe"
}

# Every file and folder of the installation, with the bytes of each file, the
# shortcuts and both registry keys.
installation_state() {
    (cd "$E2E_PROGRAM_FILES_UNIX/$VENDOR" && find . -type f -exec md5sum {} + | sort
        find . -type d | sort)
    ls "$E2E_DESKTOP/$SOFT_NAME.lnk" "$E2E_PROGRAMS/$SHORTCUT_FOLDER" 2>&1
    e2e_reg query "$PRODUCT_KEY"
    e2e_reg query "$UNINSTALL_KEY"
}

# The entries of the system's list of deletions at its next start, one a line.
pending_deletions() {
    e2e_reg query "$SESSION_MANAGER" /v PendingFileRenameOperations |
        sed -n 's/.*PendingFileRenameOperations *REG_MULTI_SZ *//p' | sed 's/\\0/\n/g' |
        grep -v '^$' || true
}

rm -rf "$E2E_DIR"
mkdir -p "$E2E_DIR"

# ---- Without the stand-alone uninstaller: no copy, no entry in the list of programs

install_with_setup 0
[ ! -e "$DEST_UNIX/_uninst.exe" ] || e2e_fail "_uninst.exe was copied with StandAloneUninstUse=0"
! e2e_reg query "$UNINSTALL_KEY" >/dev/null ||
    e2e_fail "the Uninstall entry was written with StandAloneUninstUse=0"
e2e_reg query "$PRODUCT_KEY" /v LogFile >/dev/null ||
    e2e_fail "the product key was not written with StandAloneUninstUse=0"
# The record's line for the uninstaller, after its own, is empty.
uninstaller_line=$(iconv -f cp932 -t utf-8 "$DEST_UNIX/_setup.log" | tr -d '\r' |
    RECORD="$DEST_WIN\\_setup.log" awk 'previous == ENVIRON["RECORD"] { print "[" $0 "]" }
        { previous = $0 }')
[ "$uninstaller_line" = "[]" ] ||
    e2e_fail "expected an empty uninstaller line in the record, saw \"$uninstaller_line\""

# ---- With it: the copy in the destination, registered as the system's list runs it

install_with_setup 1
cmp -s "$UNINSTALLER" "$DEST_UNIX/_uninst.exe" || e2e_fail "expected $DEST_WIN\\_uninst.exe"
e2e_reg query "$UNINSTALL_KEY" /v UninstallString |
    grep -qF "\"$DEST_WIN\\_uninst.exe\" @$ENTRY" ||
    e2e_fail "expected the UninstallString \"$DEST_WIN\\_uninst.exe\" @$ENTRY, saw:" \
        "$(e2e_reg query "$UNINSTALL_KEY")"
for link in "$E2E_DESKTOP/$SOFT_NAME.lnk" "$E2E_PROGRAMS/$SHORTCUT_FOLDER/$SOFT_NAME.lnk" \
    "$E2E_PROGRAMS/$SHORTCUT_FOLDER/説明書.lnk"; do
    [ -f "$link" ] || e2e_fail "expected the shortcut $link"
done
INSTALLED=$(installation_state)

# ---- Bad command lines, through the copy in the destination: one message, nothing touched

bad_command_line() {
    local caption=$1 text=$2
    shift 2
    start_program "$DEST_UNIX" _uninst.exe "$@"
    e2e_expect_message "$caption" OK "$text"
    e2e_screenshot "bad-command-line-$E2E_RUNS"
    e2e_answer OK
    e2e_expect_exit_code 0
    e2e_expect_shown "#32770 $caption"
    [ "$(installation_state)" = "$INSTALLED" ] ||
        e2e_fail "_uninst.exe $* changed the installation:" \
            "$(diff <(echo "$INSTALLED") <(installation_state))"
}

NO_SOFTWARE=アンインストールするソフトが指定されていません.
BAD_NAME=アンインストールするソフトの名前が正しくありません.
bad_command_line エラー "$NO_SOFTWARE"
bad_command_line エラー "$NO_SOFTWARE" "$ENTRY"
bad_command_line エラー "$BAD_NAME" "@${ENTRY:1}"
bad_command_line エラー "$BAD_NAME" "@${ENTRY}QQ"
bad_command_line 警告 ソフトがインストールされていません. "@$(e2e_key_name 未登録ソフト)"

# ---- The removal, as the list of installed programs starts it

PENDING_BEFORE=$(pending_deletions)
start_program "$E2E_DIR" 'C:\windows\system32\uninstaller.exe' --remove "$ENTRY"
e2e_expect_message 確認 "Yes No" "$SOFT_NAME を削除してよろしいですか？"
e2e_screenshot question
# One task-bar button, with the title of the uninstaller's window, for its boxes too.
e2e_expect_one_button 進行状況
e2e_answer Yes
e2e_expect_message 成功 OK アンインストールが正常に終了しました.
e2e_screenshot success
e2e_expect_one_button 進行状況
e2e_answer OK
e2e_expect_exit_code 0
e2e_expect_shown "#32770 確認" "TfmUninstallProgress 進行状況" "#32770 成功"

[ ! -e "$DEST_UNIX" ] || e2e_fail "the destination folder is still there:" "$(cd "$DEST_UNIX" && find .)"
[ "$(cat "$E2E_PROGRAM_FILES_UNIX/$VENDOR/keep.txt")" = 'not made by the installation' ] ||
    e2e_fail "the file the installation did not make was touched"
[ "$(ls -A "$E2E_PROGRAM_FILES_UNIX/$VENDOR")" = keep.txt ] ||
    e2e_fail "the vendor folder holds more than before:" "$(ls -A "$E2E_PROGRAM_FILES_UNIX/$VENDOR")"
for gone in "$E2E_DESKTOP/$SOFT_NAME.lnk" "$E2E_PROGRAMS/$SHORTCUT_FOLDER"; do
    [ ! -e "$gone" ] || e2e_fail "still there: $gone"
done
for key in "$PRODUCT_KEY" "$UNINSTALL_KEY"; do
    ! e2e_reg query "$key" >/dev/null || e2e_fail "the key $key is still there"
done

# The copy ran from a new folder of the system's temporary folder (Wine reports every
# process elevated) and is to go at the next start: its file, then its folder.
NEW_PENDING=$(diff <(echo "$PENDING_BEFORE") <(pending_deletions) | sed -n 's/^> //p' || true)
TEMP_WIN="C:\\windows\\temp"
COPY_FOLDER=$(sed -n 's/^\\??\\\(.*\)\\_uninst\.exe$/\1/p' <<<"$NEW_PENDING")
COPY_PARENT=${COPY_FOLDER%\\*}
[ -n "$COPY_FOLDER" ] && [ "${COPY_PARENT,,}" = "${TEMP_WIN,,}" ] &&
    [ "$NEW_PENDING" = "\\??\\$COPY_FOLDER\\_uninst.exe
\\??\\$COPY_FOLDER" ] ||
    e2e_fail "expected the copy in a folder of $TEMP_WIN and that folder to be deleted at" \
        "the next start, in that order; new deletions at the next start:" "$NEW_PENDING"
# Gone at the next start; here it only takes space.
COPY_DIR=$E2E_DRIVE_C/windows/temp/${COPY_FOLDER##*\\}
[ ! -e "$COPY_DIR" ] || [ "$(ls -A "$COPY_DIR")" = _uninst.exe ] ||
    e2e_fail "the copy's folder holds more than the copy:" "$(ls -A "$COPY_DIR")"
rm -rf "$COPY_DIR"

echo "PASS $E2E_TEST"
