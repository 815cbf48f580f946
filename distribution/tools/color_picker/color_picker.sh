#!/bin/bash
# 屏幕取色: tells the colour under the mouse pointer (or at a point of a picture) as #RRGGBB and rgb().
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="屏幕取色"
TOOL_INPUT_NAME="图片"
TOOL_OUTPUT_SUFFIX="颜色"
TOOL_OUTPUT_EXT="txt"
POINT=""   # "X,Y" in the picture; empty: its centre
# Seconds to move the pointer onto the colour after the start button.
DELAY=3

tool_needs() {
  qb_need convert imagemagick
  qb_need identify imagemagick
}

tool_check() { qb_expect_image "$1"; }

# Batch option: the point "X,Y" in pixels (default the centre of the picture).
tool_batch_options() {
  [ $# -eq 0 ] && return
  [[ $1 =~ ^[0-9]+[,，][0-9]+$ ]] || qb_fail 1 "取色位置要写成 X,Y（像素，例如 120,80）：$1"
  POINT=${1/，/,}
}

# "#RRGGBB rgb(r, g, b)" of the pixel X,Y of a picture.
pixel_colour() {
  local r g b
  read -r r g b <<<"$(convert -- "${1}[0]" -crop "1x1+$2+$3" +repage -alpha off -colorspace sRGB \
    -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info: 2>/dev/null)"
  [[ ${b:-} =~ ^[0-9]+$ ]] || return 1
  printf '#%02X%02X%02X rgb(%d, %d, %d)\n' "$r" "$g" "$b" "$r" "$g" "$b"
}

tool_run() {
  local input=$1 output=$2 temp w h x y
  read -r w h <<<"$(identify -format '%w %h' -- "${input}[0]")"
  if [ -n "$POINT" ]; then x=${POINT%,*} y=${POINT#*,}; else x=$((w / 2)) y=$((h / 2)); fi
  [ "$x" -lt "$w" ] && [ "$y" -lt "$h" ] || qb_fail 2 "取色位置 $x,$y 在图片之外（图片为 ${w}×${h} 像素）"
  temp=$(qb_temp_beside "$output")
  pixel_colour "$input" "$x" "$y" >"$temp" || { rm -f -- "$temp"; qb_fail 5 "无法读取位置 $x,$y 的颜色"; }
  qb_publish "$temp" "$output"
}

qb_copy_text() {
  if command -v xclip >/dev/null 2>&1; then
    printf '%s' "$1" | xclip -selection clipboard -i && qb_info_window "已复制：$1"
  else
    qb_error_window "复制需要 xclip，请先安装 Debian 软件包 xclip（sudo apt-get install xclip）。"
  fi
}

# The window: a start button, a few seconds to move the pointer, then the colour under it, read
# from a one-pixel shot of the screen.
tool_window() {
  if [ -z "${DISPLAY:-}" ] || ! command -v zenity >/dev/null 2>&1; then
    echo "${TOOL_TITLE}：需要图形界面和 zenity（sudo apt-get install zenity）；也可以用 --batch 图片 结果.txt [X,Y]" >&2
    exit 3
  fi
  qb_need xdotool xdotool
  qb_need import imagemagick
  tool_needs
  local X Y SCREEN WINDOW colour hex rgb answer i
  zenity --info --no-wrap --title="$TOOL_TITLE" --ok-label="开始取色" \
    --text="点击“开始取色”后，请在 $DELAY 秒内把鼠标指针移到要取色的位置，然后保持不动。" 2>/dev/null || exit 0
  while :; do
    for ((i = 0; i < DELAY * 10; i++)); do
      echo "$((i * 10 / DELAY))"
      echo "# 请把鼠标指针移到要取色的位置……还有 $(((DELAY * 10 - i + 9) / 10)) 秒"
      sleep 0.1
    done | zenity --progress --title="$TOOL_TITLE" --text="请把鼠标指针移到要取色的位置……" --auto-close \
      --no-cancel --ok-label="确定" --width=360 2>/dev/null
    eval "$(xdotool getmouselocation --shell 2>/dev/null)"
    [[ ${X:-} =~ ^[0-9]+$ && ${Y:-} =~ ^[0-9]+$ ]] || qb_fail 5 "无法读取鼠标指针的位置。"
    import -silent -window root -crop "1x1+$X+$Y" +repage "$QB_WORK/pixel.png" 2>"$QB_WORK/import.log" ||
      qb_fail 5 "无法读取屏幕：$(tail -n 1 -- "$QB_WORK/import.log")"
    colour=$(pixel_colour "$QB_WORK/pixel.png" 0 0) || qb_fail 5 "无法读取屏幕颜色。"
    hex=${colour%% *}
    rgb=${colour#* }
    answer=$(zenity --question --no-wrap --title="$TOOL_TITLE" --ok-label="再取一次" --cancel-label="关闭" \
      --extra-button="复制 $hex" --extra-button="复制 $rgb" \
      --text="<span background=\"$hex\" font=\"32\">　　　</span>

位置：$X, $Y
十六进制：<b>$hex</b>
RGB：<b>$rgb</b>" 2>/dev/null)
    case $? in
      0) continue ;;
    esac
    case $answer in
      "复制 $hex") qb_copy_text "$hex" ;;
      "复制 $rgb") qb_copy_text "$rgb" ;;
      *) exit 0 ;;
    esac
    zenity --question --no-wrap --title="$TOOL_TITLE" --ok-label="再取一次" --cancel-label="关闭" \
      --text="要再取一个颜色吗？" 2>/dev/null || exit 0
  done
}

qb_main "$@"
