#!/bin/bash
# Assembles a sample distribution medium: make-demo-medium.sh <folder> <windows build>
# Setup.INI using most keys, Setup.MSG, SETUP.jpg, SetupBk.jpg and a SETUP tree of a
# few megabytes with nested folders; texts in code page 932 as on a real medium.
set -euo pipefail

medium=$1
build=$2

rm -rf "$medium"
mkdir -p "$medium"
cp "$build/Setup.exe" "$medium/"
[ -f "$build/_uninst.exe" ] && cp "$build/_uninst.exe" "$medium/"

to_cp932() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/'; }

to_cp932 >"$medium/Setup.INI" <<'EOF'
[Identification]
ID=SolvaneInstaller

[BasicOption]
ExecFile=bin\ソフト表示.exe
SoftName=サンプル表計算

[AdvanceOption]
DstSubFolder=サンプル表計算
DstFolderID=0
ShortcutDesktop=1
ShortcutPrograms=1
ShortcutFolder=サンプル会社\表計算
ExShortcutDesktop=0
ExShortcutPrograms=1
ExShortcutFile=doc\説明書.txt
ExShortcutName=説明書
AfterOpen=README.txt
AfterOpenDialog=1
AfterOpenDialogMsg=
StandAloneUninstUse=1

[MenuView]
WallStretch=1
ButtonColor=$00FFFF
ButtonAlign=3
EOF

to_cp932 >"$medium/Setup.MSG" <<'EOF'
サンプル表計算 バージョン 1.0

このプログラムはサンプルです.
インストール先のフォルダを指定して[開始]をクリックすると,
必要なファイルがコンピュータにコピーされます.

・必要なディスク容量: 約 5 MB
・対応 OS: Windows 7 / 8 / 10 / 11
EOF

to_cp932 >"$medium/README.txt" <<'EOF'
サンプル表計算をインストールしていただき, ありがとうございます.
EOF

# The pictures, drawn by ImageMagick from nothing but gradients and shapes.
convert -size 400x300 gradient:'#1d3f73-#7fb0d8' \
    -fill '#ffffff40' -draw 'circle 90,230 90,150' -draw 'circle 170,330 170,290' \
    -fill white -stroke '#1d3f73' -strokewidth 1 -font DejaVu-Serif-Bold -pointsize 30 \
    -annotate +20+52 'Sample Calc' -quality 90 "$medium/SETUP.jpg"
convert -size 1600x1200 gradient:'#0b1f3a-#3d79b8' \
    -fill '#ffffff18' -draw 'circle 1300,200 1300,20' -draw 'circle 200,1000 200,700' \
    -quality 85 "$medium/SetupBk.jpg"

# The software's tree: nested and empty folders, a few megabytes of files.
src=$medium/SETUP
mkdir -p "$src/bin" "$src/doc" "$src/data/templates/2026" "$src/data/empty"
# Linux names are UTF-8; Wine shows them as the Japanese names they are.
head -c 3000000 /dev/urandom >"$src/bin/ソフト表示.exe"
head -c 700000 /dev/urandom >"$src/bin/core.dll"
echo 'サンプル表計算の説明書です.' | to_cp932 >"$src/doc/説明書.txt"
for i in 1 2 3 4 5 6; do
    head -c $((i * 20000)) /dev/urandom >"$src/data/templates/2026/sheet$i.tpl"
done
head -c 0 /dev/null >"$src/data/empty.cfg"
