#!/usr/bin/env bash
# Writes one screenshot per state of the launcher into docs/screenshots/ (PNG), from a tree that
# is already built (build/run); it builds nothing. The launcher runs from a scratch copy of the
# run directory under a private Xvfb with openbox, and its downloads come from a slowed-down
# local copy of the site, so a download can be caught half-way.
#   scripts/screenshots.sh [BUILD_DIR]        (default: build)
# Needs Xvfb, openbox, xdotool, ImageMagick, sqlite3 and python3. Re-runnable: every file is
# written anew.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=${1:-build}
out="$repo/docs/screenshots"
[ -x "$build/run/quillbay" ] || { echo "screenshots.sh: no launcher in $build/run (build it first)" >&2; exit 2; }
for tool in Xvfb openbox xdotool xprop import convert sqlite3 python3; do
  command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 2; }
done

scratch=$(mktemp -d /tmp/qb-screens.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

# A display nobody else uses.
display=""
for n in $(seq 340 399); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "screenshots.sh: no free X display" >&2; exit 1; }
export DISPLAY=$display
Xvfb "$display" -screen 0 1600x1000x24 -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)

# The site on a free port, sending the archives slowly; the scratch catalogue points there.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 - "$build/dist" "$port" >/dev/null 2>&1 <<'EOF' &
import functools, http.server, sys, time

class Slow(http.server.SimpleHTTPRequestHandler):
    def copyfile(self, source, target):
        while chunk := source.read(512):
            target.write(chunk)
            target.flush()
            time.sleep(0.3)

handler = functools.partial(Slow, directory=sys.argv[1])
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[2])), handler).serve_forever()
EOF
pids+=($!)
cp -a "$build/run" "$scratch/run"
rm -rf "$scratch/run/Application"
# One tool installed already (视频格式转换, the second video card), so its page opens at once.
installed=$(sqlite3 "$scratch/run/CONFIG.db" "select App_Install_path from App_List where ID = 2" | tr '\\' /)
mkdir -p "$scratch/run$installed"
unzip -q "$build/dist/tools/video_convert.zip" -d "$scratch/run$installed"
sqlite3 "$scratch/run/CONFIG.db" \
  "update App_List set App_download_http = replace(App_download_http, 'http://127.0.0.1:8760', 'http://127.0.0.1:$port');"
mkdir -p "$scratch/work" "$out"

# The main window's top-left corner, where its layout places it.
L=375
T=140
at() { xdotool mousemove $((L + $1)) $((T + $2)); }
click() { at "$1" "$2"; xdotool click 1; }
away() { xdotool mousemove 1590 990; }
# shot NAME [GEOMETRY]: the main window and a margin around it, or GEOMETRY of the screen.
shot() {
  import -window root "$scratch/shot.png"
  convert "$scratch/shot.png" -crop "${2:-1230x820+345+110}" +repage -strip "$out/$1.png"
  echo "$out/$1.png"
}
# wait_for TITLE: until a visible window of that title (_NET_WM_NAME, UTF-8) shows, 10 s at most.
wait_for() {
  for _ in $(seq 50); do
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
      xprop -id "$id" _NET_WM_NAME 2>/dev/null | grep -qF "$1" && return 0
    done
    sleep 0.2
  done
  return 1
}
nav_entry_y() { echo $((64 + 30 * ($1 - 1) + 20)); }

(cd "$scratch/work" && exec "$scratch/run/quillbay" >"$scratch/launcher.log" 2>&1) &
launcher=$!
pids+=($launcher)
wait_for "信息：" || { echo "screenshots.sh: no start-up notice" >&2; exit 1; }
sleep 0.5
shot message-box 1600x1000+0+0
xdotool key Return
wait_for "办公小工具箱" || { echo "screenshots.sh: no main window" >&2; exit 1; }
sleep 1.5

away; sleep 0.5; shot main-window
at 28 "$(nav_entry_y 3)"; sleep 0.5; shot navigation-hover
click 28 "$(nav_entry_y 6)"; sleep 0.5; shot navigation-selected
click 28 "$(nav_entry_y 2)"; sleep 0.8; at 100 "$(nav_entry_y 2)"; sleep 0.3; shot panel-wide
away; sleep 1; shot panel-narrow
# The column is narrow from here on: the top bar starts 95 pixels further left, and the first
# card (370 x 160, in a centred grid) spans x 235..605, y 141..301.
at 420 221; sleep 0.4; shot card-hover
at 565 221; sleep 0.4; shot indicator-hover
at 194 30; sleep 0.4; shot search-button-hover
xdotool mousedown 1; sleep 0.3; shot search-button-pressed
xdotool mouseup 1; sleep 1.2; away; shot search-open
click 290 30; xdotool type --delay 120 "视频"; sleep 0.3; xdotool key Return; sleep 1.5; away; sleep 0.5
shot search-results
at 882 30; sleep 0.4; shot bell-hover
xdotool click 1; wait_for "通知" || true; sleep 1.2; shot notifications-open
at 882 150; sleep 0.3; away; sleep 2
click 28 "$(nav_entry_y 3)"; sleep 0.5; click 28 "$(nav_entry_y 2)"; away; sleep 1.5
click 950 221; sleep 2.5; away; shot tool-page
click 134 30; sleep 1
click 565 221; sleep 2.5; away; shot download-in-progress
click 1099 30; sleep 1.5; away; shot maximised 1600x1000+0+0

kill "$launcher" 2>/dev/null || true
for f in "$out"/*.png; do
  size=$(stat -c %s "$f")
  [ "$size" -le 307200 ] || echo "screenshots.sh: $f is $size bytes" >&2
done
