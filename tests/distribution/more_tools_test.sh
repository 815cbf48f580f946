#!/bin/bash
# The small everyday tools in batch mode: QR codes, units, colours, checksums.
. "$(dirname "$0")/tool_test_lib.sh"
cd "$TT_DIR" || exit 1

tt_tool qrcode_maker
tt_case "qrcode_maker encodes a UTF-8 text that a scanner reads back"
printf '会议室预订：https://example.com/房间?id=42\n第二行\n' >"$TT_DIR/文字.txt"
tt_batch "$TT_DIR/文字.txt" "$TT_DIR/二维码.png"
tt_expect_success
tt_expect "a PNG" test "$(identify -format '%m' 二维码.png)" = PNG
tt_expect "decodes to the text" test "$(zbarimg --raw -q 二维码.png 2>/dev/null)" = "$(cat 文字.txt)"
tt_case "qrcode_maker refuses a text in another encoding and one too long for a code"
printf '\xc4\xe3\xba\xc3\n' >"$TT_DIR/gbk.txt"
tt_batch "$TT_DIR/gbk.txt" "$TT_DIR/gbk.png"
tt_expect_failure "不是 UTF-8 编码" "$TT_DIR/gbk.png"
head -c 4000 /dev/zero | tr '\0' 'x' >"$TT_DIR/长.txt"
tt_batch "$TT_DIR/长.txt" "$TT_DIR/长.png"
tt_expect_failure "文字太长" "$TT_DIR/长.png"

tt_tool unit_converter
tt_case "unit_converter converts every line of a list"
printf '3 km m\n\n100 C F\n1 mi km\n2 斤 kg\n1 亩 平方米\n-40 F C\n1 gal mL\n' >"$TT_DIR/清单.txt"
tt_batch "$TT_DIR/清单.txt" "$TT_DIR/结果.txt"
tt_expect_success
tt_expect "lengths" grep -qx '3 km = 3000 m' 结果.txt
tt_expect "temperatures" grep -qx '100 C = 212 F' 结果.txt
tt_expect "imperial units" grep -qx '1 mi = 1.609344 km' 结果.txt
tt_expect "Chinese units" grep -qx '2 斤 = 1 kg' 结果.txt
tt_expect "areas" grep -qx '1 亩 = 666.6666667 平方米' 结果.txt
tt_expect "below zero" grep -qx -- '-40 F = -40 C' 结果.txt
tt_expect "volumes" grep -qx '1 gal = 3785.411784 mL' 结果.txt
tt_expect "one line each" test "$(wc -l <结果.txt)" = 7
tt_case "unit_converter names an unknown unit and a conversion across categories"
printf '3 km m\n5 furlong m\n' >"$TT_DIR/未知.txt"
tt_batch "$TT_DIR/未知.txt" "$TT_DIR/未知-结果.txt"
tt_expect_failure "第 2 行：不认识的单位：furlong" "$TT_DIR/未知-结果.txt"
printf '3 km kg\n' >"$TT_DIR/跨类.txt"
tt_batch "$TT_DIR/跨类.txt" "$TT_DIR/跨类-结果.txt"
tt_expect_failure "不能换算" "$TT_DIR/跨类-结果.txt"

tt_tool color_picker
tt_case "color_picker reads the colour at a point, and at the centre by default"
convert -size 200x100 xc:'#438EDB' -fill '#D9001B' -draw 'rectangle 0,0 49,49' "$TT_DIR/色块.png"
tt_batch "$TT_DIR/色块.png" "$TT_DIR/角.txt" 10,10
tt_expect_success
tt_expect "red corner" test "$(cat 角.txt)" = "#D9001B rgb(217, 0, 27)"
tt_batch "$TT_DIR/色块.png" "$TT_DIR/中.txt"
tt_expect_success
tt_expect "blue centre" test "$(cat 中.txt)" = "#438EDB rgb(67, 142, 219)"
tt_case "color_picker refuses a point outside the picture"
tt_batch "$TT_DIR/色块.png" "$TT_DIR/外.txt" 300,10
tt_expect_failure "在图片之外" "$TT_DIR/外.txt"

tt_tool file_md5
tt_case "file_md5 writes the MD5 and SHA-256 of a file"
head -c 3000000 /dev/urandom >"$TT_DIR/数据.bin"
tt_batch "$TT_DIR/数据.bin" "$TT_DIR/校验.txt"
tt_expect_success
tt_expect "MD5 line" grep -qx "MD5 $(md5sum <数据.bin | cut -d' ' -f1)" 校验.txt
tt_expect "SHA256 line" grep -qx "SHA256 $(sha256sum <数据.bin | cut -d' ' -f1)" 校验.txt
tt_expect_no_overwrite "$TT_DIR/校验.txt" "$TT_DIR/数据.bin"
tt_case "file_md5 refuses a folder"
tt_batch "$TT_DIR" "$TT_DIR/目录.txt"
tt_expect_failure "不是普通文件" "$TT_DIR/目录.txt"
tt_finish
