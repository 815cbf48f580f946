# qbtool.sh: what every office tool shares. A tool's launch file sets TOOL_TITLE, defines its
# hooks and ends with `qb_main "$@"`; this file is packed beside it in the tool's archive.
#
#   <launch file>                       the window: choose a file, options, progress, result
#   <launch file> FILE...               the same for files given (as "Open with" does): no
#                                       chooser, and the window's title names the file
#   <launch file> --batch INPUT OUTPUT [OPTION...]
#                                       the same job without a window; exit 0 on success,
#                                       non-zero with one line on stderr otherwise
#
# Hooks (only tool_run is required):
#   tool_needs             qb_need for every program the tool calls
#   tool_check INPUT       qb_expect_* on the input; exits through qb_fail when it is unfit
#   tool_options           GUI only: asks for the tool's options (sets variables); cancel ends
#   tool_batch_options ARG...  batch only: the options after OUTPUT
#   tool_output INPUT      prints the output path beside INPUT (default: qb_output_beside)
#   tool_run INPUT OUTPUT  does the job; writes OUTPUT only through qb_publish; may print
#                          progress lines ("NN" percent, "# text") on stdout
#   tool_done INPUT OUTPUT GUI only: shows the result (default: where it was saved)
#   tool_choose            GUI only: makes or picks the input instead of the file chooser, prints it
#   tool_window            GUI only: the whole window, for a tool that has no input to choose
#
# Exit codes: 0 done, 1 cancelled or usage, 2 bad input, 3 a program is missing, 4 the output
# cannot be written (exists, no permission), 5 the job itself failed.

set -u
QB_BATCH=0
QB_MULTIPLE=0          # a tool that takes several files sets this to 1
TOOL_FILTER=""         # file-chooser filter, zenity syntax: "视频 | *.mp4 *.mkv"
TOOL_INPUT_KIND=file   # or "directory"
TOOL_PROGRESS=""       # "pulsate": the job cannot tell how far it is, the window shows it busy
QB_ERROR_FILE=""
QB_WORK=""

qb_cleanup() { [ -n "$QB_WORK" ] && rm -rf -- "$QB_WORK"; }
trap qb_cleanup EXIT
# The work folder's path reaches the programs (the inputs' aliases live there), so it holds no
# character any of them could read as syntax: a TMPDIR that does is passed over for /tmp.
qb_work_root() {
  local root=${TMPDIR:-/tmp}
  if [[ ! $root =~ ^/[A-Za-z0-9._/-]*$ ]] || [ ! -d "$root" ] || [ ! -w "$root" ]; then root=/tmp; fi
  printf '%s\n' "$root"
}
QB_WORK=$(mktemp -d "$(qb_work_root)/qbtool.XXXXXX") || { echo "无法创建临时目录" >&2; exit 4; }
QB_ERROR_FILE="$QB_WORK/error"

# --- names the programs see -------------------------------------------------------------------
# A user's file name never reaches a program as it is: Ghostscript reads %pipe% and %d in names,
# ImageMagick %, @, [..] and "format:", ffmpeg "proto:", and any of them a leading "-". Every
# input is handed to the tool as a link in the work folder whose name keeps only characters no
# program interprets; every temporary output is written through a link to its folder. The
# user's own names (QB_SOURCES) are kept for output names and messages.
QB_SOURCES=()

# The name with every character a program might read as syntax made "_", and no leading "-",
# space or dot.
qb_plain_name() {
  local name=$1
  name=${name//[^[:alnum:]._ ()（）【】《》，。、+-]/_}
  while [[ $name == [-.\ ]* ]]; do name="_${name:1}"; done
  printf '%s\n' "${name:-_}"
}

# The last two lines of a program's log that say something: never its usage or help screen.
qb_log_tail() {
  grep -v -i -E '^[[:space:]]*$|--help|^for help|usage:|^[[:space:]]+qpdf --' -- "$1" 2>/dev/null | tail -n 2 | tr '\n' ' '
}

# TEXT as a JSON string, quotes included.
qb_json_string() {
  local s=${1//\\/\\\\}
  s=${s//\"/\\\"}
  s=${s//$'\n'/\\n}
  s=${s//$'\t'/\\t}
  s=${s//$'\r'/\\r}
  printf '"%s"' "$s"
}

qb_absolute() { case $1 in /*) printf '%s\n' "$1" ;; *) printf '%s\n' "$PWD/$1" ;; esac; }

# Prints a link to PATH (a file or a folder) under the work folder: in its "in" folder under the
# plain name, so that lists of inputs sort as the user's names do, or, when that name is taken,
# in a folder of its own.
qb_alias() {
  local folder="$QB_WORK/in" alias name
  name=$(qb_plain_name "$(basename -- "$1")")
  mkdir -p -- "$folder"
  if [ -e "$folder/$name" ] || [ -L "$folder/$name" ]; then
    folder=$(mktemp -d "$QB_WORK/name.XXXXXX") || qb_fail 4 "无法准备输入文件：$1"
  fi
  alias="$folder/$name"
  ln -s -- "$(qb_absolute "$1")" "$alias" || qb_fail 4 "无法准备输入文件：$1"
  printf '%s\n' "$alias"
}

# QB_INPUTS become aliases of the files the user gave; QB_SOURCES keeps the originals. A folder
# is given as an absolute path (its files are the tool's to walk); what is not a file at all
# (a screen recorder's seconds) stays as it is.
qb_alias_inputs() {
  QB_SOURCES=("${QB_INPUTS[@]}")
  local i
  for i in "${!QB_INPUTS[@]}"; do
    if [ -d "${QB_INPUTS[i]}" ]; then
      QB_INPUTS[i]=$(qb_absolute "${QB_INPUTS[i]}")
    elif [ -e "${QB_INPUTS[i]}" ]; then
      QB_INPUTS[i]=$(qb_alias "${QB_INPUTS[i]}")
    fi
  done
}

# Ends the job with a message: on stderr in batch mode, in an error window otherwise.
qb_fail() {
  local code=$1
  shift
  if [ "$QB_BATCH" = 1 ]; then
    printf '%s：%s\n' "${TOOL_TITLE:-工具}" "$*" >&2
  else
    printf '%s\n' "$*" >"$QB_ERROR_FILE"
    qb_error_window "$*"
  fi
  exit "$code"
}

qb_error_window() {
  zenity --error --no-wrap --title="${TOOL_TITLE:-工具}" --ok-label="确定" --text="$(qb_markup "$1")" 2>/dev/null
}

qb_info_window() {
  zenity --info --no-wrap --title="${TOOL_TITLE:-工具}" --ok-label="确定" --text="$(qb_markup "$1")" 2>/dev/null
}

# zenity reads Pango markup: file names with & or < must not break the text.
qb_markup() {
  local text=${1//&/&amp;}
  text=${text//</&lt;}
  printf '%s' "${text//>/&gt;}"
}

# A program the tool needs, and the Debian package that brings it.
qb_need() {
  command -v "$1" >/dev/null 2>&1 ||
    qb_fail 3 "缺少程序 $1，请先安装 Debian 软件包 $2（sudo apt-get install $2）。"
}

qb_size_text() {
  local bytes=$1
  if [ "$bytes" -ge 1048576 ]; then
    awk -v b="$bytes" 'BEGIN { printf "%.1f MB", b / 1048576 }'
  elif [ "$bytes" -ge 1024 ]; then
    awk -v b="$bytes" 'BEGIN { printf "%.1f KB", b / 1024 }'
  else
    printf '%d 字节' "$bytes"
  fi
}

qb_file_size() { stat -L -c %s -- "$1"; }  # an input is a link to the user's file

# --- input checks -----------------------------------------------------------------------------

qb_expect_readable() {
  [ -e "$1" ] || qb_fail 2 "找不到文件：$1"
  if [ "$TOOL_INPUT_KIND" = directory ]; then
    [ -d "$1" ] || qb_fail 2 "不是文件夹：$1"
    [ -r "$1" ] && [ -x "$1" ] || qb_fail 2 "没有权限读取文件夹：$1"
    return
  fi
  [ -f "$1" ] || qb_fail 2 "不是普通文件：$1"
  [ -r "$1" ] || qb_fail 2 "没有权限读取文件：$1"
  [ -s "$1" ] || qb_fail 2 "文件是空的：$1"
}

# The streams ffprobe finds, one codec_type a line; empty for a file that is no media at all.
qb_stream_types() {
  ffprobe -v error -show_entries stream=codec_type -of default=noprint_wrappers=1:nokey=1 -- "$1" 2>/dev/null
}

qb_expect_video() {
  qb_expect_readable "$1"
  qb_stream_types "$1" | grep -qx video || qb_fail 2 "这不是可以读取的视频文件：$(basename -- "$1")"
  # A picture also has one "video" stream; a video has a duration.
  local duration
  duration=$(qb_media_duration "$1")
  awk -v d="$duration" 'BEGIN { exit !(d > 0) }' ||
    qb_fail 2 "这不是可以读取的视频文件：$(basename -- "$1")"
}

qb_expect_audio() {
  qb_expect_readable "$1"
  qb_stream_types "$1" | grep -qx audio || qb_fail 2 "文件中没有可以读取的音频：$(basename -- "$1")"
}

qb_expect_image() {
  qb_expect_readable "$1"
  identify -- "$1" >/dev/null 2>&1 || qb_fail 2 "这不是可以读取的图片文件：$(basename -- "$1")"
}

qb_expect_pdf() {
  qb_expect_readable "$1"
  [ "$(head -c 5 -- "$1")" = "%PDF-" ] || qb_fail 2 "这不是 PDF 文件：$(basename -- "$1")"
  local check
  check=$(qpdf --check -- "$1" 2>&1)
  case $? in
    0 | 3) ;;  # 3: warnings only, the file still reads
    2)
      if printf '%s' "$check" | grep -qi 'password'; then
        qb_fail 2 "PDF 文件有密码保护，请先解密：$(basename -- "$1")"
      fi
      qb_fail 2 "PDF 文件已损坏，无法读取：$(basename -- "$1")"
      ;;
    *) qb_fail 2 "PDF 文件已损坏，无法读取：$(basename -- "$1")" ;;
  esac
}

# --- output ------------------------------------------------------------------------------------

# INPUT's directory, its name without the extension, then "-SUFFIX.EXT", or "-SUFFIX(2).EXT" and
# on while such a file exists: a tool never writes over a file the user has.
qb_output_beside() {
  local input=$1 suffix=$2 ext=$3
  local dir base candidate n=2
  dir=$(dirname -- "$input")
  base=$(basename -- "$input")
  [ -d "$input" ] || base=${base%.*}
  candidate="$dir/$base-$suffix${ext:+.$ext}"
  while [ -e "$candidate" ]; do
    candidate="$dir/$base-$suffix($n)${ext:+.$ext}"
    n=$((n + 1))
  done
  printf '%s\n' "$candidate"
}

qb_expect_writable_output() {
  local out=$1 dir
  [ -e "$out" ] && qb_fail 4 "输出文件已存在，不会覆盖：$out"
  dir=$(dirname -- "$out")
  [ -d "$dir" ] || qb_fail 4 "输出文件夹不存在：$dir"
  [ -w "$dir" ] && [ -x "$dir" ] || qb_fail 4 "没有权限在此文件夹中写入：$dir"
}

# A fresh temporary file beside OUTPUT (same file system, so publishing is one link), with
# OUTPUT's extension so that converters pick the right format from the name.
qb_temp_beside() {
  local out=$1 ext=""
  case $(basename -- "$out") in *.*) ext=".${out##*.}" ;; esac
  [[ $ext =~ ^\.[A-Za-z0-9]{1,10}$ ]] || ext=""
  # Made in the output's folder (so that publishing is a link, never a copy), named through a
  # link to that folder, so the programs never see the folder's own name.
  local folder temp
  folder=$(mktemp -d "$QB_WORK/out.XXXXXX") || qb_fail 4 "无法创建临时文件"
  folder="$folder/folder"
  ln -s -- "$(qb_absolute "$(dirname -- "$out")")" "$folder" || qb_fail 4 "无法创建临时文件"
  temp=$(mktemp --tmpdir="$folder" --suffix="$ext" ".qbtool-part.XXXXXX") ||
    qb_fail 4 "没有权限在此文件夹中写入：$(dirname -- "$out")"
  # mktemp makes the file private; the result is an ordinary file of the user's.
  chmod "$(printf '%o' $((0666 & ~$(umask))))" -- "$temp"
  printf '%s\n' "$temp"
}

# Gives the finished temporary file its name. A hard link fails when OUTPUT exists, so an
# existing file is never replaced, even one that appeared while the tool ran.
qb_publish() {
  local temp=$1 out=$2
  if ln -- "$temp" "$out" 2>/dev/null; then
    rm -f -- "$temp"
    return
  fi
  if [ -e "$out" ]; then
    rm -f -- "$temp"
    qb_fail 4 "输出文件已存在，不会覆盖：$out"
  fi
  # A file system without hard links: a no-clobber rename, checked afterwards.
  mv -n -- "$temp" "$out" && [ ! -e "$temp" ] || {
    rm -f -- "$temp"
    qb_fail 4 "无法写入输出文件：$out"
  }
}

# A directory output (pages, parts): made here, filled by the tool, removed again when the job
# does not finish. The job runs in a subshell, so the folder is noted in the work folder, where
# the job's runner finds it.
qb_output_directory() {
  mkdir -- "$1" 2>/dev/null || qb_fail 4 "无法创建输出文件夹（已存在或没有权限）：$1"
  QB_OUTPUT_DIRECTORY=$1
  printf '%s' "$1" >"$QB_WORK/output-directory"
}
QB_OUTPUT_DIRECTORY=""

# --- media progress ------------------------------------------------------------------------------

qb_media_duration() {
  ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 -- "$1" 2>/dev/null |
    awk 'NR == 1 && $1 ~ /^[0-9.]+$/ { print $1; found = 1 } END { if (!found) print 0 }'
}

# Runs ffmpeg with its machine-readable progress turned into percentages of DURATION seconds.
# Usage: qb_ffmpeg DURATION ffmpeg-arguments...
qb_ffmpeg() {
  local duration=$1
  shift
  local log="$QB_WORK/ffmpeg.log" status
  # mawk (Debian's default awk) reads a pipe in large blocks: without -W interactive the window
  # would see all the progress at the very end.
  local line_by_line=()
  awk -W version 2>/dev/null | grep -qi mawk && line_by_line=(-W interactive)
  ffmpeg -nostdin -hide_banner -loglevel error -y -progress pipe:1 -nostats "$@" 2>"$log" |
    awk "${line_by_line[@]}" -F= -v d="$duration" '
      $1 == "out_time_us" && d > 0 { p = int($2 / 10000 / d); if (p > 99) p = 99; if (p >= 0 && p != last) { print p; last = p; fflush() } }
      $1 == "progress" && $2 == "end" { print 100; fflush() }'
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ]; then
    qb_fail 5 "处理失败：$(tail -n 3 -- "$log" | tr '\n' ' ')"
  fi
}

# --- text recognition ------------------------------------------------------------------------

# The picture as the recogniser reads it best, written to PREPARED: grey, enlarged when small (it
# wants letters some 30 pixels high), transparency on white. Errors go to $QB_WORK/ocr.log.
qb_ocr_prepare() {
  local input=$1 prepared=$2 width scale=100
  width=$(identify -format '%w' -- "${input}[0]" 2>/dev/null)
  [ "${width:-0}" -gt 0 ] && [ "$width" -lt 1500 ] && scale=200
  convert -- "${input}[0]" -auto-orient -colorspace Gray -resize "$scale%" -alpha remove "$prepared" 2>"$QB_WORK/ocr.log"
}

# Text of a picture on stdout, recognised as Simplified Chinese and English; spaces the recogniser
# puts between Chinese characters go.
qb_ocr_text() {
  local prepared="$QB_WORK/prepared.png"
  qb_ocr_prepare "$1" "$prepared" || return 1
  tesseract "$prepared" stdout -l chi_sim+eng --psm 3 2>>"$QB_WORK/ocr.log" | qb_ocr_tidy | cat -s
  return "${PIPESTATUS[0]}"
}

# The job of a tool whose result is the picture's text: INPUT recognised into the UTF-8 text
# file OUTPUT.
qb_ocr_to_text() {
  local input=$1 output=$2 temp
  temp=$(qb_temp_beside "$output")
  echo "10"
  echo "# 正在识别文字……"
  qb_ocr_text "$input" >"$temp" || { rm -f -- "$temp"; qb_fail 5 "识别失败：$(tail -n 2 -- "$QB_WORK/ocr.log")"; }
  echo "95"
  qb_publish "$temp" "$output"
  echo "100"
}

# The job of a tool that reads fields out of a picture: recognise INPUT, hand the text to
# FIELDS (a function: text on stdin, "字段：值" lines on stdout) and publish what it wrote.
# Usage: qb_ocr_fields INPUT OUTPUT FIELDS WHAT
qb_ocr_fields() {
  local input=$1 output=$2 fields=$3 what=$4 text="$QB_WORK/text.txt" temp
  echo "10"
  echo "# 正在识别${what}……"
  qb_ocr_text "$input" >"$text" || qb_fail 5 "识别失败：$(tail -n 2 -- "$QB_WORK/ocr.log")"
  [ -n "$(tr -d '[:space:]' <"$text")" ] || qb_fail 2 "图片中没有识别到文字：$(basename -- "$input")"
  echo "90"
  temp=$(qb_temp_beside "$output")
  "$fields" <"$text" >"$temp" || { rm -f -- "$temp"; qb_fail 5 "无法整理识别结果。"; }
  qb_publish "$temp" "$output"
  echo "100"
}

# Joins what the recogniser split: no blanks between Chinese characters and punctuation.
qb_ocr_tidy() {
  perl -CSD -Mutf8 -pe '1 while s/(\p{Han}|[，。、；：？！“”（）])[ \t]+(?=\p{Han}|[，。、；：？！“”（）])/$1/g; s/[ \t]+$//'
}

# The recogniser and its Chinese data, and ImageMagick for the preparation.
qb_need_ocr() {
  qb_need tesseract tesseract-ocr
  tesseract --list-langs 2>/dev/null | grep -qx chi_sim ||
    qb_fail 3 "缺少简体中文识别数据，请先安装 Debian 软件包 tesseract-ocr-chi-sim（sudo apt-get install tesseract-ocr-chi-sim）。"
  qb_need convert imagemagick
}

# A text result in a window: "复制全部" puts it on the clipboard, "关闭" ends.
qb_text_window() {
  local file=$1 title=$2 answer
  while :; do
    answer=$(zenity --text-info --title="$title" --filename="$file" --width=640 --height=480 \
      --ok-label="确定" --cancel-label="关闭" --extra-button="复制全部" 2>/dev/null)
    [ "$answer" = "复制全部" ] || return 0
    if command -v xclip >/dev/null 2>&1; then
      xclip -selection clipboard -i <"$file" && qb_info_window "文字已复制到剪贴板。"
    else
      qb_error_window "复制需要 xclip，请先安装 Debian 软件包 xclip（sudo apt-get install xclip）。"
    fi
  done
}

# --- office documents (LibreOffice) ------------------------------------------------------------

# INPUT's directory and name with the extension EXT in place of its own ("报告.docx" -> "报告.pdf"),
# or "名称(2).EXT" and on while such a file exists: for tools that change only the format.
qb_output_as() {
  local dir base candidate n=2
  dir=$(dirname -- "$1")
  base=$(basename -- "$1")
  base=${base%.*}
  candidate="$dir/$base.$2"
  while [ -e "$candidate" ]; do
    candidate="$dir/$base($n).$2"
    n=$((n + 1))
  done
  printf '%s\n' "$candidate"
}

# LibreOffice with the part that opens a kind of document. Usage: qb_need_office writer|calc|impress
qb_need_office() {
  local lib package program
  case $1 in
    writer) lib=libswlo.so package=libreoffice-writer ;;
    calc) lib=libsclo.so package=libreoffice-calc ;;
    *) lib=libslideshowlo.so package=libreoffice-impress ;;
  esac
  qb_need soffice "$package"
  program=$(dirname -- "$(readlink -f -- "$(command -v soffice)")")
  [ -e "$program/$lib" ] ||
    qb_fail 3 "缺少 LibreOffice 组件，请先安装 Debian 软件包 $package（sudo apt-get install $package）。"
}

# An office document judged by its first bytes (the zip of OOXML and OpenDocument, the compound
# file of the old Office formats, RTF), so that a renamed file gets a clear message instead of
# being opened as text. Plain text and CSV pass as they are.
# Usage: qb_expect_office_document FILE KIND (the kind the message names, "Word 文档")
qb_expect_office_document() {
  qb_expect_readable "$1"
  local name ext head ok=1
  name=$(basename -- "$1")
  ext=${name##*.}
  head=$(head -c 8 -- "$1" | od -An -tx1 | tr -d ' \n')
  case ${ext,,} in
    docx | docm | xlsx | xlsm | pptx | ppsx | odt | ods | odp | ott | ots | otp)
      # A password-protected OOXML file is a compound file.
      [ "${head:0:8}" = 504b0304 ] || [ "$head" = d0cf11e0a1b11ae1 ] || ok=0 ;;
    doc | xls | ppt | pps)
      [ "$head" = d0cf11e0a1b11ae1 ] || [ "${head:0:10}" = 7b5c727466 ] || [ "${head:0:2}" = 3c ] || ok=0 ;;
    rtf) [ "${head:0:10}" = 7b5c727466 ] || ok=0 ;;
  esac
  [ "$ok" = 1 ] || qb_fail 2 "这不是可以读取的${2:-办公文档}：$name"
}

# Converts INPUT with LibreOffice into OUTPUT, published like any output. TARGET is what
# --convert-to takes ("pdf", "docx:MS Word 2007 XML"); INFILTER, if given, says how to open INPUT.
# LibreOffice gets a profile of its own in QB_WORK, so a LibreOffice the user has open neither
# takes the job over nor blocks it, and QB_OFFICE_TIMEOUT seconds at most.
# Usage: qb_soffice_convert INPUT OUTPUT TARGET [INFILTER]
QB_OFFICE_TIMEOUT=${QB_OFFICE_TIMEOUT:-300}
qb_soffice_convert() {
  local input=$1 output=$2 target=$3 infilter=${4:-}
  local dir="$QB_WORK/office" name source pid status elapsed=0 percent result temp
  mkdir -p -- "$dir/in" "$dir/out"
  name=$(basename -- "$input")
  # An absolute path in a folder of our own: the name keeps the user's (Calc prints it as the
  # sheet name of a CSV) while the folder path stays plain.
  source="$dir/in/$name"
  ln -s -- "$(readlink -f -- "$input")" "$source"
  local args=(-env:UserInstallation="file://$dir/profile" --headless --invisible --norestore --nologo
    --nolockcheck --convert-to "$target" --outdir "$dir/out")
  [ -n "$infilter" ] && args+=("--infilter=$infilter")
  echo "# 正在用 LibreOffice 转换 $name ……"
  timeout -k 10 "$QB_OFFICE_TIMEOUT" soffice "${args[@]}" "$source" >"$dir/log" 2>&1 </dev/null &
  pid=$!
  # A closed progress window (cancel) stops LibreOffice too.
  trap '' PIPE
  while kill -0 "$pid" 2>/dev/null; do
    percent=$((5 + elapsed * 3))
    [ "$percent" -gt 90 ] && percent=90
    echo "$percent" 2>/dev/null || { kill "$pid" 2>/dev/null; wait "$pid"; exit 1; }
    sleep 0.5
    elapsed=$((elapsed + 1))
  done
  wait "$pid"
  status=$?
  [ "$status" -eq 124 ] || [ "$status" -eq 137 ] &&
    qb_fail 5 "LibreOffice 在 $QB_OFFICE_TIMEOUT 秒内没有完成转换，已停止：$name"
  result=$(find "$dir/out" -type f -size +0 | head -n 1)
  [ -n "$result" ] ||
    qb_fail 5 "LibreOffice 无法转换此文件（可能已损坏、有密码保护或格式不受支持）：$name"
  temp=$(qb_temp_beside "$output")
  cp -- "$result" "$temp" || { rm -f -- "$temp"; qb_fail 4 "无法写入输出文件：$output"; }
  rm -rf -- "$dir"
  qb_publish "$temp" "$output"
  echo 100
}

# --- resource collections ----------------------------------------------------------------------
# A collection's launch file ships a folder of material: its window opens that folder, and
# `--batch - OUTPUT` copies the material into the new folder OUTPUT.

# The batch input of a collection is "-"; its material folder must be there and not empty.
# A resource collection: its launch file names the material folder; batch mode copies it into
# a new folder, the window opens it.
qb_collection() {
  QB_MATERIAL=$1
  tool_check() { qb_expect_collection "$1" "$QB_MATERIAL"; }
  tool_run() { qb_copy_collection "$QB_MATERIAL" "$2"; }
  tool_window() {
    qb_expect_collection - "$QB_MATERIAL"
    qb_open_folder "$QB_MATERIAL"
  }
}

qb_expect_collection() {
  [ "$1" = "-" ] || qb_fail 1 "用法：$(basename -- "$0") --batch - 输出文件夹"
  [ -d "$2" ] && [ -n "$(ls -A -- "$2" 2>/dev/null)" ] || qb_fail 5 "素材文件夹不完整，请重新安装：$2"
}

# Copies the material into the new folder OUTPUT; a failed copy leaves no half folder behind.
qb_copy_collection() {
  local material=$1 output=$2
  qb_output_directory "$output"
  cp -R -- "$material"/. "$output"/ 2>"$QB_WORK/copy.log" && chmod -R u+w -- "$output" || {
    rm -rf -- "$output"
    qb_fail 5 "复制失败：$(tail -n 1 -- "$QB_WORK/copy.log")"
  }
}

# Opens FOLDER in the file manager; without one, a message says where it is.
qb_open_folder() {
  local folder=$1
  if command -v xdg-open >/dev/null 2>&1 &&
    { [ -n "${XDG_CURRENT_DESKTOP:-}" ] || [ -n "$(xdg-mime query default inode/directory 2>/dev/null)" ]; } &&
    xdg-open "$folder" >/dev/null 2>&1; then
    return 0
  fi
  qb_info_window "没有找到可以打开文件夹的文件管理器。素材在这个文件夹中：
$folder"
}

# --- dialogs -------------------------------------------------------------------------------------

qb_choose_input() {
  local args=(--file-selection --title="${TOOL_TITLE}：请选择${TOOL_INPUT_NAME:-文件}")
  [ "$TOOL_INPUT_KIND" = directory ] && args+=(--directory)
  [ "$QB_MULTIPLE" = 1 ] && args+=(--multiple --separator=$'\n')
  if [ -n "$TOOL_FILTER" ]; then args+=(--file-filter="$TOOL_FILTER" --file-filter="所有文件 | *"); fi
  zenity "${args[@]}" 2>/dev/null
}

# A list to pick one entry from; prints the chosen entry. Usage: qb_pick TEXT DEFAULT ENTRY...
qb_pick() {
  local text=$1 default=$2
  shift 2
  local rows=()
  for entry in "$@"; do
    if [ "$entry" = "$default" ]; then rows+=(TRUE "$entry"); else rows+=(FALSE "$entry"); fi
  done
  zenity --list --radiolist --title="$TOOL_TITLE" --text="$text" --ok-label="确定" --cancel-label="取消" \
    --column="选择" --column="选项" --hide-header --width=420 --height=320 "${rows[@]}" 2>/dev/null
}

# The result window of a tool that wrote a PDF: its page count and where it was saved; NOTE
# follows the count. Usage: qb_pdf_done OUTPUT [NOTE]
qb_pdf_done() {
  local pages
  pages=$(pdfinfo -- "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }')
  qb_info_window "转换完成${pages:+，共 $pages 页${2:-}}。
已保存到：$1"
}

# Three qualities, 高, 中 and 低, described by the tool's QUALITY_TEXT map; QUALITY holds the
# choice (中 unless chosen). For tool_options and tool_batch_options.
qb_quality_choice() {
  local chosen key
  chosen=$(qb_pick "请选择压缩后的画质：" "${QUALITY_TEXT[中]}" "${QUALITY_TEXT[高]}" "${QUALITY_TEXT[中]}" \
    "${QUALITY_TEXT[低]}") || return 1
  for key in "${!QUALITY_TEXT[@]}"; do [ "${QUALITY_TEXT[$key]}" = "$chosen" ] && QUALITY=$key; done
  return 0
}

qb_quality_option() {
  [ $# -eq 0 ] && return 0
  [ -n "${QUALITY_TEXT[$1]:-}" ] || qb_fail 1 "画质只能是 高、中 或 低：$1"
  QUALITY=$1
}

# One line of text; prints it. Usage: qb_ask TEXT DEFAULT
qb_ask() {
  zenity --entry --title="$TOOL_TITLE" --text="$1" --entry-text="$2" --ok-label="确定" --cancel-label="取消" \
    2>/dev/null
}

# --- the two ways in -----------------------------------------------------------------------------

qb_default_output() { qb_output_beside "$1" "${TOOL_OUTPUT_SUFFIX:-结果}" "${TOOL_OUTPUT_EXT:-}"; }
qb_hook() { declare -F "$1" >/dev/null; }

qb_prepare() {
  qb_hook tool_needs && tool_needs
  local input
  for input in "${QB_INPUTS[@]}"; do
    if qb_hook tool_check; then tool_check "$input"; else qb_expect_readable "$input"; fi
  done
}

# The running job: a process group of its own, so that stopping it stops every program it
# started (ffmpeg, gs, soffice), not only the shell around them.
QB_JOB=""
qb_stop_job() {
  [ -n "$QB_JOB" ] && kill -TERM -- "-$QB_JOB" 2>/dev/null
  return 0
}

# What an unfinished job leaves must go: its temporary files and an output folder it made.
qb_discard_partial() {
  local output=$1 made=""
  [ -f "$QB_WORK/output-directory" ] && made=$(cat -- "$QB_WORK/output-directory")
  [ -n "$made" ] && [ -d "$made" ] && rm -rf -- "$made"
  rm -f -- "$(dirname -- "$output")"/.qbtool-part.* 2>/dev/null
}

# Whatever ends the tool (取消, Ctrl+C, a closed terminal, a session that ends, kill) ends the
# job's programs and leaves the whole result or nothing.
QB_OUTPUT_PENDING=""
qb_on_signal() {
  qb_stop_job
  [ -n "$QB_OUTPUT_PENDING" ] && qb_discard_partial "$QB_OUTPUT_PENDING"
  exit 1
}
trap qb_on_signal INT TERM HUP

# Runs the job; progress lines go to the window, or nowhere in batch mode. The job and the
# window are both waited for in the background, so a signal is acted on at once.
qb_run_job() {
  local input=$1 output=$2 status reader reader_status cancelled=0 feed
  rm -f -- "$QB_WORK/output-directory"
  feed=$(mktemp -u "$QB_WORK/progress.XXXXXX")
  mkfifo -- "$feed" || qb_fail 4 "无法创建临时文件"
  QB_OUTPUT_PENDING=$output
  set -m
  (trap - EXIT INT TERM HUP; tool_run "$input" "$output" >"$feed") </dev/null &
  QB_JOB=$!
  set +m
  if [ "$QB_BATCH" = 1 ]; then
    cat -- "$feed" >/dev/null &
  else
    local pulsate=()
    [ "$TOOL_PROGRESS" = pulsate ] && pulsate=(--pulsate)
    zenity --progress --title="$TOOL_TITLE" --text="正在处理，请稍候……" --percentage=0 --auto-close \
      "${pulsate[@]}" --width=420 --ok-label="确定" --cancel-label="取消" <"$feed" 2>/dev/null &
  fi
  reader=$!
  wait "$reader"
  reader_status=$?
  # The window closed by 取消 (or by its close button) while the job still runs: stop it.
  if [ "$reader_status" -ne 0 ] && kill -0 "$QB_JOB" 2>/dev/null; then
    cancelled=1
    qb_stop_job
  fi
  wait "$QB_JOB"
  status=$?
  QB_JOB=""
  [ "$cancelled" = 1 ] && status=1
  [ "$reader_status" -ne 0 ] && [ "$status" -eq 0 ] && [ ! -e "$output" ] && status=1
  [ "$status" -ne 0 ] && qb_discard_partial "$output"
  rm -f -- "$(dirname -- "$output")"/.qbtool-part.* 2>/dev/null
  QB_OUTPUT_PENDING=""
  return "$status"
}

qb_batch() {
  QB_BATCH=1
  if [ $# -lt 2 ]; then
    echo "用法：$(basename -- "$0") --batch 输入 输出 [选项...]" >&2
    exit 1
  fi
  local input=$1 output=$2
  shift 2
  QB_INPUTS=("$input")
  # A tool that takes several files takes a folder in batch mode: its files in natural name
  # order (1, 2, 10), as the window sorts them.
  if [ "$QB_MULTIPLE" = 1 ] && [ -d "$input" ]; then
    # Absolute, so that a folder named like an option ("-pdfs") stays a folder to find.
    mapfile -t QB_INPUTS < <(find "$(qb_absolute "$input")" -maxdepth 1 -type f | sort -V)
    [ ${#QB_INPUTS[@]} -ge 2 ] || qb_fail 2 "文件夹中至少要有两个文件：$input"
  fi
  qb_alias_inputs
  qb_prepare
  if qb_hook tool_batch_options; then tool_batch_options "$@"; fi
  qb_expect_writable_output "$output"
  if [ "$QB_MULTIPLE" = 1 ]; then input=$(qb_join_inputs); else input=${QB_INPUTS[0]}; fi
  qb_run_job "$input" "$output"
}

# The dialogs' own words (file chooser, buttons) in Simplified Chinese, like the tools' texts, when
# the system has that locale.
qb_chinese_dialogs() {
  local name
  name=$(locale -a 2>/dev/null | grep -i -m1 '^zh_CN\.utf-\?8$') || return 0
  export LC_MESSAGES=$name LANGUAGE=zh_CN
}

qb_window() {
  if [ -z "${DISPLAY:-}" ] || ! command -v zenity >/dev/null 2>&1; then
    echo "${TOOL_TITLE}：需要图形界面和 zenity（sudo apt-get install zenity）；也可以用 --batch 输入 输出" >&2
    exit 3
  fi
  local chosen
  if [ $# -gt 0 ]; then
    # Files handed over by the desktop ("Open with"): a chooser would only ask again.
    QB_INPUTS=("$@")
    if [ $# -eq 1 ]; then TOOL_TITLE="$TOOL_TITLE - $(basename -- "$1")"; else TOOL_TITLE="$TOOL_TITLE - $# 个文件"; fi
  else
    # A tool whose input is not a file the user has (a screenshot) makes it in tool_choose.
    if qb_hook tool_choose; then chosen=$(tool_choose) || exit 1; else chosen=$(qb_choose_input) || exit 1; fi
    [ -n "$chosen" ] || exit 1
    mapfile -t QB_INPUTS <<<"$chosen"
  fi
  qb_alias_inputs
  (qb_prepare) || exit $?
  if qb_hook tool_options; then tool_options || exit 1; fi
  local input=${QB_INPUTS[0]} output
  if [ "$QB_MULTIPLE" = 1 ]; then input=$(qb_join_inputs); fi
  if qb_hook tool_output; then output=$(tool_output "${QB_SOURCES[0]}"); else output=$(qb_default_output "${QB_SOURCES[0]}"); fi
  (qb_expect_writable_output "$output") || exit 4
  qb_run_job "$input" "$output"
  local status=$?
  if [ "$status" -ne 0 ]; then
    # qb_fail has shown its message already; a cancel needs none.
    [ "$status" -eq 1 ] || [ -s "$QB_ERROR_FILE" ] || qb_error_window "处理没有完成。"
    exit "$status"
  fi
  if qb_hook tool_done; then tool_done "$input" "$output"; else qb_info_window "处理完成，已保存到：
$output"; fi
}

# Several chosen files travel to tool_run as one list file, one path a line.
qb_join_inputs() {
  local list="$QB_WORK/inputs.txt"
  printf '%s\n' "${QB_INPUTS[@]}" >"$list"
  printf '%s\n' "$list"
}

qb_main() {
  if [ "${1:-}" = "--batch" ]; then
    shift
    qb_batch "$@"
  else
    qb_chinese_dialogs
    if qb_hook tool_window; then
      # A tool with nothing to choose (a collection that opens its folder) has its own window.
      tool_window
    else
      qb_window "$@"
    fi
  fi
}
