#!/bin/bash
# 视频剪辑: keeps the part of a video between a start and an end time, re-encoded frame-exactly.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频剪辑"
TOOL_INPUT_NAME="要剪辑的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_SUFFIX="剪辑"
TOOL_OUTPUT_EXT="mp4"
START=""
END=""
FROM=0
TO=0
LENGTH=0

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() { qb_expect_video "$1"; }

# Seconds from "HH:MM:SS", "MM:SS" or plain seconds (fractions allowed); fails on anything else.
qb_seconds() {
  printf '%s' "$1" | tr '：' ':' | awk -F: '
    NF < 1 || NF > 3 { exit 1 }
    { s = 0; for (i = 1; i <= NF; i++) { if ($i !~ /^[0-9]+(\.[0-9]+)?$/) exit 1; if (i < NF && $i !~ /^[0-9]+$/) exit 1; s = s * 60 + $i }
      printf "%.3f\n", s }'
}

# HH:MM:SS for messages and dialog defaults.
qb_clock() { awk -v s="$1" 'BEGIN { s = int(s + 0.5); printf "%02d:%02d:%02d\n", s / 3600, (s % 3600) / 60, s % 60 }'; }

# Sets FROM, TO and LENGTH (seconds) from START and END for a video of DURATION seconds, or
# prints what is wrong with them and returns 1.
qb_range() {
  local duration=$1
  FROM=0
  TO=$duration
  if [ -n "$START" ]; then FROM=$(qb_seconds "$START") || { echo "开始时间格式不对（应为 时:分:秒 或 秒数）：$START"; return 1; }; fi
  if [ -n "$END" ]; then TO=$(qb_seconds "$END") || { echo "结束时间格式不对（应为 时:分:秒 或 秒数）：$END"; return 1; }; fi
  awk -v a="$FROM" -v d="$duration" 'BEGIN { exit !(a < d) }' ||
    { echo "开始时间 $(qb_clock "$FROM") 已超出视频长度 $(qb_clock "$duration")"; return 1; }
  # An end past the video's end means "to the end".
  TO=$(awk -v b="$TO" -v d="$duration" 'BEGIN { printf "%.3f\n", (b > d) ? d : b }')
  awk -v a="$FROM" -v b="$TO" 'BEGIN { exit !(b > a) }' ||
    { echo "结束时间必须晚于开始时间（开始 $(qb_clock "$FROM")，结束 $(qb_clock "$TO")）"; return 1; }
  LENGTH=$(awk -v a="$FROM" -v b="$TO" 'BEGIN { printf "%.3f\n", b - a }')
}

# Asks again until the times make sense for this video.
tool_options() {
  local duration answer problem
  duration=$(qb_media_duration "${QB_INPUTS[0]}")
  while :; do
    answer=$(zenity --forms --title="$TOOL_TITLE" --ok-label="确定" --cancel-label="取消" --separator=$'\n' \
      --text="视频长度 $(qb_clock "$duration")。请输入要保留的部分（时:分:秒 或 秒数，如 00:01:30 或 90）：" \
      --add-entry="开始时间（留空表示从头开始）" --add-entry="结束时间（留空表示到结尾）" 2>/dev/null) || return 1
    START=$(sed -n 1p <<<"$answer")
    END=$(sed -n 2p <<<"$answer")
    problem=$(qb_range "$duration") && return 0
    qb_error_window "$problem"
  done
}

# Batch options: START and END (HH:MM:SS or seconds); defaults: the beginning and the end.
tool_batch_options() {
  START=${1:-}
  END=${2:-}
  local problem
  problem=$(qb_range "$(qb_media_duration "${QB_INPUTS[0]}")") || qb_fail 2 "$problem"
}

tool_run() {
  local input=$1 output=$2 temp audio=()
  qb_range "$(qb_media_duration "$input")" >/dev/null || qb_fail 2 "剪辑时间不对"
  temp=$(qb_temp_beside "$output")
  qb_stream_types "$input" | grep -qx audio && audio=(-c:a aac -b:a 160k)
  echo "# 正在剪辑 $(qb_clock "$FROM") 到 $(qb_clock "$TO") ……"
  # Seeking before -i with re-encoding starts at the exact frame, not at the previous key frame.
  qb_ffmpeg "$LENGTH" -ss "$FROM" -i "$input" -t "$LENGTH" -map 0:v:0 -map '0:a:0?' \
    -c:v libx264 -preset medium -crf 20 -pix_fmt yuv420p -vf 'scale=trunc(iw/2)*2:trunc(ih/2)*2' \
    "${audio[@]}" -movflags +faststart -f "$(qb_muxer "$output")" "$temp"
  qb_publish "$temp" "$output"
}

# The container OUTPUT's extension names; mp4 for anything else.
qb_muxer() {
  case ${1##*.} in
    mkv | MKV) echo matroska ;;
    mov | MOV) echo mov ;;
    *) echo mp4 ;;
  esac
}

qb_main "$@"
