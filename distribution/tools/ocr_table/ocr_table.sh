#!/bin/bash
# 表格识别: turns a picture of a table into a CSV file that spreadsheet programs open.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
. "$(dirname -- "$0")/qbtool.sh"

TOOL_TITLE="表格识别"
TOOL_INPUT_NAME="表格图片"
TOOL_FILTER="图片文件 | *.png *.PNG *.jpg *.JPG *.jpeg *.bmp *.tif *.tiff *.webp *.gif"
TOOL_OUTPUT_SUFFIX="表格"
TOOL_OUTPUT_EXT="csv"

tool_needs() { qb_need_ocr; }

tool_check() { qb_expect_image "$1"; }

tool_run() {
  local input=$1 output=$2 prepared="$QB_WORK/prepared.png" clean="$QB_WORK/clean.png" temp size length
  echo "10"
  echo "# 正在去除表格线……"
  qb_ocr_prepare "$input" "$prepared" || qb_fail 5 "无法读取图片：$(tail -n 2 -- "$QB_WORK/ocr.log")"
  # Ruling lines read as letters ("|", "—"): they go first. A line is a dark run far longer than
  # any stroke of a character, an eighth of the picture and at least 120 pixels.
  size=$(identify -format '%w %h' -- "$prepared")
  length=$(awk -v s="$size" 'BEGIN { split(s, d, " "); l = (d[1] > d[2] ? d[1] : d[2]) / 8; print int(l < 120 ? 120 : l) }')
  convert "$prepared" -negate \( -clone 0 -morphology Open "rectangle:${length}x1" \) \
    \( -clone 0 -morphology Open "rectangle:1x${length}" \) \( -clone 1 -clone 2 -compose Lighten -composite \) \
    -delete 1,2 -compose Difference -composite -negate "$clean" 2>>"$QB_WORK/ocr.log" ||
    qb_fail 5 "图片处理失败：$(tail -n 2 -- "$QB_WORK/ocr.log")"
  echo "40"
  echo "# 正在识别表格文字……"
  # One uniform block keeps the words of a row on one line, with their positions.
  tesseract "$clean" "$QB_WORK/words" -l chi_sim+eng --psm 6 tsv 2>>"$QB_WORK/ocr.log" ||
    qb_fail 5 "识别失败：$(tail -n 2 -- "$QB_WORK/ocr.log")"
  echo "80"
  temp=$(qb_temp_beside "$output")
  tsv_to_csv <"$QB_WORK/words.tsv" >"$temp" || { rm -f -- "$temp"; qb_fail 5 "图片中没有识别到表格文字：$(basename -- "$input")"; }
  qb_publish "$temp" "$output"
  echo "100"
}

# The recogniser's words (TSV: level, page, block, paragraph, line, word, left, top, width,
# height, confidence, text) as CSV rows and columns. Lines that overlap in height are one row;
# columns are the runs of words across the whole table that no wide gap separates. Fails when
# there is no word at all.
tsv_to_csv() {
  perl -CSD -Mutf8 -e '
    use strict; use warnings;
    my (@words, %line);
    while (<STDIN>) {
      chomp; my @f = split /\t/;
      next unless @f >= 12 && $f[0] eq "5" && $f[10] >= 0;
      my $text = $f[11]; $text =~ s/^\s+|\s+$//g;
      next if $text eq "" || $text =~ /^[|_\-—–=\[\]:;.,]+$/;   # what is left of ruling lines
      my $w = { text => $text, l => $f[6], t => $f[7], r => $f[6] + $f[8], b => $f[7] + $f[9], key => "$f[2].$f[3].$f[4]" };
      push @words, $w;
      my $ln = $line{$w->{key}} //= { t => $w->{t}, b => $w->{b}, words => [] };
      $ln->{t} = $w->{t} if $w->{t} < $ln->{t};
      $ln->{b} = $w->{b} if $w->{b} > $ln->{b};
      push @{ $ln->{words} }, $w;
    }
    exit 1 unless @words;
    my @rows;
    for my $ln (sort { $a->{t} <=> $b->{t} } values %line) {
      my $row = $rows[-1];
      my $overlap = $row ? (($row->{b} < $ln->{b} ? $row->{b} : $ln->{b}) - ($row->{t} > $ln->{t} ? $row->{t} : $ln->{t})) : -1;
      my $smaller = $row ? (($row->{b} - $row->{t}) < ($ln->{b} - $ln->{t}) ? $row->{b} - $row->{t} : $ln->{b} - $ln->{t}) : 1;
      if ($row && $overlap > $smaller / 2) {
        $row->{b} = $ln->{b} if $ln->{b} > $row->{b};
        push @{ $row->{words} }, @{ $ln->{words} };
      } else {
        push @rows, { t => $ln->{t}, b => $ln->{b}, words => [ @{ $ln->{words} } ] };
      }
    }
    # A gap between columns is wider than one and a half letters.
    my @heights = sort { $a <=> $b } map { $_->{b} - $_->{t} } @words;
    my $gap = 1.5 * $heights[int(@heights / 2)];
    my @columns;
    for my $w (sort { $a->{l} <=> $b->{l} } @words) {
      if (@columns && $w->{l} <= $columns[-1]{r} + $gap) {
        $columns[-1]{r} = $w->{r} if $w->{r} > $columns[-1]{r};
      } else {
        push @columns, { l => $w->{l}, r => $w->{r} };
      }
      $w->{column} = $#columns;
    }
    print "\x{FEFF}";
    for my $row (@rows) {
      my @cells = ("") x @columns;
      for my $w (sort { $a->{l} <=> $b->{l} } @{ $row->{words} }) {
        my $c = $w->{column};
        $cells[$c] = $cells[$c] eq "" ? $w->{text} : "$cells[$c] $w->{text}";
      }
      for (@cells) {
        1 while s/(\p{Han}|[，。、；：？！“”（）])\s+(?=\p{Han}|[，。、；：？！“”（）])/$1/g;
        $_ = "\"" . s/"/""/gr . "\"" if /[",\r\n]/ || /^\s|\s$/;
      }
      print join(",", @cells), "\r\n";
    }
  '
}

tool_done() {
  local output=$2 shown="$QB_WORK/shown.txt"
  sed '1s/^\xEF\xBB\xBF//; s/\r$//' -- "$output" >"$shown"
  qb_text_window "$shown" "$TOOL_TITLE：已保存到 $(basename -- "$output")（可用表格软件打开）"
}

qb_main "$@"
