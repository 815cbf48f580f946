#!/bin/bash
# 视频转GIF: an animated GIF of a video, with a palette made from the video itself.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频转GIF"
TOOL_INPUT_NAME="要转成动图的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_SUFFIX="动图"
TOOL_OUTPUT_EXT="gif"
WIDTH=480
FPS=10

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() { qb_expect_video "$1"; }

qb_check_numbers() {
  [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge 16 ] && [ "$1" -le 1920 ] || qb_fail 1 "宽度应为 16 到 1920 之间的整数像素：$1"
  [[ $2 =~ ^[0-9]+$ ]] && [ "$2" -ge 1 ] && [ "$2" -le 30 ] || qb_fail 1 "帧率应为 1 到 30 之间的整数：$2"
}

tool_options() {
  local answer values
  answer=$(zenity --forms --title="$TOOL_TITLE" --ok-label="确定" --cancel-label="取消" --separator="|" \
    --text="动图越宽、帧率越高，文件越大。不选则用默认值。" \
    --add-combo="宽度（像素，默认 $WIDTH）" --combo-values="320|480|640|800" \
    --add-combo="帧率（每秒帧数，默认 $FPS）" --combo-values="5|10|15|20" 2>/dev/null) || return 1
  IFS='|' read -r -a values <<<"$answer"
  # An untouched combo comes back empty: its default stays.
  [[ ${values[0]:-} =~ ^[0-9]+$ ]] && WIDTH=${values[0]}
  [[ ${values[1]:-} =~ ^[0-9]+$ ]] && FPS=${values[1]}
  return 0
}

# Batch options: WIDTH in pixels (default 480) and FPS (default 10); the height follows the width.
tool_batch_options() {
  WIDTH=${1:-480}
  FPS=${2:-10}
  qb_check_numbers "$WIDTH" "$FPS"
}

tool_run() {
  local input=$1 output=$2 temp
  temp=$(qb_temp_beside "$output")
  echo "# 正在生成 ${WIDTH} 像素宽、每秒 ${FPS} 帧的动图……"
  # One pass: the frames are split, one copy makes the 256-colour palette, the other is mapped onto it.
  qb_ffmpeg "$(qb_media_duration "$input")" -i "$input" -map 0:v:0 -an \
    -filter_complex "[0:v:0]fps=$FPS,scale=$WIDTH:-1:flags=lanczos,split[a][b];[a]palettegen=stats_mode=diff[p];[b][p]paletteuse=dither=bayer:bayer_scale=5:diff_mode=rectangle" \
    -loop 0 -f gif "$temp"
  qb_publish "$temp" "$output"
}

qb_main "$@"
