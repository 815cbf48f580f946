#!/bin/bash
# 二维码生成: turns a text or a web address into a QR code picture.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="二维码生成"
TOOL_INPUT_NAME="文本文件（UTF-8）"
TOOL_OUTPUT_SUFFIX="二维码"
TOOL_OUTPUT_EXT="png"

tool_needs() { qb_need qrencode qrencode; }

tool_check() {
  qb_expect_readable "$1"
  iconv -f UTF-8 -t UTF-8 -- "$1" >/dev/null 2>&1 ||
    qb_fail 2 "文本文件不是 UTF-8 编码，请先转换编码：$(basename -- "$1")"
  [ -n "$(tr -d ' \t\r\n' <"$1")" ] || qb_fail 2 "文本文件中没有文字：$(basename -- "$1")"
}

tool_run() {
  local input=$1 output=$2 temp
  # The file's last line break is no part of the text.
  printf '%s' "$(cat -- "$input")" >"$QB_WORK/text.txt"
  temp=$(qb_temp_beside "$output")
  echo "30"
  echo "# 正在生成二维码……"
  # Medium error correction survives a smudge or a logo; 10-pixel modules print sharply.
  if ! qrencode -l M -s 10 -m 4 -t PNG -r "$QB_WORK/text.txt" -o "$temp" 2>"$QB_WORK/qrencode.log"; then
    rm -f -- "$temp"
    grep -q 'too large' "$QB_WORK/qrencode.log" &&
      qb_fail 2 "文字太长，一个二维码最多约 2300 个字母或 770 个汉字（现在 $(wc -c <"$QB_WORK/text.txt") 字节）"
    qb_fail 5 "生成失败：$(qb_log_tail "$QB_WORK/qrencode.log")"
  fi
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

# The window needs no file: the text is typed, the picture goes into the user's picture folder.
tool_window() {
  if [ -z "${DISPLAY:-}" ] || ! command -v zenity >/dev/null 2>&1; then
    echo "${TOOL_TITLE}：需要图形界面和 zenity（sudo apt-get install zenity）；也可以用 --batch 文本文件 输出.png" >&2
    exit 3
  fi
  tool_needs
  local text folder output status
  text=$(qb_ask "请输入要生成二维码的文字或网址：" "https://") || exit 1
  [ -n "${text// /}" ] || qb_fail 1 "没有输入文字。"
  printf '%s\n' "$text" >"$QB_WORK/typed.txt"
  tool_check "$QB_WORK/typed.txt"
  folder=$(xdg-user-dir PICTURES 2>/dev/null)
  [ -n "$folder" ] && [ -d "$folder" ] && [ -w "$folder" ] || folder=$HOME
  output=$(qb_output_beside "$folder/二维码" "$(date +%Y%m%d-%H%M%S)" png)
  (qb_expect_writable_output "$output") || exit 4
  qb_run_job "$QB_WORK/typed.txt" "$output"
  status=$?
  if [ "$status" -ne 0 ]; then
    [ "$status" -eq 1 ] || [ -s "$QB_ERROR_FILE" ] || qb_error_window "处理没有完成。"
    exit "$status"
  fi
  tool_done "" "$output"
}

tool_done() {
  local answer
  answer=$(zenity --info --no-wrap --title="$TOOL_TITLE" --ok-label="关闭" --extra-button="打开图片" \
    --text="$(qb_markup "二维码已生成。
已保存到：$2")" 2>/dev/null)
  [ "$answer" = "打开图片" ] && command -v xdg-open >/dev/null 2>&1 && (xdg-open "$2" >/dev/null 2>&1 &)
  return 0
}

qb_main "$@"
