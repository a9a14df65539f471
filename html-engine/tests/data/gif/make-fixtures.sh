#!/usr/bin/env bash
# Remakes the GIF fixtures that another program writes, from unoptimized.gif (six full frames
# written by the tests' own GIF writer). Needs gifsicle; the tests only read the results.
set -euo pipefail
cd "$(dirname "$0")"
# Frame differences: sub-rectangles, transparency, disposal, and its own LZW (lossy too).
gifsicle -O3 --lossy=30 --loopcount=3 unoptimized.gif > optimized.gif
gifsicle -i --disposal=previous -d 0 unoptimized.gif > interlaced.gif
# Each frame's colours shifted its own way: together more than one table holds, so the frames
# get local colour tables.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
gifsicle --explode --output "$tmp/frame" unoptimized.gif
for f in "$tmp"/frame.*; do
    n=$((10#${f##*.} + 1))
    gifsicle --transform-colormap "awk '{ printf \"%d %d %d\\n\", (\$1 + $n * 41) % 256, \$2, \$3 }'" "$f" > "$f.shifted"
done
gifsicle "$tmp"/frame.*.shifted > localcolors.gif
