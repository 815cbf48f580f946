#!/bin/bash
# 视频提取音频: saves the sound track of a video as an mp3, m4a or wav file.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频提取音频"
TOOL_INPUT_NAME="要提取声音的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_SUFFIX="音频"
FORMAT=mp3
FORMAT_CHOSEN=0
declare -A FORMAT_TEXT=([mp3]="MP3（最通用）" [m4a]="M4A（AAC，体积小音质好）" [wav]="WAV（无损，文件大）")

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() {
  qb_expect_video "$1"
  qb_stream_types "$1" | grep -qx audio || qb_fail 2 "这个视频没有声音（没有音轨），无法提取音频：$(basename -- "$1")"
}

tool_options() {
  local chosen key
  chosen=$(qb_pick "请选择音频格式：" "${FORMAT_TEXT[mp3]}" "${FORMAT_TEXT[mp3]}" "${FORMAT_TEXT[m4a]}" \
    "${FORMAT_TEXT[wav]}") || return 1
  [ -n "$chosen" ] || return 1
  for key in "${!FORMAT_TEXT[@]}"; do [ "${FORMAT_TEXT[$key]}" = "$chosen" ] && FORMAT=$key; done
  return 0
}

tool_output() { qb_output_beside "$1" "$TOOL_OUTPUT_SUFFIX" "$FORMAT"; }

qb_known_format() { [ -n "$1" ] && [ -n "${FORMAT_TEXT[${1,,}]:-}" ]; }

# Batch option: mp3, m4a or wav (default: OUTPUT's extension when it is one of them, else mp3).
tool_batch_options() {
  [ $# -eq 0 ] && return
  qb_known_format "$1" || qb_fail 1 "格式只能是 mp3、m4a 或 wav：$1"
  FORMAT=${1,,}
  FORMAT_CHOSEN=1
}

tool_run() {
  local input=$1 output=$2 temp out_ext="" args=()
  case $(basename -- "$output") in *.*) out_ext=${output##*.} ;; esac
  out_ext=${out_ext,,}
  if qb_known_format "$out_ext"; then
    [ "$FORMAT_CHOSEN" = 1 ] && [ "$out_ext" != "$FORMAT" ] &&
      qb_fail 1 "输出文件的扩展名 .$out_ext 与格式 $FORMAT 不一致"
    FORMAT=$out_ext
  fi
  case $FORMAT in
    mp3) args=(-c:a libmp3lame -q:a 2 -f mp3) ;;
    m4a) args=(-c:a aac -b:a 192k -movflags +faststart -f ipod) ;;
    wav) args=(-c:a pcm_s16le -f wav) ;;
  esac
  temp=$(qb_temp_beside "$output")
  echo "# 正在提取声音（${FORMAT_TEXT[$FORMAT]}）……"
  qb_ffmpeg "$(qb_media_duration "$input")" -i "$input" -map 0:a:0 -vn -sn "${args[@]}" "$temp"
  qb_publish "$temp" "$output"
}

qb_main "$@"
