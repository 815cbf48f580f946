#!/bin/bash
# PDF转Word: turns a PDF into an editable .docx with LibreOffice's PDF import, text kept.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PDF转Word"
TOOL_INPUT_NAME="要转换的 PDF"
TOOL_FILTER="PDF 文件 | *.pdf *.PDF"

tool_needs() {
  qb_need_office writer
  qb_need qpdf qpdf
}

tool_check() { qb_expect_pdf "$1"; }

tool_output() { qb_output_as "$1" docx; }

# Writer's PDF import places every line of text in a text frame where the PDF had it.
tool_run() { qb_soffice_convert "$1" "$2" "docx:MS Word 2007 XML" writer_pdf_import; }

tool_done() {
  local note=""
  # A scanned PDF has pictures, no text: say so rather than let an empty-looking file puzzle.
  if command -v pdftotext >/dev/null 2>&1 && [ -z "$(pdftotext -l 5 -- "$1" - 2>/dev/null | tr -d '[:space:]')" ]; then
    note="
注意：这个 PDF 中没有可提取的文字（可能是扫描件），Word 文件中只有图片。可先用“文字识别OCR”识别文字。"
  fi
  qb_info_window "转换完成。
已保存到：$2$note"
}

qb_main "$@"
