#!/bin/bash
# 视频去水印: blurs a logo away from a rectangle of the picture with ffmpeg's delogo filter.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频去水印"
TOOL_INPUT_NAME="要去水印的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_SUFFIX="去水印"
TOOL_OUTPUT_EXT="mp4"
BOX=""   # "X Y W H" in pixels; empty: the top-right corner

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() { qb_expect_video "$1"; }

qb_video_size() {
  ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 -- "$1" 2>/dev/null | head -n 1
}

# A corner box a fifth of the width and an eighth of the height, where logos usually sit.
qb_corner_box() {
  local corner=$1 width=$2 height=$3 w h margin x y
  w=$((width / 5)); h=$((height / 8)); margin=$((width / 50 + 1))
  case $corner in
    右上角) x=$((width - w - margin)); y=$margin ;;
    左上角) x=$margin; y=$margin ;;
    右下角) x=$((width - w - margin)); y=$((height - h - margin)) ;;
    左下角) x=$margin; y=$((height - h - margin)) ;;
  esac
  echo "$x $y $w $h"
}

tool_options() {
  local size width height corner answer
  size=$(qb_video_size "${QB_INPUTS[0]}")
  width=${size%x*}; height=${size#*x}
  corner=$(qb_pick "水印在画面的哪个位置？（视频大小 ${width}×${height}）" 右上角 右上角 左上角 右下角 左下角 "自定义区域") ||
    return 1
  [ -n "$corner" ] || return 1
  if [ "$corner" != "自定义区域" ]; then
    BOX=$(qb_corner_box "$corner" "$width" "$height")
    return
  fi
  local def
  read -r -a def <<<"$(qb_corner_box 右上角 "$width" "$height")"
  answer=$(zenity --forms --title="$TOOL_TITLE" --ok-label="确定" --cancel-label="取消" --separator=" " \
    --text="请输入水印所在的矩形（单位：像素，左上角为 0,0；视频大小 ${width}×${height}；默认 ${def[*]}）：" \
    --add-entry="左边距 X" --add-entry="上边距 Y" --add-entry="宽度 W" --add-entry="高度 H" 2>/dev/null) || return 1
  local values
  read -r -a values <<<"$answer"
  [ ${#values[@]} -eq 4 ] || values=("${def[@]}")
  BOX="${values[*]}"
}

# Batch options: X Y W H in pixels (default: a box in the top-right corner).
tool_batch_options() {
  [ $# -eq 0 ] && return
  [ $# -eq 4 ] || qb_fail 1 "区域要写成四个数：X Y W H（像素）"
  BOX="$*"
}

tool_run() {
  local input=$1 output=$2 temp size width height x y w h audio=()
  size=$(qb_video_size "$input")
  width=${size%x*}; height=${size#*x}
  [ -n "$BOX" ] || BOX=$(qb_corner_box 右上角 "$width" "$height")
  read -r x y w h <<<"$BOX"
  local v
  for v in "$x" "$y" "$w" "$h"; do
    [[ $v =~ ^[0-9]+$ ]] || qb_fail 1 "区域的 X Y W H 必须是不小于 0 的整数像素：$BOX"
  done
  # delogo needs a one-pixel border of real picture around the box, so the box is kept inside it.
  [ "$x" -lt 1 ] && { w=$((w - 1 + x)); x=1; }
  [ "$y" -lt 1 ] && { h=$((h - 1 + y)); y=1; }
  [ $((x + w)) -gt $((width - 1)) ] && w=$((width - 1 - x))
  [ $((y + h)) -gt $((height - 1)) ] && h=$((height - 1 - y))
  [ "$w" -ge 2 ] && [ "$h" -ge 2 ] ||
    qb_fail 2 "区域 $BOX 不在画面（${width}×${height}）之内"
  temp=$(qb_temp_beside "$output")
  qb_stream_types "$input" | grep -qx audio && audio=(-c:a copy)
  echo "# 正在去除区域 X=$x Y=$y 宽=$w 高=$h 中的水印……"
  qb_ffmpeg "$(qb_media_duration "$input")" -i "$input" -map 0:v:0 -map '0:a:0?' \
    -vf "delogo=x=$x:y=$y:w=$w:h=$h,scale=trunc(iw/2)*2:trunc(ih/2)*2" \
    -c:v libx264 -preset medium -crf 20 -pix_fmt yuv420p "${audio[@]}" -movflags +faststart -f mp4 "$temp"
  qb_publish "$temp" "$output"
}

qb_main "$@"
