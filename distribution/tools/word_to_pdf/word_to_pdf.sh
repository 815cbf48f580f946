#!/bin/bash
# Word转PDF: turns a word-processor document into a PDF with LibreOffice, beside the original.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="Word转PDF"
TOOL_INPUT_NAME="要转换的文档"
TOOL_FILTER="文档 | *.doc *.DOC *.docx *.DOCX *.odt *.ODT *.rtf *.RTF *.txt *.TXT"
TOOL_OUTPUT_SUFFIX="转换"
TOOL_OUTPUT_EXT="pdf"

tool_needs() { qb_need_office writer; }

tool_check() {
  case ${1,,} in
    *.doc | *.docx | *.docm | *.odt | *.ott | *.rtf | *.txt) ;;
    *) qb_fail 2 "只能转换 .doc、.docx、.odt、.rtf 或 .txt 文档：$(basename -- "$1")" ;;
  esac
  qb_expect_office_document "$1" "Word 文档"
}

tool_output() { qb_output_as "$1" pdf; }

tool_run() { qb_soffice_convert "$1" "$2" pdf:writer_pdf_Export; }

tool_done() { qb_pdf_done "$2"; }

qb_main "$@"
