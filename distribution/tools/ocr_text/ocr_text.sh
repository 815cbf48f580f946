#!/bin/bash
# 文字识别OCR: recognises Simplified Chinese and English text in a picture.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="文字识别OCR"
TOOL_INPUT_NAME="要识别的图片"
TOOL_FILTER="图片文件 | *.png *.PNG *.jpg *.JPG *.jpeg *.bmp *.tif *.tiff *.webp *.gif"
TOOL_OUTPUT_SUFFIX="文字"
TOOL_OUTPUT_EXT="txt"

tool_needs() {
  qb_need tesseract tesseract-ocr
  tesseract --list-langs 2>/dev/null | grep -qx chi_sim ||
    qb_fail 3 "缺少简体中文识别数据，请先安装 Debian 软件包 tesseract-ocr-chi-sim（sudo apt-get install tesseract-ocr-chi-sim）。"
  qb_need convert imagemagick
}

tool_check() { qb_expect_image "$1"; }

tool_run() { qb_ocr_to_text "$1" "$2"; }

# The text in an editable window, saved beside the picture: "保存修改" writes the edits into that
# file, "复制全部" copies the text to the clipboard, "关闭" leaves it as recognised.
tool_done() {
  local output=$2 answer status
  if [ ! -s "$output" ]; then
    qb_info_window "图片中没有识别到文字。
已保存空的文本文件：$output"
    return
  fi
  while :; do
    answer=$(zenity --text-info --title="$TOOL_TITLE：识别结果（已保存到 $(basename -- "$output")）" \
      --filename="$output" --editable --width=640 --height=480 --ok-label="保存修改" --cancel-label="关闭" \
      --extra-button="复制全部" 2>/dev/null)
    status=$?
    if [ "$status" -eq 0 ]; then
      printf '%s\n' "$answer" >"$output" && qb_info_window "修改已保存到：$output"
      return
    fi
    [ "$answer" = "复制全部" ] || return
    qb_copy "$output"
  done
}

qb_copy() {
  if command -v xclip >/dev/null 2>&1; then
    xclip -selection clipboard -i <"$1" && qb_info_window "文字已复制到剪贴板。"
  else
    qb_error_window "复制需要 xclip，请先安装 Debian 软件包 xclip（sudo apt-get install xclip）。"
  fi
}

qb_main "$@"
