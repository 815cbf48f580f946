#!/bin/bash
# 截图识字: recognises the text in an area of the screen the user selects.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="截图识字"
TOOL_OUTPUT_SUFFIX="文字"
TOOL_OUTPUT_EXT="txt"

tool_needs() {
  qb_need_ocr
  [ "$QB_BATCH" = 1 ] || qb_need import imagemagick
}

tool_check() { qb_expect_image "$1"; }

# The window's input: the area the user drags out with ImageMagick's import, kept in the work
# folder (only the text is saved).
tool_choose() {
  qb_need import imagemagick
  # shellcheck disable=SC1111 # Chinese quotation marks, meant as such
  zenity --question --no-wrap --title="$TOOL_TITLE" --ok-label="开始截图" --cancel-label="取消" \
    --text="点击“开始截图”后，按住鼠标左键在屏幕上拖出要识别的区域，松开即完成。" 2>/dev/null || return 1
  # The question window must be gone before the screen is grabbed.
  sleep 0.5
  local shot="$QB_WORK/截图.png"
  import "$shot" 2>"$QB_WORK/import.log" && [ -s "$shot" ] || {
    qb_error_window "截图没有完成。$(tail -n 1 -- "$QB_WORK/import.log")"
    return 1
  }
  printf '%s\n' "$shot"
}

# The screenshot lives in the work folder: its text goes to the documents folder, named by time.
tool_output() {
  local dir
  dir=$(xdg-user-dir DOCUMENTS 2>/dev/null)
  [ -d "$dir" ] && [ -w "$dir" ] || dir=$HOME
  qb_output_beside "$dir/截图-$(date +%Y%m%d-%H%M%S).png" "$TOOL_OUTPUT_SUFFIX" "$TOOL_OUTPUT_EXT"
}

tool_run() { qb_ocr_to_text "$1" "$2"; }

tool_done() {
  if [ ! -s "$2" ]; then
    qb_info_window "截图中没有识别到文字。"
    rm -f -- "$2"
    return
  fi
  qb_text_window "$2" "$TOOL_TITLE：已保存到 $2"
}

qb_main "$@"
