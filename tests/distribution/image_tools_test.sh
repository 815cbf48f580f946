#!/bin/bash
# The picture tools in batch mode on pictures the test draws.
. "$(dirname "$0")/tool_test_lib.sh"
cd "$TT_DIR" || exit 1
tt_sample_image "$TT_DIR/风景.png"
convert "$TT_DIR/风景.png" -quality 100 "$TT_DIR/照片.jpg"
echo "plain" >"$TT_DIR/fake.jpg"
size_of() { identify -format '%wx%h' "$1"; }
# The colour of one pixel as "#RRGGBB".
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 -format '#%[hex:p{0,0}]' info:; }
# How far the area WxH+X+Y of two pictures differs (0 same, 1 opposite).
difference() { compare -metric RMSE "$1[$3]" "$2[$3]" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }
less_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }

tt_tool image_compress
tt_case "image_compress re-encodes a JPEG smaller at the chosen quality, without metadata"
convert "$TT_DIR/照片.jpg" -set comment "camera data" "$TT_DIR/带注释.jpg"
tt_batch "$TT_DIR/带注释.jpg" "$TT_DIR/压缩.jpg" 50
tt_expect_success
tt_expect "smaller than the original" test "$(stat -c %s 压缩.jpg)" -lt "$(stat -c %s 带注释.jpg)"
tt_expect "quality 50" test "$(identify -format '%Q' 压缩.jpg)" = 50
tt_expect "same size" test "$(size_of 压缩.jpg)" = 800x600
tt_expect "metadata stripped" test -z "$(identify -format '%c' 压缩.jpg)"
tt_case "image_compress makes a photo-like PNG smaller, still a PNG"
convert -size 400x300 plasma:fractal "$TT_DIR/云.png"
tt_batch "$TT_DIR/云.png" "$TT_DIR/云-压缩.png"
tt_expect_success
tt_expect "a PNG of the same size" test "$(identify -format '%m %wx%h' 云-压缩.png)" = "PNG 400x300"
tt_expect "smaller than the original" test "$(stat -c %s 云-压缩.png)" -lt "$(stat -c %s 云.png)"
tt_case "image_compress refuses a quality outside 1-100 and an existing output"
tt_batch "$TT_DIR/照片.jpg" "$TT_DIR/压缩2.jpg" 0
tt_expect_failure "1 到 100" "$TT_DIR/压缩2.jpg"
tt_expect_no_overwrite "$TT_DIR/压缩.jpg" "$TT_DIR/照片.jpg"

tt_tool image_convert
tt_case "image_convert writes the format of OUTPUT's extension"
tt_batch "$TT_DIR/风景.png" "$TT_DIR/风景.webp"
tt_expect_success
tt_expect "a WebP of the same size" test "$(identify -format '%m %wx%h' 风景.webp)" = "WEBP 800x600"
tt_case "image_convert refuses a file that is no picture"
tt_batch "$TT_DIR/fake.jpg" "$TT_DIR/fake.png"
tt_expect_failure "不是可以读取的图片文件" "$TT_DIR/fake.png"

tt_tool id_photo
tt_case "id_photo crops to 二寸 at 300 dpi and turns the plain background red, not the person"
convert -size 600x800 xc:'#e6e6e6' -fill '#f0c8a0' -draw 'ellipse 300,330 120,160 0,360' \
  -fill '#202040' -draw 'ellipse 300,800 300,200 180,360' -draw 'rectangle 0,780 600,800' "$TT_DIR/人像.jpg"
tt_batch "$TT_DIR/人像.jpg" "$TT_DIR/证件照.jpg" 二寸 红
tt_expect_success
tt_expect "413x579 pixels" test "$(size_of 证件照.jpg)" = 413x579
tt_expect "300 dpi" test "$(identify -format '%x %U' 证件照.jpg)" = "300 PixelsPerInch"
red_corner() { convert 证件照.jpg -crop 1x1+2+2 -format '%[fx:r > 0.75 && g < 0.15 && b < 0.2]' info:; }
tt_expect "background red" test "$(red_corner)" = 1
face_kept() { convert 证件照.jpg -crop 1x1+206+230 -format '%[fx:r > 0.85 && g > 0.7 && b > 0.5]' info:; }
tt_expect "face kept" test "$(face_kept)" = 1
dark_corner() { convert 证件照.jpg -crop 1x1+2+576 -format '%[fx:r < 0.25 && b < 0.35]' info:; }
tt_expect "shoulders in the bottom corner kept" test "$(dark_corner)" = 1

tt_tool image_unwatermark
tt_case "image_unwatermark covers the default bottom-right box with the surrounding colours"
convert -size 800x600 gradient:skyblue-navy "$TT_DIR/干净.png"
convert "$TT_DIR/干净.png" -font /usr/share/fonts/truetype/wqy/wqy-microhei.ttc -pointsize 40 -fill red \
  -annotate +610+575 'SAMPLE' "$TT_DIR/有水印.png"
tt_batch "$TT_DIR/有水印.png" "$TT_DIR/去水印.png"
tt_expect_success
before=$(difference 有水印.png 干净.png 200x60+600+540)
after=$(difference 去水印.png 干净.png 200x60+600+540)
tt_expect "watermark area close to the clean picture ($before -> $after)" less_than "$after" "$(awk -v b="$before" 'BEGIN { print b / 4 }')"
tt_expect "rest untouched" test "$(difference 去水印.png 干净.png 600x500+0+0)" = 0
tt_case "image_unwatermark refuses a box outside the picture"
tt_batch "$TT_DIR/有水印.png" "$TT_DIR/去水印2.png" 700 500 200 80
tt_expect_failure "超出了图片范围" "$TT_DIR/去水印2.png"

tt_tool image_resize
tt_case "image_resize puts every picture of a folder, at the new width, into a new folder"
mkdir "$TT_DIR/相册"
tt_sample_image "$TT_DIR/相册/一.jpg" 800x600
tt_sample_image "$TT_DIR/相册/二.png" 400x300
echo "说明" >"$TT_DIR/相册/说明.txt"
tt_batch "$TT_DIR/相册" "$TT_DIR/相册-小" 640
tt_expect_success
tt_expect "JPEG resized keeping its shape" test "$(size_of 相册-小/一.jpg)" = 640x480
tt_expect "PNG resized keeping its shape" test "$(size_of 相册-小/二.png)" = 640x480
tt_expect "only the pictures" test "$(ls 相册-小 | wc -l)" = 2
tt_case "image_resize refuses a folder without pictures and leaves no folder behind"
mkdir "$TT_DIR/空"
echo "x" >"$TT_DIR/空/a.txt"
tt_batch "$TT_DIR/空" "$TT_DIR/空-小"
tt_expect_failure "没有可以读取的图片" "$TT_DIR/空-小"

tt_tool image_stitch
tt_case "image_stitch joins a folder's pictures top to bottom at the narrowest width"
mkdir "$TT_DIR/拼"
convert -size 800x600 xc:red "$TT_DIR/拼/1.png"
convert -size 400x300 xc:blue "$TT_DIR/拼/2.png"
tt_batch "$TT_DIR/拼" "$TT_DIR/竖.png"
tt_expect_success
tt_expect "400 wide, 300 + 300 high" test "$(size_of 竖.png)" = 400x600
tt_expect "first picture on top" test "$(pixel 竖.png 200 100)" = "#FF0000"
tt_expect "second below" test "$(pixel 竖.png 200 500)" = "#0000FF"
tt_case "image_stitch joins side by side at the lowest height"
tt_batch "$TT_DIR/拼" "$TT_DIR/横.png" 横
tt_expect_success
tt_expect "400 + 400 wide, 300 high" test "$(size_of 横.png)" = 800x300

tt_tool image_watermark
tt_case "image_watermark writes the text at the chosen corner only"
tt_batch "$TT_DIR/干净.png" "$TT_DIR/水印.png" "内部资料" 左上
tt_expect_success
tt_expect "same size" test "$(size_of 水印.png)" = 800x600
tt_expect "top-left corner changed" test "$(difference 水印.png 干净.png 300x80+0+0)" != 0
tt_expect "bottom right untouched" test "$(difference 水印.png 干净.png 400x300+400+300)" = 0

tt_tool heic_to_jpg
tt_case "heic_to_jpg turns a HEIC photo into a JPEG of the same size"
heif-enc -q 60 -o "$TT_DIR/手机.heic" "$TT_DIR/风景.png" >/dev/null 2>&1
tt_batch "$TT_DIR/手机.heic" "$TT_DIR/手机.jpg"
tt_expect_success
tt_expect "JPEG 800x600" test "$(identify -format '%m %wx%h' 手机.jpg)" = "JPEG 800x600"
tt_expect "the picture itself" less_than "$(difference 手机.jpg 风景.png 800x600+0+0)" 0.05
tt_case "heic_to_jpg refuses a JPEG"
tt_batch "$TT_DIR/照片.jpg" "$TT_DIR/照片2.jpg"
tt_expect_failure "不是可以读取的 HEIC/HEIF 照片" "$TT_DIR/照片2.jpg"

tt_tool image_crop
tt_case "image_crop rotates clockwise, then crops on the rotated picture"
convert -size 800x600 xc:white -fill red -draw 'rectangle 0,0 99,99' "$TT_DIR/角.png"
tt_batch "$TT_DIR/角.png" "$TT_DIR/转.png" 90
tt_expect_success
tt_expect "600x800" test "$(size_of 转.png)" = 600x800
tt_expect "top-left mark now top right" test "$(pixel 转.png 550 50)" = "#FF0000"
tt_batch "$TT_DIR/角.png" "$TT_DIR/裁.png" 90 300x200+300+0
tt_expect_success
tt_expect "300x200 with the mark on its right" test "$(size_of 裁.png) $(pixel 裁.png 250 50)" = "300x200 #FF0000"
tt_case "image_crop crops to a ratio"
tt_batch "$TT_DIR/角.png" "$TT_DIR/宽.png" 0 16:9
tt_expect_success
tt_expect "800x450" test "$(size_of 宽.png)" = 800x450
tt_case "image_crop refuses a crop outside the picture"
tt_batch "$TT_DIR/角.png" "$TT_DIR/外.png" 0 900x200+0+0
tt_expect_failure "超出了图片范围" "$TT_DIR/外.png"
tt_finish
