#!/bin/bash
# 视频压缩: re-encodes a video with H.264/AAC at a chosen quality, beside the original.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频压缩"
TOOL_INPUT_NAME="要压缩的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp"
TOOL_OUTPUT_SUFFIX="压缩"
TOOL_OUTPUT_EXT="mp4"
# Constant-quality factor per choice: higher is smaller.
QUALITY=中
declare -A CRF=([高]=23 [中]=28 [低]=33)
declare -A QUALITY_TEXT=([高]="高画质（文件较大）" [中]="标准画质（推荐）" [低]="低画质（文件最小）")

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() { qb_expect_video "$1"; }

tool_options() { qb_quality_choice; }

# Batch option: 高, 中 or 低 (default 中).
tool_batch_options() { qb_quality_option "$@"; }

tool_run() {
  local input=$1 output=$2 temp audio=()
  temp=$(qb_temp_beside "$output")
  qb_stream_types "$input" | grep -qx audio && audio=(-c:a aac -b:a 128k)
  echo "# 正在压缩 $(basename -- "$input")（${QUALITY_TEXT[$QUALITY]}）……"
  # Even dimensions for H.264's 4:2:0 sampling; faststart so players can start before the end.
  qb_ffmpeg "$(qb_media_duration "$input")" -i "$input" -map 0:v:0 -map '0:a:0?' \
    -c:v libx264 -preset medium -crf "${CRF[$QUALITY]}" -pix_fmt yuv420p \
    -vf 'scale=trunc(iw/2)*2:trunc(ih/2)*2' "${audio[@]}" -movflags +faststart "$temp"
  qb_publish "$temp" "$output"
}

tool_done() {
  local before after
  before=$(qb_file_size "$1")
  after=$(qb_file_size "$2")
  local change
  change=$(awk -v a="$after" -v b="$before" 'BEGIN { d = (b - a) * 100 / b; if (d >= 0) printf "减小了 %.0f%%", d; else printf "增大了 %.0f%%（原视频已经很精简）", -d }')
  qb_info_window "压缩完成。
压缩前：$(qb_size_text "$before")
压缩后：$(qb_size_text "$after")，$change
已保存到：$2"
}

qb_main "$@"
