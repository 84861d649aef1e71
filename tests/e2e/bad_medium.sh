#!/bin/bash
# Broken files on the medium: a Setup.INI of binary garbage, with a UTF-8 byte-order
# mark or with lines of a megabyte; a SETUP.jpg and a SetupBk.jpg that are empty,
# cut off, or declare more pixels than memory holds. Each run goes on in an orderly
# way: a settings file that does not identify itself leaves the built-in values, an
# unusable menu picture gives its message and the built-in picture, an unusable
# background the gradient with the title. (menu.sh and dialogs.sh have the other
# pictures that will not do.) Settings that name no software stop Install and
# Uninstall at once with a message, before anything is written or deleted.
source "$(dirname "$0")/lib.sh"

SOFT=壊れた媒体
BACK_TITLE='#1'
# The settings ask for pure green labels, a colour the built-in picture lacks: green
# in the menu shows that the settings were read, its absence the built-in values.
GREEN='#00FF00'

# The same bytes on every run, so that a failure can be repeated.
garbage() {
    perl -e 'srand(7); print map { chr(int(rand(256))) } 1 .. $ARGV[0]' "$1"
}

megabyte_of() {
    head -c 1048576 /dev/zero | tr '\0' "$1"
}

IDENTIFICATION=$(printf '[Identification]\r\nID=SolvaneInstaller\r\n[BasicOption]\r\nSoftName=%s' \
    "$SOFT" | iconv -f utf-8 -t cp932)
LABELS=$(printf '\r\n[MenuView]\r\nButtonColor=$00FF00\r\n')

# ---- Settings files: the bytes of Setup.INI, and whether the menu is to show the
# labels of the settings (green) or of the built-in values.
settings_garbage() {
    garbage 65536
    printf '%s' "$LABELS"
}
settings_garbage_around() {
    garbage 65536
    printf '\r\n%s' "$IDENTIFICATION"
    printf '%s' "$LABELS"
    garbage 65536
}
# The mark spoils the first line, the section header of the identification.
settings_utf8_mark() {
    printf '\xEF\xBB\xBF%s%s' "$IDENTIFICATION" "$LABELS"
}
settings_megabyte_lines() {
    printf '%s\r\n' "$IDENTIFICATION"
    printf ';'
    megabyte_of c
    printf '\r\n'
    megabyte_of k
    printf '=value\r\nExecFile='
    megabyte_of v
    printf '\r\n['
    megabyte_of s
    printf ']\r\n'
    megabyte_of x
    printf '%s' "$LABELS"
}
SETTINGS_CASES=(
    "garbage builtin"
    "garbage_around settings"
    "utf8_mark builtin"
    "megabyte_lines settings"
)

# ---- Pictures

# A plain JPEG of 64 x 64 (baseline, or progressive with "progressive").
small_jpeg() {
    local interlace=None
    [ "${1:-}" = progressive ] && interlace=JPEG
    convert -size 64x64 plasma:fractal -seed 3 -interlace "$interlace" jpeg:-
}

# A JPEG read from stdin with the frame header changed to declare width x height.
declare_size() {
    perl -e '
        local $/;
        my $jpeg = <STDIN>;
        my ($width, $height) = @ARGV;
        my $at = 2;
        while ($at + 4 <= length $jpeg) {
            my ($mark, $kind, $length) = unpack("CCn", substr($jpeg, $at, 4));
            die "no frame header\n" if $mark != 0xFF;
            if ($kind >= 0xC0 && $kind <= 0xC2) {
                substr($jpeg, $at + 5, 4) = pack("nn", $height, $width);
                print $jpeg;
                exit 0;
            }
            $at += 2 + $length;
        }
        die "no frame header\n";' "$@"
}

picture_empty() { :; }
picture_truncated() { small_jpeg | head -c 300; }
# Beyond what a 32-bit byte count can hold.
picture_huge() { small_jpeg | declare_size 65500 65500; }
# Less than 2 GB: the memory is asked for, and refused.
picture_almost_2gb() { small_jpeg | declare_size 65500 10000; }
# Progressive: the decoder itself wants all the coefficients before the first row.
picture_huge_progressive() { small_jpeg progressive | declare_size 65500 65500; }
# A whole grey picture of 20000 x 16000, made by hand: every 8 x 8 block is coded as
# "no change, end of block" in two bits under one-code tables. It decodes, but its
# three looks do not fit in memory beside it.
picture_decodable_huge() {
    perl -e '
        my ($width, $height) = @ARGV;
        sub segment { my ($kind, $body) = @_; pack("CCn", 0xFF, $kind, 2 + length $body) . $body }
        print "\xFF\xD8", segment(0xDB, "\x00" . ("\x01" x 64)),
            segment(0xC0, pack("CnnC", 8, $height, $width, 1) . "\x01\x11\x00"),
            segment(0xC4, "\x00\x01" . ("\x00" x 15) . "\x00"),
            segment(0xC4, "\x10\x01" . ("\x00" x 15) . "\x00"),
            segment(0xDA, "\x01\x01\x00\x00\x3F\x00"),
            "\x00" x ($width / 8 * $height / 8 / 4), "\xFF\xD9";' 20000 16000
}
MENU_PICTURE_CASES=(empty huge almost_2gb huge_progressive decodable_huge)
BACKGROUND_CASES=(empty truncated huge almost_2gb huge_progressive)

# ---- Running Setup.exe

# Whether the menu's picture, inside its 2 px bevel, has pixels of the labels' green.
menu_has_green() {
    local x y w h
    read -r x y w h <<<"$(e2e_menu_client)"
    [ -n "$h" ] || e2e_fail "$CASE: no menu window to look at"
    import -display "$DISPLAY" -window root -crop "$((w - 4))x$((h - 4))+$((x + 2))+$((y + 2))" \
        +repage "$E2E_DIR/$CASE.png"
    [[ $(convert "$E2E_DIR/$CASE.png" -format %c histogram:info:-) == *" $GREEN "* ]]
}

# The menu with the built-in picture, after exactly these windows.
expect_menu() {
    e2e_wait_window "${MENU[@]}"
    e2e_expect_menu_size 324 244
    e2e_screenshot "$CASE"
    e2e_expect_shown "$@" "TfmMenu Setup"
}

# Esc leaves with exit code 0.
exit_menu() {
    e2e_drive key "${MENU[@]}" Esc
    e2e_expect_exit_code 0
}

e2e_medium
m=$E2E_MEDIUM
mkdir -p "$m/SETUP"
printf 'data' >"$m/SETUP/file.txt"

for entry in "${SETTINGS_CASES[@]}"; do
    read -r CASE labels <<<"$entry"
    "settings_$CASE" >"$m/Setup.INI"
    e2e_start
    # No message.
    expect_menu
    if menu_has_green; then seen=settings; else seen=builtin; fi
    exit_menu
    [ "$seen" = "$labels" ] ||
        e2e_fail "$CASE: expected the labels of the $labels values, saw those of the $seen" \
            "(see $E2E_DIR/$CASE.png)"
done

# ---- Settings that do not identify themselves leave the software's name empty: the
# menu's actions stop with a message and write nothing, and the menu goes on. Without
# a name, the product key would be the key that every product shares.
SHARED_KEY='HKCU\Software\Quillfen\SolvanInstallerMaker'
UNINSTALL_KEYS='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
e2e_sjis >"$m/Setup.INI" <<EOF
[Identification]
ID=SolvaneInstaller2
[BasicOption]
SoftName=$SOFT
EOF
# What an installation or uninstallation could change.
written_state() {
    find "$E2E_PROGRAM_FILES_UNIX" "$E2E_DESKTOP" "$E2E_PROGRAMS" -newer "$m/Setup.INI" \
        -print 2>/dev/null | sort
    e2e_reg query "$SHARED_KEY" /s || true
    e2e_reg query "$UNINSTALL_KEYS" /s || true
}
# The message of an action without the software's name, then the menu again.
expect_settings_fault() {
    e2e_expect_message エラー OK "インストーラの設定に誤りがあります."
    e2e_screenshot "$CASE"
    e2e_answer OK
    e2e_wait_window "${MENU[@]}"
    e2e_expect_shown "TfmMenu Setup" "#32770 エラー"
}
before=$(written_state)

CASE=unnamed-install
e2e_start
e2e_wait_window "${MENU[@]}"
# Enter highlights Install, the second one starts it.
e2e_drive key "${MENU[@]}" Enter Enter
expect_settings_fault
exit_menu
[ "$(written_state)" = "$before" ] ||
    e2e_fail "$CASE: expected nothing written, but before:" "$before" "after:" "$(written_state)"

# A program recorded under the empty name makes Uninstall live.
CASE=unnamed-uninstall
program=$E2E_DRIVE_C/unnamed-program.exe
printf 'MZ' >"$program"
e2e_reg add "$SHARED_KEY" /v Path /d 'C:\unnamed-program.exe' /f >/dev/null
before=$(written_state)
e2e_start
e2e_wait_window "${MENU[@]}"
# Enter highlights Exit, Up then Uninstall.
e2e_drive key "${MENU[@]}" Enter Up Enter
expect_settings_fault
exit_menu
after=$(written_state)
e2e_reg delete "$SHARED_KEY" /v Path /f >/dev/null
[ -f "$program" ] || e2e_fail "$CASE: the recorded program was deleted"
rm "$program"
[ "$after" = "$before" ] ||
    e2e_fail "$CASE: expected nothing written or deleted, but before:" "$before" "after:" "$after"

# The settings as a medium has them, for the pictures.
e2e_sjis >"$m/Setup.INI" <<EOF
[Identification]
ID=SolvaneInstaller
[BasicOption]
SoftName=$SOFT
[AdvanceOption]
DstSubFolder=$SOFT
EOF

for CASE in "${MENU_PICTURE_CASES[@]}"; do
    "picture_$CASE" >"$m/SETUP.jpg"
    CASE=menu-picture-$CASE
    e2e_start
    e2e_expect_message エラー OK "SETUP.jpgを読み込めません."
    e2e_answer OK
    expect_menu "#32770 エラー"
    exit_menu
done
rm "$m/SETUP.jpg"

# The background is drawn at every show of the install dialogs: one run, each
# picture in turn, from the menu to the destination dialog and back.
e2e_start
for CASE in "${BACKGROUND_CASES[@]}"; do
    "picture_$CASE" >"$m/SetupBk.jpg"
    CASE=background-$CASE
    e2e_wait_window "${MENU[@]}"
    # Install, with the mouse: the pointer may rest on a slot when the menu is back.
    e2e_drive mouse "${MENU[@]}" move 40 16
    e2e_drive mouse "${MENU[@]}" click 40 16
    e2e_wait_window "${DEST[@]}"
    e2e_wait_window "${BACK[@]}"
    title=$(e2e_driver text "${BACK[@]}" "$BACK_TITLE")
    [ "$title" = "$SOFT " ] ||
        e2e_fail "$CASE: expected the title \"$SOFT \" over the gradient, saw \"$title\""
    e2e_screenshot "$CASE"
    shot=$E2E_SCREENSHOTS/$E2E_TEST-$CASE.png
    top=$(convert "$shot" -crop 1x1+1000+0 +repage txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1)
    [ "$top" = '#0000FF' ] || e2e_fail "$CASE: expected the gradient's blue top, saw $top: $shot"
    e2e_drive key "${DEST[@]}" Esc
    e2e_wait_closed "${DEST[@]}"
done
e2e_wait_window "${MENU[@]}"
e2e_drive key "${MENU[@]}" Esc
e2e_expect_exit_code 0
! grep -q '^shown #32770 ' "$E2E_DIR/windows.log" ||
    e2e_fail "expected no message box for the background pictures:" "$(cat "$E2E_DIR/windows.log")"

echo "PASS $E2E_TEST"
