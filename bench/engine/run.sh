#!/usr/bin/env bash
# Downloads one file with our engine (xldl_get, 8 connections), with aria2c -x8 -s8 -k1M and with
# curl (one connection), side by side in one run, from three servers: our loopback range server
# ("loopback"), the same server capping each connection at QB_BENCH_CAP bytes a second as mirrors
# do ("capped", default 16 MiB/s), and nginx ("nginx", through scripts/serve-dist.sh). It prints
# wall time, CPU time and peak memory with our figures as ratios of theirs. Every tool ends with
# the same sync policy: the file's data is synced before the clock stops (our engine syncs itself;
# the others are followed by `sync -d`). Timings are reported, never asserted; the run fails only
# when a download is not identical to the source.
#
#   bench/engine/run.sh [SIZE] [XLDL_GET] [RANGE_SERVER]
#   SIZE: 4M in the suite, up to 1G by hand. The programs default to the ones in build/.
#   With QB_BENCH_TSV set, each measurement is also appended to that file as
#   "engine<TAB>SIZE<TAB>server<TAB>tool<TAB>wall s<TAB>cpu s<TAB>peak KiB".
set -euo pipefail

size="${1:-32M}"
here="$(cd "$(dirname "$0")" && pwd)"
build="$here/../../build"
xldl_get="${2:-$build/bench/xldl_get}"
range_server="${3:-$build/bench/range_server}"
cap="${QB_BENCH_CAP:-16777216}"

work="$(mktemp -d "${TMPDIR:-/tmp}/qb-engine-bench-XXXXXX")"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  [ -d "$work/nginx" ] && bash "$here/../../scripts/serve-dist.sh" --root "$work/source" --port 1 --state "$work/nginx" stop
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/source" "$work/out"
bytes="$(numfmt --from=iec "$size")"
quarter=$(( bytes / 4 ))
head -c "$bytes" /dev/urandom > "$work/source/file.bin"
head -c "$quarter" /dev/urandom > "$work/source/quarter.bin"

# start_range_server NAME [RATE]: sets url_NAME.
start_range_server() {
  local name=$1
  "$range_server" "$work/source" ${2:+"$2"} > "$work/port.$name" &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/port.$name" ] && break; sleep 0.05; done
  eval "url_$name=http://127.0.0.1:$(head -n1 "$work/port.$name")"
}
start_range_server loopback
start_range_server capped "$cap"
nginx_port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
bash "$here/../../scripts/serve-dist.sh" --root "$work/source" --port "$nginx_port" --state "$work/nginx" > /dev/null
url_nginx="http://127.0.0.1:$nginx_port"

# measure SERVER NAME FILE COMMAND...: runs the command under /usr/bin/time and records
# wall seconds, CPU seconds (user + system) and peak resident kilobytes.
measure() {
  local server="$1" name="$2" file="$3"; shift 3
  rm -rf "$work/out"; mkdir -p "$work/out"
  sync
  # Wall time from the shell's microsecond clock: /usr/bin/time counts in hundredths, too coarse
  # for a 4 MiB file.
  local started=$EPOCHREALTIME
  /usr/bin/time -f "%e %U %S %M" -o "$work/time.$name" "$@" > "$work/log.$name" 2>&1
  local ended=$EPOCHREALTIME
  if ! cmp -s "$work/source/$file" "$work/out/$file"; then
    echo "FAIL: $name did not deliver an identical $file from $server" >&2
    cat "$work/log.$name" >&2
    exit 1
  fi
  read -r _ user sys rss < "$work/time.$name"
  wall="$(echo "$ended - $started" | bc -l)"
  cpu="$(echo "$user + $sys" | bc -l)"
  printf '%-9s %-8s %-12s wall %8.3f s   cpu %8.3f s   peak %8.1f MiB\n' "$server" "$name" "$file" "$wall" "$cpu" \
    "$(echo "$rss / 1024" | bc -l)"
  eval "wall_$name=$wall cpu_$name=$cpu rss_$name=$rss"
  if [ -n "${QB_BENCH_TSV:-}" ]; then
    printf 'engine\t%s\t%s\t%s\t%s\t%s\t%s\n' "$size" "$server" "$name" "$wall" "$cpu" "$rss" >> "$QB_BENCH_TSV"
  fi
}

ratio() { echo "scale=3; $1 / $2" | bc -l; }

echo "engine benchmark: $size, 8 connections where the tool can"
for server in loopback capped nginx; do
  eval "url=\$url_$server"
  measure "$server" ours file.bin "$xldl_get" "$url/file.bin" "$work/out" file.bin --quiet
  measure "$server" aria2c file.bin sh -c "aria2c -q -x8 -s8 -k1M --file-allocation=none --allow-overwrite=true \
    -d '$work/out' -o file.bin '$url/file.bin' && sync -d '$work/out/file.bin'"
  measure "$server" curl file.bin sh -c "curl -sS -o '$work/out/file.bin' '$url/file.bin' && sync -d '$work/out/file.bin'"
  printf '  %s, ours / peer (below 1: ours is better): aria2c wall %s cpu %s memory %s; curl wall %s\n' "$server" \
    "$(ratio "$wall_ours" "$wall_aria2c")" "$(ratio "$cpu_ours" "$cpu_aria2c")" "$(ratio "$rss_ours" "$rss_aria2c")" \
    "$(ratio "$wall_ours" "$wall_curl")"
done
measure loopback ours4 quarter.bin "$xldl_get" "$url_loopback/quarter.bin" "$work/out" quarter.bin --quiet
printf '  our peak memory, whole file / quarter file: %s (flat in file size near 1)\n' \
  "$(ratio "$rss_ours" "$rss_ours4")"
