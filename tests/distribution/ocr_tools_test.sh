#!/bin/bash
# The OCR tools in batch mode on pictures of text the test draws.
. "$(dirname "$0")/tool_test_lib.sh"
cd "$TT_DIR" || exit 1
tt_sample_text_image "$TT_DIR/通知.png" "明天上午开会讨论预算" "Meeting at 9 AM"

tt_tool ocr_text
tt_case "ocr_text reads Chinese and English text back as UTF-8"
tt_batch "$TT_DIR/通知.png" "$TT_DIR/通知-文字.txt"
tt_expect_success
tt_expect "Chinese text recognised" grep -q "开会讨论预算" 通知-文字.txt
tt_expect "English text recognised" grep -q "Meeting at 9 AM" 通知-文字.txt
tt_expect "valid UTF-8" iconv -f UTF-8 -t UTF-8 -o /dev/null 通知-文字.txt
tt_case "ocr_text refuses a file that is no picture"
echo "plain" >"$TT_DIR/fake.png"
tt_batch "$TT_DIR/fake.png" "$TT_DIR/fake.txt"
tt_expect_failure "不是可以读取的图片文件" "$TT_DIR/fake.txt"

FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

tt_tool ocr_table
tt_case "ocr_table turns a ruled 3x3 table into CSV rows and columns"
convert -size 600x180 xc:white -stroke black -strokewidth 1 -fill none -draw 'rectangle 10,10 590,170' \
  -draw 'line 10,63 590,63' -draw 'line 10,116 590,116' -draw 'line 203,10 203,170' -draw 'line 396,10 396,170' \
  -stroke none -fill black -font "$FONT" -pointsize 24 \
  -annotate +30+46 '姓名' -annotate +223+46 '部门' -annotate +416+46 '金额' \
  -annotate +30+99 '张三' -annotate +223+99 '财务部' -annotate +416+99 '1200' \
  -annotate +30+152 'Li Ming' -annotate +223+152 '销售部' -annotate +416+152 '350.5' "$TT_DIR/表格.png"
tt_batch "$TT_DIR/表格.png" "$TT_DIR/表格.csv"
tt_expect_success
tt_expect "CSV starts with a UTF-8 byte-order mark" test "$(head -c 3 表格.csv | od -An -tx1 | tr -d ' ')" = efbbbf
sed '1s/^\xEF\xBB\xBF//; s/\r$//' 表格.csv >表格-行.txt
tt_expect "three rows" test "$(wc -l <表格-行.txt)" -eq 3
tt_expect "header row cells" test "$(sed -n 1p 表格-行.txt)" = "姓名,部门,金额"
tt_expect "second row keeps its columns" test "$(sed -n 2p 表格-行.txt | cut -d, -f2-)" = "财务部,1200"
tt_expect "words of one cell stay together" test "$(sed -n 3p 表格-行.txt)" = "Li Ming,销售部,350.5"
tt_case "ocr_table never replaces an existing CSV"
tt_expect_no_overwrite "$TT_DIR/表格.csv" "$TT_DIR/表格.png"

# A fictional person's card; the number's last digit is its ISO 7064 MOD 11-2 check digit, or not.
draw_card() {
  convert -size 856x540 xc:'#eef3f7' -fill '#cfdbe6' -draw 'roundrectangle 600,90 820,380 12,12' -font "$FONT" \
    -fill '#3a4a5a' -pointsize 20 -annotate +50+90 '姓  名' -annotate +50+160 '性  别' -annotate +230+160 '民  族' \
    -annotate +50+230 '出  生' -annotate +50+300 '住  址' -annotate +50+470 '公民身份号码' \
    -fill black -pointsize 24 -annotate +140+92 '王小明' -annotate +140+162 '男' -annotate +320+162 '汉' \
    -annotate +140+232 '1985年6月12日' -annotate +140+302 '北京市朝阳区示例路88号' -annotate +140+342 '3号楼2单元501室' \
    -pointsize 26 -annotate +230+472 "$2" "$1"
}
tt_tool ocr_idcard
tt_case "ocr_idcard extracts the fields and accepts a correct check digit"
draw_card "$TT_DIR/身份证.png" 110105198506120034
tt_batch "$TT_DIR/身份证.png" "$TT_DIR/身份证.txt"
tt_expect_success
tt_expect "name" grep -qx "姓名：王小明" 身份证.txt
tt_expect "sex" grep -qx "性别：男" 身份证.txt
tt_expect "nationality" grep -qx "民族：汉" 身份证.txt
tt_expect "birth date" grep -qx "出生：1985年6月12日" 身份证.txt
tt_expect "address over two lines" grep -qx "住址：北京市朝阳区示例路88号3号楼2单元501室" 身份证.txt
tt_expect "number" grep -qx "公民身份号码：110105198506120034" 身份证.txt
tt_expect "check digit valid" grep -q "^号码校验：有效" 身份证.txt
tt_case "ocr_idcard flags a number whose check digit is wrong"
draw_card "$TT_DIR/错号.png" 110105198506120035
tt_batch "$TT_DIR/错号.png" "$TT_DIR/错号.txt"
tt_expect_success
tt_expect "check digit invalid, the right one named" grep -q "^号码校验：无效（校验码应为 4" 错号.txt

tt_tool ocr_invoice
tt_case "ocr_invoice extracts the invoice fields and keeps the full text"
convert -size 1000x560 xc:white -font "$FONT" -fill '#8b2a1a' -pointsize 26 -annotate +360+60 '电子发票（普通发票）' \
  -fill black -pointsize 22 -annotate +620+110 '发票代码：011002300111' -annotate +620+145 '发票号码：24112000000012345' \
  -annotate +620+180 '开票日期：2024年03月15日' -stroke '#8b2a1a' -draw 'line 30,205 970,205' -draw 'line 30,420 970,420' \
  -stroke none -annotate +50+250 '购买方名称：星河示例科技有限公司' -annotate +50+285 '统一社会信用代码：91110105MA00000000' \
  -annotate +50+340 '项目名称：办公用品  数量：10  单价：100.00' -annotate +50+385 '金额：¥1,000.00    税额：¥130.00' \
  -annotate +50+455 '价税合计（小写）：¥1,130.00' -annotate +50+500 '销售方名称：样板办公用品有限公司' "$TT_DIR/发票.png"
tt_batch "$TT_DIR/发票.png" "$TT_DIR/发票.txt"
tt_expect_success
tt_expect "invoice code" grep -qx "发票代码：011002300111" 发票.txt
tt_expect "invoice number" grep -qx "发票号码：24112000000012345" 发票.txt
tt_expect "date" grep -qx "开票日期：2024年03月15日" 发票.txt
tt_expect "total" grep -qx "价税合计：¥1,130.00" 发票.txt
tt_expect "buyer" grep -qx "购买方名称：星河示例科技有限公司" 发票.txt
tt_expect "seller" grep -qx "销售方名称：样板办公用品有限公司" 发票.txt
tt_expect "full text follows" grep -q "统一社会信用代码" 发票.txt

tt_tool ocr_screenshot
tt_case "ocr_screenshot reads a saved screenshot"
tt_batch "$TT_DIR/通知.png" "$TT_DIR/截图-文字.txt"
tt_expect_success
tt_expect "text recognised" grep -q "开会讨论预算" 截图-文字.txt

tt_tool text_to_speech
tt_case "text_to_speech reads Chinese text into a WAV longer than a second"
printf '今天下午三点在第二会议室开会，请各部门准时参加。\n' >"$TT_DIR/通知.txt"
tt_batch "$TT_DIR/通知.txt" "$TT_DIR/通知.wav"
tt_expect_success
tt_expect "a WAV file" test "$(ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 通知.wav)" = wav
tt_expect "longer than one second" awk -v d="$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 通知.wav)" 'BEGIN { exit !(d > 1) }'
tt_case "text_to_speech speaks slower at 慢 than at 快"
printf 'Please send the weekly report to the whole team before Friday.\n' >"$TT_DIR/report.txt"
tt_batch "$TT_DIR/report.txt" "$TT_DIR/slow.wav" 英文 慢
tt_expect_success
tt_batch "$TT_DIR/report.txt" "$TT_DIR/fast.wav" 英文 快
tt_expect_success
tt_expect "slow speech is longer" awk -v s="$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 slow.wav)" \
  -v f="$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 fast.wav)" 'BEGIN { exit !(s > f * 1.3) }'
tt_case "text_to_speech refuses a file that is no UTF-8 text"
printf '\xff\xfe\x00\x01\xc3\x28binary' >"$TT_DIR/data.txt"
tt_batch "$TT_DIR/data.txt" "$TT_DIR/data.wav"
tt_expect_failure "不是 UTF-8 编码的文本文件" "$TT_DIR/data.wav"
tt_finish
