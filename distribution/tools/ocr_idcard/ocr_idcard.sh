#!/bin/bash
# 身份证识别: reads the fields of a picture of a Chinese ID card's front and checks its number.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="身份证识别"
TOOL_INPUT_NAME="身份证正面图片"
TOOL_FILTER="图片文件 | *.png *.PNG *.jpg *.JPG *.jpeg *.bmp *.tif *.tiff *.webp *.gif"
TOOL_OUTPUT_SUFFIX="身份证信息"
TOOL_OUTPUT_EXT="txt"

tool_needs() { qb_need_ocr; }

tool_check() { qb_expect_image "$1"; }

tool_run() { qb_ocr_fields "$1" "$2" card_fields 身份证; }

# The recognised text on stdin; "字段：值" lines on stdout. Labels may come out with blanks or a
# misread letter between them, so each value is looked for after its label or by its own shape.
card_fields() {
  perl -CSD -Mutf8 -e '
    use strict; use warnings;
    my @lines = grep { /\S/ } map { s/\s+$//r } <STDIN>;
    my $all = join("\n", @lines);
    my %f;
    for my $i (0 .. $#lines) {
      my $l = $lines[$i];
      $f{name} //= $1 if $l =~ /姓\s*名\s*[:：]?\s*(\p{Han}[\p{Han}·]{0,14})/;
      $f{sex} //= $1 if $l =~ /性\s*别\s*[:：]?\s*(男|女)/;
      $f{nation} //= $1 if $l =~ /民\s*族\s*[:：]?\s*(\p{Han}{1,8}?)(?:族)?(?:\s|$)/;
      if (!defined $f{address} && $l =~ /住\s*址\s*[:：]?\s*(.+)$/) {
        my $address = $1;
        # The address runs on over the following lines, up to the number.
        for my $next (@lines[$i + 1 .. $#lines]) {
          last if $next =~ /公民|身份|号码|\d{15,}/;
          $address .= $next =~ s/^\s+//r;
        }
        $f{address} = $address =~ s/\s+//gr;
      }
    }
    $f{birth} = "$1年$2月$3日" if $all =~ /(\d{4})\s*年\s*(\d{1,2})\s*月\s*(\d{1,2})\s*日/;
    # Eighteen characters of digits, the last maybe X, with no blank inside.
    for my $l (@lines) {
      (my $squeezed = $l) =~ s/\s+//g;
      if ($squeezed =~ /(?<!\d)(\d{17}[\dXx])(?![\dXx])/) { $f{number} = uc $1; last; }
    }
    my $check;
    if (defined $f{number}) {
      my @w = (7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2);
      my @d = split //, $f{number};
      my $sum = 0;
      $sum += $d[$_] * $w[$_] for 0 .. 16;
      my $expected = substr("10X98765432", $sum % 11, 1);
      $check = $expected eq $d[17] ? "有效（校验码正确）" : "无效（校验码应为 $expected，识别到 $d[17]）";
      my ($y, $m, $dd) = $f{number} =~ /^\d{6}(\d{4})(\d\d)(\d\d)/;
      my $sex = $d[16] % 2 ? "男" : "女";
      $check .= "；号码中的出生日期为 ${y}年" . ($m + 0) . "月" . ($dd + 0) . "日，性别为${sex}";
    } else {
      $check = "未识别到 18 位号码";
    }
    my @out = (["姓名", $f{name}], ["性别", $f{sex}], ["民族", $f{nation}], ["出生", $f{birth}],
               ["住址", $f{address}], ["公民身份号码", $f{number}]);
    print "$_->[0]：", $_->[1] // "（未识别到）", "\n" for @out;
    print "号码校验：$check\n\n——— 识别到的全文 ———\n$all\n";
  '
}

tool_done() { qb_text_window "$2" "$TOOL_TITLE：已保存到 $(basename -- "$2")"; }

qb_main "$@"
