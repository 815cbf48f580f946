#!/bin/bash
# PDF合并: joins several PDFs, in name order, into one, beside the first of them.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PDF合并"
TOOL_INPUT_NAME="要合并的 PDF（可多选）"
TOOL_FILTER="PDF 文件 | *.pdf *.PDF"
TOOL_OUTPUT_SUFFIX="合并"
TOOL_OUTPUT_EXT="pdf"
QB_MULTIPLE=1

tool_needs() { qb_need qpdf qpdf; }

tool_check() { qb_expect_pdf "$1"; }

# The chooser gives no order of its own: the files go in name order, shown before merging.
tool_options() {
  [ ${#QB_INPUTS[@]} -ge 2 ] || qb_fail 1 "请至少选择两个 PDF 文件（在文件选择窗口中按住 Ctrl 多选）。"
  mapfile -t QB_INPUTS < <(printf '%s\n' "${QB_INPUTS[@]}" | sort -V)
  local rows=() input n=1
  for input in "${QB_INPUTS[@]}"; do
    rows+=("$n" "$(basename -- "$input")" "$(qpdf --show-npages -- "$input" 2>/dev/null)")
    n=$((n + 1))
  done
  zenity --list --title="$TOOL_TITLE" --text="将按以下顺序合并（按文件名排序）：" --ok-label="合并" \
    --cancel-label="取消" --column="顺序" --column="文件" --column="页数" --width=560 --height=400 \
    "${rows[@]}" >/dev/null 2>&1
}

# INPUT is the list file of PDFs, one a line, in the order they join.
tool_run() {
  local list=$1 output=$2 temp files=()
  mapfile -t files <"$list"
  temp=$(qb_temp_beside "$output")
  echo "# 正在合并 ${#files[@]} 个 PDF 文件……"
  echo 10
  qpdf --warning-exit-0 --empty --pages "${files[@]}" -- "$temp" 2>"$QB_WORK/qpdf.log" ||
    { rm -f -- "$temp"; qb_fail 5 "合并失败：$(qb_log_tail "$QB_WORK/qpdf.log")"; }
  echo 95
  qb_publish "$temp" "$output"
  echo 100
}

tool_done() {
  local pages
  pages=$(qpdf --show-npages -- "$2" 2>/dev/null)
  qb_info_window "合并完成，共 $(wc -l <"$1") 个文件${pages:+、$pages 页}。
已保存到：$2"
}

qb_main "$@"
