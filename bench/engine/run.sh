#!/usr/bin/env bash
# Downloads one file over loopback with our engine (xldl_get, 8 connections), with
# aria2c -x8 -s8 -k1M and with curl, side by side in one run, and prints wall time, CPU time and
# peak memory with our figures as ratios of theirs. Every tool ends with the same sync policy:
# the file's data is synced before the clock stops (our engine syncs itself; the others are
# followed by `sync -d`). Timings are reported, never asserted; the run fails only when a
# download is not identical to the source.
#
#   bench/engine/run.sh [SIZE] [XLDL_GET] [RANGE_SERVER]
#   SIZE: 32M in CI, 1G by hand. The programs default to the ones in build/.
#   With QB_BENCH_TSV set, each measurement is also appended to that file as
#   "engine<TAB>SIZE<TAB>tool<TAB>wall s<TAB>cpu s<TAB>peak KiB".
set -euo pipefail

size="${1:-32M}"
here="$(cd "$(dirname "$0")" && pwd)"
build="$here/../../build"
xldl_get="${2:-$build/bench/xldl_get}"
range_server="${3:-$build/bench/range_server}"

work="$(mktemp -d "${TMPDIR:-/tmp}/qb-engine-bench-XXXXXX")"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/source" "$work/out"
bytes="$(numfmt --from=iec "$size")"
quarter=$(( bytes / 4 ))
head -c "$bytes" /dev/urandom > "$work/source/file.bin"
head -c "$quarter" /dev/urandom > "$work/source/quarter.bin"

"$range_server" "$work/source" > "$work/port" &
server_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port="$(head -n1 "$work/port")"
url="http://127.0.0.1:$port"

# measure NAME FILE COMMAND...: runs the command under /usr/bin/time and records
# wall seconds, CPU seconds (user + system) and peak resident kilobytes.
measure() {
  local name="$1" file="$2"; shift 2
  rm -rf "$work/out"; mkdir -p "$work/out"
  sync
  /usr/bin/time -f "%e %U %S %M" -o "$work/time.$name" "$@" > "$work/log.$name" 2>&1
  if ! cmp -s "$work/source/$file" "$work/out/$file"; then
    echo "FAIL: $name did not deliver an identical $file" >&2
    cat "$work/log.$name" >&2
    exit 1
  fi
  read -r wall user sys rss < "$work/time.$name"
  cpu="$(echo "$user + $sys" | bc -l)"
  printf '%-8s %-12s wall %8.3f s   cpu %8.3f s   peak %8.1f MiB\n' "$name" "$file" "$wall" "$cpu" \
    "$(echo "$rss / 1024" | bc -l)"
  eval "wall_$name=$wall cpu_$name=$cpu rss_$name=$rss"
  if [ -n "${QB_BENCH_TSV:-}" ]; then
    printf 'engine\t%s\t%s\t%s\t%s\t%s\n' "$size" "$name" "$wall" "$cpu" "$rss" >> "$QB_BENCH_TSV"
  fi
}

echo "engine benchmark: $size over loopback, 8 connections where the tool can"
measure ours file.bin "$xldl_get" "$url/file.bin" "$work/out" file.bin --quiet
measure aria2c file.bin sh -c "aria2c -q -x8 -s8 -k1M --file-allocation=none --allow-overwrite=true \
  -d '$work/out' -o file.bin '$url/file.bin' && sync -d '$work/out/file.bin'"
measure curl file.bin sh -c "curl -sS -o '$work/out/file.bin' '$url/file.bin' && sync -d '$work/out/file.bin'"
measure ours4 quarter.bin "$xldl_get" "$url/quarter.bin" "$work/out" quarter.bin --quiet

ratio() { echo "scale=3; $1 / $2" | bc -l; }
echo
echo "ratios (ours / peer; below 1 means ours is better):"
printf '  vs aria2c: wall %s   cpu %s   peak memory %s\n' "$(ratio "$wall_ours" "$wall_aria2c")" \
  "$(ratio "$cpu_ours" "$cpu_aria2c")" "$(ratio "$rss_ours" "$rss_aria2c")"
printf '  vs curl:   wall %s   cpu %s   peak memory %s\n' "$(ratio "$wall_ours" "$wall_curl")" \
  "$(ratio "$cpu_ours" "$cpu_curl")" "$(ratio "$rss_ours" "$rss_curl")"
printf '  our peak memory, whole file / quarter file: %s (flat in file size near 1)\n' \
  "$(ratio "$rss_ours" "$rss_ours4")"
