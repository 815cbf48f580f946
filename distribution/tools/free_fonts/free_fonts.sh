#!/bin/bash
# 免费字体合集: free Chinese and Latin fonts with their licences, in a folder of their own.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="免费字体合集"
MATERIAL="$(cd -- "$(dirname -- "$0")" && pwd)/fonts"

tool_check() { qb_expect_collection "$1" "$MATERIAL"; }

tool_run() { qb_copy_collection "$MATERIAL" "$2"; }

tool_window() {
  qb_expect_collection - "$MATERIAL"
  qb_open_folder "$MATERIAL"
}

qb_main "$@"
