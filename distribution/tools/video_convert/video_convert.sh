#!/bin/bash
# 视频格式转换: re-encodes a video into the container and codecs a chosen format expects.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频格式转换"
TOOL_INPUT_NAME="要转换的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_SUFFIX="转换"
FORMAT=mp4
FORMATS=(mp4 mkv webm mov avi mp3)
declare -A FORMAT_TEXT=([mp4]="MP4（H.264，最通用）" [mkv]="MKV（H.264）" [webm]="WebM（VP9，网页用）"
  [mov]="MOV（H.264，苹果设备）" [avi]="AVI（MPEG-4，旧播放器）" [mp3]="MP3（只保留声音）")

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() { qb_expect_video "$1"; }

tool_options() {
  local chosen key rows=()
  for key in "${FORMATS[@]}"; do rows+=("${FORMAT_TEXT[$key]}"); done
  chosen=$(qb_pick "请选择要转换成的格式：" "${FORMAT_TEXT[mp4]}" "${rows[@]}") || return 1
  [ -n "$chosen" ] || return 1
  for key in "${FORMATS[@]}"; do [ "${FORMAT_TEXT[$key]}" = "$chosen" ] && FORMAT=$key; done
  return 0
}

tool_output() { qb_output_beside "$1" "$TOOL_OUTPUT_SUFFIX" "$FORMAT"; }

qb_known_format() { [ -n "$1" ] && [ -n "${FORMAT_TEXT[${1,,}]:-}" ]; }

# Batch option: the target extension (mp4 unless OUTPUT's own extension names a format).
tool_batch_options() {
  [ $# -eq 0 ] && return
  qb_known_format "$1" || qb_fail 1 "格式只能是 ${FORMATS[*]} 之一：$1"
  FORMAT=${1,,}
  FORMAT_CHOSEN=1
}
FORMAT_CHOSEN=0

# OUTPUT's extension decides when no format was named; a contradiction is refused.
qb_resolve_format() {
  local out_ext=""
  case $(basename -- "$1") in *.*) out_ext=${1##*.} ;; esac
  out_ext=${out_ext,,}
  qb_known_format "$out_ext" || return 0
  if [ "$FORMAT_CHOSEN" = 1 ] && [ "$out_ext" != "$FORMAT" ]; then
    qb_fail 1 "输出文件的扩展名 .$out_ext 与目标格式 $FORMAT 不一致"
  fi
  FORMAT=$out_ext
}

tool_run() {
  local input=$1 output=$2 temp has_audio=0 args=()
  qb_resolve_format "$output"
  qb_stream_types "$input" | grep -qx audio && has_audio=1
  if [ "$FORMAT" = mp3 ] && [ "$has_audio" = 0 ]; then
    qb_fail 2 "视频中没有声音，无法转换成 MP3：$(basename -- "$input")"
  fi
  temp=$(qb_temp_beside "$output")
  # Even dimensions: the 4:2:0 sampling every target codec uses needs them.
  local even='scale=trunc(iw/2)*2:trunc(ih/2)*2'
  case $FORMAT in
    mp4 | mov) args=(-map 0:v:0 -map '0:a:0?' -c:v libx264 -preset medium -crf 23 -pix_fmt yuv420p -vf "$even"
      -c:a aac -b:a 160k -movflags +faststart -f "$FORMAT") ;;
    mkv) args=(-map 0:v:0 -map '0:a:0?' -c:v libx264 -preset medium -crf 23 -pix_fmt yuv420p -vf "$even"
      -c:a aac -b:a 160k -f matroska) ;;
    webm) args=(-map 0:v:0 -map '0:a:0?' -c:v libvpx-vp9 -crf 33 -b:v 0 -deadline good -cpu-used 4 -row-mt 1
      -pix_fmt yuv420p -vf "$even" -c:a libopus -b:a 128k -f webm) ;;
    avi) args=(-map 0:v:0 -map '0:a:0?' -c:v mpeg4 -q:v 4 -vtag xvid -pix_fmt yuv420p -vf "$even"
      -c:a libmp3lame -q:a 3 -f avi) ;;
    mp3) args=(-map 0:a:0 -vn -c:a libmp3lame -q:a 2 -f mp3) ;;
  esac
  echo "# 正在把 $(basename -- "$input") 转换为 ${FORMAT_TEXT[$FORMAT]}……"
  qb_ffmpeg "$(qb_media_duration "$input")" -i "$input" "${args[@]}" "$temp"
  qb_publish "$temp" "$output"
}

qb_main "$@"
