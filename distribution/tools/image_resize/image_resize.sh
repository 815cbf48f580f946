#!/bin/bash
# 批量改尺寸: resizes every picture of a folder to one width into a new folder beside it.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="批量改尺寸"
TOOL_INPUT_NAME="图片所在的文件夹"
TOOL_INPUT_KIND=directory
WIDTH=1280

tool_needs() {
  qb_need convert imagemagick
  qb_need identify imagemagick
}

# The pictures at the top of the folder, in name order, one a line; other files are left out.
folder_pictures() {
  local file
  while IFS= read -r file; do
    identify -- "${file}[0]" >/dev/null 2>&1 && printf '%s\n' "$file"
  done < <(find "$1" -maxdepth 1 -type f ! -name '.*' | LC_ALL=C sort)
}

tool_check() {
  qb_expect_readable "$1"
  [ -n "$(folder_pictures "$1")" ] || qb_fail 2 "文件夹中没有可以读取的图片：$1"
}

tool_options() {
  local answer
  while :; do
    answer=$(qb_ask "请输入新的宽度（像素，高度按比例缩放）：" "$WIDTH") || return 1
    if valid_width "$answer"; then WIDTH=$answer; return; fi
    qb_error_window "宽度必须是 1 到 20000 之间的整数：$answer"
  done
}

valid_width() { [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge 1 ] && [ "$1" -le 20000 ]; }

# Batch option: the new width in pixels (default 1280).
tool_batch_options() {
  [ $# -eq 0 ] && return
  valid_width "$1" || qb_fail 1 "宽度必须是 1 到 20000 之间的整数：$1"
  WIDTH=$1
}

tool_output() { qb_output_beside "$1" "宽${WIDTH}" ""; }

tool_run() {
  local input=$1 output=$2 pictures=() file n=0 temp target
  mapfile -t pictures < <(folder_pictures "$input")
  qb_output_directory "$output"
  for file in "${pictures[@]}"; do
    echo "# 正在处理 $(basename -- "$file")（$((n + 1))/${#pictures[@]}）……"
    target="$output/$(basename -- "$file")"
    temp=$(qb_temp_beside "$target")
    # The first frame only, turned upright, so the width is the width the user sees.
    if ! convert -- "${file}[0]" -auto-orient -resize "${WIDTH}x" -quality 92 "$temp" 2>"$QB_WORK/convert.log"; then
      rm -rf -- "$output"
      qb_fail 5 "处理 $(basename -- "$file") 失败：$(qb_log_tail "$QB_WORK/convert.log")"
    fi
    qb_publish "$temp" "$target"
    n=$((n + 1))
    echo $((n * 100 / ${#pictures[@]}))
  done
}

tool_done() {
  qb_info_window "已将 $(find "$2" -maxdepth 1 -type f | wc -l) 张图片的宽度改为 $WIDTH 像素。
已保存到文件夹：$2"
}

qb_main "$@"
