#!/bin/bash
# Excel转PDF: turns a spreadsheet into a PDF with LibreOffice, beside the original.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="Excel转PDF"
TOOL_INPUT_NAME="要转换的表格"
TOOL_FILTER="表格 | *.xls *.XLS *.xlsx *.XLSX *.ods *.ODS *.csv *.CSV"

tool_needs() { qb_need_office calc; }

tool_check() {
  case ${1,,} in
    *.xls | *.xlsx | *.xlsm | *.ods | *.ots | *.csv) ;;
    *) qb_fail 2 "只能转换 .xls、.xlsx、.ods 或 .csv 表格：$(basename -- "$1")" ;;
  esac
  qb_expect_office_document "$1" "Excel 表格"
}

tool_output() { qb_output_as "$1" pdf; }

tool_run() {
  local infilter=""
  # CSV read as comma-separated UTF-8 (token 76), whatever the desktop's language is.
  case ${1,,} in *.csv) infilter="Text - txt - csv (StarCalc):44,34,76" ;; esac
  qb_soffice_convert "$1" "$2" pdf:calc_pdf_Export "$infilter"
}

tool_done() { qb_pdf_done "$2"; }

qb_main "$@"
