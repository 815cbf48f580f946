#!/usr/bin/env bash
# Resident memory and idle CPU of the launcher beside a bare SDL window in the same run: the
# launcher idle on its home panel (its clock ticking), then after every navigation entry has
# been opened and a search run (current and peak), and a process that only opens SDL, the font
# and one window. Needs an X display. The launcher is the test build with every web service at
# a refusing local port, so no figure waits on a network.
#
#   bench/memory/launcher_rss.sh BUILD_DIR OUT_TSV [CPU_TSV [IDLE_SECONDS]]
#   appends "memory<TAB>case<TAB>KiB" lines to OUT_TSV and "cpu<TAB>case<TAB>percent" lines
#   (CPU time over IDLE_SECONDS of idling, default 30) to CPU_TSV, and prints them.
set -euo pipefail

build="$1"
out="$2"
cpu_out="${3:-/dev/null}"
idle_seconds="${4:-30}"
left=375
top=140

run="$(mktemp -d "${TMPDIR:-/tmp}/qb-rss-run-XXXXXX")"
work="$(mktemp -d "${TMPDIR:-/tmp}/qb-rss-work-XXXXXX")"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$run" "$work"
}
trap cleanup EXIT

program="$build/tests/quillbay_standins"
[ -x "$program" ] || program="$build/run/quillbay"
cp "$program" "$run/quillbay"
cp "$build/run/libwin32.so" "$build/run/CONFIG.db" "$run/"
[ -f "$build/run/Guide.dll" ] && cp "$build/run/Guide.dll" "$run/"
ln -s "$build/run/布局文件" "$run/布局文件"
ln -s "$build/run/资源文件" "$run/资源文件"
for service in ipecho1 ipecho2 ipecho3 ipecho4 ipecho5 ipecho6 ipecho7 ipechofallback geolocation weather; do
  echo "$service 127.0.0.1:9"
done > "$run/service-hosts.txt"

kib() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
record() {
  printf 'memory\t%s\t%s\n' "$1" "$2" | tee -a "$out"
}
# idle_cpu PID CASE: the share of one core the process used over idle_seconds.
idle_cpu() {
  local hz before after
  hz="$(getconf CLK_TCK)"
  before="$(awk '{ print $14 + $15 }' "/proc/$1/stat")"
  sleep "$idle_seconds"
  after="$(awk '{ print $14 + $15 }' "/proc/$1/stat")"
  printf 'cpu\t%s\t%s\n' "$2" "$(echo "scale=3; 100 * ($after - $before) / ($hz * $idle_seconds)" | bc)" |
    tee -a "$cpu_out"
}
# window_of PID TITLE: the id of the process's visible window with that title, waiting up to 20 s.
window_of() {
  for _ in $(seq 200); do
    for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
      if [ "$(xprop -id "$id" _NET_WM_NAME 2>/dev/null)" = "_NET_WM_NAME(UTF8_STRING) = \"$2\"" ]; then
        echo "$id"; return 0
      fi
    done
    sleep 0.1
  done
  echo "no window \"$2\" came" >&2
  return 1
}

(cd "$work" && TMPDIR="$work" exec "$run/quillbay") &
launcher=$!
pids+=("$launcher")
notice="$(window_of "$launcher" "信息：")"
main=""
for _ in $(seq 10); do  # a key may come before the notice listens; press again until the window comes
  xdotool windowfocus --sync "$notice" key Return 2>/dev/null || true
  if main="$(window_of "$launcher" "办公小工具箱" 2>/dev/null)"; then break; fi
done
[ -n "$main" ] || { echo "the main window did not open" >&2; exit 1; }
sleep 3
record launcher-idle "$(kib "$launcher" VmRSS)"
idle_cpu "$launcher" launcher-idle
for entry in 2 3 4 5 6 7 1; do
  xdotool mousemove $((left + 28)) $((top + 64 + 30 * (entry - 1) + 20)) sleep 0.2 click 1
  sleep 1
done
xdotool mousemove $((left + 289)) $((top + 30)) sleep 0.2 click 1 sleep 0.5 type --delay 80 "视频"
xdotool key Return
sleep 2
record launcher-all-panels "$(kib "$launcher" VmRSS)"
record launcher-peak "$(kib "$launcher" VmHWM)"

"$build/bench/screen_bench" --child=bare-window-hold /tmp &
bare=$!
pids+=("$bare")
sleep 3
record bare-sdl-window "$(kib "$bare" VmRSS)"
idle_cpu "$bare" bare-sdl-window
