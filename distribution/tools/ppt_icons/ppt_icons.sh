#!/bin/bash
# PPT图标素材: flat office icons as SVG files for slides, in a folder of their own.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="PPT图标素材"
qb_collection "$(cd -- "$(dirname -- "$0")" && pwd)/icons"

qb_main "$@"
