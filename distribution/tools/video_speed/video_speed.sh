#!/bin/bash
# 视频倍速调整: plays a video faster or slower (0.5x to 4x), the sound changed in tempo, not pitch.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频倍速调整"
TOOL_INPUT_NAME="要调整速度的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_EXT="mp4"
FACTOR=2

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() { qb_expect_video "$1"; }

qb_check_factor() {
  [[ $1 =~ ^[0-9]+(\.[0-9]+)?$ ]] && awk -v f="$1" 'BEGIN { exit !(f >= 0.5 && f <= 4) }' ||
    qb_fail 1 "倍速应为 0.5 到 4 之间的数（如 0.5、1.5、2）：$1"
}

tool_options() {
  local chosen
  chosen=$(qb_pick "请选择播放速度（大于 1 变快，小于 1 变慢）：" 2x 0.5x 0.75x 1.25x 1.5x 2x 3x 4x) || return 1
  [ -n "$chosen" ] || return 1
  FACTOR=${chosen%x}
}

tool_output() { qb_output_beside "$1" "${FACTOR}倍速" "$TOOL_OUTPUT_EXT"; }

# Batch option: FACTOR between 0.5 and 4 (default 2).
tool_batch_options() {
  FACTOR=${1:-2}
  qb_check_factor "$FACTOR"
}

# atempo takes 0.5 to 2 at a time: larger factors become a chain of steps that multiply to it.
qb_atempo_chain() {
  awk -v f="$1" 'BEGIN { s = ""; while (f > 2) { s = s "atempo=2.0,"; f /= 2 } printf "%satempo=%.6f\n", s, f }'
}

tool_run() {
  local input=$1 output=$2 temp length maps=(-map '[v]') filter audio=()
  length=$(awk -v d="$(qb_media_duration "$input")" -v f="$FACTOR" 'BEGIN { printf "%.3f\n", d / f }')
  filter="[0:v:0]setpts=PTS/$FACTOR,scale=trunc(iw/2)*2:trunc(ih/2)*2[v]"
  if qb_stream_types "$input" | grep -qx audio; then
    filter+=";[0:a:0]$(qb_atempo_chain "$FACTOR")[a]"
    maps+=(-map '[a]')
    audio=(-c:a aac -b:a 160k)
  fi
  temp=$(qb_temp_beside "$output")
  echo "# 正在生成 ${FACTOR} 倍速的视频……"
  # The output's own duration drives the progress: ffmpeg counts output time.
  qb_ffmpeg "$length" -i "$input" -filter_complex "$filter" "${maps[@]}" \
    -c:v libx264 -preset medium -crf 21 -pix_fmt yuv420p "${audio[@]}" -movflags +faststart -f mp4 "$temp"
  qb_publish "$temp" "$output"
}

qb_main "$@"
