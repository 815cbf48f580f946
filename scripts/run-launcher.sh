#!/usr/bin/env bash
# Installs what the launcher needs, builds it and starts it from build/run/.
# Without a display it runs under a private X server, writes screenshots of the start-up notice
# and of the main window to build/screenshots/, and stops again. The distribution site
# (scripts/serve-dist.sh) keeps running; `scripts/serve-dist.sh stop` ends it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"

# The tools and the update manifest come from the distribution site; by default nginx serves it
# here.
bash scripts/serve-dist.sh

run_dir="$PWD/build/run"
# The launcher writes its toolkit file (XCGUI.dll) into the current directory and never replaces
# one that is there: it starts in a folder of its own, cleared of the last build's toolkit.
work_dir="$PWD/build/launcher"
mkdir -p "$work_dir"
rm -f "$work_dir/XCGUI.dll"
if [ -n "${DISPLAY:-}" ]; then
  cd "$work_dir" && exec "$run_dir/quillbay"
fi

shots="$PWD/build/screenshots"
mkdir -p "$shots"
export DISPLAY=:$((90 + RANDOM % 100))
Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp &
xvfb_pid=$!
trap 'kill $launcher_pid $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$work_dir" && exec "$run_dir/quillbay") &
launcher_pid=$!
sleep 3
import -window root "$shots/notice.png"
xdotool key Return   # dismiss the start-up notice
sleep 3
import -window root "$shots/main-window.png"
echo "Screenshots: $shots/notice.png $shots/main-window.png"
