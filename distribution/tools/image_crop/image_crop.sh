#!/bin/bash
# 图片旋转裁剪: rotates a picture by quarter turns and crops it to a rectangle or a ratio.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="图片旋转裁剪"
TOOL_INPUT_NAME="要旋转或裁剪的图片"
TOOL_FILTER="图片文件 | *.jpg *.JPG *.jpeg *.JPEG *.png *.PNG *.webp *.bmp *.tif *.tiff *.gif"
TOOL_OUTPUT_SUFFIX="裁剪"
ROTATE=0
CROP=""   # "WxH+X+Y", a ratio "W:H" (the largest centred area), or empty
declare -A ROTATE_TEXT=([0]="不旋转" [90]="顺时针旋转 90°" [180]="旋转 180°" [270]="逆时针旋转 90°（270°）")
RATIOS=("不裁剪" "1:1（正方形）" "4:3" "3:4" "16:9" "9:16" "3:2" "2:3" "自定义区域（宽x高+X+Y）")

tool_needs() {
  qb_need convert imagemagick
  qb_need identify imagemagick
}

tool_check() { qb_expect_image "$1"; }

# The upright picture's size after the rotation, "W H".
rotated_size() {
  local w h
  read -r w h <<<"$(convert -- "${1}[0]" -auto-orient -format '%w %h' info: 2>/dev/null)"
  if [ "$ROTATE" = 90 ] || [ "$ROTATE" = 270 ]; then echo "$h $w"; else echo "$w $h"; fi
}

# Checks CROP against the rotated picture; prints the crop geometry, or nothing for no crop.
crop_geometry() {
  local input=$1 w h cw ch cx cy rw rh
  [ -n "$CROP" ] || return 0
  read -r w h <<<"$(rotated_size "$input")"
  if [[ $CROP =~ ^([0-9]+)[:：]([0-9]+)$ ]]; then
    rw=${BASH_REMATCH[1]} rh=${BASH_REMATCH[2]}
    [ "$rw" -ge 1 ] && [ "$rh" -ge 1 ] || qb_fail 1 "比例写法有误：$CROP"
    # The widest area of that shape, centred.
    if [ $((w * rh)) -ge $((h * rw)) ]; then ch=$h cw=$((h * rw / rh)); else cw=$w ch=$((w * rh / rw)); fi
    [ "$cw" -ge 1 ] && [ "$ch" -ge 1 ] || qb_fail 2 "图片太小，无法按 $CROP 裁剪"
    printf '%dx%d+%d+%d\n' "$cw" "$ch" $(((w - cw) / 2)) $(((h - ch) / 2))
  elif [[ $CROP =~ ^([0-9]+)[xX×]([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
    cw=${BASH_REMATCH[1]} ch=${BASH_REMATCH[2]} cx=${BASH_REMATCH[3]} cy=${BASH_REMATCH[4]}
    [ "$cw" -ge 1 ] && [ "$ch" -ge 1 ] && [ $((cx + cw)) -le "$w" ] && [ $((cy + ch)) -le "$h" ] ||
      qb_fail 2 "裁剪区域 $CROP 超出了图片范围（旋转后为 ${w}×${h} 像素）"
    printf '%dx%d+%d+%d\n' "$cw" "$ch" "$cx" "$cy"
  else
    qb_fail 1 "裁剪写成 宽x高+X+Y（例如 800x600+0+0）或比例（例如 16:9）：$CROP"
  fi
}

tool_options() {
  local chosen key w h answer input=${QB_INPUTS[0]}
  chosen=$(qb_pick "请选择旋转方向：" "${ROTATE_TEXT[0]}" "${ROTATE_TEXT[0]}" "${ROTATE_TEXT[90]}" \
    "${ROTATE_TEXT[180]}" "${ROTATE_TEXT[270]}") || return 1
  for key in "${!ROTATE_TEXT[@]}"; do if [ "${ROTATE_TEXT[$key]}" = "$chosen" ]; then ROTATE=$key; fi; done
  read -r w h <<<"$(rotated_size "$input")"
  chosen=$(qb_pick "旋转后图片为 ${w}×${h} 像素。请选择裁剪方式：" "${RATIOS[0]}" "${RATIOS[@]}") || return 1
  case $chosen in
    "" | 不裁剪) CROP="" ;;
    自定义*)
      while :; do
        answer=$(qb_ask "旋转后图片为 ${w}×${h} 像素。请输入裁剪区域 宽x高+X+Y（X、Y 为左上角位置）：" \
          "$((w / 2))x$((h / 2))+$((w / 4))+$((h / 4))") || return 1
        CROP=$answer
        (crop_geometry "$input" >/dev/null) && break
      done
      ;;
    *) CROP=${chosen%%（*} ;;
  esac
  [ "$ROTATE" != 0 ] || [ -n "$CROP" ] || { qb_error_window "没有选择旋转，也没有选择裁剪。"; return 1; }
}

# Batch options: the rotation 0, 90, 180 or 270 (clockwise, default 0), then a crop WxH+X+Y or a
# ratio such as 16:9 (default none).
tool_batch_options() {
  if [ $# -ge 1 ]; then
    [ -n "${ROTATE_TEXT[$1]:-}" ] || qb_fail 1 "旋转角度只能是 0、90、180 或 270：$1"
    ROTATE=$1
  fi
  [ $# -ge 2 ] && CROP=$2
  crop_geometry "${QB_INPUTS[0]}" >/dev/null
}

tool_output() {
  local ext=png name
  name=$(basename -- "$1")
  case $name in *.*) ext=${name##*.} ;; esac
  qb_output_beside "$1" "$TOOL_OUTPUT_SUFFIX" "${ext,,}"
}

tool_run() {
  local input=$1 output=$2 temp geometry args=()
  geometry=$(crop_geometry "$input") || exit $?
  [ -n "$geometry" ] && args=(-crop "$geometry" +repage)
  temp=$(qb_temp_beside "$output")
  echo "20"
  echo "# 正在处理……"
  convert -- "${input}[0]" -auto-orient -rotate "$ROTATE" +repage "${args[@]}" -quality 92 "$temp" \
    2>"$QB_WORK/convert.log" ||
    { rm -f -- "$temp"; qb_fail 5 "处理失败：$(qb_log_tail "$QB_WORK/convert.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

qb_main "$@"
