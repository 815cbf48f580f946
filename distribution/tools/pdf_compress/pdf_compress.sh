#!/bin/bash
# PDF压缩: rewrites a PDF with Ghostscript at a chosen quality, beside the original.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PDF压缩"
TOOL_INPUT_NAME="要压缩的 PDF"
TOOL_FILTER="PDF 文件 | *.pdf *.PDF"
TOOL_OUTPUT_SUFFIX="压缩"
TOOL_OUTPUT_EXT="pdf"
# Ghostscript's presets: pictures at 300, 150 and 72 dpi.
QUALITY=中
declare -A PRESET=([高]=/printer [中]=/ebook [低]=/screen)
declare -A QUALITY_TEXT=([高]="高画质（适合打印，压缩较少）" [中]="标准画质（适合屏幕阅读，推荐）" [低]="低画质（文件最小）")

tool_needs() {
  qb_need gs ghostscript
  qb_need qpdf qpdf
}

tool_check() { qb_expect_pdf "$1"; }

tool_options() { qb_quality_choice; }

# Batch option: 高, 中 or 低 (default 中).
tool_batch_options() { qb_quality_option "$@"; }

tool_run() {
  local input=$1 output=$2 temp pages before after
  temp=$(qb_temp_beside "$output")
  pages=$(qpdf --show-npages -- "$input" 2>/dev/null)
  echo "# 正在压缩 $(basename -- "$input")（${QUALITY_TEXT[$QUALITY]}）……"
  # Ghostscript names each page as it goes: that is the progress.
  gs -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -dCompatibilityLevel=1.5 -dPDFSETTINGS="${PRESET[$QUALITY]}" \
    -dDetectDuplicateImages=true -sOutputFile="$temp" -- "$input" 2>"$QB_WORK/gs.log" |
    awk -v n="${pages:-0}" '/^Page [0-9]+/ && n > 0 { p = int($2 * 95 / n); print p; fflush() }'
  if [ "${PIPESTATUS[0]}" -ne 0 ] || [ ! -s "$temp" ]; then
    rm -f -- "$temp"
    qb_fail 5 "压缩失败：$(qb_log_tail "$QB_WORK/gs.log")"
  fi
  before=$(qb_file_size "$input")
  after=$(qb_file_size "$temp")
  if [ "$after" -ge "$before" ]; then
    # Already compact: a bigger "compressed" file helps nobody, the result is the original's copy.
    cp -- "$input" "$temp"
    [ "$QB_BATCH" = 1 ] && printf '%s：%s\n' "$TOOL_TITLE" "这个 PDF 已经很精简，压缩后不会更小；输出文件是原文件的副本。" >&2
  fi
  qb_publish "$temp" "$output"
  echo 100
}

tool_done() {
  local before after
  before=$(qb_file_size "$1")
  after=$(qb_file_size "$2")
  if [ "$after" -ge "$before" ]; then
    qb_info_window "这个 PDF 已经很精简，压缩后不会更小，所以没有改动内容。
大小：$(qb_size_text "$before")
已保存原文件的副本到：$2"
    return
  fi
  qb_info_window "压缩完成。
压缩前：$(qb_size_text "$before")
压缩后：$(qb_size_text "$after")，减小了 $(awk -v a="$after" -v b="$before" 'BEGIN { printf "%.0f%%", (b - a) * 100 / b }')
已保存到：$2"
}

qb_main "$@"
