#!/bin/bash
# Draws the program's two built-in bitmaps into resources/ (their output is
# committed; run this again only to change the artwork):
#   SETUP_BACK.bmp  320 x 240, the default menu picture: a blue-to-white gradient
#                   with the title "SetupMenu" in red serif letters, lower right.
#   SETUP_BTN.bmp   120 x 120, the label strip: one 30 px row per slot (Start,
#                   Install, Uninstall, Exit), each label from the left edge. Its
#                   channels are coverage masks: green the label body, red its dark
#                   edge, blue the glow of the highlighted look.
# Both are 8-bit palette BMPs, run-length encoded to keep the executable small.
# Needs ImageMagick (imagemagick) and the DejaVu fonts (fonts-dejavu-core).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:-$ROOT/resources}
FONTS=/usr/share/fonts/truetype/dejavu
LABEL_FONT=$FONTS/DejaVuSans-Bold.ttf
TITLE_FONT=$FONTS/DejaVuSerif-Bold.ttf
for font in "$LABEL_FONT" "$TITLE_FONT"; do
    [ -f "$font" ] || { echo "missing $font: install fonts-dejavu-core" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "missing convert: install imagemagick" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# ---- SETUP_BACK ----
convert -size 320x240 gradient:'rgb(24,64,176)-rgb(236,240,250)' \
    -font "$TITLE_FONT" -pointsize 30 -gravity southeast \
    -fill 'rgb(96,0,0)' -annotate +12+11 'SetupMenu' \
    -fill 'rgb(208,24,24)' -annotate +13+12 'SetupMenu' \
    +dither -colors 256 -type Palette -compress RLE BMP3:"$OUT/SETUP_BACK.bmp"

# ---- SETUP_BTN ----
# Where each label's right end lies, counted from the strip's left edge: the menu
# moves the labels right by 31, 0 and 51 px at the right edge of the picture,
# and a label should end about 10 px before the 120 px slot does. The Start
# label is never shown and keeps its natural width.
LABELS=(Start Install Uninstall Exit)
ENDS=(natural 79 110 59)
POINTSIZE=21
LEFT=4       # room for the edge and the glow
BASELINE=23  # the capitals' ink spans rows 7 to 22

# The label's ink as a white-on-black 120 x 30 picture; the letter spacing is
# chosen so that the ink ends at the wanted column.
render_label() {
    local text=$1 kerning=$2 out=$3
    convert -size 120x30 xc:black -font "$LABEL_FONT" -pointsize "$POINTSIZE" -kerning "$kerning" \
        -fill white -annotate +"$LEFT"+"$BASELINE" "$text" "$out"
}
ink_end() { convert "$1" -trim -format '%[fx:page.x+w]' info:; }

for i in 0 1 2 3; do
    text=${LABELS[i]}
    render_label "$text" 0 "$WORK/probe.png"
    natural=$(ink_end "$WORK/probe.png")
    want=${ENDS[i]}
    [ "$want" = natural ] && want=$natural
    kerning=$(awk -v want="$want" -v got="$natural" -v n="${#text}" \
        'BEGIN { printf "%.2f", (want - got) / (n - 1) }')
    body=$WORK/body$i.png
    render_label "$text" "$kerning" "$body"
    echo "${text}: ink ends at column $(ink_end "$body") (wanted $want)" >&2
    # The dark edge: the label grown by a pixel, a little more to the lower right.
    convert "$body" -morphology Dilate Disk:1.5 -roll +1+1 "$WORK/edge$i.png"
    # The glow: a soft halo around the label, kept off its body so that the label
    # keeps its colour when highlighted.
    convert "$body" -morphology Dilate Disk:2 -blur 0x2.5 -evaluate multiply 0.9 \
        \( "$body" -threshold 0 -negate \) -compose multiply -composite "$WORK/glow$i.png"
    convert "$WORK/edge$i.png" "$body" "$WORK/glow$i.png" -combine "$WORK/row$i.png"
done

# A fixed palette of mask levels. The glow never lies under the body, so a pixel
# is (edge, body, 0) or (edge, 0, glow): 8 edge levels by 16 body or glow levels.
{
    echo "P3 256 1 255"
    for r in 0 36 73 109 146 182 219 255; do
        for v in 0 17 34 51 68 85 102 119 136 153 170 187 204 221 238 255; do
            echo "$r $v 0"
            echo "$r 0 $v"
        done
    done
} >"$WORK/palette.ppm"
convert "$WORK"/row{0,1,2,3}.png -append +dither -remap "$WORK/palette.ppm" \
    -type Palette -compress RLE BMP3:"$OUT/SETUP_BTN.bmp"
