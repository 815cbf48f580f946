#!/bin/bash
# The resource collections in batch mode: each copies its material into a new folder, and every
# file there is what it says (a template LibreOffice reads, a font fontconfig loads, an SVG).
. "$(dirname "$0")/tool_test_lib.sh"
cd "$TT_DIR" || exit 1

xml_ok() {
  if command -v xmllint >/dev/null 2>&1; then xmllint --noout "$1" 2>/dev/null; else python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' "$1" 2>/dev/null; fi
}

tt_tool office_templates
tt_case "office_templates copies its six templates and their licence"
tt_batch - "$TT_DIR/模板"
tt_expect_success
for name in 会议纪要.fodt 工作周报.fodt 请假申请单.fodt 通知.fodt 报销单.fods 考勤表.fods; do
  tt_expect "$name is well-formed flat ODF" xml_ok "模板/$name"
done
tt_expect "licence names CC0" grep -q "CC0 1.0" 模板/LICENSE.txt
tt_case "a template opens in LibreOffice"
timeout 120 soffice -env:UserInstallation="file://$TT_DIR/office-profile" --headless --convert-to pdf --outdir "$TT_DIR/pdf" \
  "$TT_DIR/模板/报销单.fods" >/dev/null 2>&1
tt_expect "one page" test "$(pdfinfo pdf/报销单.pdf 2>/dev/null | awk '/^Pages:/ { print $2 }')" = 1
tt_expect "its heading and sum row" sh -c 'pdftotext pdf/报销单.pdf - | grep -q 费用报销单 && pdftotext pdf/报销单.pdf - | grep -q 合计'
tt_case "office_templates never copies into an existing folder"
mkdir "$TT_DIR/已有"
tt_batch - "$TT_DIR/已有"
tt_expect "refused, folder left empty" test "$TT_STATUS" -ne 0 -a -z "$(ls -A 已有)"
tt_case "office_templates wants - as its input"
tt_batch "$TT_DIR/模板" "$TT_DIR/别处"
tt_expect_failure "用法" "$TT_DIR/别处"

tt_tool free_fonts
tt_case "free_fonts copies fonts that load, with their licences"
tt_batch - "$TT_DIR/字体"
tt_expect_success
fonts=0
while read -r source destination; do
  case $destination in
    fonts/*.tt[fc])
      fonts=$((fonts + 1))
      tt_expect "${destination#fonts/} loads" test -n "$(fc-scan --format '%{family}' "字体/${destination#fonts/}" 2>/dev/null)"
      ;;
  esac
done <"$TT_SOURCE/distribution/tools/free_fonts/system-files.txt"
tt_expect "two to four fonts or more files of them" test "$fonts" -ge 2
tt_expect "a Chinese font among them" sh -c 'fc-scan --format "%{lang}\n" 字体/*.tt[fc] | grep -q zh-cn'
tt_expect "a licence for each package" test "$(ls 字体/许可证/*-copyright.txt | wc -l)" -ge 4
for package in $(grep -o '^/usr/share/doc/[^/]*' "$TT_SOURCE/distribution/tools/free_fonts/system-files.txt" | cut -d/ -f5); do
  tt_expect "the description names $package" grep -q -- "$package" 字体/字体说明.txt
done

tt_tool ppt_icons
tt_case "ppt_icons copies about thirty SVG icons that render"
tt_batch - "$TT_DIR/图标"
tt_expect_success
tt_expect "at least thirty icons" test "$(ls 图标/*.svg | wc -l)" -ge 30
bad=""
for svg in 图标/*.svg; do
  [ "$(rsvg-convert "$svg" 2>/dev/null | identify -format '%wx%h' - 2>/dev/null)" = 256x256 ] || bad="$bad $svg"
done
tt_expect "every icon renders at 256 px:$bad" test -z "$bad"
tt_expect "licence names CC0" grep -q "CC0 1.0" 图标/LICENSE.txt
tt_finish
