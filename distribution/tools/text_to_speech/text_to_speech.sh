#!/bin/bash
# 文字转语音: reads a UTF-8 text file aloud into a WAV file.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="文字转语音"
TOOL_INPUT_NAME="文本文件"
TOOL_FILTER="文本文件 | *.txt *.TXT *.text *.md"
TOOL_OUTPUT_SUFFIX="语音"
TOOL_OUTPUT_EXT="wav"

# Words a minute, as espeak-ng counts them; 175 is its own default.
SPEED=175
LANGUAGE=自动

tool_needs() { qb_need espeak-ng espeak-ng; }

tool_check() {
  qb_expect_readable "$1"
  # A text file: valid UTF-8 with no NUL bytes, and something to read.
  if ! iconv -f UTF-8 -t UTF-8 -- "$1" >/dev/null 2>&1 || [ "$(tr -d '\000' <"$1" | wc -c)" -ne "$(qb_file_size "$1")" ]; then
    qb_fail 2 "这不是 UTF-8 编码的文本文件：$(basename -- "$1")"
  fi
  [ -n "$(tr -d '[:space:]' <"$1")" ] || qb_fail 2 "文本文件中没有文字：$(basename -- "$1")"
}

speed_of() {
  case $1 in
    慢) echo 130 ;;
    中 | 正常) echo 175 ;;
    快) echo 230 ;;
    *)
      [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge 80 ] && [ "$1" -le 450 ] && echo "$1" && return
      return 1
      ;;
  esac
}

tool_options() {
  local choice
  choice=$(qb_pick "朗读的语言：" "自动（按文字判断）" "自动（按文字判断）" "中文（普通话）" "英文") || return 1
  case $choice in 中文*) LANGUAGE=中文 ;; 英文) LANGUAGE=英文 ;; *) LANGUAGE=自动 ;; esac
  choice=$(qb_pick "语速：" "正常" "慢" "正常" "快") || return 1
  SPEED=$(speed_of "$choice")
}

# Options after OUTPUT, in any order: 自动|中文|英文 and 慢|中|快 or words a minute (80-450).
tool_batch_options() {
  local option
  for option in "$@"; do
    case $option in
      自动 | 中文 | 英文) LANGUAGE=$option ;;
      *) SPEED=$(speed_of "$option") || qb_fail 1 "不认识的选项：$option（语言：自动、中文、英文；语速：慢、中、快或 80 到 450 的数字）" ;;
    esac
  done
}

tool_run() {
  local input=$1 output=$2 text="$QB_WORK/text.txt" voice temp
  # A byte-order mark would be read out as a sound.
  sed '1s/^\xEF\xBB\xBF//' -- "$input" >"$text"
  case $LANGUAGE in
    中文) voice=cmn ;;
    英文) voice=en ;;
    *) if perl -CSD -ne '$han = 1 if /\p{Han}/; END { exit !$han }' "$text"; then voice=cmn; else voice=en; fi ;;
  esac
  echo "10"
  echo "# 正在合成语音……"
  temp=$(qb_temp_beside "$output")
  espeak-ng -v "$voice" -s "$SPEED" -w "$temp" -f "$text" 2>"$QB_WORK/espeak.log" && [ -s "$temp" ] || {
    rm -f -- "$temp"
    qb_fail 5 "语音合成失败：$(tail -n 2 -- "$QB_WORK/espeak.log")"
  }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

tool_done() {
  local seconds
  seconds=$(ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 -- "$2" 2>/dev/null |
    awk 'NR == 1 { printf "%d 分 %02d 秒", $1 / 60, $1 % 60 }')
  zenity --question --no-wrap --title="$TOOL_TITLE" --ok-label="播放" --cancel-label="关闭" \
    --text="$(qb_markup "语音已保存到：
$2${seconds:+
时长：$seconds}")" 2>/dev/null || return 0
  xdg-open "$2" >/dev/null 2>&1 || qb_error_window "没有可以播放声音的程序，请用其他播放器打开：$2"
}

qb_main "$@"
