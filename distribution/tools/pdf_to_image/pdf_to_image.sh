#!/bin/bash
# PDF转图片: renders every page of a PDF as a PNG or JPEG picture into a new folder beside it.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PDF转图片"
TOOL_INPUT_NAME="要转换的 PDF"
TOOL_FILTER="PDF 文件 | *.pdf *.PDF"
FORMAT=png
DPI=150
declare -A FORMAT_TEXT=([png]="PNG（清晰无损，适合文字和图表）" [jpg]="JPEG（文件较小，适合照片）")
declare -A DPI_TEXT=([96]="96 dpi（屏幕查看）" [150]="150 dpi（推荐）" [300]="300 dpi（打印质量）" [600]="600 dpi（高清，文件很大）")

tool_needs() {
  qb_need pdftoppm poppler-utils
  qb_need qpdf qpdf
}

tool_check() { qb_expect_pdf "$1"; }

# The folder beside the PDF: "名称-图片".
tool_output() { qb_output_beside "$1" "图片" ""; }

tool_options() {
  local chosen key
  chosen=$(qb_pick "请选择图片格式：" "${FORMAT_TEXT[png]}" "${FORMAT_TEXT[png]}" "${FORMAT_TEXT[jpg]}") || return 1
  for key in "${!FORMAT_TEXT[@]}"; do [ "${FORMAT_TEXT[$key]}" = "$chosen" ] && FORMAT=$key; done
  chosen=$(qb_pick "请选择清晰度（每英寸像素数）：" "${DPI_TEXT[150]}" "${DPI_TEXT[96]}" "${DPI_TEXT[150]}" \
    "${DPI_TEXT[300]}" "${DPI_TEXT[600]}") || return 1
  for key in "${!DPI_TEXT[@]}"; do [ "${DPI_TEXT[$key]}" = "$chosen" ] && DPI=$key; done
  return 0
}

# Batch options: FORMAT (png or jpg, default png), DPI (36 to 1200, default 150).
tool_batch_options() {
  if [ $# -ge 1 ]; then
    case ${1,,} in
      png) FORMAT=png ;;
      jpg | jpeg) FORMAT=jpg ;;
      *) qb_fail 1 "图片格式只能是 png 或 jpg：$1" ;;
    esac
  fi
  if [ $# -ge 2 ]; then
    [[ $2 =~ ^[0-9]+$ ]] && [ "$2" -ge 36 ] && [ "$2" -le 1200 ] || qb_fail 1 "清晰度应为 36 到 1200 之间的整数（dpi）：$2"
    DPI=$((10#$2))
  fi
}

tool_run() {
  local input=$1 output=$2 pages base page name device=(-png)
  [ "$FORMAT" = jpg ] && device=(-jpeg -jpegopt quality=90)
  pages=$(qpdf --show-npages -- "$input" 2>/dev/null)
  [ "${pages:-0}" -ge 1 ] || qb_fail 2 "PDF 文件中没有页面：$(basename -- "$input")"
  base=$(basename -- "$input")
  base=${base%.*}
  qb_output_directory "$output"
  for page in $(seq "$pages"); do
    name=$(printf '%s-第%0*d页' "$base" "${#pages}" "$page")
    echo "# 正在转换第 $page 页（共 $pages 页）……"
    # The folder is new and ours, so the pictures are written straight into it.
    pdftoppm "${device[@]}" -r "$DPI" -f "$page" -l "$page" -singlefile -- "$input" "$output/$name" \
      2>"$QB_WORK/pdftoppm.log" ||
      qb_fail 5 "第 $page 页转换失败：$(qb_log_tail "$QB_WORK/pdftoppm.log")"
    echo $((page * 100 / pages))
  done
}

tool_done() {
  qb_info_window "转换完成，共 $(find "$2" -maxdepth 1 -type f | wc -l) 张 ${FORMAT^^} 图片（$DPI dpi）。
已保存到文件夹：$2"
}

qb_main "$@"
