#!/bin/bash
# The demo without a display: installs and uninstalls the sample medium with
# Setup.exe on a Wine virtual desktop, a screenshot of every window on the way, and
# prints what the installation left on the system. Needs SETUP_BUILD and SETUP_SOURCE
# (./run demo sets them); screenshots go to $SETUP_BUILD/screenshots/demo-walk-*.png.
source "$SETUP_SOURCE/tests/e2e/lib.sh"

prefix_path() { # C:\... -> the Linux path in the prefix
    local path=${1//\\//}
    echo "$WINEPREFIX/drive_c/${path#C:/}"
}

# Waits for the next message box, shows it, saves a screenshot and answers it.
message() {
    local seen
    seen=$(e2e_driver message "$E2E_TIMEOUT_MS") || e2e_fail "expected a message box"
    printf '%s\n' "$seen" | sed 's/^/    /'
    e2e_screenshot "$2"
    e2e_answer "$1"
}

step() { printf '%s\n' "--- $*"; }

e2e_medium
bash "$SETUP_SOURCE/tools/make-demo-medium.sh" "$E2E_MEDIUM" "$SETUP_BUILD"
soft=$(sed -n 's/^SoftName=//p' "$E2E_MEDIUM/Setup.INI" | tr -d '\r' | iconv -f CP932 -t UTF-8)
entry=$(e2e_key_name "$soft")
reg_query() { e2e_reg query "$1" | sed "s/^/    /"; }
product_key="HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$entry"
uninstall_key="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$entry"

# What an earlier demo that was stopped half-way left: the walk expects a fresh system.
e2e_reg delete "$product_key" /f >/dev/null || true
e2e_reg delete "$uninstall_key" /f >/dev/null || true
rm -rf "$E2E_PROGRAM_FILES_UNIX/$soft"

# The menu's buttons are used with the display's own pointer, as a user does: the
# demo medium has them in the lowest 90 px at the right of its 400 x 300 picture
# (ButtonAlign 3), one 30 px row each. Moves the pointer onto a slot (1 Install,
# 2 Uninstall, 3 Exit).
point_at_slot() {
    local x y
    read -r x y _ < <(e2e_menu_client)
    # The picture lies 2 px inside the client area.
    xdotool mousemove $((x + 2 + 340)) $((y + 2 + 180 + 30 * $1 + 15))
}

step "menu"
e2e_start
e2e_wait_window TfmMenu '*'
xdotool mousemove 0 0
e2e_screenshot 01-menu
point_at_slot 1
e2e_screenshot 02-menu-install-highlighted

step "install: information, destination, progress"
xdotool click 1
e2e_wait_window TfmInstallInfo 'インフォメーション'
e2e_screenshot 03-information
e2e_drive click TfmInstallInfo 'インフォメーション' '次へ(&N) >'
e2e_wait_window TfmBrouse 'インストール先'
e2e_screenshot 04-destination
e2e_drive click TfmBrouse 'インストール先' '開始(&S)'
message OK 05-new-folder
e2e_wait_window TfmInstallProgress '進行状況'
e2e_screenshot 06-progress
message OK 07-installed
message Cancel 08-open-afterwards
e2e_wait_window TfmMenu '*'
e2e_screenshot 09-menu-installed

step "what the installation left"
destination=$(reg_query "$product_key" |
    sed -n 's/.*LogFile *REG_SZ *\(.*\)\\_setup.log.*/\1/p' | tr -d '\r')
echo "  files in $destination:"
(cd "$(prefix_path "$destination")" && find . -type f -printf '    %P (%s bytes)\n' | sort)
echo "  the install record:"
iconv -f CP932 -t UTF-8 "$(prefix_path "$destination")/_setup.log" | tr -d '\r' | sed 's/^/    /'
echo "  registry:"
reg_query "$product_key"
reg_query "$uninstall_key"
echo "  shortcuts:"
find "$WINEPREFIX/drive_c/users" -name '*.lnk' -newer "$E2E_MEDIUM/Setup.INI" | while read -r link; do
    echo "    ${link#"$WINEPREFIX/drive_c/"}"
    lnkinfo -c windows-932 "$link" 2>/dev/null | grep -E 'Local path|Working directory' |
        sed 's/^\s*/      /'
done

step "uninstall"
point_at_slot 2
e2e_screenshot 10-menu-uninstall-highlighted
xdotool click 1
message Yes 11-confirm-uninstall
e2e_wait_window TfmUninstallProgress '進行状況'
e2e_screenshot 12-uninstall-progress
message OK 13-uninstalled
e2e_wait_window TfmMenu '*'
e2e_screenshot 14-menu-after
point_at_slot 3
xdotool click 1
e2e_expect_exit_code 0
if [ -e "$(prefix_path "$destination")" ]; then
    echo "  left in $destination:" && ls -la "$(prefix_path "$destination")"
else
    echo "  $destination is gone; $soft is uninstalled"
fi
echo "screenshots: $E2E_SCREENSHOTS/demo-walk-*.png"
