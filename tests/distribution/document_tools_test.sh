#!/bin/bash
# The document tools in batch mode on documents, tables and PDFs the test makes.
. "$(dirname "$0")/tool_test_lib.sh"
cd "$TT_DIR" || exit 1

# A PDF of PAGES pages of text, "LABEL page N" on each, written by Ghostscript from PostScript.
doc_text_pdf() {
  local file=$1 pages=$2 label=$3 i program=""
  for i in $(seq "$pages"); do
    program+="/Helvetica findfont 36 scalefont setfont 72 700 moveto ($label page $i) show showpage "
  done
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sPAPERSIZE=a4 -o "$file" -c "$program"
}

# A one-page PDF holding a 1500x2000 noise picture stored losslessly, as a scanner might.
doc_photo_pdf() {
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sPAPERSIZE=a4 -dAutoFilterGrayImages=false \
    -dGrayImageFilter=/FlateEncode -dDownsampleGrayImages=false -o "$1" -c \
    "1 srand /row 1500 string def 50 100 translate 495 640 scale 1500 2000 8 [1500 0 0 -2000 0 2000]
     { 0 1 1499 { row exch rand -8 bitshift 255 and put } for row } image showpage"
}

# LibreOffice converting a sample, on a profile of the test's own.
doc_soffice() {
  timeout 120 soffice -env:UserInstallation="file://$TT_DIR/office-profile" --headless --norestore "$@" \
    --outdir "$TT_DIR" >/dev/null 2>&1
}

pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }
pdf_text() { pdftotext -layout "$@" - 2>/dev/null; }

printf '年度预算报告\nBudget review for 2024\n' >"$TT_DIR/报告.txt"
doc_soffice --convert-to "docx:MS Word 2007 XML" "$TT_DIR/报告.txt"
mv 报告.txt 报告-原文.txt

tt_tool word_to_pdf
tt_case "word_to_pdf turns a .docx into a PDF with its text"
tt_batch "$TT_DIR/报告.docx" "$TT_DIR/报告.pdf"
tt_expect_success
tt_expect "Chinese text in the PDF" sh -c 'pdftotext 报告.pdf - | grep -q 年度预算报告'
tt_expect "one page" test "$(pages 报告.pdf)" = 1
tt_case "word_to_pdf refuses a text file named .docx"
echo "just text" >"$TT_DIR/假文档.docx"
tt_batch "$TT_DIR/假文档.docx" "$TT_DIR/假文档.pdf"
tt_expect_failure "Word 文档" "$TT_DIR/假文档.pdf"

tt_tool pdf_to_word
tt_case "pdf_to_word keeps the text of a PDF in the .docx"
tt_batch "$TT_DIR/报告.pdf" "$TT_DIR/报告-转换.docx"
tt_expect_success
# Printed again by LibreOffice: the document opens and shows the text.
doc_soffice --convert-to pdf "$TT_DIR/报告-转换.docx"
tt_expect "text in the Word document" sh -c 'pdftotext 报告-转换.pdf - | grep -q "Budget review for 2024"'
tt_case "pdf_to_word refuses a damaged PDF"
printf '%%PDF-1.4\nnothing more\n' >"$TT_DIR/损坏.pdf"
tt_batch "$TT_DIR/损坏.pdf" "$TT_DIR/损坏.docx"
tt_expect_failure "已损坏" "$TT_DIR/损坏.docx"

tt_tool excel_to_pdf
tt_case "excel_to_pdf prints a UTF-8 CSV's cells into a PDF"
printf '姓名,部门,预算\n张三,财务部,12000\n李四,市场部,8800\n' >"$TT_DIR/预算.csv"
tt_batch "$TT_DIR/预算.csv" "$TT_DIR/预算.pdf"
tt_expect_success
tt_expect "cells in the PDF" sh -c 'pdftotext -layout 预算.pdf - | grep -q "张三 *财务部 *12000"'

tt_tool ppt_to_pdf
tt_case "ppt_to_pdf turns a presentation into one page a slide"
doc_text_pdf "$TT_DIR/幻灯片.pdf" 2 Slide
doc_soffice --infilter=impress_pdf_import --convert-to odp "$TT_DIR/幻灯片.pdf"
rm -f 幻灯片.pdf
tt_batch "$TT_DIR/幻灯片.odp" "$TT_DIR/幻灯片.pdf"
tt_expect_success
tt_expect "two pages" test "$(pages 幻灯片.pdf)" = 2
tt_expect "slide text" sh -c 'pdftotext -f 2 幻灯片.pdf - | grep -q "Slide page 2"'

tt_tool pdf_merge
tt_case "pdf_merge joins a folder's PDFs in name order"
mkdir 合并
doc_text_pdf 合并/1-first.pdf 2 First
doc_text_pdf 合并/2-second.pdf 1 Second
doc_text_pdf 合并/3-third.pdf 3 Third
tt_batch "$TT_DIR/合并" "$TT_DIR/全部.pdf"
tt_expect_success
tt_expect "6 pages" test "$(pages 全部.pdf)" = 6
tt_expect "second file on page 3" sh -c 'pdftotext -f 3 -l 3 全部.pdf - | grep -q "Second page 1"'
tt_case "pdf_merge never replaces an existing output"
tt_expect_no_overwrite "$TT_DIR/全部.pdf" "$TT_DIR/合并"

tt_tool pdf_split
tt_case "pdf_split saves every page as a PDF of its own"
tt_batch "$TT_DIR/全部.pdf" "$TT_DIR/每页"
tt_expect_success
tt_expect "6 one-page PDFs" test "$(for f in 每页/*.pdf; do pages "$f"; done | grep -cx 1)" = 6
tt_expect "page 4 is the third file's first" sh -c 'pdftotext 每页/全部-第4页.pdf - | grep -q "Third page 1"'
tt_case "pdf_split saves chosen ranges"
tt_batch "$TT_DIR/全部.pdf" "$TT_DIR/范围" 1-3,5
tt_expect_success
tt_expect "pages 1-3 in one file" test "$(pages 范围/全部-第1-3页.pdf)" = 3
tt_expect "page 5 alone" test "$(pages 范围/全部-第5页.pdf)" = 1
tt_expect "nothing else" test "$(ls 范围 | wc -l)" = 2
tt_case "pdf_split refuses a range past the last page"
tt_batch "$TT_DIR/全部.pdf" "$TT_DIR/越界" 5-9
tt_expect_failure "超出" "$TT_DIR/越界"

tt_tool pdf_compress
tt_case "pdf_compress makes a scanned PDF smaller"
doc_photo_pdf "$TT_DIR/扫描.pdf"
tt_batch "$TT_DIR/扫描.pdf" "$TT_DIR/扫描-压缩.pdf" 低
tt_expect_success
tt_expect "output under half the input" test "$(stat -c %s 扫描-压缩.pdf)" -lt "$(($(stat -c %s 扫描.pdf) / 2))"
tt_expect "still one page" test "$(pages 扫描-压缩.pdf)" = 1
tt_case "pdf_compress never gives a bigger file"
tt_batch "$TT_DIR/全部.pdf" "$TT_DIR/全部-压缩.pdf" 高
tt_expect_success
tt_expect "output not larger" test "$(stat -c %s 全部-压缩.pdf)" -le "$(stat -c %s 全部.pdf)"
tt_expect "all pages kept" test "$(pages 全部-压缩.pdf)" = 6

tt_tool pdf_to_image
tt_case "pdf_to_image renders each page as a JPEG at the chosen dpi"
doc_text_pdf "$TT_DIR/两页.pdf" 2 Picture
tt_batch "$TT_DIR/两页.pdf" "$TT_DIR/两页-图片" jpg 100
tt_expect_success
width=$(pdfinfo 两页.pdf | awk '/^Page size:/ { printf "%d", $3 * 100 / 72 + 0.5 }')
tt_expect "two JPEGs" test "$(identify -format '%m\n' 两页-图片/* | grep -cx JPEG)" = 2
tt_expect "width of an A4 page at 100 dpi" sh -c "identify -format '%w\n' 两页-图片/* | awk -v w=$width '\$1 < w - 1 || \$1 > w + 1 { bad = 1 } END { exit bad }'"

tt_tool pdf_encrypt
tt_case "pdf_encrypt locks a PDF with a password"
tt_batch "$TT_DIR/两页.pdf" "$TT_DIR/加密.pdf" 加密 "秘密 123"
tt_expect_success
tt_expect "no text without the password" sh -c '! pdftotext 加密.pdf - >/dev/null 2>&1'
tt_expect "text with the password" sh -c 'pdftotext -upw "秘密 123" 加密.pdf - | grep -q "Picture page 2"'
tt_case "pdf_encrypt refuses a wrong password"
tt_batch "$TT_DIR/加密.pdf" "$TT_DIR/解密错.pdf" 解密 wrong
tt_expect_failure "密码不正确" "$TT_DIR/解密错.pdf"
tt_case "pdf_encrypt unlocks it with the right one"
tt_batch "$TT_DIR/加密.pdf" "$TT_DIR/解密.pdf" 解密 "秘密 123"
tt_expect_success
tt_expect "no longer encrypted" sh -c '! qpdf --is-encrypted 解密.pdf'
tt_expect "pages kept" test "$(pages 解密.pdf)" = 2

tt_tool batch_rename
tt_case "batch_rename numbers a folder's files in name order, extensions kept"
mkdir 照片
echo two >照片/a2.png
echo ten >照片/a10.png
echo bee >照片/b.JPG
tt_batch "$TT_DIR/照片" "$TT_DIR/记录.txt" 旅行_
tt_expect_success
tt_expect "a2 became 01" grep -qx two 照片/旅行_01.png
tt_expect "a10 became 02" grep -qx ten 照片/旅行_02.png
tt_expect "extension kept" grep -qx bee 照片/旅行_03.JPG
tt_expect "three files, no more" test "$(ls 照片 | wc -l)" = 3
tt_expect "record of each renaming" grep -qx "a10.png -> 旅行_02.png" 记录.txt
tt_case "batch_rename refuses when a new name is taken"
mkdir 冲突
echo a >冲突/a.txt
echo b >冲突/b.txt
echo keep >冲突/新_01.txt
tt_batch "$TT_DIR/冲突" "$TT_DIR/冲突记录.txt" 新_
tt_expect_failure "已经有名为" "$TT_DIR/冲突记录.txt"
tt_expect "nothing renamed" sh -c 'test -e 冲突/a.txt && test -e 冲突/b.txt && grep -qx keep 冲突/新_01.txt'

tt_tool txt_encoding
tt_case "txt_encoding detects GBK and converts it to UTF-8"
iconv -f UTF-8 -t GBK 报告-原文.txt >"$TT_DIR/旧文件.txt"
tt_batch "$TT_DIR/旧文件.txt" "$TT_DIR/旧文件-UTF-8.txt"
tt_expect_success
tt_expect "same text in UTF-8" cmp -s 旧文件-UTF-8.txt 报告-原文.txt
tt_case "txt_encoding refuses a character the target lacks"
printf '表情 😀\n' >"$TT_DIR/表情.txt"
tt_batch "$TT_DIR/表情.txt" "$TT_DIR/表情-GBK.txt" GBK
tt_expect_failure "无法表示" "$TT_DIR/表情-GBK.txt"

tt_finish
