#!/bin/bash
# 图片去水印: covers a watermark in a chosen rectangle with a smooth blend of the colours around it.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="图片去水印"
TOOL_INPUT_NAME="有水印的图片"
TOOL_FILTER="图片文件 | *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.webp *.bmp *.tif *.tiff"
TOOL_OUTPUT_SUFFIX="去水印"
BOX=""   # "X Y W H"; empty: the bottom-right corner box

tool_needs() {
  qb_need convert imagemagick
  qb_need identify imagemagick
}

tool_check() { qb_expect_image "$1"; }

image_size() { identify -format '%w %h' -- "${1}[0]" 2>/dev/null; }

# Where watermarks usually sit: a quarter of the width, a tenth of the height, bottom right.
default_box() {
  local w h bw bh
  read -r w h <<<"$(image_size "$1")"
  bw=$((w / 4 > 1 ? w / 4 : 1))
  bh=$((h / 10 > 1 ? h / 10 : 1))
  printf '%d %d %d %d\n' $((w - bw)) $((h - bh)) "$bw" "$bh"
}

# Checks "X Y W H" against the picture; sets BOX.
set_box() {
  local text=$1 input=$2 x y w h extra iw ih
  read -r x y w h extra <<<"${text//,/ }"
  [[ ${x:-} =~ ^[0-9]+$ && ${y:-} =~ ^[0-9]+$ && ${w:-} =~ ^[0-9]+$ && ${h:-} =~ ^[0-9]+$ && -z ${extra:-} ]] ||
    qb_fail 1 "水印区域要写成四个整数：X Y 宽 高（例如 600 500 200 80）：$text"
  read -r iw ih <<<"$(image_size "$input")"
  [ "$w" -ge 1 ] && [ "$h" -ge 1 ] && [ $((x + w)) -le "$iw" ] && [ $((y + h)) -le "$ih" ] ||
    qb_fail 2 "水印区域超出了图片范围（图片为 ${iw}×${ih} 像素）：$text"
  [ "$w" -lt "$iw" ] || [ "$h" -lt "$ih" ] || qb_fail 2 "水印区域不能是整张图片：$text"
  BOX="$x $y $w $h"
}

tool_options() {
  local input=${QB_INPUTS[0]} answer iw ih
  read -r iw ih <<<"$(image_size "$input")"
  answer=$(qb_ask "图片为 ${iw}×${ih} 像素。请输入水印所在的矩形区域：
左上角 X、Y，宽度、高度（像素，用空格分隔；默认为右下角）：" "$(default_box "$input")") || return 1
  (set_box "$answer" "$input") || return 1
  set_box "$answer" "$input"
}

# Batch options: X Y W H of the watermark (default: the bottom-right corner box).
tool_batch_options() {
  [ $# -eq 0 ] && return
  set_box "$*" "${QB_INPUTS[0]}"
}

# The same format as the picture, png for a name without an extension.
tool_output() {
  local ext=png name
  name=$(basename -- "$1")
  case $name in *.*) ext=${name##*.} ;; esac
  qb_output_beside "$1" "$TOOL_OUTPUT_SUFFIX" "${ext,,}"
}

tool_run() {
  local input=$1 output=$2 temp x y w h iw ih m ex ey ex2 ey2
  [ -n "$BOX" ] || BOX=$(default_box "$input")
  read -r x y w h <<<"$BOX"
  read -r iw ih <<<"$(image_size "$input")"
  # A ring of surrounding pixels, about a tenth of the box, at least 4: the colours to blend.
  m=$(((w < h ? w : h) / 10))
  [ "$m" -ge 4 ] || m=4
  ex=$((x - m > 0 ? x - m : 0))
  ey=$((y - m > 0 ? y - m : 0))
  ex2=$((x + w + m < iw ? x + w + m : iw))
  ey2=$((y + h + m < ih ? y + h + m : ih))
  temp=$(qb_temp_beside "$output")
  echo "10"
  echo "# 正在用周围的颜色填补水印区域……"
  # The box is made transparent in a crop of box and ring; shrinking that crop averages only the
  # ring (resizing weighs pixels by their alpha), to 2×2 over its 1×1 average so that a cell with
  # no ring in it takes the average; enlarged again it is a smooth gradient of the surroundings.
  local bx=$((x - ex)) by=$((y - ey))
  convert -- "${input}[0]" -auto-orient -crop "$((ex2 - ex))x$((ey2 - ey))+$ex+$ey" +repage -alpha set \
    -region "${w}x${h}+$bx+$by" -alpha transparent +region "$QB_WORK/ring.png" 2>"$QB_WORK/convert.log" ||
    qb_fail 5 "处理失败：$(qb_log_tail "$QB_WORK/convert.log")"
  echo "40"
  convert \( "$QB_WORK/ring.png" -resize '1x1!' -alpha off -scale '2x2!' \) \
    \( "$QB_WORK/ring.png" -resize '2x2!' -channel A -threshold 0 +channel \) -compose over -composite -alpha off \
    -filter Triangle -resize "$((ex2 - ex))x$((ey2 - ey))!" -crop "${w}x${h}+$bx+$by" +repage \
    "$QB_WORK/patch.png" 2>"$QB_WORK/convert.log" ||
    qb_fail 5 "处理失败：$(qb_log_tail "$QB_WORK/convert.log")"
  echo "70"
  convert -- "${input}[0]" -auto-orient "$QB_WORK/patch.png" -geometry "+$x+$y" -compose over -composite \
    -quality 95 "$temp" 2>"$QB_WORK/convert.log" ||
    { rm -f -- "$temp"; qb_fail 5 "处理失败：$(qb_log_tail "$QB_WORK/convert.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

tool_done() {
  qb_info_window "已用周围的颜色覆盖水印区域（$BOX）。
该区域被抹平为平滑的过渡色，原有的细节不会恢复。
已保存到：$2"
}

qb_main "$@"
