#!/bin/bash
# 视频加字幕: burns an .srt subtitle file into the picture, in a font that has Chinese characters.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频加字幕"
TOOL_INPUT_NAME="要加字幕的视频"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_SUFFIX="字幕"
TOOL_OUTPUT_EXT="mp4"
SRT=""
FONT_NAME="WenQuanYi Micro Hei"

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
  qb_need iconv libc-bin
  fc-list 2>/dev/null | grep -q "$FONT_NAME" ||
    qb_fail 3 "缺少中文字体 $FONT_NAME，请先安装 Debian 软件包 fonts-wqy-microhei（sudo apt-get install fonts-wqy-microhei）。"
}

tool_check() { qb_expect_video "$1"; }

# An .srt file: readable and holding at least one "00:00:01,000 --> 00:00:02,000" line.
qb_expect_srt() {
  [ -n "$1" ] || qb_fail 1 "请指定字幕文件（.srt）"
  [ -f "$1" ] || qb_fail 2 "找不到字幕文件：$1"
  [ -r "$1" ] || qb_fail 2 "没有权限读取字幕文件：$1"
  grep -aqE '[0-9]+:[0-9]+:[0-9]+[,.][0-9]+ *--> *[0-9]+:[0-9]+:[0-9]+' -- "$1" ||
    qb_fail 2 "这不是 SRT 字幕文件（没有找到时间轴）：$(basename -- "$1")"
}

# The video first (the file chooser), then the subtitle file, starting beside the video.
tool_options() {
  local video=${QB_INPUTS[0]} start
  start="$(dirname -- "$video")/"
  [ -f "${video%.*}.srt" ] && start="${video%.*}.srt"
  SRT=$(zenity --file-selection --title="$TOOL_TITLE：请选择字幕文件（.srt）" --filename="$start" \
    --file-filter="SRT 字幕 | *.srt *.SRT" --file-filter="所有文件 | *" 2>/dev/null) || return 1
  (qb_expect_srt "$SRT") || return 1
}

# Batch option: the .srt file (required).
tool_batch_options() {
  [ $# -ge 1 ] || qb_fail 1 "批量模式需要字幕文件：--batch 视频 输出 字幕.srt"
  SRT=$1
  qb_expect_srt "$SRT"
}

tool_run() {
  local input=$1 output=$2 temp sub="$QB_WORK/subtitle.srt" audio=()
  # A copy under a plain name spares escaping the user's path inside the filter; subtitles
  # saved in GB18030 (common for Chinese files) are turned into the UTF-8 libass reads.
  if iconv -f UTF-8 -t UTF-8 -- "$SRT" >/dev/null 2>&1; then
    cp -- "$SRT" "$sub"
  else
    iconv -f GB18030 -t UTF-8 -- "$SRT" >"$sub" 2>/dev/null ||
      qb_fail 2 "字幕文件的编码无法识别（请另存为 UTF-8）：$(basename -- "$SRT")"
  fi
  temp=$(qb_temp_beside "$output")
  qb_stream_types "$input" | grep -qx audio && audio=(-c:a copy)
  echo "# 正在把字幕 $(basename -- "$SRT") 加入视频……"
  qb_ffmpeg "$(qb_media_duration "$input")" -i "$input" -map 0:v:0 -map '0:a:0?' \
    -vf "subtitles=filename='$sub':charenc=UTF-8:force_style='FontName=$FONT_NAME',scale=trunc(iw/2)*2:trunc(ih/2)*2" \
    -c:v libx264 -preset medium -crf 20 -pix_fmt yuv420p "${audio[@]}" -movflags +faststart -f mp4 "$temp"
  qb_publish "$temp" "$output"
}

qb_main "$@"
