#!/bin/bash
# HEIC转JPG: turns a phone's HEIC/HEIF photo into a JPEG every program opens.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="HEIC转JPG"
TOOL_INPUT_NAME="HEIC/HEIF 照片"
TOOL_FILTER="HEIC/HEIF 照片 | *.heic *.HEIC *.heif *.HEIF *.hif"
TOOL_OUTPUT_EXT="jpg"
TOOL_OUTPUT_SUFFIX="转换"
QUALITY=92

tool_needs() {
  qb_need heif-convert libheif-examples
  qb_need heif-info libheif-examples
}

tool_check() {
  qb_expect_readable "$1"
  heif-info -- "$1" >/dev/null 2>&1 || qb_fail 2 "这不是可以读取的 HEIC/HEIF 照片：$(basename -- "$1")"
}

# Batch option: the JPEG quality 1-100 (default 92).
tool_batch_options() {
  [ $# -eq 0 ] && return
  [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge 1 ] && [ "$1" -le 100 ] || qb_fail 1 "质量必须是 1 到 100 之间的整数：$1"
  QUALITY=$1
}

tool_run() {
  local input=$1 output=$2 temp decoded
  echo "10"
  echo "# 正在转换 $(basename -- "$input")……"
  # heif-convert names the pictures of a file holding several of them photo-1.jpg, photo-2.jpg...:
  # the first is the photo itself.
  mkdir -p "$QB_WORK/heif"
  heif-convert --quiet -q "$QUALITY" -- "$input" "$QB_WORK/heif/photo.jpg" >"$QB_WORK/heif.log" 2>&1 ||
    qb_fail 5 "转换失败：$(qb_log_tail "$QB_WORK/heif.log")"
  decoded="$QB_WORK/heif/photo.jpg"
  [ -s "$decoded" ] || decoded="$QB_WORK/heif/photo-1.jpg"
  [ -s "$decoded" ] || qb_fail 5 "转换失败：没有得到图片。"
  echo "90"
  temp=$(qb_temp_beside "$output")
  cp -- "$decoded" "$temp" || { rm -f -- "$temp"; qb_fail 4 "无法写入输出文件：$output"; }
  qb_publish "$temp" "$output"
  echo "100"
}

qb_main "$@"
