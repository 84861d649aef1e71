#!/bin/bash
# The menu window as a user meets it: its size and picture, the highlight under the
# keys and the mouse, the messages for a "SETUP.jpg" that will not do, the question
# for a vanished program, the uninstall confirmation and the way into the install
# dialogs. The looks are checked on screenshots of the picture, slot by slot.
# The test keeps track of where the mouse pointer rests, so it needs a display of its
# own, where the pointer starts at the centre of the screen.
unset DISPLAY
source "$(dirname "$0")/lib.sh"

# A name of this run's own: its registry key is shared with nobody, not even with
# this test run at the same time from another build.
SOFT_NAME=メニュー試験$$
PRODUCT_KEY="HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$(e2e_key_name "$SOFT_NAME")"

# The installed program's path, as an installation records it.
record_installed_path() {
    e2e_reg add "$PRODUCT_KEY" /v Path /d "$1" /f >/dev/null || e2e_fail "could not write $PRODUCT_KEY"
}

forget_installation() {
    e2e_reg delete "$PRODUCT_KEY" /f >/dev/null || true
}

cleanup_menu_test() {
    forget_installation
    e2e_cleanup
}
trap cleanup_menu_test EXIT

# Setup.INI with the buttons' alignment; the labels yellow.
write_settings() {
    e2e_settings 'bin\app.exe' "$SOFT_NAME" <<EOF
[MenuView]
ButtonColor=\$FFFF
ButtonAlign=$1
EOF
}

# ---- The menu's picture on the screen

# Saves the picture inside the menu's 2 px bevel as $E2E_DIR/<name>.png.
capture_picture() {
    local x y w h
    read -r x y w h <<<"$(e2e_menu_client)"
    [ -n "$h" ] || e2e_fail "no menu window to capture"
    import -display "$DISPLAY" -window root -crop "$((w - 4))x$((h - 4))+$((x + 2))+$((y + 2))" \
        +repage "$E2E_DIR/$1.png"
}

# Where the slots lie in the picture: 120 x 30 each, stacked from slot 0 at
# SLOT_LEFT, SLOT0_TOP (set for each picture and alignment).
slot_geometry() {
    echo "120x30+$SLOT_LEFT+$((SLOT0_TOP + 30 * $1))"
}

slot_rectangle() {
    local top=$((SLOT0_TOP + 30 * $1))
    echo "rectangle $SLOT_LEFT,$top $((SLOT_LEFT + 119)),$((top + 29))"
}

# Number of pixels that differ between two captures, in a region or everywhere.
pixels_differing() {
    local a=$E2E_DIR/$1.png b=$E2E_DIR/$2.png
    if [ -n "${3:-}" ]; then
        convert "$a" -crop "$3" +repage "$E2E_DIR/region-a.png"
        convert "$b" -crop "$3" +repage "$E2E_DIR/region-b.png"
        a=$E2E_DIR/region-a.png b=$E2E_DIR/region-b.png
    fi
    compare -metric AE "$a" "$b" null: 2>&1 || true
}

# Mean brightness of a slot in a capture, 0 to 65535.
brightness() {
    convert "$E2E_DIR/$1.png" -crop "$(slot_geometry "$2")" +repage -colorspace Gray \
        -format '%[fx:int(mean*65535)]' info:
}

# Whether the capture "now" looks as described: each word is "<slot>=<capture>" (the
# slot looks as in that capture), "<slot>!<capture>" (it looks different), or
# "rest=<capture>" (everything outside the slots named looks as in that capture).
looks_as() {
    local word slot ref mask=() rest=
    for word in "$@"; do
        case $word in
            rest=*)
                rest=${word#rest=}
                continue
                ;;
            *=*)
                slot=${word%%=*} ref=${word#*=}
                [ "$(pixels_differing now "$ref" "$(slot_geometry "$slot")")" = 0 ] || return 1
                ;;
            *!*)
                slot=${word%%!*} ref=${word#*!}
                [ "$(pixels_differing now "$ref" "$(slot_geometry "$slot")")" != 0 ] || return 1
                ;;
        esac
        mask+=(-draw "$(slot_rectangle "$slot")")
    done
    [ -z "$rest" ] && return 0
    convert "$E2E_DIR/now.png" -fill black "${mask[@]}" "$E2E_DIR/rest-now.png"
    convert "$E2E_DIR/$rest.png" -fill black "${mask[@]}" "$E2E_DIR/rest-ref.png"
    [ "$(pixels_differing rest-now rest-ref)" = 0 ]
}

# Waits until the picture looks as described (see looks_as), keeps it as <name>.png
# and the screen as a screenshot.
expect_look() {
    local name=$1
    shift
    e2e_wait_until "expected the menu's picture (see $E2E_DIR/now.png) to look as: $*
(slot=capture: alike, slot!capture: different)" looks_now_as "$@"
    cp "$E2E_DIR/now.png" "$E2E_DIR/$name.png"
    e2e_screenshot "$name"
}

looks_now_as() {
    capture_picture now && looks_as "$@"
}

# Whether a new capture equals <name>.png; if not, it becomes <name>.png.
settled_as() {
    capture_picture now && [ "$(pixels_differing now "$1")" = 0 ] && return 0
    cp "$E2E_DIR/now.png" "$E2E_DIR/$1.png"
    return 1
}

# The picture once it has settled (two captures alike) as <name>.png.
capture_settled() {
    capture_picture "$1"
    e2e_wait_until "expected the menu's picture to settle" settled_as "$1"
    e2e_screenshot "$1"
}

press() {
    e2e_drive key "${MENU[@]}" "$@"
}

# Where the mouse pointer rests matters under Wine. The driver moves only the pointer
# that the programs see, not the display's, which soon reports its own place again;
# and a new desktop starts with the programs' pointer at the centre of the screen
# whatever the display's says. So the test clicks only where the display's pointer
# already rests, and highlights with keys only when it rests at the centre of the
# screen: there at first, and brought back there by park_pointer after the menu
# has moved it. The menu is centred, so the centre of the screen is the centre of
# its picture; it moves the pointer 4/5 into a slot: to 94, 30 * slot - 8 in the
# picture with the buttons at the top left.
click_at() {
    e2e_drive mouse "${MENU[@]}" click $(($1 + 2)) $(($2 + 2))
}

expect_no_message_box() {
    if e2e_driver list | grep -q ' #32770 '; then
        e2e_fail "expected no message box"
    fi
}

# A menu whose Exit has its pointer spot at the centre of the screen: a 188 x 164
# picture with the buttons at the top left. Up then Down highlight Install then Exit
# from any highlight, and so move the pointer there.
park_pointer() {
    convert -size 188x164 xc:gray "$E2E_MEDIUM/SETUP.jpg"
    e2e_start
    e2e_wait_window "${MENU[@]}"
    press Up Down Esc
    e2e_expect_exit_code 0
    rm "$E2E_MEDIUM/SETUP.jpg"
}

# Whether a window of this class and caption is on the desktop now.
visible() {
    e2e_driver list | grep -qF " $1 \"$2\" "
}

e2e_medium
mkdir -p "$E2E_MEDIUM/SETUP/bin"
printf 'program' >"$E2E_MEDIUM/SETUP/bin/app.exe"
forget_installation

# Pictures that will not do: too narrow, not a JPEG at all, cut off. Each gives its
# message before the menu appears, then the menu has the built-in picture, 320 x 240,
# with the buttons at the top left; on a fresh system Install and Exit are live and
# Uninstall is dimmed. The pointer rests at 160, 120, on no button.
write_settings 0
SLOT_LEFT=0 SLOT0_TOP=-30
check_refused_picture() {
    e2e_start
    e2e_expect_message "エラー" OK "$1"
    e2e_answer OK
    e2e_wait_window "${MENU[@]}"
    e2e_expect_menu_size 324 244
    if [ -f "$E2E_DIR/fresh.png" ]; then
        expect_look "$2" rest=fresh
    else
        capture_settled fresh
    fi
    press Esc
    e2e_expect_exit_code 0
    e2e_expect_shown "#32770 エラー" "TfmMenu Setup"
}
convert -size 119x400 xc:navy "$E2E_MEDIUM/SETUP.jpg"
check_refused_picture "SETUP.jpgの大きさが小さすぎる."
head -c 64 /dev/urandom >"$E2E_MEDIUM/SETUP.jpg"
check_refused_picture "SETUP.jpgを読み込めません." not-a-jpeg
convert -size 320x240 plasma:fractal "$E2E_DIR/whole.jpg"
head -c 2000 "$E2E_DIR/whole.jpg" >"$E2E_MEDIUM/SETUP.jpg"
check_refused_picture "SETUP.jpgを読み込めません." truncated

# A picture of 400 x 300 with the buttons at the bottom right: the window fits it,
# the labels lie in the lowest 90 px at the right, the rest is the plain picture.
convert -size 400x300 xc:'#336699' "$E2E_MEDIUM/SETUP.jpg"
write_settings 3
e2e_start
e2e_wait_window "${MENU[@]}"
e2e_expect_menu_size 404 304
capture_settled large
plain=$(convert "$E2E_DIR/large.png" -format '%[pixel:p{0,0}]' info:)
[ "$(convert "$E2E_DIR/large.png" -fill "$plain" -draw 'rectangle 280,210 399,299' \
    -format %k info:)" = 1 ] ||
    e2e_fail "expected the plain picture outside the lowest 90 px at the right" \
        "(see $E2E_DIR/large.png)"
[ "$(convert "$E2E_DIR/large.png" -crop 120x90+280+210 +repage -format %k info:)" -gt 10 ] ||
    e2e_fail "expected the labels in the lowest 90 px at the right (see $E2E_DIR/large.png)"
press Esc
e2e_expect_exit_code 0

# A picture of exactly 120 x 120 with the buttons at the bottom left: slot 0 takes
# the top 30 px, and the pointer, at 60, 60, rests on Uninstall.
convert -size 120x120 xc:'#663366' "$E2E_MEDIUM/SETUP.jpg"
write_settings 2
SLOT_LEFT=0 SLOT0_TOP=0
# Installed without a program file (the path ends in a separator): no question about
# a vanished program. Uninstall is live, so the pointer on it highlights it, and a
# click asks for the confirmation, where No does nothing.
record_installed_path 'C:\メニュー試験\'
e2e_start
e2e_wait_window "${MENU[@]}"
capture_settled small-installed
click_at 60 60
e2e_expect_message "確認" "Yes No" "ソフトを削除してよろしいですか？"
e2e_answer No
press Esc
e2e_expect_exit_code 0
e2e_expect_shown "TfmMenu Setup" "#32770 確認"
forget_installation
# Not installed: Uninstall is dimmed, so the pointer on it highlights nothing and a
# click there does nothing.
e2e_start
e2e_wait_window "${MENU[@]}"
capture_settled small
capture_picture now
looks_as 1!small-installed 2!small-installed 3=small-installed rest=small-installed ||
    e2e_fail "expected Install dimmed and Uninstall highlighted when installed," \
        "Install live and Uninstall dimmed when not (see $E2E_DIR/small*.png)"
click_at 60 60
press Esc
e2e_expect_exit_code 0
e2e_expect_shown "TfmMenu Setup"
rm "$E2E_MEDIUM/SETUP.jpg"
write_settings 0
SLOT_LEFT=0 SLOT0_TOP=-30

# No "SETUP.jpg" on a fresh system: the built-in picture. Enter with nothing
# highlighted highlights Install, in a brighter look of that slot alone.
e2e_start
e2e_wait_window "${MENU[@]}"
e2e_expect_menu_size 324 244
expect_look no-picture rest=fresh
press Enter
expect_look install-hot 1!fresh rest=fresh
(($(brightness install-hot 1) > $(brightness fresh 1))) ||
    e2e_fail "expected the highlighted Install to be brighter than the normal one"
# Down moves the highlight to Exit, giving Install its normal look back; Up returns.
press Down
expect_look exit-hot 1=fresh 3!fresh rest=fresh
press Up
expect_look install-hot-again 1=install-hot 3=fresh rest=fresh
press Right
expect_look exit-hot-again 3=exit-hot rest=fresh
# The highlight has moved the pointer onto Exit: a click there leaves.
click_at 94 82
e2e_expect_exit_code 0
e2e_expect_shown "TfmMenu Setup"
park_pointer

# The recorded program is gone: once the menu is drawn it asks whether to uninstall;
# Cancel keeps the menu, in its installed look (Install dimmed, Uninstall live), and
# the question is not asked again while the menu stays.
record_installed_path 'C:\メニュー試験\bin\app.exe'
e2e_start
e2e_expect_message "確認" "OK Cancel" "通常のアンインストール以外の方法で実行ファイルが削除されています.
アンインストールを行いますか？"
visible "${MENU[@]}" || e2e_fail "expected the question in front of the menu"
e2e_answer Cancel
capture_settled installed
looks_as 1!fresh 2!fresh 3=fresh rest=fresh ||
    e2e_fail "expected Install dimmed and Uninstall live (see $E2E_DIR/installed.png)"
# Enter with nothing highlighted highlights Exit when installed; Up goes to Uninstall.
press Enter
expect_look installed-exit 3=exit-hot 1=installed 2=installed rest=fresh
press Up
expect_look installed-uninstall 2!installed 3=installed 1=installed rest=fresh
# Uninstall asks first; No does nothing.
press Enter
e2e_expect_message "確認" "Yes No" "ソフトを削除してよろしいですか？"
e2e_answer No
press Esc
e2e_expect_exit_code 0
# The menu and the question may be seen first in the same look: counted, not ordered.
[ "$(grep -c '^shown ' "$E2E_DIR/windows.log")" = 3 ] &&
    [ "$(grep -cx 'shown #32770 確認' "$E2E_DIR/windows.log")" = 2 ] ||
    e2e_fail "expected the menu, the question and the confirmation, each once:" \
        "$(cat "$E2E_DIR/windows.log")"
forget_installation
park_pointer

# Install, without a message file, by the keys; the dialog's Esc leads back to the
# menu. (Which windows the dialogs show and hide is tested in process.)
e2e_start
e2e_wait_window "${MENU[@]}"
press Enter Enter
e2e_wait_window "${DEST[@]}"
e2e_screenshot install-destination
e2e_drive key "${DEST[@]}" Esc
e2e_wait_window "${MENU[@]}"
press Esc
e2e_expect_exit_code 0

# With a message file the information dialog comes first. Installed meanwhile (by
# another setup program while the menu was up): the warning, while the background
# and the status window are up, and then the flow goes on all the same. (The pointer
# rests on Install, which it may highlight: Up Enter starts the install either way.)
printf 'お読みください.\r\n' | iconv -f utf-8 -t cp932 >"$E2E_MEDIUM/Setup.MSG"
e2e_start
e2e_wait_window "${MENU[@]}"
record_installed_path 'C:\メニュー試験\bin\app.exe'
press Up Enter
e2e_expect_message "警告" OK "ソフトは既にインストールされています.
再インストールはアンインストールしてから行ってください."
visible TfmInstallReadyMsg 状況 && visible TfmInstallBack '' ||
    e2e_fail "expected the background and the status window behind the warning"
e2e_screenshot install-warning
e2e_answer OK
e2e_wait_window "${INFO[@]}"
! visible TfmInstallReadyMsg 状況 && ! visible "${MENU[@]}" ||
    e2e_fail "expected the status window and the menu hidden"

echo "PASS $E2E_TEST"
