#!/bin/bash
# 单位换算: length, weight, area, volume and temperature conversions from a fixed table.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="单位换算"
TOOL_INPUT_NAME="换算清单（每行：数值 原单位 目标单位）"
TOOL_OUTPUT_SUFFIX="换算结果"
TOOL_OUTPUT_EXT="txt"

# The units of the window's lists, per category; the first word is the name the table knows.
CATEGORIES=(长度 重量 面积 体积 温度)
declare -A UNIT_LIST=(
  [长度]="千米（km）|米（m）|分米（dm）|厘米（cm）|毫米（mm）|微米（um）|纳米（nm）|英里（mi）|码（yd）|英尺（ft）|英寸（in）|海里（nmi）|里|丈|尺|寸"
  [重量]="吨（t）|千克（kg）|克（g）|毫克（mg）|磅（lb）|盎司（oz）|斤|两|克拉（ct）"
  [面积]="平方千米（km2）|公顷（ha）|平方米（m2）|平方分米（dm2）|平方厘米（cm2）|平方毫米（mm2）|亩|英亩（acre）|平方英里（mi2）|平方码（yd2）|平方英尺（ft2）|平方英寸（in2）"
  [体积]="立方米（m3）|升（L）|分升（dL）|毫升（mL）|立方厘米（cm3）|美制加仑（gal）|英制加仑（ukgal）|夸脱（qt）|品脱（pt）|液量盎司（floz）|立方英尺（ft3）|立方英寸（in3）"
  [温度]="摄氏度（C）|华氏度（F）|开尔文（K）"
)

# Reads lines "VALUE FROM TO" and prints "VALUE FROM = RESULT TO"; a line it cannot convert ends
# it with a message on stderr and exit 2. Every unit is its factor to the category's base unit
# (metre, kilogram, square metre, litre); temperatures are offsets, done apart.
CONVERT_AWK='
function add(cat, list,    n, i, parts, pair) {
  n = split(list, parts, " ")
  for (i = 1; i <= n; i++) { split(parts[i], pair, "="); kind[pair[1]] = cat; factor[pair[1]] = pair[2] }
}
function find(name) {
  if (name in kind) return name
  if (tolower(name) in kind) return tolower(name)
  return ""
}
function fail(text) { printf "第 %d 行：%s\n", NR, text > "/dev/stderr"; failed = 1; exit 2 }
BEGIN {
  add("长度", "km=1000 千米=1000 公里=1000 m=1 米=1 dm=0.1 分米=0.1 cm=0.01 厘米=0.01 mm=0.001 毫米=0.001 um=1e-6 μm=1e-6 微米=1e-6 nm=1e-9 纳米=1e-9 mi=1609.344 英里=1609.344 yd=0.9144 码=0.9144 ft=0.3048 英尺=0.3048 in=0.0254 英寸=0.0254 nmi=1852 海里=1852 里=500 丈=3.333333333333333 尺=0.3333333333333333 寸=0.03333333333333333")
  add("重量", "t=1000 吨=1000 kg=1 千克=1 公斤=1 g=0.001 克=0.001 mg=1e-6 毫克=1e-6 lb=0.45359237 磅=0.45359237 oz=0.028349523125 盎司=0.028349523125 斤=0.5 两=0.05 ct=0.0002 克拉=0.0002")
  add("面积", "km2=1e6 平方千米=1e6 平方公里=1e6 ha=10000 公顷=10000 m2=1 平方米=1 dm2=0.01 平方分米=0.01 cm2=1e-4 平方厘米=1e-4 mm2=1e-6 平方毫米=1e-6 亩=666.6666666666667 acre=4046.8564224 英亩=4046.8564224 mi2=2589988.110336 平方英里=2589988.110336 yd2=0.83612736 平方码=0.83612736 ft2=0.09290304 平方英尺=0.09290304 in2=0.00064516 平方英寸=0.00064516")
  add("体积", "m3=1000 立方米=1000 l=1 升=1 公升=1 dl=0.1 分升=0.1 ml=0.001 毫升=0.001 cm3=0.001 立方厘米=0.001 gal=3.785411784 美制加仑=3.785411784 加仑=3.785411784 ukgal=4.54609 英制加仑=4.54609 qt=0.946352946 夸脱=0.946352946 pt=0.473176473 品脱=0.473176473 floz=0.0295735295625 液量盎司=0.0295735295625 ft3=28.316846592 立方英尺=28.316846592 in3=0.016387064 立方英寸=0.016387064")
  add("温度", "c=C ℃=C °c=C 摄氏度=C f=F ℉=F °f=F 华氏度=F k=K 开尔文=K 开=K")
}
/^[ \t\r]*(#|$)/ { next }
{
  sub(/\r$/, "")
  if (NF != 3) fail("应写成“数值 原单位 目标单位”，例如“3 km m”：" $0)
  if ($1 !~ /^[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)?$/) fail("不是数值：" $1)
  from = find($2); to = find($3)
  if (from == "") fail("不认识的单位：" $2)
  if (to == "") fail("不认识的单位：" $3)
  if (kind[from] != kind[to]) fail(kind[from] "单位 " $2 " 不能换算成" kind[to] "单位 " $3)
  v = $1 + 0
  if (kind[from] == "温度") {
    k = factor[from] == "C" ? v + 273.15 : factor[from] == "F" ? (v - 32) * 5 / 9 + 273.15 : v
    if (k < -1e-9) fail("低于绝对零度：" $1 " " $2)
    r = factor[to] == "C" ? k - 273.15 : factor[to] == "F" ? (k - 273.15) * 9 / 5 + 32 : k
    # 273.15 K is 0 °C, not a rounding remainder of 1e-14.
    if (r > -5e-11 && r < 5e-11) r = 0
  } else {
    r = v * factor[from] / factor[to]
  }
  printf "%s %s = %.10g %s\n", $1, $2, r, $3
  lines++
}
END { if (!failed && !lines) { print "没有要换算的行" > "/dev/stderr"; exit 2 } }
'

tool_needs() { qb_need awk mawk; }

tool_check() {
  qb_expect_readable "$1"
  iconv -f UTF-8 -t UTF-8 -- "$1" >/dev/null 2>&1 || qb_fail 2 "文本文件不是 UTF-8 编码：$(basename -- "$1")"
}

tool_run() {
  local input=$1 output=$2 temp
  temp=$(qb_temp_beside "$output")
  if ! LC_ALL=C awk "$CONVERT_AWK" "$input" >"$temp" 2>"$QB_WORK/awk.log"; then
    rm -f -- "$temp"
    qb_fail 2 "无法换算，$(head -n 1 -- "$QB_WORK/awk.log")"
  fi
  qb_publish "$temp" "$output"
}

# The first word of a list entry: "千米（km）" is 千米.
unit_name() { printf '%s\n' "${1%%（*}"; }

# The window: category, units and value chosen in dialogs, the result shown, again and again.
tool_window() {
  if [ -z "${DISPLAY:-}" ] || ! command -v zenity >/dev/null 2>&1; then
    echo "${TOOL_TITLE}：需要图形界面和 zenity（sudo apt-get install zenity）；也可以用 --batch 清单.txt 结果.txt" >&2
    exit 3
  fi
  tool_needs
  local category units=() from to value result answer
  category=${CATEGORIES[0]}
  while :; do
    category=$(qb_pick "请选择换算类别：" "$category" "${CATEGORIES[@]}") || exit 0
    [ -n "$category" ] || exit 0
    IFS='|' read -r -a units <<<"${UNIT_LIST[$category]}"
    from=$(qb_pick "请选择原单位（$category）：" "${units[0]}" "${units[@]}") || continue
    [ -n "$from" ] || continue
    to=$(qb_pick "把 $(unit_name "$from") 换算成：" "${units[1]}" "${units[@]}") || continue
    [ -n "$to" ] || continue
    value=$(qb_ask "请输入数值（$(unit_name "$from")）：" "1") || continue
    value=${value// /}
    if ! result=$(printf '%s %s %s\n' "$value" "$(unit_name "$from")" "$(unit_name "$to")" |
      LC_ALL=C awk "$CONVERT_AWK" 2>&1); then
      qb_error_window "无法换算：${result#第 1 行：}"
      continue
    fi
    answer=$(zenity --question --no-wrap --title="$TOOL_TITLE" --text="$(qb_markup "$result")" \
      --ok-label="继续换算" --cancel-label="关闭" --extra-button="复制结果" 2>/dev/null)
    case $? in
      0) ;;
      *)
        if [ "$answer" = "复制结果" ]; then
          if command -v xclip >/dev/null 2>&1; then
            printf '%s' "${result#* = }" | xclip -selection clipboard -i && qb_info_window "已复制：${result#* = }"
          else
            qb_error_window "复制需要 xclip，请先安装 Debian 软件包 xclip（sudo apt-get install xclip）。"
          fi
          continue
        fi
        exit 0
        ;;
    esac
  done
}

qb_main "$@"
