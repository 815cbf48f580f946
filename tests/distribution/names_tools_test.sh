#!/bin/bash
# File names as users have them, and as an attacker might choose them, through one tool of each
# program family: every name either works or is refused with a sentence, and nothing a name
# says is ever run (Ghostscript's %pipe%, ImageMagick's %/@, ffmpeg's protocols, options,
# shell syntax). Then a tool stopped mid-run: its programs end with it and nothing is left.
. "$(dirname "$0")/tool_test_lib.sh"
cd "$TT_DIR" || exit 1

# Each name would make the file "pwned" in the folder if any program, or the shell, ran it.
names=(
  '%pipe%touch pwned;'
  'page-%d of %w'
  '@list'
  '-o'
  ' leading space'
  $'two\nlines'
  "it's \"quoted\""
  '$(touch pwned)'
  '`touch pwned`'
  'subfile,,start,0,end,0,,:a'
  '年度报告（终稿）'
)

tt_sample_pdf sample.pdf 2
tt_sample_image sample.jpg
tt_sample_video sample.mp4 2
tt_sample_text_image sample.png "文件名测试" "Names 123"

# run_family SLUG SAMPLE EXTENSION OUTPUT-EXTENSION [OPTION...]
run_family() {
  local slug=$1 sample=$2 ext=$3 out_ext=$4 name input output
  shift 4
  tt_tool "$slug"
  for name in "${names[@]}"; do
    tt_case "$slug with the name ${name//$'\n'/\\n}"
    mkdir -p "$TT_DIR/in"
    input="$TT_DIR/in/$name.$ext"
    output="$TT_DIR/in/$name-out.$out_ext"
    cp -- "$sample" "$input"
    cd "$TT_DIR/in" || exit 1  # a program that ran a name would do it here
    tt_batch "$input" "$output" "$@"
    cd "$TT_DIR" || exit 1
    if [ "$TT_STATUS" -eq 0 ]; then
      if [ -s "$output" ]; then tt_ok; else tt_bad "exit 0 without $output"; fi
    elif [ -s "$TT_ERR" ] && ! grep -q -- '--help\|Usage:\|usage:' "$TT_ERR"; then
      tt_ok  # refused with its own sentence
    else
      tt_bad "exit $TT_STATUS without a clear message: $(cat "$TT_ERR")"
    fi
    tt_expect "nothing the name says was run" test -z "$(find "$TT_DIR" -name pwned)"
    rm -rf "$TT_DIR/in"
  done
}

run_family pdf_compress sample.pdf pdf pdf        # Ghostscript
run_family pdf_to_image sample.pdf pdf d          # poppler, a folder of pages
run_family pdf_encrypt sample.pdf pdf pdf 加密 -secret  # qpdf, a password that looks like an option
run_family image_watermark sample.jpg jpg jpg '%w 100% @file'  # ImageMagick
run_family video_compress sample.mp4 mp4 mp4      # ffmpeg
run_family ocr_text sample.png png txt            # tesseract

# A terminal closed or a session ended (HUP), or kill (TERM), while ffmpeg works.
tt_tool video_compress
tt_sample_video long.mp4 20
no_ffmpeg_on_it() { ! pgrep -a ffmpeg | grep -q 'long\.mp4'; }
for signal in TERM HUP; do
  tt_case "video_compress stopped with SIG$signal"
  sh "$TT_TOOL" --batch "$TT_DIR/long.mp4" "$TT_DIR/long-out.mp4" 2>/dev/null &
  pid=$!
  for _ in $(seq 50); do pgrep -a ffmpeg | grep -q 'long\.mp4' && break; sleep 0.1; done
  kill "-$signal" "$pid"
  wait "$pid"
  sleep 0.5
  tt_expect "ffmpeg ended with the tool" no_ffmpeg_on_it
  tt_expect "no part file left" test -z "$(find "$TT_DIR" -maxdepth 1 -name '.qbtool-part*')"
  tt_expect "no output" test ! -e "$TT_DIR/long-out.mp4"
done

tt_finish
