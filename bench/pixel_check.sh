#!/bin/sh
# pixel_check.sh - renders frames at thirty demo times across the whole show with two builds of
# velunar and compares the PNG files byte for byte. Both builds run from one scratch copy of a
# runnable tree's data/ and velunar.mp3, so a change of the assets between the builds cannot show
# up as a change of pixels.
# Usage: bench/pixel_check.sh BEFORE_VELUNAR AFTER_VELUNAR [RUN_DIR (default build/run)]
# Prints one line per time that differs and exits 1 when any does. Needs nothing but sh and cmp.
set -u
before=$(realpath "$1") || exit 2
after=$(realpath "$2") || exit 2
run=$(realpath "${3:-build/run}") || exit 2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velunar-pixels.XXXXXX") || exit 2
trap 'rm -rf "$scratch"' EXIT
cp -r "$run/data" "$run/velunar.mp3" "$scratch/" || exit 2

# Every scene, its fades and the moments where a layer appears: the intro, fx01 before and after
# its band appears (18.301), the flashes of fx09, and the last fade to black.
times="-4.5 -2 -0.3 1.23 5 10.38 18.2 18.5 22.32 27.5 36.12 45.8 46.2 46.44 48.3 55.48 64.2 65.77
68.7 77.18 87 95.45 105.2 106.88 110 127.44 146.5 157.61 166 169.5"

differ=0
count=0
for t in $times; do
    for which in before after; do
        eval bin=\$$which
        if ! (cd "$scratch" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$bin" --at "$t" \
                --shot "$scratch/$which.png" >/dev/null 2>&1); then
            echo "t=$t: the $which build failed"
            differ=1
        fi
    done
    count=$((count + 1))
    if ! cmp -s "$scratch/before.png" "$scratch/after.png"; then
        echo "t=$t: frames differ"
        differ=1
    fi
    rm -f "$scratch/before.png" "$scratch/after.png"
done
[ "$differ" = 0 ] && echo "all $count frames identical"
exit "$differ"
