#!/bin/sh
# Draws Vexora.exe's two icons (run by hand; the .ico files are checked in).
# archive.ico: the product's archive box, the same as the program's VEXICON.
# recovery.ico: a pale volume sheet with a green cross, a recovery volume.
set -e
here=$(cd "$(dirname "$0")" && pwd)
cp "$here/../../src/resources/vexicon.ico" "$here/archive.ico"
tmp=$(mktemp -d)
for s in 16 32; do
    m=$((s / 8)); e=$((s - m - 1)); c=$((s / 2)); a=$((s * 5 / 16)); w=$((s / 8))
    convert -size ${s}x${s} xc:none -fill '#e8eef6' -stroke '#173a63' -strokewidth 1 \
        -draw "rectangle $m,0 $e,$((s - 1))" -stroke none -fill '#2f6db5' \
        -draw "rectangle $m,0 $e,$((s / 8))" -fill '#2e9e3e' \
        -draw "rectangle $((c - w)),$((c - a + m / 2)) $((c + w - 1)),$((c + a - 1 + m / 2))" \
        -draw "rectangle $((c - a)),$((c - w + m / 2)) $((c + a - 1)),$((c + w - 1 + m / 2))" "$tmp/rev$s.png"
done
convert "$tmp/rev16.png" "$tmp/rev32.png" "$here/recovery.ico"
rm -rf "$tmp"
