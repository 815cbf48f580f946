#!/bin/bash
# 发票识别: reads the main fields of a picture of an invoice, and its full text.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="发票识别"
TOOL_INPUT_NAME="发票图片"
TOOL_FILTER="图片文件 | *.png *.PNG *.jpg *.JPG *.jpeg *.bmp *.tif *.tiff *.webp *.gif"
TOOL_OUTPUT_SUFFIX="发票信息"
TOOL_OUTPUT_EXT="txt"

tool_needs() { qb_need_ocr; }

tool_check() { qb_expect_image "$1"; }

tool_run() { qb_ocr_fields "$1" "$2" invoice_fields 发票; }

# The recognised text on stdin; the fields found as "字段：值" lines, then the full text. The
# recogniser often drops or misreads the first character of a label, so labels are matched by
# their last characters, and the values by their shape.
invoice_fields() {
  perl -CSD -Mutf8 -e '
    use strict; use warnings;
    my @lines = grep { /\S/ } map { s/\s+$//r } <STDIN>;
    my (%f, @names, $party);
    my $amount = qr/[¥￥Y]?\s*(-?[\d,]+\.\d{2})/;
    for my $l (@lines) {
      $f{code} //= $1 if $l =~ /代\s*码\s*[:：]?\s*(\d{10,12})(?![\dA-Za-z])/;
      $f{number} //= $1 if $l =~ /号\s*码\s*[:：]?\s*(\d{8,20})(?![\dA-Za-z])/;
      $f{date} //= $1 =~ s/\s+//gr
        if $l =~ /日\s*期\s*[:：]?\s*(\d{4}\s*年\s*\d{1,2}\s*月\s*\d{1,2}\s*日|\d{4}[-\/.]\d{1,2}[-\/.]\d{1,2})/;
      if ($l =~ /价\s*税\s*合\s*计|小\s*写/) {
        my @all = $l =~ /$amount/g;
        $f{total} //= $all[-1] if @all;
      } else {
        $f{amount} //= $1 if $l =~ /(?<!税)金\s*额\s*[:：]?\s*$amount/;
        $f{tax} //= $1 if $l =~ /税\s*额\s*[:：]?\s*$amount/;
      }
      # A name belongs to the party whose block it is in; the buyer comes first on the form.
      $party = "buyer" if $l =~ /购\s*买\s*方/;
      $party = "seller" if $l =~ /销\s*售\s*方/;
      push @names, [$party, $1] if $l =~ /(?<!项目)(?<!货物)名\s*称\s*[:：]\s*([^\s:：]+)/;
    }
    my %name;
    for (@names) { $name{ $_->[0] } //= $_->[1] if defined $_->[0]; }
    for (grep { !defined $_->[0] } @names) {
      if (!defined $name{buyer}) { $name{buyer} = $_->[1] } elsif (!defined $name{seller}) { $name{seller} = $_->[1] }
    }
    defined $f{$_} and $f{$_} = "¥$f{$_}" for qw(amount tax total);
    my @out = (["发票代码", $f{code}], ["发票号码", $f{number}], ["开票日期", $f{date}], ["金额", $f{amount}],
               ["税额", $f{tax}], ["价税合计", $f{total}], ["购买方名称", $name{buyer}], ["销售方名称", $name{seller}]);
    my @found = grep { defined $_->[1] } @out;
    print "$_->[0]：$_->[1]\n" for @found;
    print "（没有识别到发票字段，请查看下面的全文）\n" unless @found;
    print "\n——— 识别到的全文 ———\n", join("\n", @lines), "\n";
  '
}

tool_done() { qb_text_window "$2" "$TOOL_TITLE：已保存到 $(basename -- "$2")"; }

qb_main "$@"
