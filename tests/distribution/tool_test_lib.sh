# Shared by the tool tests: each runs a tool's launch file from a fresh copy of its packed
# form (the launch file beside qbtool.sh), on samples the test makes, with a time limit.
#   . tool_test_lib.sh; tt_tool video_compress; tt_case "..."; tt_expect ...; tt_finish
set -u
TT_SOURCE=${QB_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TT_DIR=$(mktemp -d "${TMPDIR:-/tmp}/qbtooltest.XXXXXX")
TT_PASSED=0
TT_FAILED=0
TT_CASE=""
trap 'rm -rf -- "$TT_DIR"' EXIT
# The tools' messages and the samples' names are Chinese.
export LC_ALL=C.UTF-8

# Lays a tool out as the launcher installs it; TT_TOOL is then its launch file. With
# QB_DIST_DIR set (the suite sets it), the build's own archive of the tool is unpacked, so the
# test runs exactly what a card installs. Without it the sources are copied as the packager
# packs them, a tool's system-files.txt ("ABSOLUTE_SOURCE DESTINATION_RELATIVE_PATH" lines)
# included.
tt_tool() {
  local slug=$1 source destination archive="${QB_DIST_DIR:-}/tools/$1.zip"
  mkdir -p "$TT_DIR/$slug"
  TT_TOOL="$TT_DIR/$slug/$slug.sh"
  if [ -n "${QB_DIST_DIR:-}" ]; then
    python3 -m zipfile -e "$archive" "$TT_DIR/$slug/" || tt_bad "$slug: cannot unpack $archive"
    return
  fi
  cp -R -- "$TT_SOURCE"/distribution/tools/"$slug"/* "$TT_SOURCE/distribution/tools/common/qbtool.sh" "$TT_DIR/$slug/"
  if [ -f "$TT_DIR/$slug/system-files.txt" ]; then
    while read -r source destination; do
      case $source in '' | '#'*) continue ;; esac
      mkdir -p -- "$(dirname -- "$TT_DIR/$slug/$destination")"
      cp -- "$source" "$TT_DIR/$slug/$destination" || tt_bad "$slug: cannot copy system file $source"
    done <"$TT_DIR/$slug/system-files.txt"
  fi
}

tt_case() { TT_CASE=$1; }

tt_ok() { TT_PASSED=$((TT_PASSED + 1)); }
tt_bad() {
  TT_FAILED=$((TT_FAILED + 1))
  printf 'FAILED: %s: %s\n' "$TT_CASE" "$*" >&2
}

# Runs the tool in batch mode (sh, as the launcher's shell-open does for a script that lost its
# executable bit in the archive); sets TT_STATUS, TT_ERR.
tt_batch() {
  TT_ERR="$TT_DIR/stderr.txt"
  timeout 120 sh "$TT_TOOL" --batch "$@" >/dev/null 2>"$TT_ERR"
  TT_STATUS=$?
}

tt_expect_success() {
  if [ "$TT_STATUS" -eq 0 ]; then tt_ok; else tt_bad "exit $TT_STATUS: $(cat "$TT_ERR")"; fi
}

# A failure with a message on stderr that holds TEXT, and no output written.
tt_expect_failure() {
  local text=$1 output=$2
  if [ "$TT_STATUS" -ne 0 ] && grep -qF -- "$text" "$TT_ERR" && [ ! -e "$output" ]; then
    tt_ok
  else
    tt_bad "expected a failure saying '$text' (exit $TT_STATUS, stderr: $(cat "$TT_ERR"), output there: $([ -e "$output" ] && echo yes || echo no))"
  fi
}

tt_expect() {
  local what=$1
  shift
  if "$@"; then tt_ok; else tt_bad "$what"; fi
}

# Runs again onto an existing OUTPUT: refused, and the file is untouched.
tt_expect_no_overwrite() {
  local output=$1
  shift
  local before
  before=$(md5sum <"$output")
  tt_batch "$@" "$output"
  if [ "$TT_STATUS" -ne 0 ] && [ "$(md5sum <"$output")" = "$before" ]; then tt_ok; else tt_bad "replaced $output"; fi
}

# The closing line ctest's log shows; the exit code carries the verdict.
tt_finish() {
  printf '%d passed, %d failed\n' "$TT_PASSED" "$TT_FAILED"
  [ "$TT_FAILED" -eq 0 ] && [ "$TT_PASSED" -gt 0 ]
}

# --- samples ------------------------------------------------------------------------------------

# A 4-second 640x360 test-pattern video with a tone, encoded at a wasteful quality.
tt_sample_video() {
  ffmpeg -nostdin -v error -f lavfi -i testsrc=duration=${2:-4}:size=640x360:rate=25 -f lavfi -i sine=duration=${2:-4} \
    -c:v libx264 -crf 4 -pix_fmt yuv420p -c:a aac -shortest "$1"
}

# A picture of two lines of text, drawn with the CJK font.
tt_sample_text_image() {
  convert -size 1100x300 xc:white -font /usr/share/fonts/truetype/wqy/wqy-microhei.ttc -pointsize 56 -fill black \
    -annotate +40+110 "$2" -annotate +40+230 "$3" "$1"
}

tt_sample_image() {
  convert -size "${2:-800x600}" gradient:skyblue-navy -fill orange -draw 'circle 400,300 400,150' "$1"
}

# A PDF of PAGES pages reading "Page N", made by Ghostscript (ImageMagick may not write PDFs).
tt_sample_pdf() {
  local pages=${2:-3} i
  {
    for i in $(seq "$pages"); do printf '/Helvetica findfont 40 scalefont setfont 80 600 moveto (Page %d) show showpage\n' "$i"; done
  } | gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$1" - 2>/dev/null
}
