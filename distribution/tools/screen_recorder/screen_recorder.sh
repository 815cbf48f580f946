#!/bin/bash
# 屏幕录制: records the whole screen for a chosen number of seconds into an mp4 video.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="屏幕录制"
TOOL_OUTPUT_EXT="mp4"
MAX_SECONDS=3600

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
  qb_need pgrep procps
  [ -n "${DISPLAY:-}" ] || qb_fail 3 "没有图形界面（DISPLAY 未设置），无法录制屏幕；请在桌面环境中运行。"
}

# The "input" here is the recording length in seconds, not a file.
tool_check() {
  [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge 1 ] && [ "$1" -le "$MAX_SECONDS" ] ||
    qb_fail 2 "录制时长应为 1 到 $MAX_SECONDS 之间的整数秒：$1"
}

# There is no file to choose: the window asks for the length instead.
tool_choose() {
  zenity --entry --title="$TOOL_TITLE" --width=420 --entry-text=30 --ok-label="开始录制" --cancel-label="取消" \
    --text="要录制多少秒？（1 到 $MAX_SECONDS）
点“开始录制”后倒数 3 秒开始，录制整个屏幕；录制中点“取消”则放弃这次录制。" 2>/dev/null
}

# Recordings go to the user's video folder, named by the time they started.
tool_output() {
  local dir
  dir=$(xdg-user-dir VIDEOS 2>/dev/null)
  [ -n "$dir" ] && [ -d "$dir" ] && [ "$dir" != "$HOME" ] || dir=$HOME
  qb_output_beside "$dir/屏幕录制" "$(date +%Y%m%d-%H%M%S)" "$TOOL_OUTPUT_EXT"
}

tool_run() {
  local seconds=$1 output=$2 temp n status
  if [ "$QB_BATCH" = 0 ]; then
    # A moment to bring the right window forward before the recording starts.
    for n in 3 2 1; do
      echo "# ${n} 秒后开始录制……"
      sleep 1
    done
  fi
  temp=$(qb_temp_beside "$output")
  # The recorder runs beside the countdown so that a cancelled window also stops it: ffmpeg
  # itself would go on to the end of the time asked for.
  local fifo="$QB_WORK/progress" recorder percent helpers
  mkfifo -- "$fifo" || qb_fail 5 "无法创建临时文件"
  # x11grab takes the whole screen by default.
  qb_ffmpeg "$seconds" -f x11grab -framerate 25 -draw_mouse 1 -i "$DISPLAY" -t "$seconds" \
    -vf 'scale=trunc(iw/2)*2:trunc(ih/2)*2' -c:v libx264 -preset veryfast -crf 23 -pix_fmt yuv420p \
    -movflags +faststart -f mp4 "$temp" >"$fifo" &
  recorder=$!
  trap '' PIPE
  while read -r percent; do
    if ! { echo "$percent" && echo "# 正在录制屏幕……还剩 $(( (seconds * (100 - percent) + 50) / 100 )) 秒"; } 2>/dev/null; then
      helpers=$(pgrep -P "$recorder")
      kill "$recorder" $helpers 2>/dev/null
      wait "$recorder"
      exit 1
    fi
  done <"$fifo"
  wait "$recorder"
  status=$?
  [ "$status" -eq 0 ] || exit "$status"
  qb_publish "$temp" "$output"
}

tool_done() {
  qb_info_window "录制完成（$1 秒）。
已保存到：$2"
}

qb_main "$@"
