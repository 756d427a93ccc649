#!/bin/sh
# Draws the program's two icons (run by hand; the .ico files are checked in).
# VEXICON: a closed archive box; DELICON: the same box with a red cross.
# 16 colours (scripts/ico16.py): the icons are most of the program's resources.
set -e
out=src/resources
tmp=$(mktemp -d)
box() {  # size file
    s=$1; m=$((s / 8)); e=$((s - m - 1)); b=$((s * 3 / 8))
    convert -size ${s}x${s} xc:none -fill '#2f6db5' -stroke '#173a63' -strokewidth 1 \
        -draw "rectangle $m,$b $e,$e" -fill '#5b95d6' -draw "polygon $m,$b $((m * 2)),$m $((e - m)),$m $e,$b" \
        -fill '#f2c84b' -stroke '#8a6d12' -draw "rectangle $((s / 2 - m / 2)),$b $((s / 2 + m / 2)),$e" "$2"
}
for s in 16 32; do
    box $s "$tmp/vex$s.png"
    w=$((s / 8 + 1))
    convert "$tmp/vex$s.png" -stroke '#c81e1e' -strokewidth $w \
        -draw "line $((s / 4)),$((s * 3 / 8)) $((s - s / 8)),$((s - s / 16))" \
        -draw "line $((s - s / 8)),$((s * 3 / 8)) $((s / 4)),$((s - s / 16))" "$tmp/del$s.png"
done
"$(dirname "$0")/ico16.py" $out/vexicon.ico "$tmp/vex16.png" "$tmp/vex32.png"
"$(dirname "$0")/ico16.py" $out/delicon.ico "$tmp/del16.png" "$tmp/del32.png"
rm -rf "$tmp"
