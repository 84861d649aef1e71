#!/bin/bash
# SetupCheck.exe on media built here: a clean medium gives no finding and exit code 0,
# on a Japanese system and on one with another code page alike; media with mistakes
# give each finding once, with its severity, and exit code 1; a folder that cannot be
# read, or a settings or message file too large to check, gives exit code 2. A quoted
# folder that ends in a backslash is that folder. Redirected, the report is UTF-8 with
# CR LF line ends. The destination and the shortcuts are those of a standard system,
# whatever the prefix has.
source "$(dirname "$0")/lib.sh"

CHECK=$SETUP_BUILD/SetupCheck.exe
[ -f "$CHECK" ] || e2e_fail "no $CHECK: build the Windows tree first"

# The folder as Wine names it: its drive Z: is the root.
win_path() {
    printf 'Z:%s' "${1//\//\\}"
}

# A run of one character.
repeat() {
    printf "%${2}s" '' | tr ' ' "$1"
}

# The length of a text in characters.
characters() {
    printf '%s' "$1" | LC_ALL=C.UTF-8 wc -m
}

# The standard system's folders, as the checker names them.
STANDARD_PROGRAM_FILES='C:\Program Files (x86)'
STANDARD_DESKTOP='C:\Users\Public\Desktop'
STANDARD_PROFILE='C:\Users\%USERNAME%'

CLEAN_INI='[Identification]
ID=SolvaneInstaller
[BasicOption]
ExecFile=bin\表計算.exe
SoftName=表計算ソフト
[AdvanceOption]
DstSubFolder=表計算
DstFolderID=0
ShortcutDesktop=1
ShortcutPrograms=1
ShortcutFolder=会社\表計算
ExShortcutDesktop=1
ExShortcutPrograms=1
ExShortcutFile=doc\ソフト説明.txt
ExShortcutName=説明書
AfterOpen=readme.txt
AfterOpenDialog=1
AfterOpenDialogMsg=説明を読みますか？
StandAloneUninstUse=1
[MenuView]
WallStretch=1
ButtonColor=$FFFF
ButtonAlign=3'

# A medium that Setup.exe installs as its distributor means: 705,000 bytes in two
# files and four folders (one of them empty).
clean_medium() {
    local dir=$1
    mkdir -p "$dir/SETUP/bin" "$dir/SETUP/doc" "$dir/SETUP/data/空"
    cp "$SETUP_BUILD/Setup.exe" "$dir/"
    # Only its presence matters here.
    printf 'MZ' >"$dir/_uninst.exe"
    printf '%s\n' "$CLEAN_INI" | e2e_sjis >"$dir/Setup.INI"
    printf 'インストールの前にお読みください.\n' | e2e_sjis >"$dir/Setup.MSG"
    convert -size 320x240 xc:navy "$dir/SETUP.jpg"
    convert -size 800x600 gradient:blue-black "$dir/SetupBk.jpg"
    printf 'read me\r\n' >"$dir/readme.txt"
    head -c 700000 /dev/zero >"$dir/SETUP/bin/表計算.exe"
    head -c 5000 /dev/zero >"$dir/SETUP/doc/ソフト説明.txt"
}

# Replaces a line of a medium's settings file (both given in UTF-8).
edit_ini() {
    local file=$1 from=$2 to=$3 text
    text=$(iconv -f cp932 -t utf-8 "$file" | tr -d '\r')
    grep -qxF -- "$from" <<<"$text" || e2e_fail "no line \"$from\" in $file"
    FROM=$from TO=$to awk '$0 == ENVIRON["FROM"] { print ENVIRON["TO"]; next } { print }' \
        <<<"$text" | e2e_sjis >"$file"
}

CLEAN_SUMMARY='ファイル 2 個、フォルダ 4 個、合計 705,000 バイト.
インストール先の画面に出る必要容量は 701 KB です.'

# Runs a Windows program in the test prefix, in the locale of CHECK_LOCALE when it is
# set.
run_windows() {
    SETUP_WINE_LOCALE=${CHECK_LOCALE:-} "$E2E_WINE_RUN" "$@"
}

CHECK_OUT=$E2E_DIR/check.out
CHECK_ERR=$E2E_DIR/check.err

# Compares the exit code of the run described by $1 (in $2) with $3, and the whole
# file $4 with the text $5, given in UTF-8 without CR.
expect_result() {
    local what=$1 rc=$2 code=$3 file=$4 expected=$5
    [ "$rc" = "$code" ] ||
        e2e_fail "$what: expected exit code $code, saw $rc" "$(cat "$CHECK_OUT" "$CHECK_ERR")"
    printf '%s\n' "$expected" | sed 's/$/\r/' >"$file.expected"
    cmp -s "$file.expected" "$file" ||
        e2e_fail "$what: expected this output:" "$expected" "but saw:" \
            "$(tr -d '\r' <"$file")" "differences:" "$(diff "$file.expected" "$file")"
}

# Runs the checker (CHECK_PROGRAM when set) on a folder, or with no argument when the
# folder is "-", and compares its exit code and its whole output.
expect_check() {
    local folder=$1 code=$2 expected=$3 rc=0
    local args=()
    [ "$folder" = - ] || args=("$(win_path "$folder")")
    run_windows "${CHECK_PROGRAM:-$CHECK}" "${args[@]}" >"$CHECK_OUT" 2>"$CHECK_ERR" \
        </dev/null || rc=$?
    expect_result "SetupCheck ${args[*]}" "$rc" "$code" "$CHECK_OUT" "$expected"
}

e2e_medium
MEDIA=$E2E_DIR/配布

# A clean medium, under a Japanese folder name.
clean_medium "$MEDIA/clean"
expect_check "$MEDIA/clean" 0 "$CLEAN_SUMMARY
エラー 0 件、警告 0 件."
# The same with the system code page 1252: the text does not depend on it.
CHECK_LOCALE=C.UTF-8 expect_check "$MEDIA/clean" 0 "$CLEAN_SUMMARY
エラー 0 件、警告 0 件."
# Without an argument the checker reads its own folder, and is not taken for the
# setup program there.
cp "$CHECK" "$MEDIA/clean/"
CHECK_PROGRAM=$MEDIA/clean/SetupCheck.exe expect_check - 0 "$CLEAN_SUMMARY
エラー 0 件、警告 0 件."
rm "$MEDIA/clean/SetupCheck.exe"

# A quoted folder that ends in a backslash, as a command interpreter hands it on: the
# quote after the backslash only ends the quoted part.
bat=$E2E_DIR/quoted.bat
printf '@"%s" "%s\\"\r\n@exit /b %%errorlevel%%\r\n' "$(win_path "$CHECK")" \
    "$(win_path "$MEDIA/clean")" | iconv -f utf-8 -t cp932 >"$bat"
rc=0
run_windows cmd /c "$(win_path "$bat")" >"$CHECK_OUT" 2>"$CHECK_ERR" </dev/null || rc=$?
expect_result "SetupCheck \"$(win_path "$MEDIA/clean")\\\"" "$rc" 0 "$CHECK_OUT" "$CLEAN_SUMMARY
エラー 0 件、警告 0 件."

# The sample medium of tools/make-demo-medium.sh. Its tree may change, so only the
# verdict is compared.
demo=$E2E_DIR/demo
bash "$SETUP_SOURCE/tools/make-demo-medium.sh" "$demo" "$SETUP_BUILD"
rc=0
# What Wine itself may say on the error stream is not the report's.
"$E2E_WINE_RUN" "$CHECK" "$(win_path "$demo")" >"$CHECK_OUT" 2>"$CHECK_ERR" </dev/null || rc=$?
[ "$rc" = 0 ] && [ "$(wc -l <"$CHECK_OUT")" = 3 ] &&
    [ "$(tail -n 1 "$CHECK_OUT")" = $'エラー 0 件、警告 0 件.\r' ] ||
    e2e_fail "SetupCheck on the demo medium: expected no finding and exit code 0, saw $rc:" \
        "$(tr -d '\r' <"$CHECK_OUT")" "$(cat "$CHECK_ERR")"

# One of each mistake that can stand together in one medium.
m=$MEDIA/mistakes
clean_medium "$m"
ini=$m/Setup.INI
long_soft_name=$(repeat S 130)
long_shortcut_name=$(repeat n 240)
deep=$(repeat a 120)/$(repeat b 120)
deep_path="$STANDARD_PROGRAM_FILES\\表計算 1.0\\${deep//\//\\}\\c.txt"
edit_ini "$ini" 'ExecFile=bin\表計算.exe' 'ExecFile=bin\計算.exe'
edit_ini "$ini" 'SoftName=表計算ソフト' "SoftName=$long_soft_name"
edit_ini "$ini" 'DstSubFolder=表計算' 'DstSubFolder=表計算 1.0'
edit_ini "$ini" 'ShortcutDesktop=1' 'ShortcutDesktp=1'
edit_ini "$ini" 'ShortcutFolder=会社\表計算' 'ShortcutFolder=会社|表計算'
edit_ini "$ini" 'ExShortcutPrograms=1' 'ExShortcutPrograms=0'
edit_ini "$ini" 'ExShortcutFile=doc\ソフト説明.txt' 'ExShortcutFile=doc\なし.txt'
edit_ini "$ini" 'ExShortcutName=説明書' "ExShortcutName=$long_shortcut_name"
edit_ini "$ini" 'AfterOpenDialog=1' 'AfterOpenDialog=2'
edit_ini "$ini" '[MenuView]' '[MenuVeiw]
[MenuView]'
edit_ini "$ini" 'ButtonAlign=3' 'ButtonAlign=right'
rm "$m/readme.txt" "$m/_uninst.exe"
mkdir -p "$m/SETUP/$deep"
: >"$m/SETUP/$deep/c.txt"
printf 'x' >"$m/SETUP/doc/한.txt"
convert -size 119x400 xc:navy "$m/SETUP.jpg"
printf 'not a picture' >"$m/SetupBk.jpg"
printf 'インストールの前にお読みください.\r\n' >"$m/Setup.MSG"
expect_check "$m" 1 "警告: Setup.INI [AdvanceOption] ShortcutDesktp: 不明なキーです. Setup.exe はこのキーを読みません.
警告: Setup.INI [MenuVeiw]: 不明なセクションです. Setup.exe はこのセクションを読みません.
警告: Setup.INI [AdvanceOption] AfterOpenDialog: 値 \"2\" は 0 でも 1 でもありません. Setup.exe は 0 以外を 1 とみなします.
警告: Setup.INI [MenuView] ButtonAlign: 値 \"right\" は数値ではありません. Setup.exe はこのキーの既定値を使います.
エラー: Setup.INI [AdvanceOption] DstSubFolder: 既定のインストール先 $STANDARD_PROGRAM_FILES\\表計算 1.0 は有効なパスではありません. Setup.exe のインストール先の画面は、ユーザーが選び直すまで先へ進みません.
エラー: Setup.INI [AdvanceOption] ShortcutFolder: フォルダ名に使えない文字 \"|\" があります. Setup.exe はプログラムメニューのショートカットを作れません.
エラー: Setup.INI [BasicOption] SoftName: 130 バイトあり、127 バイトを超えます. Setup.exe はファイルをすべてコピーした後、レジストリの書込みに失敗します.
エラー: Setup.INI [BasicOption] ExecFile: SETUP フォルダに bin\\計算.exe がありません. Setup.exe はインストールの後、メニューを出すたびにプログラムが削除されているとしてアンインストールを勧めます.
エラー: Setup.INI [AdvanceOption] ExShortcutFile: SETUP フォルダに doc\\なし.txt がありません. 追加のショートカットはないファイルを指します.
エラー: Setup.INI [AdvanceOption] AfterOpen: Setup.exe のフォルダに readme.txt がありません. Setup.exe はインストールの後、このファイルが見つからないと表示します.
エラー: Setup.INI [AdvanceOption] ExShortcutName: ショートカット $STANDARD_DESKTOP\\$long_shortcut_name.lnk は 268 文字で、259 文字を超えます. Setup.exe はこれを作れません.
警告: SETUP\\${deep//\//\\}\\c.txt: インストール先のパス $deep_path は $(characters "$deep_path") 文字で、259 文字を超えます. Setup.exe はこれをインストールし、削除もできますが、インストールされたソフトウェアがこのパスを扱えないことがあります.
エラー: SETUP.jpg: 大きさ 119×400 は小さすぎます (幅も高さも 120 ピクセル以上が必要です). Setup.exe はメッセージを表示して、組み込みの絵を使います.
エラー: SetupBk.jpg: JPEG の絵として読めません. Setup.exe はこの絵を表示できません.
エラー: Setup.MSG: Shift-JIS のテキストではありません. Setup.exe の情報の画面では文字が化けます.
エラー: _uninst.exe: ファイルがありません. StandAloneUninstUse が 1 なので、Setup.exe はインストールの途中でこのファイルを読めず、続行するかを尋ねます.
エラー: SETUP\\doc\\?.txt: 名前に Shift-JIS (コードページ 932) にない文字があります. Setup.exe はこれをインストールできません.
ファイル 4 個、フォルダ 6 個、合計 705,001 バイト.
インストール先の画面に出る必要容量は 701 KB です.
エラー 12 件、警告 5 件."

# The adjustments that turn features off, and a destination on no drive.
m=$MEDIA/adjustments
clean_medium "$m"
ini=$m/Setup.INI
edit_ini "$ini" 'ExecFile=bin\表計算.exe' 'ExecFile='
edit_ini "$ini" 'ExShortcutName=説明書' 'ExShortcutName=表計算ソフト'
edit_ini "$ini" 'DstFolderID=0' 'DstFolderID=8'
edit_ini "$ini" 'StandAloneUninstUse=1' 'StandAloneUninstUse=1
WallStretch=0'
printf '[basicOPTION]\r\nSoftName=x\r\n' >>"$ini"
expect_check "$m" 1 "警告: Setup.INI [AdvanceOption] WallStretch: このキーは [MenuView] に書きます. Setup.exe はここにあるこのキーを読みません.
警告: Setup.INI [basicOPTION]: 同じ名前のセクションが前にあります. Setup.exe はこのセクションを読みません.
警告: Setup.INI [BasicOption] ExecFile: 値がありません. Setup.exe は ShortcutDesktop と ShortcutPrograms を 0 にし、プログラムのショートカットを作りません.
エラー: Setup.INI [AdvanceOption] ExShortcutName: SoftName と同じです. Setup.exe は ExShortcutDesktop と ExShortcutPrograms を 0 にし、追加のショートカットを作りません.
エラー: Setup.INI [AdvanceOption] DstFolderID: 値 8 は 0 から 7 の範囲にありません. Setup.exe はインストール先を現在のドライブのルート (\\表計算) にし、インストール先の画面はそのままでは先へ進めません.
$CLEAN_SUMMARY
エラー 2 件、警告 3 件."

# Repeated keys and a key without "=", and a default destination in the user's own
# folders that the destination dialog refuses.
m=$MEDIA/keys
clean_medium "$m"
ini=$m/Setup.INI
# 193 characters: with C:\Users\<user>\AppData\Roaming\, 239 for a name of 20.
sub=$(printf '表%.0s' $(seq 193))
edit_ini "$ini" 'DstFolderID=0' 'DstFolderID=6'
edit_ini "$ini" 'DstSubFolder=表計算' "DstSubFolder=$sub"
edit_ini "$ini" 'WallStretch=1' 'WallStretch'
edit_ini "$ini" 'ButtonAlign=3' 'ButtonAlign=3
buttonalign=1'
destination="$STANDARD_PROFILE\\AppData\\Roaming\\$sub"
expect_check "$m" 1 "警告: Setup.INI [MenuView] WallStretch: \"=\" がありません. Setup.exe はこのキーを値のないものとして読み、既定値を使います.
警告: Setup.INI [MenuView] buttonalign: 同じ名前のキーが前にあります. Setup.exe は最初のキーだけを読み、このキーを読みません.
エラー: Setup.INI [AdvanceOption] DstSubFolder: 既定のインストール先 $destination は 239 文字 (ユーザー名を 20 文字として)で、239 文字以上です. Setup.exe のインストール先の画面は、ユーザーが選び直すまで先へ進みません.
警告: Setup.INI [AdvanceOption] DstFolderID: インストール先 $destination は、管理者でないユーザーも書き込めるフォルダの中にあります. 管理者の権限で動くアンインストーラがそこから起動されるため、そのユーザーのプログラムがアンインストーラを差し替えられます.
$CLEAN_SUMMARY
エラー 1 件、警告 3 件."

# A setup program of another name reads its own settings file; Setup.INI must be
# there all the same.
m=$MEDIA/renamed
clean_medium "$m"
mv "$m/Setup.exe" "$m/Install.exe"
cp "$m/Setup.INI" "$m/Install.INI"
edit_ini "$m/Install.INI" 'SoftName=表計算ソフト' 'SoftName=表計算/試用'
edit_ini "$m/Install.INI" 'ExShortcutFile=doc\ソフト説明.txt' 'ExShortcutFile='
edit_ini "$m/Install.INI" 'ExShortcutName=説明書' 'ExShortcutName='
expect_check "$m" 1 "警告: Install.exe: Setup.exe がないため、このファイルを設定プログラムとして調べます. 設定は Install.INI から、メッセージは Install.MSG から読まれます.
エラー: Install.INI [AdvanceOption] ExShortcutFile: 値がありません. Setup.exe は ExShortcutDesktop と ExShortcutPrograms を 0 にし、追加のショートカットを作りません.
エラー: Install.INI [AdvanceOption] ExShortcutName: 値がありません. Setup.exe は ExShortcutDesktop と ExShortcutPrograms を 0 にし、追加のショートカットを作りません.
エラー: Install.INI [BasicOption] SoftName: 名前に使えない文字 \"/\" があります. Setup.exe はこの名前のショートカットを作れません.
$CLEAN_SUMMARY
エラー 3 件、警告 1 件."
rm "$m/Install.INI"
expect_check "$m" 1 "警告: Install.exe: Setup.exe がないため、このファイルを設定プログラムとして調べます. 設定は Install.INI から、メッセージは Install.MSG から読まれます.
エラー: Install.INI: ファイルがないか読めません. Setup.exe は設定をひとつも読まず、組み込みの値のまま動きます.
$CLEAN_SUMMARY
エラー 1 件、警告 1 件."

m=$MEDIA/no-program
clean_medium "$m"
rm "$m/Setup.exe"
expect_check "$m" 1 "エラー: Setup.exe: ファイルがありません. Setup.exe があるものとして調べます.
$CLEAN_SUMMARY
エラー 1 件、警告 0 件."

# The settings file: missing, misnamed, and the three ways of a wrong ID.
m=$MEDIA/settings
clean_medium "$m"
mv "$m/Setup.INI" "$m/Setup.ini.txt"
expect_check "$m" 1 "エラー: Setup.ini.txt: 名前が Setup.INI ではありません. Setup.exe はこのファイルを読まず、設定ファイルが見つからないと表示して終了します.
$CLEAN_SUMMARY
エラー 1 件、警告 0 件."
rm "$m/Setup.ini.txt"
expect_check "$m" 1 "エラー: Setup.INI: ファイルがないか開けません. Setup.exe は設定ファイルが見つからないと表示して終了します.
$CLEAN_SUMMARY
エラー 1 件、警告 0 件."
for id in '' solvaneinstaller SolvaneInstaller2; do
    printf '%s\n' "$CLEAN_INI" | e2e_sjis >"$m/Setup.INI"
    edit_ini "$m/Setup.INI" 'ID=SolvaneInstaller' "ID=$id"
    case $id in
        '') text='キーがありません.' ;;
        solvaneinstaller) text='値 "solvaneinstaller" は "SolvaneInstaller" と大文字と小文字が違います.' ;;
        *) text='値 "SolvaneInstaller2" は "SolvaneInstaller" ではありません.' ;;
    esac
    expect_check "$m" 1 "エラー: Setup.INI [Identification] ID: $text Setup.exe は設定をひとつも読まず、組み込みの値のまま動きます.
$CLEAN_SUMMARY
エラー 1 件、警告 0 件."
done

# Runs the checker on a folder that it cannot check: exit code 2, nothing on stdout
# and the one line $2 (UTF-8, without CR) on stderr.
expect_refusal() {
    local folder=$1 rc=0
    run_windows "$CHECK" "$(win_path "$folder")" >"$CHECK_OUT" 2>"$CHECK_ERR" </dev/null || rc=$?
    [ ! -s "$CHECK_OUT" ] || e2e_fail "SetupCheck $folder: expected nothing on stdout" \
        "$(cat "$CHECK_OUT")"
    expect_result "SetupCheck $folder" "$rc" 2 "$CHECK_ERR" "$2"
}

# Folders that cannot be read: one that does not exist, and a file.
for folder in "$MEDIA/none" "$MEDIA/clean/readme.txt"; do
    expect_refusal "$folder" "フォルダ $(win_path "$folder") を読めません."
done

# A settings or a message file far too large for any real medium, as a sparse file.
m=$MEDIA/huge
for file in Setup.INI Setup.MSG; do
    rm -rf "$m"
    clean_medium "$m"
    truncate -s 64M "$m/$file"
    expect_refusal "$m" "ファイル $file は 16,777,216 バイトを超え、大きすぎるため調べられません."
done

echo "PASS $E2E_TEST"
