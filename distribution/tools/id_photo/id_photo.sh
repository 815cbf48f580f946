#!/bin/bash
# 证件照制作: crops a portrait to 一寸 or 二寸 at 300 dpi and gives it a white, blue or red background.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="证件照制作"
TOOL_INPUT_NAME="人像照片（纯色背景）"
TOOL_FILTER="图片文件 | *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.webp *.bmp *.heic"
SIZE=一寸
COLOUR=蓝
declare -A PIXELS=([一寸]=295x413 [二寸]=413x579)
declare -A SIZE_TEXT=([一寸]="一寸（25×35 毫米，295×413 像素）" [二寸]="二寸（35×49 毫米，413×579 像素）")
declare -A HEX=([白]="#FFFFFF" [蓝]="#438EDB" [红]="#D9001B")
declare -A COLOUR_TEXT=([白]="白色背景" [蓝]="蓝色背景" [红]="红色背景")
# How far a background pixel may be from the corner's colour and still count as background.
FUZZ=10%

tool_needs() { qb_need convert imagemagick; }

tool_check() { qb_expect_image "$1"; }

tool_options() {
  local chosen key
  chosen=$(qb_pick "请选择证件照尺寸：" "${SIZE_TEXT[$SIZE]}" "${SIZE_TEXT[一寸]}" "${SIZE_TEXT[二寸]}") || return 1
  for key in "${!SIZE_TEXT[@]}"; do if [ "${SIZE_TEXT[$key]}" = "$chosen" ]; then SIZE=$key; fi; done
  chosen=$(qb_pick "请选择背景颜色（原照片背景应为纯色）：" "${COLOUR_TEXT[$COLOUR]}" "${COLOUR_TEXT[白]}" \
    "${COLOUR_TEXT[蓝]}" "${COLOUR_TEXT[红]}") || return 1
  for key in "${!COLOUR_TEXT[@]}"; do if [ "${COLOUR_TEXT[$key]}" = "$chosen" ]; then COLOUR=$key; fi; done
}

# Batch options, in any order: 一寸 or 二寸 (default 一寸), 白, 蓝 or 红 (default 蓝).
tool_batch_options() {
  local option
  for option in "$@"; do
    if [ -n "${PIXELS[$option]:-}" ]; then
      SIZE=$option
    elif [ -n "${HEX[$option]:-}" ]; then
      COLOUR=$option
    else
      qb_fail 1 "选项只能是尺寸（一寸、二寸）或背景颜色（白、蓝、红）：$option"
    fi
  done
}

tool_output() { qb_output_beside "$1" "证件照${SIZE}${COLOUR}底" jpg; }

tool_run() {
  local input=$1 output=$2 temp size w h bg
  size=${PIXELS[$SIZE]}
  w=${size%x*}
  h=${size#*x}
  temp=$(qb_temp_beside "$output")
  echo "10"
  echo "# 正在裁剪为${SIZE}……"
  convert -- "${input}[0]" -auto-orient -alpha remove -alpha off -resize "${size}^" -gravity center \
    -extent "$size" +repage "$QB_WORK/cropped.png" 2>"$QB_WORK/convert.log" ||
    qb_fail 5 "裁剪失败：$(qb_log_tail "$QB_WORK/convert.log")"
  echo "50"
  echo "# 正在更换背景颜色……"
  # The top-left corner is background in a portrait; the fill starts from every corner of that
  # colour, so shoulders reaching a bottom corner keep theirs.
  bg=$(convert "$QB_WORK/cropped.png" -format '%[pixel:p{0,0}]' info: 2>/dev/null)
  convert "$QB_WORK/cropped.png" -fuzz "$FUZZ" -fill "${HEX[$COLOUR]}" \
    -floodfill +0+0 "$bg" -floodfill +$((w - 1))+0 "$bg" -floodfill +0+$((h - 1)) "$bg" \
    -floodfill +$((w - 1))+$((h - 1)) "$bg" -units PixelsPerInch -density 300 -quality 95 "$temp" \
    2>"$QB_WORK/convert.log" ||
    { rm -f -- "$temp"; qb_fail 5 "更换背景失败：$(qb_log_tail "$QB_WORK/convert.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

tool_done() {
  qb_info_window "证件照已制作完成（${SIZE_TEXT[$SIZE]}，${COLOUR_TEXT[$COLOUR]}，300 dpi）。
已保存到：$2
若背景没有完全换掉，请用背景更均匀的照片再试。"
}

qb_main "$@"
