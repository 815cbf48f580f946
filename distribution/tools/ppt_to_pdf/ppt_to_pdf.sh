#!/bin/bash
# PPT转PDF: turns a presentation into a PDF, one page a slide, with LibreOffice.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PPT转PDF"
TOOL_INPUT_NAME="要转换的演示文稿"
TOOL_FILTER="演示文稿 | *.ppt *.PPT *.pptx *.PPTX *.pps *.ppsx *.odp *.ODP"

tool_needs() { qb_need_office impress; }

tool_check() {
  case ${1,,} in
    *.ppt | *.pptx | *.pps | *.ppsx | *.odp | *.otp) ;;
    *) qb_fail 2 "只能转换 .ppt、.pptx 或 .odp 演示文稿：$(basename -- "$1")" ;;
  esac
  qb_expect_office_document "$1" "演示文稿"
}

tool_output() { qb_output_as "$1" pdf; }

tool_run() { qb_soffice_convert "$1" "$2" pdf:impress_pdf_Export; }

tool_done() { qb_pdf_done "$2" "（每页一张幻灯片）"; }

qb_main "$@"
