#!/bin/bash
# 文件校验MD5: the MD5 and SHA-256 checksums of a file, shown and saved beside it.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="文件校验MD5"
TOOL_INPUT_NAME="要校验的文件"
TOOL_OUTPUT_SUFFIX="校验值"
TOOL_OUTPUT_EXT="txt"
# The checksum programs say nothing while they read, so the window just shows it is busy.
TOOL_PROGRESS=pulsate

tool_needs() {
  qb_need md5sum coreutils
  qb_need sha256sum coreutils
}

# Any readable file will do, an empty one too (its checksums are well known, and asked for).
tool_check() {
  [ -e "$1" ] || qb_fail 2 "找不到文件：$1"
  [ -f "$1" ] || qb_fail 2 "不是普通文件：$1"
  [ -r "$1" ] || qb_fail 2 "没有权限读取文件：$1"
}

tool_run() {
  local input=$1 output=$2 temp md5 sha
  echo "# 正在计算 $(basename -- "$input") 的 MD5 和 SHA-256（$(qb_size_text "$(qb_file_size "$input")")）……"
  # Both at once: the second read of a big file comes from the page cache. Reading stdin keeps
  # odd file names out of the programs' output.
  md5sum <"$input" >"$QB_WORK/md5" 2>"$QB_WORK/md5.log" &
  sha256sum <"$input" >"$QB_WORK/sha" 2>"$QB_WORK/sha.log" || qb_fail 5 "读取文件失败：$(head -n 1 -- "$QB_WORK/sha.log")"
  wait $! || qb_fail 5 "读取文件失败：$(head -n 1 -- "$QB_WORK/md5.log")"
  read -r md5 _ <"$QB_WORK/md5"
  read -r sha _ <"$QB_WORK/sha"
  temp=$(qb_temp_beside "$output")
  printf 'MD5 %s\nSHA256 %s\n' "$md5" "$sha" >"$temp"
  qb_publish "$temp" "$output"
  echo "100"
}

tool_done() {
  local md5 sha answer
  md5=$(awk '$1 == "MD5" { print $2 }' "$2")
  sha=$(awk '$1 == "SHA256" { print $2 }' "$2")
  while :; do
    answer=$(zenity --info --no-wrap --title="$TOOL_TITLE" --ok-label="关闭" --extra-button="复制 MD5" \
      --extra-button="复制 SHA-256" --text="$(qb_markup "文件：$(basename -- "$1")
MD5：$md5
SHA-256：$sha
已保存到：$2")" 2>/dev/null)
    case $answer in
      "复制 MD5") copy_text "$md5" ;;
      "复制 SHA-256") copy_text "$sha" ;;
      *) return 0 ;;
    esac
  done
}

copy_text() {
  if command -v xclip >/dev/null 2>&1; then
    printf '%s' "$1" | xclip -selection clipboard -i && qb_info_window "已复制到剪贴板。"
  else
    qb_error_window "复制需要 xclip，请先安装 Debian 软件包 xclip（sudo apt-get install xclip）。"
  fi
}

qb_main "$@"
