#!/bin/sh
# title_fps.sh - the frame rate the window's title reports in every scene, for one or more builds
# of velunar, each scene played in a window under Xvfb: the builds take turns scene by scene, so
# they see the same load. All run from one scratch copy of a runnable tree's data/ and velunar.mp3.
# Usage: bench/title_fps.sh RUN_DIR VELUNAR... (needs Xvfb and xdotool)
# Prints one line per scene: its start time, then each build's reading after SETTLE seconds
# (default 3.5: --start replays its scene first; the title averages over the last second).
set -u
run=$(realpath "$1") || exit 2
shift
settle=${SETTLE:-3.5}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velunar-title.XXXXXX") || exit 2
cp -r "$run/data" "$run/velunar.mp3" "$scratch/" || exit 2
display=:$((50 + $$ % 400))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
sleep 1

# Half a second before the second the frame benchmark times in each row (intro, fx01 three times, ...).
starts="-3.5 0.73 9.88 21.82 35.62 45.94 54.98 65.27 76.68 94.95 106.38 126.94 157.11"
# Each build's path is made absolute here: the runs start inside the scratch folder.
bins=""
for bin in "$@"; do bins="$bins $(realpath "$bin")" || exit 2; done
for t in $starts; do
    line="$t"
    for bin in $bins; do
        (cd "$scratch" && DISPLAY=$display SDL_AUDIODRIVER=dummy exec "$bin" -win --start "$t") \
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
