#!/bin/bash
# 图片格式转换: converts a picture to JPG, PNG, WebP, BMP, TIFF or GIF.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="图片格式转换"
TOOL_INPUT_NAME="要转换的图片"
TOOL_FILTER="图片文件 | *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.webp *.WEBP *.bmp *.BMP *.tif *.tiff *.gif *.GIF *.ico *.heic *.HEIC"
FORMAT=jpg
FORMATS=(jpg png webp bmp tiff gif)
declare -A FORMAT_TEXT=([jpg]="JPG（照片，体积小）" [png]="PNG（无损，支持透明）" [webp]="WebP（网页用，体积最小）"
  [bmp]="BMP（未压缩位图）" [tiff]="TIFF（印刷、扫描存档）" [gif]="GIF（256 色，支持动画）")

tool_needs() { qb_need convert imagemagick; }

tool_check() { qb_expect_image "$1"; }

tool_options() {
  local chosen key entries=()
  for key in "${FORMATS[@]}"; do entries+=("${FORMAT_TEXT[$key]}"); done
  chosen=$(qb_pick "请选择要转换成的格式：" "${FORMAT_TEXT[$FORMAT]}" "${entries[@]}") || return 1
  for key in "${FORMATS[@]}"; do if [ "${FORMAT_TEXT[$key]}" = "$chosen" ]; then FORMAT=$key; fi; done
}

tool_output() { qb_output_beside "$1" "转换" "$FORMAT"; }

tool_run() {
  local input=$1 output=$2 temp ext frames=("${1}[0]") args=()
  ext=${output##*.}
  ext=${ext,,}
  case $ext in
    jpg | jpeg | bmp) args=(-background white -alpha remove -alpha off) ;;  # no transparency there
    gif | tif | tiff) frames=("$input") ;;  # these hold several frames or pages: keep them all
    png | webp) ;;
    *) qb_fail 1 "输出只能是 jpg、png、webp、bmp、tiff 或 gif：$(basename -- "$output")" ;;
  esac
  [ "$ext" = jpg ] || [ "$ext" = jpeg ] || [ "$ext" = webp ] && args+=(-quality 92)
  temp=$(qb_temp_beside "$output")
  echo "20"
  echo "# 正在转换为 ${ext^^}……"
  convert -- "${frames[@]}" -auto-orient "${args[@]}" "$temp" 2>"$QB_WORK/convert.log" ||
    { rm -f -- "$temp"; qb_fail 5 "转换失败：$(qb_log_tail "$QB_WORK/convert.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

qb_main "$@"
