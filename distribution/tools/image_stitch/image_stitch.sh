#!/bin/bash
# 图片拼接: joins several pictures into one, top to bottom or side by side.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="图片拼接"
TOOL_INPUT_NAME="要拼接的图片（可多选，按住 Ctrl 选择）"
TOOL_FILTER="图片文件 | *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.webp *.bmp *.tif *.tiff *.gif"
TOOL_OUTPUT_SUFFIX="拼接"
QB_MULTIPLE=1
DIRECTION=竖
declare -A DIRECTION_TEXT=([竖]="竖向拼接（从上到下，统一宽度）" [横]="横向拼接（从左到右，统一高度）")

tool_needs() { qb_need convert imagemagick; }

tool_check() { qb_expect_image "$1"; }

tool_options() {
  local chosen key
  [ ${#QB_INPUTS[@]} -ge 2 ] || { qb_error_window "请至少选择两张图片。"; return 1; }
  chosen=$(qb_pick "请选择拼接方向（按文件名顺序拼接）：" "${DIRECTION_TEXT[$DIRECTION]}" "${DIRECTION_TEXT[竖]}" \
    "${DIRECTION_TEXT[横]}") || return 1
  for key in "${!DIRECTION_TEXT[@]}"; do if [ "${DIRECTION_TEXT[$key]}" = "$chosen" ]; then DIRECTION=$key; fi; done
}

# Batch option: 竖 (top to bottom, the default) or 横 (side by side).
tool_batch_options() {
  [ $# -eq 0 ] && return
  [ -n "${DIRECTION_TEXT[$1]:-}" ] || qb_fail 1 "拼接方向只能是 竖 或 横：$1"
  DIRECTION=$1
}

# A photo stays a JPEG; anything else becomes a PNG.
tool_output() {
  local ext=png
  case ${1,,} in *.jpg | *.jpeg) ext=jpg ;; esac
  qb_output_beside "$1" "$TOOL_OUTPUT_SUFFIX" "$ext"
}

tool_run() {
  local list=$1 output=$2 files=() file temp size smallest="" geometry append
  mapfile -t files < <(LC_ALL=C sort -- "$list")
  # The narrowest (or lowest) picture sets the common size, so none is blown up and blurred.
  for file in "${files[@]}"; do
    if [ "$DIRECTION" = 竖 ]; then
      size=$(identify -format '%w' -- "${file}[0]")
    else
      size=$(identify -format '%h' -- "${file}[0]")
    fi
    [ -z "$smallest" ] || [ "$size" -lt "$smallest" ] && smallest=$size
  done
  if [ "$DIRECTION" = 竖 ]; then geometry="${smallest}x" append=-append; else geometry="x${smallest}" append=+append; fi
  local frames=()
  for file in "${files[@]}"; do frames+=("${file}[0]"); done
  temp=$(qb_temp_beside "$output")
  echo "20"
  echo "# 正在拼接 ${#files[@]} 张图片……"
  convert -- "${frames[@]}" -auto-orient -resize "$geometry" -background white -alpha remove -alpha off \
    "$append" +repage -quality 92 "$temp" 2>"$QB_WORK/convert.log" ||
    { rm -f -- "$temp"; qb_fail 5 "拼接失败：$(qb_log_tail "$QB_WORK/convert.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

qb_main "$@"
