#!/bin/bash
# A whole installation and uninstallation as a user makes them with Setup.exe: the
# information dialog, a typed destination and a click on Start; then every file byte
# for byte, the record's bytes, every registry value and the shortcuts (read back by
# lnkinfo, not by our own code); the open step after the installation, with and
# without its question, which elevated opens only through the desktop's shell; the
# uninstallation from the menu, which leaves only the parent keys; a cancel in the
# middle of a large file; and the question about a vanished program answered with OK,
# which uninstalls.
source "$(dirname "$0")/lib.sh"

SOFT=導入試験$$
ENTRY=$(e2e_key_name "$SOFT")
PRODUCT_PARENT='HKCU\Software\Quillfen\SolvanInstallerMaker'
UNINSTALL_PARENT='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
PRODUCT_KEY=$PRODUCT_PARENT\\$ENTRY
UNINSTALL_KEY=$UNINSTALL_PARENT\\$ENTRY
# The typed destination, one new level below the root; the default one of the
# settings, below Program Files.
TYPED='C:\導入試験'$$
TYPED_UNIX=$E2E_DRIVE_C/導入試験$$
DEFAULT="$E2E_PROGRAM_FILES\\$SOFT"
DEFAULT_UNIX="$E2E_PROGRAM_FILES_UNIX/$SOFT"
SHORTCUT_FOLDER="試験社\\$SOFT"
SHORTCUT_FOLDER_UNIX="$E2E_PROGRAMS/試験社"

forget_installation() {
    e2e_reg delete "$PRODUCT_KEY" /f >/dev/null || true
    e2e_reg delete "$UNINSTALL_KEY" /f >/dev/null || true
    rm -rf "$TYPED_UNIX" "$DEFAULT_UNIX" "$SHORTCUT_FOLDER_UNIX" "$E2E_DESKTOP/$SOFT.lnk" \
        "$E2E_DESKTOP/説明書$$.lnk"
}
trap 'forget_installation; e2e_cleanup' EXIT

# ---- The medium: a tree with double-byte names (one with a 0x5C trail byte), an
# empty folder, an empty file, a few hundred KiB of random bytes; the uninstaller; the
# program that the open step starts, which leaves a trace.

e2e_medium
m=$E2E_MEDIUM
cp "$SETUP_BUILD/_uninst.exe" "$m/"
mkdir -p "$m/tools" "$m/SETUP/bin" "$m/SETUP/ソ表/深い" "$m/SETUP/空"
cp "$SETUP_BUILD/tools/OpenTrace.exe" "$m/tools/"
head -c 300000 /dev/urandom >"$m/SETUP/bin/app.exe"
head -c 1048577 /dev/urandom >"$m/SETUP/ソ表/深い/データ.bin"
printf 'manual\r\n' >"$m/SETUP/ソ表/説明書.txt"
: >"$m/SETUP/空っぽ.txt"
printf 'お読みください.\r\n' | iconv -f utf-8 -t cp932 >"$m/Setup.MSG"

# Setup.INI with the open step's question on (1) or off (0).
write_settings() {
    e2e_settings 'bin\app.exe' "$SOFT" <<EOF
[AdvanceOption]
DstSubFolder=$SOFT
DstFolderID=0
ShortcutDesktop=1
ShortcutPrograms=1
ShortcutFolder=$SHORTCUT_FOLDER
ExShortcutDesktop=1
ExShortcutPrograms=1
ExShortcutFile=ソ表\\説明書.txt
ExShortcutName=説明書$$
AfterOpen=tools\\OpenTrace.exe
AfterOpenDialog=$1
StandAloneUninstUse=1
EOF
}

expect_equal() {
    [ "$2" = "$3" ] || e2e_fail "$1:" "expected:" "$2" "but saw:" "$3"
}

# Starts an installation from the fresh menu with the keys.
start_install() {
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Down Enter
}

# The open step: Wine reports every process elevated, so the program opens the file
# only through the desktop's shell, as the desktop's user, never with its own rights.
# Whether Wine's shell answers depends on whether the prefix's default desktop is up:
# then OpenTrace.exe runs and nothing is said; else the program says it could not open
# the file, and OpenTrace.exe never runs.
opened_or_told() {
    [ -e "$m/tools/opened.txt" ] || e2e_driver message 100 >/dev/null 2>&1
}
expect_open_step() {
    local folder
    e2e_wait_until "OpenTrace.exe started or a message box" opened_or_told
    if [ -e "$m/tools/opened.txt" ]; then
        rm -f "$m/tools/opened.txt"
        return
    fi
    folder=$("$E2E_WINE_RUN" winepath -w "$m" </dev/null 2>/dev/null | tr -d '\r')
    e2e_expect_message エラー OK "${folder%\\}\\tools\\OpenTrace.exeを開くのに失敗しました." yes
    e2e_answer OK
    [ ! -e "$m/tools/opened.txt" ] || e2e_fail "expected OpenTrace.exe not started elevated"
}

# The string values of a registry key, "name=data" each, sorted by name (reg.exe
# lists them in its own order).
values_of() {
    e2e_reg query "$1" | sed -n 's/^ *\([^ ]*\) *REG_SZ *\(.*\)$/\1=\2/p' | sort
}

# ---- An installation: the information, a typed destination, Start with the mouse

write_settings 1
e2e_start
start_install
e2e_wait_window "${INFO[@]}"
e2e_drive click "${INFO[@]}" '次へ(&N) >'
e2e_wait_window "${DEST[@]}"
# One task-bar button, "Setup", for the menu, the dialogs, the progress window and the
# message boxes alike.
e2e_expect_one_button
e2e_drive type "${DEST[@]}" インストール先フォルダ名 "$TYPED"
e2e_drive click "${DEST[@]}" '開始(&S)'
e2e_expect_message メッセージ OK "フォルダ $TYPED がありません.
このフォルダを新規に作成します."
e2e_expect_one_button
e2e_answer OK
e2e_expect_message 成功 OK インストールが正常に終了しました.
e2e_answer OK
e2e_expect_message 確認 "OK Cancel" "OpenTrace.exe を開きますか？"
e2e_answer OK
expect_open_step
e2e_wait_window "${MENU[@]}"

# Every file byte for byte, the empty folder, and nothing else but the record and the
# uninstaller.
diff -r "$m/SETUP" "$TYPED_UNIX" -x _setup.log -x _uninst.exe >"$E2E_DIR/tree.diff" ||
    e2e_fail "the installed tree differs from the medium's:" "$(cat "$E2E_DIR/tree.diff")"
cmp -s "$m/_uninst.exe" "$TYPED_UNIX/_uninst.exe" || e2e_fail "expected the uninstaller copied"

# The record: code page 932, every line ended by CR LF; the files, the record itself,
# the uninstaller, ".", the folders each after those inside it, and last the
# destination that the installation made. The order of siblings is the file
# system's: they are compared as sets.
record=$TYPED_UNIX/_setup.log
iconv -f cp932 -t utf-8 "$record" | tr -d '\r' >"$E2E_DIR/record.lines" ||
    e2e_fail "the record is not code page 932"
[ "$(wc -l <"$record")" = "$(grep -c $'\r$' "$record")" ] &&
    [ "$(tail -c 2 "$record" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
    e2e_fail "expected every line of the record to end in CR LF"
line() { sed -n "$1p" "$E2E_DIR/record.lines"; }
expect_equal "the record's installed files" "$(printf '%s\n' "$TYPED\\bin\\app.exe" \
    "$TYPED\\ソ表\\深い\\データ.bin" "$TYPED\\ソ表\\説明書.txt" "$TYPED\\空っぽ.txt" | sort)" \
    "$(line 1,4 | sort)"
expect_equal "the record's own lines" "$TYPED\\_setup.log
$TYPED\\_uninst.exe
." "$(line 5,7)"
expect_equal "the record's folders" "$(printf '%s\n' "$TYPED\\ソ表\\深い\\" "$TYPED\\ソ表\\" \
    "$TYPED\\bin\\" "$TYPED\\空\\" | sort)" "$(line 8,11 | sort)"
(($(grep -nxF "$TYPED\\ソ表\\深い\\" "$E2E_DIR/record.lines" | cut -d: -f1) <
    $(grep -nxF "$TYPED\\ソ表\\" "$E2E_DIR/record.lines" | cut -d: -f1))) ||
    e2e_fail "expected the inner folder before the outer one in the record"
expect_equal "the record's last lines" "$TYPED" "$(sed -n '12,$p' "$E2E_DIR/record.lines")"

# Every registry value, each a string, and no other value.
expect_equal "the product key" "ExShortcutDesktop=1
ExShortcutName=説明書$$
ExShortcutPrograms=1
LogFile=$TYPED\\_setup.log
Path=$TYPED\\bin\\app.exe
ShortcutDesktop=1
ShortcutFolder=$SHORTCUT_FOLDER
ShortcutPrograms=1" "$(values_of "$PRODUCT_KEY")"
expect_equal "the Uninstall entry" "DisplayIcon=$TYPED\\bin\\app.exe
DisplayName=$SOFT
UninstallString=\"$TYPED\\_uninst.exe\" @$ENTRY" "$(values_of "$UNINSTALL_KEY")"
for key in "$PRODUCT_KEY" "$UNINSTALL_KEY"; do
    expect_equal "the number of values of $key" "$(values_of "$key" | wc -l)" \
        "$(e2e_reg query "$key" | grep -c '^ *[^ ]* *REG_')"
done

# The four shortcuts: target and working folder.
program_link="$(e2e_ansi "$TYPED\\bin\\app.exe")
$TYPED\\bin"
manual_link="$(e2e_ansi "$TYPED\\ソ表\\説明書.txt")
$TYPED\\ソ表"
expect_equal "the desktop shortcut" "$program_link" "$(e2e_link_of "$E2E_DESKTOP/$SOFT.lnk")"
expect_equal "the desktop's extra shortcut" "$manual_link" "$(e2e_link_of "$E2E_DESKTOP/説明書$$.lnk")"
expect_equal "the programs menu shortcut" "$program_link" \
    "$(e2e_link_of "$SHORTCUT_FOLDER_UNIX/$SOFT/$SOFT.lnk")"
expect_equal "the programs menu's extra shortcut" "$manual_link" \
    "$(e2e_link_of "$SHORTCUT_FOLDER_UNIX/$SOFT/説明書$$.lnk")"

# ---- The uninstallation from the menu: everything goes but the parent keys

e2e_uninstall_from_menu
for gone in "$TYPED_UNIX" "$E2E_DESKTOP/$SOFT.lnk" "$E2E_DESKTOP/説明書$$.lnk" "$SHORTCUT_FOLDER_UNIX/$SOFT"; do
    [ ! -e "$gone" ] || e2e_fail "expected $gone removed by the uninstallation"
done
for key in "$PRODUCT_KEY" "$UNINSTALL_KEY"; do
    ! e2e_reg query "$key" >/dev/null || e2e_fail "expected $key removed by the uninstallation"
done
for key in "$PRODUCT_PARENT" "$UNINSTALL_PARENT"; do
    e2e_reg query "$key" >/dev/null || e2e_fail "expected $key kept by the uninstallation"
done

# ---- An Esc while a large file is being copied: the cancel message, no record and no
# registry value. Whether a cancel in the middle of a file deletes the partial copy is
# the host tests' to show, pump by pump; here the Esc may land in the file or, on a
# fast disk, just after it, and the file is checked for what either leaves.

write_settings 0
truncate -s 1G "$m/SETUP/ソ表/大きい.bin"
e2e_start
start_install
e2e_wait_window "${INFO[@]}"
e2e_drive key "${INFO[@]}" Enter
e2e_wait_window "${DEST[@]}"
e2e_drive click "${DEST[@]}" '開始(&S)'
e2e_expect_message メッセージ OK "フォルダ $DEFAULT がありません.
このフォルダを新規に作成します."
e2e_answer OK
BIG_UNIX=$DEFAULT_UNIX/ソ表/大きい.bin
e2e_wait_until "expected the copy of 大きい.bin to begin" test -s "$BIG_UNIX"
e2e_drive key "${PROGRESS[@]}" Esc
e2e_expect_message 警告 OK "$CANCELLED"
if [ -e "$BIG_UNIX" ]; then
    expect_equal "the size of 大きい.bin, which a cancel keeps only whole" $((1 << 30)) \
        "$(stat -c %s "$BIG_UNIX")"
fi
[ ! -e "$DEFAULT_UNIX/_setup.log" ] || e2e_fail "expected no record after the cancel"
! e2e_reg query "$PRODUCT_KEY" >/dev/null || e2e_fail "expected no registry value after the cancel"
e2e_answer OK
e2e_wait_window "${MENU[@]}"
rm "$m/SETUP/ソ表/大きい.bin"

# ---- Into the folder the cancelled run left: the question about it; the open step
# without a question.

start_install
e2e_wait_window "${INFO[@]}"
e2e_drive key "${INFO[@]}" Enter
e2e_wait_window "${DEST[@]}"
e2e_drive click "${DEST[@]}" '開始(&S)'
e2e_expect_message 確認 "OK Cancel" "フォルダ $DEFAULT は既に存在します.
このフォルダのファイルは上書きされる可能性があります.
続行しますか？"
e2e_answer OK
e2e_expect_message 成功 OK インストールが正常に終了しました.
e2e_answer OK
expect_open_step
e2e_wait_window "${MENU[@]}"
e2e_drive key "${MENU[@]}" Esc
e2e_expect_exit_code 0
diff -r "$m/SETUP" "$DEFAULT_UNIX" -x _setup.log -x _uninst.exe >"$E2E_DIR/tree.diff" ||
    e2e_fail "the installed tree differs from the medium's:" "$(cat "$E2E_DIR/tree.diff")"

# ---- The program vanishes: the next start asks, and OK uninstalls. The destination
# folder was there before this installation, so it stays, empty.

rm "$DEFAULT_UNIX/bin/app.exe"
e2e_start
e2e_expect_message 確認 "OK Cancel" "通常のアンインストール以外の方法で実行ファイルが削除されています.
アンインストールを行いますか？"
e2e_answer OK
e2e_expect_message 成功 OK アンインストールが正常に終了しました.
e2e_answer OK
e2e_wait_window "${MENU[@]}"
e2e_drive key "${MENU[@]}" Esc
e2e_expect_exit_code 0
expect_equal "what the uninstallation left of the destination" "" "$(ls -A "$DEFAULT_UNIX")"
! e2e_reg query "$PRODUCT_KEY" >/dev/null || e2e_fail "expected $PRODUCT_KEY removed"
[ ! -e "$E2E_DESKTOP/$SOFT.lnk" ] || e2e_fail "expected the desktop shortcut removed"

echo "PASS $E2E_TEST"
