#!/usr/bin/env bash
# Builds every libFuzzer target (any CMake target named *_fuzz) with clang, ASan and UBSan (the
# `fuzz` preset, build-fuzz/) and runs each for a bounded time. A target added anywhere under
# tests/ is picked up by its name alone.
#
#   tools/fuzz.sh                 every target, FUZZ_SECONDS (60) each
#   FUZZ_SECONDS=600 tools/fuzz.sh jpeg_fuzz mesh_fuzz
#
# Corpora grow in build-fuzz/corpus/<target> from run to run, seeded from the runnable tree's data
# files when it exists; a finding is kept as build-fuzz/findings/<target>-crash-* and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${FUZZ_SECONDS:-60}
JOBS=${JOBS:-2}
DATA=${FUZZ_SEEDS:-build/run/data}

cmake --preset fuzz >/dev/null
all=$(cmake --build build-fuzz --target help | sed -n 's/^\.\.\. \([A-Za-z0-9_]*_fuzz\)$/\1/p' | sort)
targets=${*:-$all}
if [ -z "$targets" ]; then
  echo "fuzz: no *_fuzz targets (is the compiler clang?)" >&2
  exit 1
fi
cmake --build build-fuzz -j"$JOBS" --target $targets

# Which data files start each corpus; small ones only, so the fuzzer stays fast.
seeds_for() {
  case "$1" in
    jpeg_fuzz) echo "*.jpg" ;;
    d3dx8_fuzz) echo "*.jpg *.png *.bmp" ;;
    mesh_fuzz) echo "*.obj" ;;
    ini_fuzz) echo "*.ini" ;;
    layers_fuzz) echo "layer.ini" ;;
    captions_fuzz) echo "napisy.ini" ;;
  esac
}

mkdir -p build-fuzz/findings build-fuzz/logs
failed=""
for t in $targets; do
  exe=$(find build-fuzz -type f -name "$t" -perm -u+x | head -1)
  if [ -z "$exe" ]; then
    echo "fuzz: $t was not built" >&2
    failed="$failed $t"
    continue
  fi
  corpus=build-fuzz/corpus/$t
  mkdir -p "$corpus"
  if [ -d "$DATA" ]; then
    for pattern in $(seeds_for "$t"); do
      find "$DATA" -maxdepth 1 -name "$pattern" -size -32k -exec cp -n {} "$corpus/" \;
    done
  fi
  log=build-fuzz/logs/$t.log
  if "$exe" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="build-fuzz/findings/$t-" "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed="$failed $t"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "fuzz: $t ${runs:-?} executions in ${SECONDS_EACH} s, corpus $(ls "$corpus" | wc -l) files: $result"
  if [ "$result" = FAILED ]; then tail -40 "$log"; fi
done
if [ -n "$failed" ]; then
  echo "fuzz: failed:$failed (inputs in build-fuzz/findings/)" >&2
  exit 1
fi
