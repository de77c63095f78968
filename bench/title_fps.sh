#!/bin/sh
# title_fps.sh - the frame rate the window's title reports in every scene, for one or more builds
# of velunar, each scene played in a window under Xvfb: the builds take turns scene by scene, so
# they see the same load. Each build runs from a scratch copy of the data/ and velunar.mp3 beside
# it, or of RUN_DIR's when it has none beside it (so builds with other assets compare as they are).
# Usage: bench/title_fps.sh RUN_DIR VELUNAR... (needs Xvfb and xdotool)
# Prints one line per scene: its start time, then each build's reading after SETTLE seconds
# (default 3.5: --start replays its scene first; the title averages over the last second).
set -u
run=$(realpath "$1") || exit 2
shift
settle=${SETTLE:-3.5}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velunar-title.XXXXXX") || exit 2
display=:$((50 + $$ % 400))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
sleep 1

# Half a second before the second the frame benchmark times in each row (intro, fx01 three times, ...).
starts="-3.5 0.73 9.88 21.82 35.62 45.94 54.98 65.27 76.68 94.95 106.38 126.94 157.11"
# Each build's path is made absolute here: the runs start inside its scratch folder (1, 2, ...).
bins=""
n=0
for bin in "$@"; do
    bin=$(realpath "$bin") || exit 2
    n=$((n + 1))
    from=$(dirname "$bin")
    [ -d "$from/data" ] && [ -f "$from/velunar.mp3" ] || from=$run
    mkdir "$scratch/$n" && cp -r "$from/data" "$from/velunar.mp3" "$scratch/$n/" || exit 2
    bins="$bins $bin"
done
for t in $starts; do
    line="$t"
    n=0
    for bin in $bins; do
        n=$((n + 1))
        (cd "$scratch/$n" && DISPLAY=$display SDL_AUDIODRIVER=dummy exec "$bin" -win --start "$t") \
            >/dev/null 2>&1 &
        pid=$!
        sleep "$settle"
        title=$(DISPLAY=$display xdotool search --name ' fps$' getwindowname 2>/dev/null | head -n 1)
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        fps=$(echo "$title" | sed -n 's/.* - *\([0-9.]*\) fps$/\1/p')
        line="$line ${fps:-?}"
    done
    echo "$line"
done
