#!/bin/bash
# 图片压缩: saves a smaller JPEG, PNG or WebP at a chosen quality, without the metadata.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="图片压缩"
TOOL_INPUT_NAME="要压缩的图片"
TOOL_FILTER="图片文件 | *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.webp *.WEBP *.bmp *.tif *.tiff *.gif"
TOOL_OUTPUT_SUFFIX="压缩"
QUALITY=75

tool_needs() {
  qb_need convert imagemagick
  qb_need identify imagemagick
}

tool_check() { qb_expect_image "$1"; }

tool_options() {
  local chosen
  chosen=$(zenity --scale --title="$TOOL_TITLE" --text="请选择压缩质量（数值越小，文件越小、画质越低）：" \
    --min-value=1 --max-value=100 --value="$QUALITY" --step=1 --ok-label="确定" --cancel-label="取消" 2>/dev/null) ||
    return 1
  QUALITY=$chosen
}

# Batch option: the quality 1-100 (default 75).
tool_batch_options() {
  [ $# -eq 0 ] && return
  [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge 1 ] && [ "$1" -le 100 ] || qb_fail 1 "质量必须是 1 到 100 之间的整数：$1"
  QUALITY=$1
}

# JPEG, PNG and WebP keep their format; other pictures become JPEG, the format that shrinks best.
compress_ext() {
  local ext=${1##*.}
  ext=${ext,,}
  case $ext in
    jpg | jpeg | png | webp) printf '%s\n' "$ext" ;;
    *) echo jpg ;;
  esac
}

tool_output() { qb_output_beside "$1" "$TOOL_OUTPUT_SUFFIX" "$(compress_ext "$1")"; }

tool_run() {
  local input=$1 output=$2 temp ext args=()
  ext=${output##*.}
  ext=${ext,,}
  case $ext in
    jpg | jpeg) args=(-background white -alpha remove -alpha off -sampling-factor 4:2:0 -interlace JPEG -quality "$QUALITY") ;;
    webp) args=(-quality "$QUALITY" -define webp:method=6) ;;
    png)
      # PNG is lossless: below 90 the colours go to a 256-entry palette, the only real saving;
      # undithered, as dither noise defeats the compression of smooth areas.
      args=(-define png:compression-level=9 -define png:compression-filter=5)
      [ "$QUALITY" -lt 90 ] && args=(+dither -colors 256 "${args[@]}")
      ;;
    *) qb_fail 1 "只能压缩为 JPG、PNG 或 WebP：$(basename -- "$output")" ;;
  esac
  temp=$(qb_temp_beside "$output")
  echo "20"
  echo "# 正在压缩 $(basename -- "$input")（质量 $QUALITY）……"
  convert -- "${input}[0]" -auto-orient -strip "${args[@]}" "$temp" 2>"$QB_WORK/convert.log" ||
    { rm -f -- "$temp"; qb_fail 5 "压缩失败：$(qb_log_tail "$QB_WORK/convert.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

tool_done() {
  local before after change
  before=$(qb_file_size "$1")
  after=$(qb_file_size "$2")
  change=$(awk -v a="$after" -v b="$before" 'BEGIN { d = (b - a) * 100 / b; if (d >= 0) printf "减小了 %.0f%%", d; else printf "增大了 %.0f%%（原图已经很精简，可降低质量再试）", -d }')
  qb_info_window "压缩完成。
压缩前：$(qb_size_text "$before")
压缩后：$(qb_size_text "$after")，$change
已保存到：$2"
}

qb_main "$@"
