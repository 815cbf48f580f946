#!/bin/bash
# Txt编码转换: converts a text file between UTF-8, GBK, GB18030, UTF-16 and Big5, saying which
# encoding it found the file in.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="Txt编码转换"
TOOL_INPUT_NAME="要转换编码的文本文件"
TOOL_FILTER="文本文件 | *.txt *.TXT *.csv *.CSV *.srt *.lrc *.ini *.log *.md"
ENCODINGS=(UTF-8 GBK GB18030 UTF-16 Big5)
TARGET=UTF-8
SOURCE=""       # empty: detected
DETECTED=""

tool_needs() { qb_need iconv libc-bin; }

# The canonical spelling of an encoding the tool offers, or nothing.
encoding_name() {
  case ${1^^} in
    UTF-8 | UTF8) echo UTF-8 ;;
    GBK | CP936) echo GBK ;;
    GB18030) echo GB18030 ;;
    UTF-16 | UTF16) echo UTF-16 ;;
    BIG5 | BIG-5) echo Big5 ;;
  esac
}

# The encoding of FILE: a byte-order mark, else valid UTF-8, else valid GB18030 (which takes in
# GBK and GB2312). Big5 text often also reads as GB18030, so Big5 is never guessed.
detect_encoding() {
  local bom
  bom=$(head -c 3 -- "$1" | od -An -tx1 | tr -d ' \n')
  case $bom in
    efbbbf) echo UTF-8; return ;;
    fffe* | feff*) echo UTF-16; return ;;
  esac
  # NUL bytes without a UTF-16 mark: no text file.
  [ "$(LC_ALL=C tr -d '\000' <"$1" | wc -c)" -eq "$(qb_file_size "$1")" ] || return 1
  if iconv -f UTF-8 -t UTF-8 -- "$1" >/dev/null 2>&1; then echo UTF-8; return; fi
  if iconv -f GB18030 -t UTF-8 -- "$1" >/dev/null 2>&1; then echo GB18030; return; fi
  return 1
}

tool_check() {
  qb_expect_readable "$1"
  detect_encoding "$1" >/dev/null ||
    qb_fail 2 "无法识别这个文件的编码（不是 UTF-8、GB18030/GBK 或 UTF-16 文本，可能不是文本文件）：$(basename -- "$1")"
}

# Beside the input, the target in the name: "名称-GBK.txt".
tool_output() {
  local name ext=""
  name=$(basename -- "$1")
  case $name in ?*.*) ext=${name##*.} ;; esac
  qb_output_beside "$1" "$TARGET" "$ext"
}

tool_options() {
  local input=${QB_INPUTS[0]} chosen default=UTF-8 manual="原文件编码检测得不对？手动指定……" found
  DETECTED=$(detect_encoding "$input")
  [ "$DETECTED" = UTF-8 ] && default=GBK
  while :; do
    found="检测到 $(basename -- "$input") 的编码是：$DETECTED"
    [ "$DETECTED" = GB18030 ] && found+="（包含 GBK、GB2312）"
    [ -n "$SOURCE" ] && found="原文件编码（手动指定）：$SOURCE"
    chosen=$(qb_pick "$found
请选择要转换成的编码：" "$default" "${ENCODINGS[@]}" "$manual") || return 1
    if [ "$chosen" != "$manual" ]; then
      TARGET=$chosen
      return 0
    fi
    SOURCE=$(qb_pick "请选择原文件的编码：" "${SOURCE:-$DETECTED}" "${ENCODINGS[@]}") || return 1
  done
}

# Batch options: TARGET (default UTF-8), SOURCE (default: detected).
tool_batch_options() {
  if [ $# -ge 1 ]; then
    TARGET=$(encoding_name "$1")
    [ -n "$TARGET" ] || qb_fail 1 "目标编码只能是 UTF-8、GBK、GB18030、UTF-16 或 Big5：$1"
  fi
  if [ $# -ge 2 ]; then
    SOURCE=$(encoding_name "$2")
    [ -n "$SOURCE" ] || qb_fail 1 "原编码只能是 UTF-8、GBK、GB18030、UTF-16 或 Big5：$2"
  fi
  return 0
}

tool_run() {
  local input=$1 output=$2 temp source log="$QB_WORK/iconv.log" position line
  [ -n "$DETECTED" ] || DETECTED=$(detect_encoding "$input")
  source=${SOURCE:-$DETECTED}
  temp=$(qb_temp_beside "$output")
  echo "# 正在从 $source 转换为 $TARGET ……"
  echo 20
  # A UTF-8 byte-order mark is dropped: most programs read UTF-8 without it.
  if [ "$source" = UTF-8 ]; then
    sed '1s/^\xEF\xBB\xBF//' -- "$input" | iconv -f UTF-8 -t "$TARGET" >"$temp" 2>"$log"
  else
    iconv -f "$source" -t "$TARGET" -- "$input" >"$temp" 2>"$log"
  fi
  if [ "${PIPESTATUS[0]}" -ne 0 ] || [ -s "$log" ]; then
    rm -f -- "$temp"
    # iconv says "illegal input" both for bytes that are not SOURCE and for characters TARGET lacks.
    position=$(grep -o 'position [0-9]*' "$log" | head -n 1 | grep -o '[0-9]*')
    line=$(($(head -c "${position:-0}" -- "$input" | wc -l) + 1))
    iconv -f "$source" -t UTF-8 -- "$input" >/dev/null 2>&1 ||
      qb_fail 2 "文件内容不是有效的 $source 编码（第 $line 行附近），请指定正确的原编码。"
    qb_fail 5 "第 $line 行附近有 $TARGET 无法表示的字符，没有转换（可改用 UTF-8 或 GB18030）。"
  fi
  qb_publish "$temp" "$output"
  echo 100
}

tool_done() {
  local from="$DETECTED（检测）"
  [ -n "$SOURCE" ] && from="$SOURCE（指定）"
  qb_info_window "转换完成：$from → $TARGET
已保存到：$2"
}

qb_main "$@"
