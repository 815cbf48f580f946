#!/bin/bash
# 文件批量重命名: renames every file of a folder to a prefix and a running number, extension
# kept, after a preview; records "old -> new" in a text file beside the folder.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="文件批量重命名"
TOOL_INPUT_NAME="要重命名其中文件的文件夹"
TOOL_INPUT_KIND=directory
PREFIX=""       # empty: the folder's name and "_"
START=1
OLD_NAMES=()
NEW_NAMES=()

# The record beside the folder: "文件夹-重命名记录.txt".
tool_output() { qb_output_beside "$1" "重命名记录" txt; }

tool_check() {
  qb_expect_readable "$1"
  [ -w "$1" ] || qb_fail 2 "没有权限修改这个文件夹中的文件名：$1"
  [ -n "$(find "$1" -maxdepth 1 -type f ! -name '.*' -print -quit)" ] || qb_fail 2 "文件夹中没有可以重命名的文件：$1"
}

check_prefix() {
  case $1 in
    */* | . | ..) qb_fail 1 "前缀中不能有“/”：$1" ;;
    .*) qb_fail 1 "前缀不能以“.”开头（那样文件会被隐藏）：$1" ;;
  esac
}

check_start() { [[ $1 =~ ^[0-9]{1,9}$ ]] || qb_fail 1 "起始编号应为整数：$1"; }

# OLD_NAMES and NEW_NAMES for the folder's visible files in natural name order; fails when a new
# name belongs to a file already there, so nothing is ever overwritten.
plan() {
  local folder=$1 prefix=${PREFIX:-$(basename -- "$1")_} name ext last width i=0 clash=""
  mapfile -t OLD_NAMES < <(find "$folder" -maxdepth 1 -type f ! -name '.*' -printf '%f\n' | sort -V)
  last=$((10#$START + ${#OLD_NAMES[@]} - 1))
  width=${#last}
  [ "$width" -lt 2 ] && width=2
  NEW_NAMES=()
  for name in "${OLD_NAMES[@]}"; do
    ext=""
    case $name in ?*.*) ext=".${name##*.}" ;; esac
    NEW_NAMES+=("$(printf '%s%0*d%s' "$prefix" "$width" $((10#$START + i)) "$ext")")
    i=$((i + 1))
  done
  for i in "${!NEW_NAMES[@]}"; do
    [ "${NEW_NAMES[$i]}" = "${OLD_NAMES[$i]}" ] && continue
    if [ -e "$folder/${NEW_NAMES[$i]}" ] || [ -L "$folder/${NEW_NAMES[$i]}" ]; then clash=${NEW_NAMES[$i]}; break; fi
  done
  [ -z "$clash" ] ||
    qb_fail 2 "文件夹中已经有名为“$clash”的文件，为了不覆盖任何文件，没有重命名。请换一个前缀或起始编号。"
}

tool_options() {
  local folder=${QB_INPUTS[0]} answer rows=() i
  while :; do
    answer=$(zenity --forms --title="$TOOL_TITLE" --text="新文件名 = 前缀 + 编号 + 原扩展名" \
      --add-entry="前缀（留空则用“$(basename -- "$folder")_”）" --add-entry="起始编号（默认 1）" \
      --separator=$'\n' --ok-label="预览" --cancel-label="取消" 2>/dev/null) || return 1
    PREFIX=$(sed -n 1p <<<"$answer")
    START=$(sed -n 2p <<<"$answer" | tr -d '[:space:]')
    START=${START:-1}
    (check_prefix "$PREFIX" && check_start "$START") || continue
    (plan "$folder") || continue
    plan "$folder"
    rows=()
    for i in "${!OLD_NAMES[@]}"; do rows+=("${OLD_NAMES[$i]}" "${NEW_NAMES[$i]}"); done
    zenity --list --title="$TOOL_TITLE：预览（共 ${#OLD_NAMES[@]} 个文件）" --text="确认后将按下表重命名：" \
      --column="原文件名" --column="新文件名" --ok-label="开始重命名" --cancel-label="返回修改" \
      --width=640 --height=480 "${rows[@]}" >/dev/null 2>&1 && return
  done
}

# Batch options: PREFIX (default: the folder's name and "_"), START (default 1).
tool_batch_options() {
  if [ $# -ge 1 ]; then check_prefix "$1"; PREFIX=$1; fi
  if [ $# -ge 2 ]; then check_start "$2"; START=$2; fi
  return 0
}

tool_run() {
  local folder=$1 output=$2 temp i done=0
  plan "$folder"
  temp=$(qb_temp_beside "$output")
  for i in "${!OLD_NAMES[@]}"; do
    [ "${NEW_NAMES[$i]}" = "${OLD_NAMES[$i]}" ] && continue
    # -n and a look afterwards: a file that appeared meanwhile is left alone and stops the run.
    if ! mv -n -- "$folder/${OLD_NAMES[$i]}" "$folder/${NEW_NAMES[$i]}" 2>/dev/null ||
      [ -e "$folder/${OLD_NAMES[$i]}" ]; then
      qb_publish "$temp" "$output"
      qb_fail 5 "无法把“${OLD_NAMES[$i]}”重命名为“${NEW_NAMES[$i]}”，已停止；已完成 $done 个，记录见：$output"
    fi
    printf '%s -> %s\n' "${OLD_NAMES[$i]}" "${NEW_NAMES[$i]}" >>"$temp"
    done=$((done + 1))
    echo $(((i + 1) * 100 / ${#OLD_NAMES[@]}))
  done
  qb_publish "$temp" "$output"
}

tool_done() {
  qb_info_window "重命名完成，共 $(wc -l <"$2") 个文件。
新旧文件名的对照记录已保存到：$2"
}

qb_main "$@"
