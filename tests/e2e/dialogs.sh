#!/bin/bash
# The install dialogs through the real menu: the information dialog with the lines of
# the message file, the destination dialog with its folder and size labels on the
# real drive, the browse dialog, the refusals of Start, a typed folder taken by Enter,
# and the background with and without SetupBk.jpg. Which window each button leads to
# is tested in process, in the window tests.
source "$(dirname "$0")/lib.sh"

SOFT=ダイアログ試験
DEFAULT_FOLDER="$E2E_PROGRAM_FILES\\ダイアログ試験"
# Control identifiers: a control's place in its window's layout.
INFO_MEMO='#4'
INFO_LABEL='#5'
DEST_EDIT='#4'
DEST_NEED='#7'
DEST_FREE='#8'
BACK_TITLE='#1'
BACK_SHADOW='#2'
# A folder in the test prefix that exists, so that the install engine asks first;
# named by this run, as the prefix is shared.
EXISTING_UNIX=$WINEPREFIX/drive_c/e2e-dialogs-$$
EXISTING="C:\\e2e-dialogs-$$\\既存"
trap 'rm -rf "$EXISTING_UNIX"; e2e_cleanup' EXIT

expect_text() {
    local what=$1 expected=$2 seen=$3
    [ "$seen" = "$expected" ] || e2e_fail "$what: expected \"$expected\"" "but saw \"$seen\""
}

# The width of a control of the destination dialog, as its list line gives it.
width_of() {
    e2e_driver list "${DEST[@]}" | awk -v id="$1" '$2 == id { print $(NF - 1) }'
}

# A field of the "client x y w h" part of a window's list line (1 = x ... 4 = h).
client_field() {
    e2e_driver list | awk -v class="$1" -v field="$2" '$2 == class {
        for (i = 1; i < NF; i++) if ($i == "client") { print $(i + field); exit } }'
}

# The colour of a pixel of a screenshot as #RRGGBB.
pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1
}

# Whether a region (w h x y) of a screenshot holds pixels of exactly that colour.
has_colour() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -format %c histogram:info:- |
        grep -q "$6"
}

# Both size labels of the screenshot of that step in pure red ("red") or in the
# window-text colour, black here.
expect_label_colour() {
    local colour=$1 shot=$E2E_SCREENSHOTS/$E2E_TEST-$2.png x y
    x=$(($(client_field TfmBrouse 1) + 48))
    y=$(($(client_field TfmBrouse 2) + 120))
    if [ "$colour" = red ]; then
        has_colour "$shot" 290 40 $x $y '#FF0000' ||
            e2e_fail "expected the size labels in red: $shot"
        ! has_colour "$shot" 290 40 $x $y '#000000' ||
            e2e_fail "expected no black in the red size labels: $shot"
    else
        ! has_colour "$shot" 290 40 $x $y '#FF0000' ||
            e2e_fail "expected the size labels without red: $shot"
        has_colour "$shot" 290 40 $x $y '#000000' ||
            e2e_fail "expected the size labels in black: $shot"
    fi
}

# The size labels for this many bytes to install, with the uninstaller's 13 KB; the
# free figure is whatever the drive has.
expect_size_labels() {
    local total=$1 colour=$2 step=$3 free
    expect_text "needed space" "必要容量：  $(e2e_grouped $((total / 1024 + 13))) KB" \
        "$(e2e_text_of "${DEST[@]}" "$DEST_NEED")"
    free=$(e2e_text_of "${DEST[@]}" "$DEST_FREE")
    [[ $free =~ ^空き容量：\ \ [\ 0-9,]{25}\ KB$ ]] ||
        e2e_fail "free space: expected 空き容量： and a figure of 25 characters, saw \"$free\""
    # Fixed pitch: the two figures end at the same point.
    [ "$(width_of "$DEST_NEED")" = "$(width_of "$DEST_FREE")" ] ||
        e2e_fail "expected both size labels as wide as each other:" \
            "$(e2e_driver list "${DEST[@]}")"
    e2e_screenshot "$step"
    expect_label_colour "$colour" "$step"
}

# Install from the menu: on a fresh menu with the keys (Down highlights Install, Enter
# starts it), afterwards with a click on Install, at the top left of the picture, as
# the cursor may lie on a button when the menu comes back.
start_install() {
    e2e_wait_window "${MENU[@]}"
    if [ "${1:-}" = keys ]; then
        e2e_drive key "${MENU[@]}" Down Enter
    else
        e2e_drive mouse "${MENU[@]}" move 40 16
        e2e_drive mouse "${MENU[@]}" click 40 16
    fi
}

# Back at the menu, the background gone.
expect_menu_again() {
    e2e_wait_window "${MENU[@]}"
    e2e_wait_closed "${BACK[@]}"
    e2e_wait_closed TfmBrouse '*'
    e2e_wait_closed TfmInstallInfo '*'
}

# Types a folder into the destination field and presses Enter there.
type_and_enter() {
    e2e_drive type "${DEST[@]}" インストール先フォルダ名 "$1"
    e2e_drive key "${DEST[@]}" Enter
}

# A message box of Start's refusals; the dialog stays.
refused() {
    e2e_expect_message エラー OK "$1"
    e2e_screenshot "$2"
    e2e_answer OK
    e2e_wait_window "${DEST[@]}"
}

e2e_medium
m=$E2E_MEDIUM
e2e_settings 'bin\prog.exe' "$SOFT" <<EOF
[AdvanceOption]
DstSubFolder=$SOFT
DstFolderID=0
ShortcutDesktop=0
StandAloneUninstUse=1
[MenuView]
WallStretch=1
EOF
# Every kind of line end, and a line of double-byte text.
printf '一行目 %s\r\n二行目\nthird\rlast\r\n' "$SOFT" | iconv -f utf-8 -t cp932 >"$m/Setup.MSG"
mkdir -p "$m/SETUP/bin" "$m/SETUP/doc/説明"
head -c 1048576 /dev/zero >"$m/SETUP/bin/prog.exe"
printf 'abc' >"$m/SETUP/doc/説明/readme.txt"
TOTAL=1048579
mkdir -p "$EXISTING_UNIX/既存"

e2e_start
start_install keys

# The information dialog over the gradient background with the software's name.
e2e_wait_window "${INFO[@]}"
e2e_wait_window "${BACK[@]}"
expect_text "information label" $'インストールを開始します.\n他のアプリケーションをすべて終了させてください.' \
    "$(e2e_text_of "${INFO[@]}" "$INFO_LABEL")"
expect_text "message file lines" $'一行目 '"$SOFT"$'\r\n二行目\r\nthird\r\nlast' \
    "$(e2e_text_of "${INFO[@]}" "$INFO_MEMO")"
expect_text "title" "$SOFT " "$(e2e_text_of "${BACK[@]}" "$BACK_TITLE")"
expect_text "title shadow" "$SOFT " "$(e2e_text_of "${BACK[@]}" "$BACK_SHADOW")"
e2e_screenshot information
shot=$E2E_SCREENSHOTS/$E2E_TEST-information.png
# Full blue in the top row, black in the bottom one; the white title over it.
expect_text "gradient's top row" '#0000FF' "$(pixel "$shot" 1000 0)"
expect_text "gradient's middle row" '#00007F' "$(pixel "$shot" 1000 384)"
expect_text "gradient's bottom row" '#000000' "$(pixel "$shot" 1000 767)"
has_colour "$shot" 300 40 28 28 '#FFFFFF' || e2e_fail "expected the white title at 28, 28: $shot"

# Next: the destination dialog with the default folder and the size labels.
e2e_drive click "${INFO[@]}" '次へ(&N) >'
e2e_wait_window "${DEST[@]}"
e2e_wait_closed TfmInstallInfo '*'
expect_text "destination" "$DEFAULT_FOLDER" "$(e2e_text_of "${DEST[@]}" "$DEST_EDIT")"
expect_size_labels $TOTAL black destination

# Back shows the information again; Next starts again from the default folder.
e2e_drive type "${DEST[@]}" インストール先フォルダ名 'C:\Other'
e2e_drive click "${DEST[@]}" '< 戻る(&P)'
e2e_wait_window "${INFO[@]}"
e2e_wait_closed TfmBrouse '*'
e2e_wait_window "${BACK[@]}"
e2e_drive click "${INFO[@]}" '次へ(&N) >'
e2e_wait_window "${DEST[@]}"
expect_text "destination after back and next" "$DEFAULT_FOLDER" \
    "$(e2e_text_of "${DEST[@]}" "$DEST_EDIT")"

# The browse dialog: cancelled it changes nothing; the desktop, the root of its tree,
# gives the desktop folder followed by the sub folder.
e2e_drive click "${DEST[@]}" '参照...(&B)'
e2e_wait_window "${BROWSE[@]}"
e2e_driver list "${BROWSE[@]}" | grep -q '"インストール先を選択してください."' ||
    e2e_fail "expected the browse dialog's title:" "$(e2e_driver list "${BROWSE[@]}")"
e2e_screenshot browse
e2e_drive click "${BROWSE[@]}" "$E2E_SYSTEM_CANCEL"
e2e_wait_closed "${BROWSE[@]}"
expect_text "destination after a cancelled browse" "$DEFAULT_FOLDER" \
    "$(e2e_text_of "${DEST[@]}" "$DEST_EDIT")"
e2e_drive click "${DEST[@]}" '参照...(&B)'
e2e_wait_window "${BROWSE[@]}"
tree=$(e2e_driver list "${BROWSE[@]}" | awk '$3 == "SysTreeView32" { print $(NF - 3), $(NF - 2) }')
read -r tx ty <<<"$tree"
[ -n "$ty" ] || e2e_fail "expected a folder tree in the browse dialog"
e2e_drive mouse "${BROWSE[@]}" click $((tx + 32)) $((ty + 9))
e2e_drive click "${BROWSE[@]}" "$E2E_SYSTEM_OK"
e2e_wait_closed "${BROWSE[@]}"
chosen=$(e2e_text_of "${DEST[@]}" "$DEST_EDIT")
[[ $chosen =~ ^C:\\users\\[^\\]+\\Desktop\\$SOFT$ ]] ||
    e2e_fail "expected the desktop folder and \\$SOFT after browsing, saw \"$chosen\""

# Refused at Start: no drive, and a full stop in the path.
type_and_enter '\Foo'
refused "書込み不可能なドライブか有効なドライブではありません." no-drive-message
expect_text "free space without a drive" "空き容量：  $(e2e_grouped 0) KB" \
    "$(e2e_text_of "${DEST[@]}" "$DEST_FREE")"
e2e_screenshot no-drive
expect_label_colour red no-drive
type_and_enter 'C:\Foo.1'
refused "有効なパスではありません.." invalid-path

# Cancel: the menu again, without the background.
e2e_drive click "${DEST[@]}" キャンセル
expect_menu_again

# Not enough space: a sparse file of many terabytes (ext4 allows at most 16 TiB).
truncate -s 15T "$m/SETUP/huge.bin"
start_install
e2e_wait_window "${INFO[@]}"
e2e_drive key "${INFO[@]}" Enter
e2e_wait_window "${DEST[@]}"
expect_size_labels $((TOTAL + 15 * 1024 ** 4)) red no-space
e2e_drive click "${DEST[@]}" '開始(&S)'
refused "ディスクの空き容量が足りません." no-space-message
e2e_drive key "${DEST[@]}" Esc
expect_menu_again
rm "$m/SETUP/huge.bin"

# A typed folder and Enter, without leaving the field: the install goes to that
# folder. It exists, so the engine asks first; Cancel stops it there.
start_install
e2e_wait_window "${INFO[@]}"
e2e_drive key "${INFO[@]}" Enter
e2e_wait_window "${DEST[@]}"
type_and_enter "$EXISTING"
e2e_wait_window "${PROGRESS[@]}"
e2e_wait_closed TfmBrouse '*'
e2e_expect_message 確認 "OK Cancel" "フォルダ $EXISTING は既に存在します.
このフォルダのファイルは上書きされる可能性があります.
続行しますか？"
e2e_screenshot progress
e2e_answer Cancel
e2e_expect_message 警告 OK "ユーザーの要求によりインストールが中断しました.
再びインストールを行う場合は、最初からやり直してください."
e2e_answer OK
expect_menu_again
e2e_wait_closed TfmInstallProgress '*'

# Without a message file the destination dialog comes first.
rm "$m/Setup.MSG"

# With SetupBk.jpg (800 x 400) the picture fills the width, 1024 x 512 at 0, 128,
# on black, and there is no title.
convert -size 800x400 xc:'#FF0000' -quality 100 "$m/SetupBk.jpg"
start_install
e2e_wait_window "${DEST[@]}"
e2e_wait_window "${BACK[@]}"
expect_text "title over a picture" "" "$(e2e_text_of "${BACK[@]}" "$BACK_TITLE")"
expect_text "shadow over a picture" "" "$(e2e_text_of "${BACK[@]}" "$BACK_SHADOW")"
e2e_screenshot picture
shot=$E2E_SCREENSHOTS/$E2E_TEST-picture.png
expect_text "above the picture" '#000000' "$(pixel "$shot" 1000 127)"
expect_text "below the picture" '#000000' "$(pixel "$shot" 1000 640)"
[[ $(pixel "$shot" 1000 128) =~ ^#F[C-F]0[0-3]0[0-3]$ ]] ||
    e2e_fail "expected the red picture from row 128: $shot"
[[ $(pixel "$shot" 0 639) =~ ^#F[C-F]0[0-3]0[0-3]$ ]] ||
    e2e_fail "expected the red picture down to row 639: $shot"
# The close box (Alt+F4) is Cancel.
e2e_drive key "${DEST[@]}" Alt+F4
expect_menu_again

# A picture that cannot be decoded: the gradient and the title, as without one.
printf 'not a picture' >"$m/SetupBk.jpg"
start_install
e2e_wait_window "${DEST[@]}"
e2e_wait_window "${BACK[@]}"
expect_text "title over an undecodable picture" "$SOFT " "$(e2e_text_of "${BACK[@]}" "$BACK_TITLE")"
e2e_screenshot bad-picture
shot=$E2E_SCREENSHOTS/$E2E_TEST-bad-picture.png
expect_text "gradient's top row instead of the picture" '#0000FF' "$(pixel "$shot" 1000 0)"
e2e_drive click "${DEST[@]}" キャンセル
expect_menu_again

e2e_drive key "${MENU[@]}" Alt+F4
e2e_expect_exit_code 0
echo "PASS $E2E_TEST"
