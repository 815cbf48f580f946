#!/usr/bin/env bash
# Runs every benchmark of the project and writes a report (report.md and PNG charts): the engine
# against aria2c and curl from a loopback, a capped and an nginx server, the JSON and regex engines, the toolkit's frames, start-up, panel fill
# and search, and the launcher's memory and idle CPU, each beside its peer in the same run.
#
#   bench/report.sh [--small] [--no-build] [OUT_DIR]
#   --small     small files and short measuring times (what CI runs so the report cannot rot)
#   --no-build  use the programs already in build/ (the test suite calls it so)
#   OUT_DIR     default build/report
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

mode=full
do_build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --small) mode=small; shift ;;
    --no-build) do_build=0; shift ;;
    *) break ;;
  esac
done
out="${1:-$build/report}"
mkdir -p "$out"
rm -f "$out"/*.tsv "$out"/*.dat "$out"/*.png "$out"/report.md

if [ "$do_build" = 1 ]; then
  bash "$root/scripts/setup-debian.sh"
  cmake --preset default -S "$root" > /dev/null
  cmake --build "$build" -j "$(nproc)" --target xldl_get range_server scripting_bench toolkit_bench \
    screen_bench quillbay quillbay_standins
fi

if [ "$mode" = small ]; then sizes=(4M); min_time=0.01; idle=5; else sizes=(4M 32M 256M 1G); min_time=0.5; idle=30; fi

for size in "${sizes[@]}"; do
  QB_BENCH_TSV="$out/engine.tsv" bash "$root/bench/engine/run.sh" "$size" "$build/bench/xldl_get" "$build/bench/range_server"
done
for program in scripting_bench toolkit_bench screen_bench; do
  "$build/bench/$program" --benchmark_min_time="$min_time" --ratios_out="$out/ratios.tsv"
done
if [ -n "${DISPLAY:-}" ]; then
  bash "$root/bench/memory/launcher_rss.sh" "$build" "$out/memory.tsv" "$out/cpu.tsv" "$idle"
else
  xvfb-run -a -s "-screen 0 1600x1000x24" bash "$root/bench/memory/launcher_rss.sh" "$build" "$out/memory.tsv" \
    "$out/cpu.tsv" "$idle"
fi
python3 "$root/bench/report.py" "$out" "$mode"
