#!/bin/bash
# 图片加水印: writes a semi-transparent text watermark onto a picture.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="图片加水印"
TOOL_INPUT_NAME="要加水印的图片"
TOOL_FILTER="图片文件 | *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.webp *.bmp *.tif *.tiff"
TOOL_OUTPUT_SUFFIX="水印"
FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
TEXT="仅供内部使用"
POSITION=右下
POSITIONS=(右下 左下 右上 左上 居中)
declare -A GRAVITY=([右下]=SouthEast [左下]=SouthWest [右上]=NorthEast [左上]=NorthWest [居中]=Center)

tool_needs() {
  qb_need convert imagemagick
  qb_need identify imagemagick
  [ -r "$FONT" ] || qb_fail 3 "缺少中文字体，请先安装 Debian 软件包 fonts-wqy-microhei（sudo apt-get install fonts-wqy-microhei）。"
}

tool_check() { qb_expect_image "$1"; }

tool_options() {
  local answer
  answer=$(qb_ask "请输入水印文字：" "$TEXT") || return 1
  [ -n "${answer// /}" ] || { qb_error_window "水印文字不能为空。"; return 1; }
  TEXT=$answer
  POSITION=$(qb_pick "请选择水印位置：" "$POSITION" "${POSITIONS[@]}") || return 1
  [ -n "$POSITION" ] || return 1
}

# Batch options: the text (default 仅供内部使用), then 右下, 左下, 右上, 左上 or 居中 (default 右下).
tool_batch_options() {
  [ $# -ge 1 ] && TEXT=$1
  [ -n "${TEXT// /}" ] || qb_fail 1 "水印文字不能为空。"
  [ $# -ge 2 ] && POSITION=$2
  [ -n "${GRAVITY[$POSITION]:-}" ] || qb_fail 1 "水印位置只能是 右下、左下、右上、左上 或 居中：$POSITION"
}

tool_output() {
  local ext=png name
  name=$(basename -- "$1")
  case $name in *.*) ext=${name##*.} ;; esac
  qb_output_beside "$1" "$TOOL_OUTPUT_SUFFIX" "${ext,,}"
}

tool_run() {
  local input=$1 output=$2 temp w h points margin
  read -r w h <<<"$(identify -format '%w %h' -- "${input}[0]")"
  # Letters about a twentieth of the shorter side: readable on a photo, not covering it.
  points=$(((w < h ? w : h) / 20))
  [ "$points" -ge 12 ] || points=12
  margin=$((points / 2))
  [ "$POSITION" = 居中 ] && margin=0
  temp=$(qb_temp_beside "$output")
  echo "20"
  echo "# 正在添加水印……"
  # ImageMagick reads %w, \n and a leading @ (a file to read) in the text: escaped, the text is
  # written as typed.
  local text=${TEXT//\\/\\\\}
  text=${text//%/%%}
  [[ $text == @* ]] && text="\\$text"
  # White letters with a dark outline, both half transparent, show on light and dark pictures.
  convert -- "${input}[0]" -auto-orient -font "$FONT" -pointsize "$points" -gravity "${GRAVITY[$POSITION]}" \
    -fill 'rgba(255,255,255,0.55)' -stroke 'rgba(0,0,0,0.35)' -strokewidth $((points / 24 + 1)) \
    -annotate "+$margin+$margin" "$text" -quality 92 "$temp" 2>"$QB_WORK/convert.log" ||
    { rm -f -- "$temp"; qb_fail 5 "添加水印失败：$(qb_log_tail "$QB_WORK/convert.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

qb_main "$@"
