#!/bin/bash
# 办公模板合集: Chinese office templates that LibreOffice opens, in a folder of their own.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="办公模板合集"
qb_collection "$(cd -- "$(dirname -- "$0")" && pwd)/templates"

qb_main "$@"
