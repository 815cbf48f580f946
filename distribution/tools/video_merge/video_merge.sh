#!/bin/bash
# 视频合并: joins several videos, in order, into one mp4 at the first video's size.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="视频合并"
TOOL_INPUT_NAME="要合并的视频（可多选）"
TOOL_FILTER="视频文件 | *.mp4 *.MP4 *.mkv *.mov *.MOV *.avi *.wmv *.flv *.webm *.m4v *.ts *.3gp *.mpg *.mpeg"
TOOL_OUTPUT_SUFFIX="合并"
TOOL_OUTPUT_EXT="mp4"
QB_MULTIPLE=1

tool_needs() {
  qb_need ffmpeg ffmpeg
  qb_need ffprobe ffmpeg
}

tool_check() { qb_expect_video "$1"; }

# The chooser's order is not the user's: the files are joined in name order, shown first.
tool_options() {
  [ ${#QB_INPUTS[@]} -ge 2 ] || { qb_error_window "请至少选择两个视频（按住 Ctrl 可以多选）。"; return 1; }
  mapfile -t QB_INPUTS < <(printf '%s\n' "${QB_INPUTS[@]}" | LC_ALL=C sort)
  local rows=() i=1 path
  for path in "${QB_INPUTS[@]}"; do
    rows+=("$i" "$(basename -- "$path")" "$(qb_clock "$(qb_media_duration "$path")")")
    i=$((i + 1))
  done
  zenity --list --title="$TOOL_TITLE" --text="将按以下顺序合并（按文件名排序；需要别的顺序请先给文件改名）：" \
    --column="顺序" --column="文件" --column="时长" --ok-label="开始合并" --cancel-label="取消" \
    --width=560 --height=360 "${rows[@]}" >/dev/null 2>&1
}

qb_clock() { awk -v s="$1" 'BEGIN { s = int(s + 0.5); printf "%02d:%02d:%02d\n", s / 3600, (s % 3600) / 60, s % 60 }'; }

# The first video's frame rate as ffmpeg writes it (30000/1001, 25, ...); 30 when it has none.
qb_frame_rate() {
  local rate
  rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=avg_frame_rate -of csv=p=0 -- "$1" 2>/dev/null | head -n 1)
  if awk -v r="$rate" 'BEGIN { split(r, f, "/"); if (f[2] == "") f[2] = 1; exit !(f[2] > 0 && f[1] / f[2] >= 1 && f[1] / f[2] <= 120) }'; then
    echo "$rate"
  else
    echo 30
  fi
}

qb_video_size() {
  ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 -- "$1" 2>/dev/null | head -n 1
}

# LIST holds the videos, one a line. Each is scaled into the first one's frame (letterboxed),
# given its frame rate and one sound format, then all are joined by the concat filter.
tool_run() {
  local list=$1 output=$2 temp inputs=() files=() size width height filter="" joined="" total=0 n=0
  local any_audio=0 path duration extra rate
  mapfile -t files <"$list"
  for path in "${files[@]}"; do qb_stream_types "$path" | grep -qx audio && any_audio=1; done
  size=$(qb_video_size "${files[0]}")
  width=$(( ${size%x*} / 2 * 2 ))
  height=$(( ${size#*x} / 2 * 2 ))
  rate=$(qb_frame_rate "${files[0]}")
  extra=${#files[@]}
  for path in "${files[@]}"; do
    inputs+=(-i "$path")
  done
  for path in "${files[@]}"; do
    duration=$(qb_media_duration "$path")
    total=$(awk -v a="$total" -v b="$duration" 'BEGIN { printf "%.3f\n", a + b }')
    filter+="[$n:v:0]scale=$width:$height:force_original_aspect_ratio=decrease,pad=$width:$height:(ow-iw)/2:(oh-ih)/2,setsar=1,fps=$rate,format=yuv420p[v$n];"
    if [ "$any_audio" = 1 ]; then
      if qb_stream_types "$path" | grep -qx audio; then
        filter+="[$n:a:0]aresample=48000,aformat=sample_fmts=fltp:channel_layouts=stereo,apad,atrim=0:${duration}[a$n];"
      else
        # A silent part keeps the sound in step with the pictures.
        inputs+=(-f lavfi -t "$duration" -i "anullsrc=r=48000:cl=stereo")
        filter+="[$extra:a]aformat=sample_fmts=fltp:channel_layouts=stereo[a$n];"
        extra=$((extra + 1))
      fi
      joined+="[v$n][a$n]"
    else
      joined+="[v$n]"
    fi
    n=$((n + 1))
  done
  local maps=(-map '[v]') audio=()
  if [ "$any_audio" = 1 ]; then
    filter+="${joined}concat=n=$n:v=1:a=1[v][a]"
    maps+=(-map '[a]')
    audio=(-c:a aac -b:a 160k)
  else
    filter+="${joined}concat=n=$n:v=1:a=0[v]"
  fi
  temp=$(qb_temp_beside "$output")
  echo "# 正在合并 $n 个视频（${width}×${height}）……"
  qb_ffmpeg "$total" "${inputs[@]}" -filter_complex "$filter" "${maps[@]}" \
    -c:v libx264 -preset medium -crf 21 "${audio[@]}" -movflags +faststart -f mp4 "$temp"
  qb_publish "$temp" "$output"
}

qb_main "$@"
