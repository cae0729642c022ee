#!/usr/bin/env bash
# Draws res/quenk.ico: a driver chip on a blue tile, struck through in red.
# Run by hand when the icon changes; the .ico is committed.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#1d4f9c' -draw 'roundrectangle 8,8 247,247 44,44' \
  -fill '#e8eef7' -draw 'roundrectangle 72,72 183,183 10,10' \
  -fill '#1d4f9c' -draw 'roundrectangle 96,96 159,159 6,6' \
  -fill '#e8eef7' \
  -draw 'rectangle 84,40 100,72' -draw 'rectangle 120,40 136,72' -draw 'rectangle 156,40 172,72' \
  -draw 'rectangle 84,183 100,215' -draw 'rectangle 120,183 136,215' -draw 'rectangle 156,183 172,215' \
  -draw 'rectangle 40,84 72,100' -draw 'rectangle 40,120 72,136' -draw 'rectangle 40,156 72,172' \
  -draw 'rectangle 183,84 215,100' -draw 'rectangle 183,120 215,136' -draw 'rectangle 183,156 215,172' \
  -stroke '#d93025' -strokewidth 26 -draw 'line 52,204 204,52' \
  "$tmp/big.png"
for s in 16 24 32 48 64 256; do convert "$tmp/big.png" -resize ${s}x${s} "$tmp/$s.png"; done
convert "$tmp"/16.png "$tmp"/24.png "$tmp"/32.png "$tmp"/48.png "$tmp"/64.png "$tmp"/256.png res/quenk.ico
convert "$tmp/big.png" -resize 64x64 docs/icon.png
