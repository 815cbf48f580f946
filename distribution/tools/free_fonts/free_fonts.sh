#!/bin/bash
# 免费字体合集: free Chinese and Latin fonts with their licences, in a folder of their own.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="免费字体合集"
qb_collection "$(cd -- "$(dirname -- "$0")" && pwd)/fonts"

qb_main "$@"
