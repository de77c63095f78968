#!/bin/sh
# same_frames.sh - do two builds of velunar render the same frames? Renders each demo time with
# both programs from one runnable folder (data/ and velunar.mp3), so the data cannot differ, and
# compares the PNGs byte for byte.
# Usage: tools/same_frames.sh OLD_VELUNAR NEW_VELUNAR RUN_DIR [EXTRA_ARGS_FOR_NEW...]
# Prints one line per time and exits non-zero when any frame differs.
set -u
old=$(realpath "$1"); new=$(realpath "$2"); run=$3; shift 3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# Thirty times across the show: the title, every scene, its first frames and a cut or two.
times="-5 -2.5 0 1 4.5 9 13 17 22 26 30 35 40 45 50 55 61 67 73 80 88 95 103 111 119 127 136 145 155 169.9"
status=0
for t in $times; do
    (cd "$run" && "$old" --at "$t" --shot "$out/old.png" >/dev/null 2>&1) || { echo "$t: old build failed"; status=1; continue; }
    (cd "$run" && "$new" --at "$t" --shot "$out/new.png" "$@" >/dev/null 2>&1) || { echo "$t: new build failed"; status=1; continue; }
    if cmp -s "$out/old.png" "$out/new.png"; then echo "$t: same"; else echo "$t: DIFFERENT"; status=1; fi
done
exit $status
