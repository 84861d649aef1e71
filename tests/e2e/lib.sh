# Helpers for the end-to-end tests, sourced by each script here (ctest gives them
# SETUP_BUILD, the Windows build folder, and SETUP_SOURCE).
#
# Each test runs the real Setup.exe from a fresh medium folder on a Wine virtual
# desktop of its own (1024x768, named by SETUP_DESKTOP), drives it with
# tools/SetupDriver.exe and checks what it shows and leaves behind. Every wait is for
# a condition, with a generous time-out; a failure names what was expected and what
# was seen, with the windows on the desktop and a screenshot.
set -Eeuo pipefail
# A command that fails outside a check ends the test; say which, never silently.
trap 'E2E_STATUS=$?; ((BASH_SUBSHELL)) || echo "FAIL ${E2E_TEST:-$0}: \"$BASH_COMMAND\" exited with $E2E_STATUS (line $LINENO of ${BASH_SOURCE[0]##*/})" >&2' ERR

: "${SETUP_BUILD:?SETUP_BUILD must name the Windows build folder}"
: "${SETUP_SOURCE:?SETUP_SOURCE must name the source folder}"

E2E_TEST=$(basename "$0" .sh)
E2E_DIR=$SETUP_BUILD/e2e/$E2E_TEST
E2E_MEDIUM=$E2E_DIR/medium
E2E_SCREENSHOTS=$SETUP_BUILD/screenshots
E2E_DRIVER=$SETUP_BUILD/tools/SetupDriver.exe
E2E_WINE_RUN=$SETUP_SOURCE/tests/wine-run
# Every wait follows the machine's speed: SETUP_TIME_FACTOR, which an emulated machine
# sets (the driver's own waits follow it too), stretches them.
SETUP_TIME_FACTOR=${SETUP_TIME_FACTOR:-1}
export SETUP_TIME_FACTOR
E2E_TIMEOUT_S=$((60 * SETUP_TIME_FACTOR))
E2E_TIMEOUT_MS=$((E2E_TIMEOUT_S * 1000))
export WINEPREFIX=${WINEPREFIX:-$SETUP_SOURCE/build/wine}

# The program's windows as the driver names them, class and caption ('*': any).
MENU=(TfmMenu Setup)
INFO=(TfmInstallInfo インフォメーション)
DEST=(TfmBrouse インストール先)
BACK=(TfmInstallBack '*')
PROGRESS=(TfmInstallProgress 進行状況)
BROWSE=('#32770' '*')

# The messages that several tests meet.
CANCELLED='ユーザーの要求によりインストールが中断しました.
再びインストールを行う場合は、最初からやり直してください.'
SUCCEEDED=インストールが正常に終了しました.

E2E_PROGRAM_PID=
E2E_RUNS=0
E2E_EXIT_CODE=
E2E_XVFB_PID=

e2e_driver() {
    "$E2E_WINE_RUN" "$E2E_DRIVER" "$@"
}

# Ends the test: each argument is a line of the explanation.
e2e_fail() {
    {
        echo "FAIL $E2E_TEST"
        printf '%s\n' "$@" | sed 's/^/  /'
        echo "windows on the desktop now:"
        e2e_driver list 2>&1 | sed 's/^/  /' || true
        echo "windows the program showed:"
        sed 's/^/  /' "$E2E_DIR/windows.log" 2>/dev/null || true
    } >&2
    if e2e_screenshot failure 2>/dev/null; then
        echo "screen: $E2E_SCREENSHOTS/$E2E_TEST-failure.png" >&2
    fi
    exit 1
}

# Runs a driver command; a failure ends the test with the driver's explanation.
e2e_drive() {
    local err=$E2E_DIR/driver.err
    e2e_driver "$@" 2>"$err" || e2e_fail "SetupDriver $*:" "$(cat "$err")"
}

e2e_start_xvfb() {
    source "$SETUP_SOURCE/tests/xvfb.sh"
    if ! xvfb_start 200; then
        echo "FAIL ${E2E_TEST:-$0}: could not start Xvfb: $(cat "$XVFB_LOG")" >&2
        exit 1
    fi
    E2E_XVFB_PID=$XVFB_STARTED_PID
}

# Waits until the command (the arguments after the first) succeeds, asking it again
# every tenth of a second; if it does not within E2E_TIMEOUT_S, the test fails with
# the first argument, which says what was expected.
e2e_wait_until() {
    local expected=$1 deadline=$((SECONDS + E2E_TIMEOUT_S))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || e2e_fail "$expected within $E2E_TIMEOUT_S s"
        sleep 0.1
    done
}

e2e_running() {
    [ -n "$E2E_PROGRAM_PID" ] && kill -0 "$E2E_PROGRAM_PID" 2>/dev/null
}

# Ends what the test started: the driver's run takes the program and its desktop with
# it. The shared wineserver stays.
e2e_cleanup() {
    if e2e_running; then
        kill "$E2E_PROGRAM_PID" 2>/dev/null || true
        wait "$E2E_PROGRAM_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
}
trap e2e_cleanup EXIT

# A fresh medium folder holding only Setup.exe; the test adds what it needs.
e2e_medium() {
    rm -rf "$E2E_DIR"
    mkdir -p "$E2E_MEDIUM"
    cp "$SETUP_BUILD/Setup.exe" "$E2E_MEDIUM/"
}

# Runs a program of `folder` through the driver ("run" and its arguments follow) in the
# background and waits until its desktop is up, so that the driver's commands find it.
# Each run has a desktop of its own, apart from the last run's, which may still be
# closing; a new desktop also starts with the pointer at the centre of the screen.
e2e_run_in() {
    local folder=$1
    shift
    E2E_RUNS=$((E2E_RUNS + 1))
    export SETUP_DESKTOP=e2e-$E2E_TEST-$$-$E2E_RUNS
    # Emptied here, not by the background redirection, so that an earlier run's
    # "started" cannot be taken for this one's.
    : >"$E2E_DIR/windows.log"
    (cd "$folder" && exec "$E2E_WINE_RUN" "$E2E_DRIVER" run "$@") \
        >"$E2E_DIR/windows.log" 2>"$E2E_DIR/run.err" &
    E2E_PROGRAM_PID=$!
    e2e_wait_until "expected $* to start" e2e_started "$*"
}

# Whether the run has its desktop up; a run that ended before ends the test.
e2e_started() {
    grep -qsx started "$E2E_DIR/windows.log" && return 0
    e2e_running || e2e_fail "$1 did not start:" "$(cat "$E2E_DIR/run.err")"
    return 1
}

e2e_ended() {
    ! e2e_running
}

# Starts the medium's Setup.exe (with any arguments).
e2e_start() {
    e2e_run_in "$E2E_MEDIUM" Setup.exe "$@"
}

# Waits for the program to end and keeps its exit code in E2E_EXIT_CODE.
e2e_wait_exit() {
    e2e_wait_until "expected Setup.exe to end" e2e_ended
    E2E_EXIT_CODE=0
    wait "$E2E_PROGRAM_PID" || E2E_EXIT_CODE=$?
    E2E_PROGRAM_PID=
}

# Waits for the program to end if it still runs, and checks its exit code.
e2e_expect_exit_code() {
    [ -z "$E2E_PROGRAM_PID" ] || e2e_wait_exit
    [ "$E2E_EXIT_CODE" = "$1" ] ||
        e2e_fail "expected exit code $1, saw $E2E_EXIT_CODE" "$(cat "$E2E_DIR/run.err")"
}

# From the menu, as a user does: Install, Start with the folder the destination dialog
# proposes ($1, which does not exist yet), OK to the new folder and to the success,
# then Esc in the menu, which ends the program.
e2e_install_from_menu() {
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Down Enter
    e2e_wait_window "${DEST[@]}"
    e2e_drive click "${DEST[@]}" '開始(&S)'
    e2e_expect_message メッセージ OK "フォルダ $1 がありません.
このフォルダを新規に作成します."
    e2e_answer OK
    e2e_expect_message 成功 OK "$SUCCEEDED"
    e2e_answer OK
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Esc
    e2e_expect_exit_code 0
}

# From the menu with the mouse: Uninstall (the built-in picture's second slot), Yes,
# OK to the success, then Esc in the menu, which ends the program.
e2e_uninstall_from_menu() {
    e2e_drive mouse "${MENU[@]}" move 40 46
    e2e_drive mouse "${MENU[@]}" click 40 46
    e2e_expect_message 確認 "Yes No" ソフトを削除してよろしいですか？
    e2e_answer Yes
    e2e_expect_message 成功 OK アンインストールが正常に終了しました.
    e2e_answer OK
    e2e_wait_window "${MENU[@]}"
    e2e_drive key "${MENU[@]}" Esc
    e2e_expect_exit_code 0
}

# "x y w h" of the menu window's client area on the screen.
e2e_menu_client() {
    e2e_driver list | awk '$2 == "TfmMenu" && $3 == "\"Setup\"" { print $10, $11, $12, $13 }'
}

e2e_expect_menu_size() {
    local client
    client=$(e2e_menu_client)
    [ "${client#* * }" = "$1 $2" ] ||
        e2e_fail "expected the menu's client area to be $1 x $2, saw (x y w h) \"$client\""
}

# The text of a control of a window (the driver ends it with a line break).
e2e_text_of() {
    local err=$E2E_DIR/driver.err out
    out=$(e2e_driver text "$@" 2>"$err") || e2e_fail "SetupDriver text $*:" "$(cat "$err")"
    printf '%s' "$out"
}

# The 25-character figure of the destination dialog's size labels: grouped by ",",
# right-aligned.
e2e_grouped() {
    local n=$1 text=
    while ((n >= 1000)); do
        text=$(printf ',%03d%s' $((n % 1000)) "$text")
        n=$((n / 1000))
    done
    printf '%25s' "$n$text"
}

# The buttons of the system's own dialogs (the folder browser), by their identifiers:
# their texts are in the system's language.
E2E_SYSTEM_OK='#1'
E2E_SYSTEM_CANCEL='#2'

# Waits for a visible window of that class (or *) and caption (or *).
e2e_wait_window() {
    local err=$E2E_DIR/driver.err
    e2e_driver wait-window "$1" "$2" "$E2E_TIMEOUT_MS" >/dev/null 2>"$err" ||
        e2e_fail "expected a window of class \"$1\" with caption \"$2\":" "$(cat "$err")"
}

# Waits until no visible window of that class (or *) and caption (or *) is left.
e2e_wait_closed() {
    local err=$E2E_DIR/driver.err
    e2e_driver wait-closed "$1" "$2" "$E2E_TIMEOUT_MS" >/dev/null 2>"$err" ||
        e2e_fail "expected no window of class \"$1\" with caption \"$2\" any more:" "$(cat "$err")"
}

# Waits for a message box and checks it exactly: caption, buttons ("OK", "OK Cancel",
# "Yes No"), text, and its icon ("none" unless given as "yes").
e2e_expect_message() {
    local expected=$E2E_DIR/message.expected seen=$E2E_DIR/message.seen
    printf 'caption: %s\nbuttons: %s\nicon: %s\ntext:\n%s\n' "$1" "$2" "${4:-none}" "$3" \
        >"$expected"
    e2e_driver message "$E2E_TIMEOUT_MS" >"$seen" 2>"$seen.err" ||
        e2e_fail "expected this message box:" "$(cat "$expected")" "but $(cat "$seen.err")"
    cmp -s "$expected" "$seen" ||
        e2e_fail "expected this message box:" "$(cat "$expected")" "but saw:" "$(cat "$seen")"
}

# Clicks OK, Cancel, Yes or No in the message box and waits until it has closed.
e2e_answer() {
    e2e_drive answer "$1" "$E2E_TIMEOUT_MS"
}

# Checks that the task bar lists one button of the program, its application window
# with that title ("Setup" unless given), whatever windows it shows.
e2e_expect_one_button() {
    local seen
    seen=$(e2e_driver taskbar) || e2e_fail "cannot list the task bar's windows"
    [ "$seen" = "SetupApplication ${1:-Setup}" ] ||
        e2e_fail "expected the task bar to list only the program's window:" \
            "SetupApplication ${1:-Setup}" "but it lists:" "$seen"
}

# Checks the windows the program has shown so far, in order, each "<class> <caption>".
e2e_expect_shown() {
    local expected seen
    expected=$(printf 'shown %s\n' "$@")
    seen=$(grep '^shown ' "$E2E_DIR/windows.log" || true)
    [ "$seen" = "$expected" ] ||
        e2e_fail "expected the program to show exactly these windows:" "$expected" \
            "but it showed:" "$seen"
}

# Text given in UTF-8, written as code page 932 with CR LF line ends, as a medium
# holds it.
e2e_sjis() {
    sed 's/$/\r/' | iconv -f utf-8 -t cp932
}

# The medium's Setup.INI for the program file ($1) and the software's name ($2), with
# the further lines given on the standard input.
e2e_settings() {
    { printf '%s\n' '[Identification]' 'ID=SolvaneInstaller' '[BasicOption]' "ExecFile=$1" \
        "SoftName=$2"; cat; } | e2e_sjis >"$E2E_MEDIUM/Setup.INI"
}

# The registry key name of a software name: each code page 932 byte as two letters
# A to P.
e2e_key_name() {
    printf '%s' "$1" | iconv -f utf-8 -t cp932 | od -An -tx1 -v | tr -d ' \n' | tr 0-9a-f A-P
}

# Runs reg.exe in the prefix, in the registry view of the programs under test; its
# output in UTF-8 without CRs. Into a pipe it writes in the OEM code page of its own
# locale, which on a Western one lacks the Japanese names: it runs in the Japanese
# one on any prefix (that changes nothing for the programs under test, whose code
# pages come from their own locale).
e2e_reg() {
    SETUP_WINE_LOCALE=ja_JP.UTF-8 "$E2E_WINE_RUN" reg "$@" "/reg:$E2E_BITS" </dev/null 2>&1 |
        iconv -f cp932 -t utf-8 | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# The programs' ANSI code page, from the locale they run in: 932 in the Japanese one,
# 1252 in the Western ones the tests use.
case ${SETUP_WINE_LOCALE:-ja_JP.UTF-8} in
    ja_JP*) E2E_ANSI_CODE_PAGE=932 ;;
    *) E2E_ANSI_CODE_PAGE=1252 ;;
esac

# A text as that code page holds it: "?" for each character it lacks.
e2e_ansi() {
    perl -CA -MEncode -e "print encode('cp$E2E_ANSI_CODE_PAGE', \$ARGV[0])" "$1" |
        iconv -f "cp$E2E_ANSI_CODE_PAGE" -t utf-8
}

# Target and working folder of a shortcut, as lnkinfo reads them. Wine stores the
# target in the ANSI code page only (Windows adds it in UTF-16), the working folder in
# UTF-16.
e2e_link_of() {
    lnkinfo -c "windows-$E2E_ANSI_CODE_PAGE" "$1" 2>/dev/null |
        sed -n 's/^\s*\(Local path\|Working directory\)\s*: //p'
}

# The folders of a Wine prefix where the shortcuts go.
E2E_DRIVE_C=$WINEPREFIX/drive_c
E2E_DESKTOP=$E2E_DRIVE_C/users/Public/Desktop
E2E_PROGRAMS="$E2E_DRIVE_C/users/$(whoami)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
# The bitness of the programs under test (32 or 64), from the machine field of
# Setup.exe's PE header: the tests follow it where Windows gives each its own view.
e2e_bits() {
    local pe machine
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
    [ "$machine" = 8664 ] && echo 64 || echo 32
}
[ -f "$SETUP_BUILD/Setup.exe" ] || e2e_fail "no $SETUP_BUILD/Setup.exe: build the Windows tree first"
E2E_BITS=$(e2e_bits "$SETUP_BUILD/Setup.exe")

# Program Files as the programs see it: for 32-bit ones in a 64-bit prefix, the x86 one.
if [ "$E2E_BITS" = 32 ] && [ -d "$E2E_DRIVE_C/Program Files (x86)" ]; then
    E2E_PROGRAM_FILES='C:\Program Files (x86)'
else
    E2E_PROGRAM_FILES='C:\Program Files'
fi
E2E_PROGRAM_FILES_UNIX=$E2E_DRIVE_C/${E2E_PROGRAM_FILES#C:\\}

# Saves the screen as $SETUP_BUILD/screenshots/<test>-<step>.png once it has settled:
# the windows have painted what they had pending, and two looks in a row agree (a
# blinking caret may keep it from ever settling). Without the first, on a busy
# machine two looks may agree before a program got its turn to paint.
e2e_screenshot() {
    local previous= current
    mkdir -p "$E2E_SCREENSHOTS"
    e2e_driver paint || true
    for _ in $(seq 20); do
        current=$(import -display "$DISPLAY" -window root rgb:- | md5sum)
        [ "$current" = "$previous" ] && break
        previous=$current
    done
    import -display "$DISPLAY" -window root "$E2E_SCREENSHOTS/$E2E_TEST-$1.png"
}

[ -x "$E2E_DRIVER" ] || e2e_fail "no $E2E_DRIVER: build the Windows tree first"
[ -d "$WINEPREFIX" ] || e2e_fail "no Wine prefix $WINEPREFIX: ./run test prepares it"
[ -n "${DISPLAY:-}" ] || e2e_start_xvfb
# Started here, detached: a wineserver started by a captured wine call keeps that
# call's output open.
wineserver -p </dev/null >/dev/null 2>&1 || true
