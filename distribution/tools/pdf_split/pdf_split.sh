#!/bin/bash
# PDF拆分: saves every page, or every chosen range of pages, as a PDF of its own in a new folder.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PDF拆分"
TOOL_INPUT_NAME="要拆分的 PDF"
TOOL_FILTER="PDF 文件 | *.pdf *.PDF"
RANGES=""   # empty: every page on its own

tool_needs() { qb_need qpdf qpdf; }

tool_check() { qb_expect_pdf "$1"; }

# The folder beside the PDF: "名称-拆分".
tool_output() { qb_output_beside "$1" "拆分" ""; }

# RANGES like "1-3,5" within PAGES; fails with a message that names what is wrong.
check_ranges() {
  local ranges=$1 pages=$2 part first last
  [[ $ranges =~ ^[0-9]+(-[0-9]+)?(,[0-9]+(-[0-9]+)?)*$ ]] ||
    qb_fail 1 "页码范围的写法应像 1-3,5（用英文逗号和连字符）：$ranges"
  IFS=, read -ra parts <<<"$ranges"
  for part in "${parts[@]}"; do
    first=$((10#${part%-*})) last=$((10#${part#*-}))
    [ "$first" -ge 1 ] && [ "$first" -le "$last" ] ||
      qb_fail 1 "页码范围不正确：$part"
    [ "$last" -le "$pages" ] || qb_fail 1 "页码范围 $part 超出了文件的页数（共 $pages 页）"
  done
}

page_count() { qpdf --show-npages -- "$1" 2>/dev/null; }

tool_options() {
  local pages chosen
  pages=$(page_count "${QB_INPUTS[0]}")
  chosen=$(qb_pick "这个 PDF 共 $pages 页。请选择拆分方式：" "每一页保存为一个 PDF" "每一页保存为一个 PDF" \
    "按页码范围拆分（如 1-3,5）") || return 1
  [ "$chosen" = "每一页保存为一个 PDF" ] && return
  while :; do
    RANGES=$(qb_ask "请输入页码范围，每个范围保存为一个 PDF（共 $pages 页）：
例如 1-3,5 表示第 1～3 页一个文件、第 5 页一个文件" "1-$pages") || return 1
    RANGES=${RANGES//[[:space:]]/}
    RANGES=${RANGES//，/,}
    (check_ranges "$RANGES" "$pages") && return
  done
}

# Batch option: RANGES such as 1-3,5 (default: every page on its own).
tool_batch_options() {
  [ $# -eq 0 ] && return
  RANGES=$1
  check_ranges "$RANGES" "$(page_count "${QB_INPUTS[0]}")"
}

tool_run() {
  local input=$1 output=$2 pages base parts=() part first last width n=0 name
  pages=$(page_count "$input")
  if [ -z "$RANGES" ]; then parts=($(seq "$pages")); else IFS=, read -ra parts <<<"$RANGES"; fi
  width=${#pages}
  base=$(basename -- "$input")
  base=${base%.*}
  qb_output_directory "$output"
  for part in "${parts[@]}"; do
    first=$((10#${part%-*})) last=$((10#${part#*-}))
    if [ "$first" -eq "$last" ]; then
      name=$(printf '%s-第%0*d页.pdf' "$base" "$width" "$first")
    else
      name=$(printf '%s-第%0*d-%0*d页.pdf' "$base" "$width" "$first" "$width" "$last")
    fi
    echo "# 正在保存 $name ……"
    # The folder is new and ours, so the parts are written straight into it.
    qpdf --warning-exit-0 --empty --pages "$input" "$first-$last" -- "$output/$name" 2>"$QB_WORK/qpdf.log" ||
      qb_fail 5 "拆分失败：$(qb_log_tail "$QB_WORK/qpdf.log")"
    n=$((n + 1))
    echo $((n * 100 / ${#parts[@]}))
  done
}

tool_done() {
  qb_info_window "拆分完成，共 $(find "$2" -maxdepth 1 -name '*.pdf' | wc -l) 个 PDF 文件。
已保存到文件夹：$2"
}

qb_main "$@"
