#!/bin/bash
# An installation of a file over 4 GiB (sparse on the medium), which a 32-bit program
# gets wrong wherever a size or a count of bytes passes through 32 bits: the needed
# space in the destination dialog, the progress during the copy and at its end, the
# copy's size and its bytes on both sides of the 2 and 4 GiB marks, and its removal.
source "$(dirname "$0")/lib.sh"

SOFT=大容量試験$$
ENTRY=$(e2e_key_name "$SOFT")
DEST_WIN="$E2E_PROGRAM_FILES\\$SOFT"
DEST_UNIX=$E2E_PROGRAM_FILES_UNIX/$SOFT
# Not a multiple of any chunk size.
SIZE=$(((1 << 32) + 12345))
OFFSETS=(0 $(((1 << 31) - 3)) $(((1 << 32) - 5)) $(((1 << 32) + 7)) $((SIZE - 16)))
STATUS='#1'

forget_installation() {
    e2e_reg delete "HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$ENTRY" /f >/dev/null || true
    e2e_reg delete "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$ENTRY" /f \
        >/dev/null || true
    chmod -R u+w "$DEST_UNIX" 2>/dev/null || true
    rm -rf "$DEST_UNIX"
}
trap 'forget_installation; e2e_cleanup' EXIT

expect_equal() {
    [ "$2" = "$3" ] || e2e_fail "$1:" "expected:" "$2" "but saw:" "$3"
}

# 16 bytes of a file at an offset, in hexadecimal.
bytes_at() {
    dd if="$1" bs=1M iflag=skip_bytes,count_bytes skip="$2" count=16 status=none | od -An -tx1 |
        tr -d ' \n'
}

# The medium: the large file, marked at each offset, and an empty file that Wine lists
# after it (it lists a folder sorted by name). That one is read-only in the existing
# destination, so that its write-failure question stops the installation just after
# the large file, with the progress at its end.
e2e_medium
cp "$SETUP_BUILD/_uninst.exe" "$E2E_MEDIUM/"
mkdir -p "$E2E_MEDIUM/SETUP"
big=$E2E_MEDIUM/SETUP/big.bin
truncate -s "$SIZE" "$big"
for offset in "${OFFSETS[@]}"; do
    printf '@%015d' "$offset" | dd of="$big" bs=1M oflag=seek_bytes seek="$offset" conv=notrunc \
        status=none
done
: >"$E2E_MEDIUM/SETUP/last.txt"
e2e_settings 'big.bin' "$SOFT" <<EOF
[AdvanceOption]
DstSubFolder=$SOFT
DstFolderID=0
ShortcutDesktop=0
StandAloneUninstUse=1
EOF
forget_installation
mkdir -p "$DEST_UNIX"
: >"$DEST_UNIX/last.txt"
chmod a-w "$DEST_UNIX/last.txt"

e2e_start
e2e_wait_window "${MENU[@]}"
e2e_drive key "${MENU[@]}" Down Enter
e2e_wait_window "${DEST[@]}"
expect_equal "the needed space" "必要容量：  $(e2e_grouped $((SIZE / 1024 + 13))) KB" \
    "$(e2e_text_of "${DEST[@]}" '#7')"
e2e_drive click "${DEST[@]}" '開始(&S)'
e2e_expect_message 確認 "OK Cancel" "フォルダ $DEST_WIN は既に存在します.
このフォルダのファイルは上書きされる可能性があります.
続行しますか？"
e2e_answer OK

# The status line during the copy, as often as the driver can read it, until it names
# the file after the large one.
status_now() {
    e2e_driver text "${PROGRESS[@]}" "$STATUS" 2>/dev/null | tr -d '\r' | paste -sd ' '
}
past_large_file() {
    local status
    status=$(status_now)
    [ -z "$status" ] || echo "$status" >>"$E2E_DIR/status.log"
    [[ $status == last.txt* ]]
}
# Writing 4 GiB takes its time on a slow disk: three of the usual waits.
E2E_TIMEOUT_S=$((3 * E2E_TIMEOUT_S)) e2e_wait_until "expected the copy to reach last.txt" \
    past_large_file
e2e_expect_message エラー "Yes No" "ファイル $DEST_WIN\\last.txt の書き込みに失敗しました.
続行しますか？"
expect_equal "the status after the large file" "last.txt をコピー中 (100％)" "$(status_now)"
# The percentages seen while the large file was copied: some on the way, none beyond
# 100, none going back.
sed -n 's/^big\.bin をコピー中 (\([0-9]*\)％)$/\1/p' "$E2E_DIR/status.log" >"$E2E_DIR/percents"
sort -n -c "$E2E_DIR/percents" 2>/dev/null && grep -qx '[1-9]\|[1-9][0-9]' "$E2E_DIR/percents" &&
    ! grep -qvx '[0-9]\|[1-9][0-9]\|100' "$E2E_DIR/percents" ||
    e2e_fail "expected the large file's progress to rise from 0 to 100, saw:" \
        "$(cat "$E2E_DIR/status.log")"
e2e_answer Yes
e2e_expect_message 成功 OK "$SUCCEEDED"
e2e_answer OK
e2e_wait_window "${MENU[@]}"

copy=$DEST_UNIX/big.bin
expect_equal "the size of the copy" "$SIZE" "$(stat -c %s "$copy")"
for offset in "${OFFSETS[@]}"; do
    expect_equal "the copy's bytes at $offset" "$(bytes_at "$big" "$offset")" \
        "$(bytes_at "$copy" "$offset")"
done

# Removed with the rest; the read-only file is the test's own, not the installation's.
chmod u+w "$DEST_UNIX/last.txt"
rm "$DEST_UNIX/last.txt"
e2e_uninstall_from_menu
[ ! -e "$copy" ] || e2e_fail "expected the uninstallation to remove $DEST_WIN\\big.bin"

echo "PASS $E2E_TEST"
