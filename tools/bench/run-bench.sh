#!/bin/bash
# The benchmark suite: times the program's install, scan, uninstall and picture work
# against Wine's own tools and native Linux tools on the same trees, in alternating
# rounds, and writes the table (tools/bench/report.pl) to <out>/results.md and .json.
#
#   run-bench.sh <windows release build> <native release build> <out folder>
#
# BENCH_DJPEG_EXE may name djpeg built for Windows from the same libjpeg-turbo, to
# time the decode alone under Wine as well; BENCH_FLAVOUR (win32 or win64) names the
# build timed, for the table. BENCH_RUNS (default 5) rounds of the cases in BENCH_CASES (default all: large small
# scan picture menu stretch); case sizes as in make-cases.sh. Needs a prepared
# Wine prefix (WINEPREFIX) and an X display (DISPLAY), or starts Xvfb itself.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
windows=$(cd "$1" && pwd)
host=$(cd "$2" && pwd)
out=$3
runs=${BENCH_RUNS:-5}
cases_wanted=${BENCH_CASES:-large copyloop small scan picture menu stretch}
mkdir -p "$out"
out=$(cd "$out" && pwd)
: "${WINEPREFIX:?WINEPREFIX must name a prepared Wine prefix}"
export WINEPREFIX

wine_run=$root/tests/wine-run
driver=$windows/tools/SetupDriver.exe
cases=$out/cases
work=$out/work
samples=$out/samples.tsv
drive_c=$WINEPREFIX/drive_c
timeout_ms=1800000

log() { printf 'bench: %s\n' "$*" >&2; }
fail() {
    log "FAILED: $*"
    exit 1
}

xvfb_pid=
driver_pid=
cleanup() {
    [ -z "$driver_pid" ] || kill "$driver_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    source "$root/tests/xvfb.sh"
    xvfb_start 300 || fail "Xvfb did not start: $(cat "$XVFB_LOG")"
    xvfb_pid=$XVFB_STARTED_PID
fi
wineserver -p </dev/null >/dev/null 2>&1 || true

bash "$here/make-cases.sh" "$cases"
rm -rf "$work"
mkdir -p "$work"
: >"$samples"

# ---- Timing

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Appends one sample: case, tool, milliseconds.
record() {
    printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$samples"
    log "$(printf '%-16s %-12s %8s ms' "$1" "$2" "$3")"
}

# Wall-clock milliseconds of a command, its output discarded.
wall_ms() {
    local start end
    start=$(now_ms)
    "$@" >/dev/null 2>&1 || fail "$*"
    end=$(now_ms)
    echo $((end - start))
}


# ---- The program through its windows, with the driver's clock (milliseconds of the
# monotonic clock shared by all Wine processes)

desktop_runs=0
driver() { "$wine_run" "$driver" "$@"; }
clock_of() { sed -n 's/.*\bat:\? \([0-9.]*\)$/\1/p' | tail -1; }
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d\n", b - a + 0.5 }'; }

# Starts Setup.exe of a medium on a desktop of its own; its window log is in $work/run.log.
start_setup() {
    desktop_runs=$((desktop_runs + 1))
    export SETUP_DESKTOP=bench-$$-$desktop_runs
    : >"$work/run.log"
    (cd "$1" && SETUP_DRIVER_CLOCK=1 exec "$wine_run" "$driver" run Setup.exe) \
        >"$work/run.log" 2>"$work/run.err" &
    driver_pid=$!
    local deadline=$((SECONDS + 120))
    until grep -q '^shown TfmMenu ' "$work/run.log"; do
        kill -0 "$driver_pid" 2>/dev/null || fail "Setup.exe did not start: $(cat "$work/run.err")"
        ((SECONDS < deadline)) || fail "no menu within 120 s"
        sleep 0.05
    done
}

end_setup() {
    driver key TfmMenu '*' Esc >/dev/null || fail "Esc in the menu"
    wait "$driver_pid" || fail "Setup.exe ended with $?"
    driver_pid=
}

# Waits for a message box with that caption; prints the driver's clock when it was found.
expect_message() {
    local seen
    seen=$(SETUP_DRIVER_CLOCK=1 driver message "$timeout_ms") || fail "no message box ($1)"
    grep -qx "caption: $1" <<<"$seen" || fail "expected a box \"$1\", saw: $seen"
    clock_of <<<"$seen"
}

# Clicks a button of the message box; prints the driver's clock of the click.
answer() { SETUP_DRIVER_CLOCK=1 driver answer "$1" "$timeout_ms" | clock_of; }

# Installs the medium from the menu: Install, Start in the destination dialog, OK to
# the new folder. Prints the milliseconds from the click on Start to the success
# message, less the time the new-folder notice waited for its OK, and those from that
# OK to the success message.
install_from_menu() {
    driver key TfmMenu '*' Down Enter >/dev/null || fail "Install in the menu"
    driver wait-window TfmBrouse インストール先 60000 >/dev/null || fail "no destination dialog"
    local click notice ok success
    click=$(SETUP_DRIVER_CLOCK=1 driver click TfmBrouse インストール先 '開始(&S)' | clock_of)
    notice=$(expect_message メッセージ)
    recycle_memory "$tree"
    ok=$(answer OK)
    success=$(expect_message 成功)
    answer OK >/dev/null
    driver wait-window TfmMenu '*' 60000 >/dev/null || fail "no menu after the installation"
    # The whole time, then the part from the notice's OK on: the folders, the copy, the
    # record and the registry, without the window's fixed start delay.
    awk -v a="$click" -v b="$notice" -v c="$ok" -v d="$success" \
        'BEGIN { printf "%d %d\n", (b - a) + (d - c) + 0.5, d - c + 0.5 }'
}

# Uninstalls from the menu; prints the milliseconds from the Yes to the success message.
uninstall_from_menu() {
    driver key TfmMenu '*' Up Up Enter >/dev/null || fail "Uninstall in the menu"
    expect_message 確認 >/dev/null
    local yes success
    yes=$(answer Yes)
    success=$(expect_message 成功)
    answer OK >/dev/null
    driver wait-window TfmMenu '*' 60000 >/dev/null || fail "no menu after the uninstallation"
    ms_between "$yes" "$success"
}

# A medium for a case tree: Setup.exe and Setup.INI beside a link to the tree.
make_medium() {
    local medium=$1 tree=$2 name=$3
    mkdir -p "$medium"
    cp "$windows/Setup.exe" "$medium/"
    ln -sfn "$tree" "$medium/SETUP"
    printf '%s\r\n' '[Identification]' 'ID=SolvaneInstaller' '[BasicOption]' \
        "SoftName=$name" '[AdvanceOption]' "DstSubFolder=$name" 'ShortcutDesktop=0' \
        'ShortcutPrograms=0' 'StandAloneUninstUse=0' >"$medium/Setup.INI"
}

# The registry name of a software name of ASCII letters: each byte as two of A to P.
key_name() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | tr 0-9a-f A-P; }

forget_install() {
    rm -rf "$drive_c/Program Files/$1"
    "$wine_run" reg delete "HKCU\\Software\\Quillfen\\SolvanInstallerMaker\\$(key_name "$1")" \
        /f >/dev/null 2>&1 || true
}

# Windows and native copies land beside each other on the prefix's disk.
copies=$drive_c/bench-copies
reset_copies() {
    rm -rf "$copies" "$drive_c/Program Files/BenchLarge" "$drive_c/Program Files/BenchSmall"
    mkdir -p "$copies"
    sync
}
win_path() { printf 'Z:%s' "${1//\//\\}"; }

# This machine's hypervisor takes back memory the system has left free for a few
# seconds, and giving it again costs about 2.5 s a GiB: a copy that followed a pause
# took ten times as long as one that followed a deletion. Right before each timed copy
# the page cache gets memory that it just gave up, as much as the copy will fill.
recycle_memory() {
    local tree=$1 ballast=$drive_c/bench-ballast
    head -c "$(($(du -sm --apparent-size -L "$tree" | cut -f1) * 11 / 10 + 16))M" /dev/zero >"$ballast"
    rm -f "$ballast"
    sync
}

# ---- The cases

make_medium "$work/medium-large" "$cases/large" BenchLarge
make_medium "$work/medium-small" "$cases/small" BenchSmall
mkdir -p "$work/medium-menu"
cp "$windows/Setup.exe" "$cases/picture/picture.jpg" "$work/medium-menu/"
mv "$work/medium-menu/picture.jpg" "$work/medium-menu/SETUP.jpg"
printf '%s\r\n' '[Identification]' 'ID=SolvaneInstaller' >"$work/medium-menu/Setup.INI"
forget_install BenchLarge
forget_install BenchSmall

# Ours, then the tools, in odd rounds; the other way round in even ones.
in_turn() {
    if ((round % 2)); then
        "$1"
        "$2"
        "$3"
    else
        "$3"
        "$2"
        "$1"
    fi
}

copy_round() {
    name=$1 tree=$2 medium=$3 label=$4
    in_turn copy_ours copy_wine copy_native
}

copy_ours() {
    reset_copies
    start_setup "$medium"
    local times
    times=$(install_from_menu)
    record "install-$label" setup "${times% *}"
    record "install-$label-engine" setup "${times#* }"
    if [ "$label" = small ]; then
        record uninstall setup "$(uninstall_from_menu)"
    fi
    end_setup
    forget_install "$name"
}

copy_wine() {
    reset_copies
    recycle_memory "$tree"
    record "install-$label" xcopy \
        "$(wall_ms "$wine_run" xcopy /E /I /Q "$(win_path "$tree")" 'C:\bench-copies\xcopy')"
    if [ "$label" = small ]; then
        sync
        record uninstall rmdir "$(wall_ms "$wine_run" cmd /c rmdir /s /q 'C:\bench-copies\xcopy')"
    fi
}

copy_native() {
    reset_copies
    recycle_memory "$tree"
    record "install-$label" cp "$(wall_ms cp -r "$tree" "$copies/cp")"
    if [ "$label" = small ]; then
        sync
        record uninstall rm "$(wall_ms rm -r "$copies/cp")"
    fi
}

# The installation's copy loop alone, without its windows, on the large files.
copyloop_round() {
    reset_copies
    recycle_memory "$cases/large"
    record copyloop setup "$("$wine_run" "$windows/tools/SetupBench.exe" \
        copy "$(win_path "$cases/large")" 'C:\bench-copies\loop' |
        awk '{ printf "%d\n", $1 + 0.5 }')"
}

scan_round() { in_turn scan_ours scan_wine scan_native; }
scan_ours() {
    local scan
    scan=$("$wine_run" "$windows/tools/SetupBench.exe" scan "$(win_path "$cases/scan")") ||
        fail "SetupBench scan"
    record scan setup "$(awk '{ printf "%d\n", $4 + 0.5 }' <<<"$scan")"
}
scan_wine() {
    record scan dir "$(wall_ms "$wine_run" cmd /c dir /s /b "$(win_path "$cases/scan")" '>' NUL)"
}
scan_native() { record scan find "$(wall_ms find "$cases/scan")"; }

picture_round() { in_turn picture_ours picture_wine picture_native; }
picture_ours() {
    local times
    times=$("$wine_run" "$windows/tools/SetupBench.exe" picture \
        "$(win_path "$cases/picture/picture.jpg")" 1920 1080) || fail "SetupBench picture"
    record picture setup "$(awk '{ printf "%d\n", $1 + $2 + 0.5 }' <<<"$times")"
    record picture-decode setup "$(awk '{ printf "%d\n", $1 + 0.5 }' <<<"$times")"
    record picture-stretch setup "$(awk '{ printf "%d\n", $2 + 0.5 }' <<<"$times")"
    record picture-touch setup "$(awk '{ printf "%d\n", $3 + 0.5 }' <<<"$times")"
}
picture_wine() {
    [ -n "${BENCH_DJPEG_EXE:-}" ] || return 0
    record picture-decode djpeg-wine "$(wall_ms "$wine_run" "$BENCH_DJPEG_EXE" -outfile NUL \
        "$(win_path "$cases/picture/picture.jpg")")"
}
picture_native() {
    record picture djpeg "$(wall_ms djpeg -outfile /dev/null "$cases/picture/picture.jpg")"
}

menu_round() {
    start_setup "$work/medium-menu"
    local started shown
    started=$(grep '^started ' "$work/run.log" | clock_of)
    shown=$(grep '^shown TfmMenu ' "$work/run.log" | clock_of)
    record menu setup "$(ms_between "$started" "$shown")"
    end_setup
}

stretch_round() {
    local times
    times=$("$host/tools/StretchBench" 4000 3000 1920 1080 1) || fail "StretchBench"
    record stretch-host setup "$(awk '{ printf "%d\n", $1 + 0.5 }' <<<"$times")"
}

# The start-up that the report takes off each Windows tool's wall clock: the same
# program doing nothing.
startup_round() {
    local i
    for i in 1 2 3; do
        record wine-startup cmd "$(wall_ms "$wine_run" cmd /c exit)"
        record wine-startup xcopy "$(wall_ms "$wine_run" xcopy /?)"
        if [ -n "${BENCH_DJPEG_EXE:-}" ]; then
            record wine-startup djpeg "$(wall_ms "$wine_run" "$BENCH_DJPEG_EXE" -version)"
        fi
    done
}

wanted() { [[ " $cases_wanted " == *" $1 "* ]]; }
for ((round = 1; round <= runs; round++)); do
    log "round $round of $runs"
    startup_round
    ! wanted copyloop || copyloop_round
    ! wanted large || copy_round BenchLarge "$cases/large" "$work/medium-large" large
    ! wanted small || copy_round BenchSmall "$cases/small" "$work/medium-small" small
    ! wanted scan || scan_round
    ! wanted picture || picture_round
    ! wanted menu || menu_round
    ! wanted stretch || stretch_round
done
reset_copies
rmdir "$copies"

# One count of instructions: the same on every run, whatever else the machine does.
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
    --toggle-collect='StretchBitmap*' "$host/tools/StretchBench" 4000 3000 1920 1080 1 \
    >/dev/null 2>&1 || fail "callgrind"
record stretch-instructions setup "$(sed -n 's/^summary: *\([0-9]*\).*/\1/p' "$work/callgrind.out")"

record size Setup.exe "$(stat -c %s "$windows/Setup.exe")"
record size _uninst.exe "$(stat -c %s "$windows/_uninst.exe")"

perl "$here/report.pl" "$samples" "$out/results.md" "$out/results.json"
cat "$out/results.md"
