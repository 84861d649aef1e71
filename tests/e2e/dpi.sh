#!/bin/bash
# At 144 DPI nothing of the program is cut off or overlaps. It declares no DPI
# awareness: Windows scales its windows as a whole, and Wine, which does not, shows
# them as at 96 DPI while its own dialogs grow. So, through an installation and an
# uninstallation of the sample medium, once in the test prefix and once in a prefix
# of its own set to 144 DPI: every window lies on the screen and every control inside its
# window; our own windows and their controls keep the places and sizes they have at
# 96 DPI, where the other tests check them, and the system's boxes do grow.
source "$(dirname "$0")/lib.sh"

BASE_PREFIX=$WINEPREFIX
DPI_PREFIX=$BASE_PREFIX-dpi144
# That prefix's server goes with the test; the test prefix's stays for the others.
trap 'e2e_cleanup; WINEPREFIX=$DPI_PREFIX wineserver -k 2>/dev/null || true' EXIT
# The sample medium under a name of this test's own.
SOFT=表示倍率試験
ENTRY=$(e2e_key_name "$SOFT")
SCREEN_W=1024
SCREEN_H=768

# The controls of a window as "<#id> <class> <x> <y> <w> <h> [hidden]", one a line:
# the driver's list, whose texts may run over several lines, without the handles
# and texts.
controls_of() {
    e2e_driver list "$1" "$2" | awk '
        /^0x[0-9A-F]+ #/ { id = $2; class = $3 }
        / -?[0-9]+ -?[0-9]+ [0-9]+ [0-9]+( hidden)?( disabled)?$/ {
            hidden = / hidden( disabled)?$/ ? " hidden" : ""
            sub(/( hidden)?( disabled)?$/, "")
            print id, class, $(NF - 3), $(NF - 2), $(NF - 1), $NF hidden
        }'
}

# Checks the windows now on the screen and writes their layout to <dpi>/<step>: for
# each window "window <class> "<caption>" client <w> <h>", then its controls.
snapshot() {
    local dpi=$1 step=$2 line class caption x y w h cw ch id kind hidden
    local out=$E2E_DIR/$dpi/$step controls=$E2E_DIR/controls
    mkdir -p "$E2E_DIR/$dpi"
    e2e_screenshot "$dpi-$step"
    : >"$out"
    while IFS= read -r line; do
        [[ $line =~ ^0x[0-9A-F]+\ ([^ ]+)\ \"(.*)\"\ window\ (-?[0-9]+)\ (-?[0-9]+)\ ([0-9]+)\ ([0-9]+)\ client\ -?[0-9]+\ -?[0-9]+\ ([0-9]+)\ ([0-9]+) ]] ||
            e2e_fail "$dpi $step: unexpected list line: $line"
        class=${BASH_REMATCH[1]} caption=${BASH_REMATCH[2]}
        x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]} w=${BASH_REMATCH[5]} h=${BASH_REMATCH[6]}
        cw=${BASH_REMATCH[7]} ch=${BASH_REMATCH[8]}
        ((x >= 0 && y >= 0 && x + w <= SCREEN_W && y + h <= SCREEN_H)) ||
            e2e_fail "$dpi DPI, $step: $class \"$caption\" at $x $y $w $h is not wholly on the screen"
        echo "window $class \"$caption\" client $cw $ch" >>"$out"
        controls_of "$class" "$caption" >"$controls"
        cat "$controls" >>"$out"
        while read -r id kind x y w h hidden; do
            [ -z "$hidden" ] || continue
            ((x >= 0 && y >= 0 && x + w <= cw && y + h <= ch)) ||
                e2e_fail "$dpi DPI, $step: control $id ($kind) at $x $y $w $h of $class" \
                    "\"$caption\" is not wholly inside its client area of $cw x $ch"
        done <"$controls"
    done < <(e2e_driver list)
}

# The window blocks of a snapshot whose class starts as given.
windows_of() {
    awk -v prefix="$2" '/^window / { keep = index($2, prefix) == 1 } keep' "$1"
}

# Waits for the next message box, takes a snapshot and answers it.
message() {
    e2e_driver message "$E2E_TIMEOUT_MS" >/dev/null || e2e_fail "expected a message box"
    snapshot "$1" "$2"
    e2e_answer "$3"
}

# Removes from a prefix what an interrupted run may have left there.
forget_installation() {
    local prefix=$1 path
    WINEPREFIX=$prefix e2e_reg delete "HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$ENTRY" /f \
        >/dev/null || true
    WINEPREFIX=$prefix e2e_reg delete \
        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$ENTRY" /f >/dev/null || true
    for path in "$E2E_PROGRAM_FILES_UNIX/$SOFT" "$E2E_PROGRAMS/$SOFT" "$E2E_DESKTOP/$SOFT.lnk"; do
        rm -rf "$prefix/${path#"$BASE_PREFIX/"}"
    done
}

# Installs and uninstalls the sample medium, a snapshot of every window on the way.
walk() {
    local dpi=$1
    e2e_start
    e2e_wait_window "${MENU[@]}"
    snapshot "$dpi" 01-menu
    e2e_drive key "${MENU[@]}" Enter
    e2e_drive key "${MENU[@]}" Enter
    e2e_wait_window "${INFO[@]}"
    snapshot "$dpi" 02-information
    e2e_drive click "${INFO[@]}" '次へ(&N) >'
    e2e_wait_window "${DEST[@]}"
    snapshot "$dpi" 03-destination
    e2e_drive click "${DEST[@]}" '参照...(&B)'
    e2e_wait_window '#32770' '*'
    snapshot "$dpi" 04-browse
    e2e_drive click '#32770' '*' "$E2E_SYSTEM_CANCEL"
    e2e_drive click "${DEST[@]}" '開始(&S)'
    message "$dpi" 05-new-folder OK
    message "$dpi" 06-installed OK
    message "$dpi" 07-open-afterwards Cancel
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Up Up Enter
    message "$dpi" 08-confirm-uninstall Yes
    message "$dpi" 09-uninstalled OK
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Esc
    e2e_expect_exit_code 0
}

# The prefix at 144 DPI: made once beside the test prefix, its setting made anew.
WINEPREFIX=$DPI_PREFIX bash "$SETUP_SOURCE/tests/wine-prefix.sh" ||
    e2e_fail "could not prepare the prefix $DPI_PREFIX"
for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    WINEPREFIX=$DPI_PREFIX "$E2E_WINE_RUN" reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f \
        </dev/null >/dev/null 2>&1 || e2e_fail "could not set LogPixels in $DPI_PREFIX"
done

e2e_medium
bash "$SETUP_SOURCE/tools/make-demo-medium.sh" "$E2E_MEDIUM" "$SETUP_BUILD"
ini=$(iconv -f cp932 -t utf-8 "$E2E_MEDIUM/Setup.INI" | tr -d '\r')
sed -e "s/^SoftName=.*/SoftName=$SOFT/" -e "s/^DstSubFolder=.*/DstSubFolder=$SOFT/" \
    -e "s/^ShortcutFolder=.*/ShortcutFolder=$SOFT/" <<<"$ini" | e2e_sjis >"$E2E_MEDIUM/Setup.INI"
forget_installation "$BASE_PREFIX"
forget_installation "$DPI_PREFIX"
walk 96
export WINEPREFIX=$DPI_PREFIX
walk 144

# Our windows as at 96 DPI; the system's message boxes larger.
for step in $(ls "$E2E_DIR/96"); do
    diff -u <(windows_of "$E2E_DIR/96/$step" Tfm) <(windows_of "$E2E_DIR/144/$step" Tfm) \
        >"$E2E_DIR/$step.diff" ||
        e2e_fail "$step: our windows at 144 DPI differ from those at 96 DPI:" \
            "$(cat "$E2E_DIR/$step.diff")"
    case $step in
        0[5-9]-*)
            width96=$(windows_of "$E2E_DIR/96/$step" '#32770' | awk 'NR == 1 { print $(NF - 1) }')
            width144=$(windows_of "$E2E_DIR/144/$step" '#32770' | awk 'NR == 1 { print $(NF - 1) }')
            ((width144 * 4 >= width96 * 5)) ||
                e2e_fail "$step: the message box is $width144 wide at 144 DPI, $width96 at 96:" \
                    "the prefix $DPI_PREFIX does not seem to be at 144 DPI"
            ;;
    esac
done
