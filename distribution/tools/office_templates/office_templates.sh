#!/bin/bash
# 办公模板合集: Chinese office templates that LibreOffice opens, in a folder of their own.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="办公模板合集"
MATERIAL="$(cd -- "$(dirname -- "$0")" && pwd)/templates"

tool_check() { qb_expect_collection "$1" "$MATERIAL"; }

tool_run() { qb_copy_collection "$MATERIAL" "$2"; }

tool_window() {
  qb_expect_collection - "$MATERIAL"
  qb_open_folder "$MATERIAL"
}

qb_main "$@"
