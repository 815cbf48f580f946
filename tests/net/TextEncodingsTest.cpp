#include "net/TextEncodings.h"

#include <gtest/gtest.h>

namespace {

ByteBuffer Bytes(std::initializer_list<int> values) {
  ByteBuffer bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

TEST(TextEncodingsTest, Utf8BecomesCodePage936AndEndsAtTheFirstZero) {
  EXPECT_EQ(Utf8ToAnsi(Bytes({0xE5, 0x8C, 0x97, 0xE4, 0xBA, 0xAC, 'A'})), "北京A");
  EXPECT_EQ(Utf8ToAnsi(Bytes({'a', 0, 'b'})), "a");
  EXPECT_EQ(Utf8ToAnsi(Bytes({0xF0, 0x9F, 0x98, 0x80})), "?");  // no such character in 936
  EXPECT_EQ(Utf8ToAnsi({}), "");
}

TEST(TextEncodingsTest, Utf16RoundTripsWithTerminatorRulesAndOddBytes) {
  ByteBuffer withZero = AnsiToUtf16("天气A");
  EXPECT_EQ(withZero, Bytes({0x29, 0x59, 0x14, 0x6C, 'A', 0, 0, 0}));
  EXPECT_EQ(AnsiToUtf16("天气A", true), Bytes({0x29, 0x59, 0x14, 0x6C, 'A', 0}));
  EXPECT_TRUE(AnsiToUtf16("").empty());
  EXPECT_EQ(Utf16ToAnsi(withZero), "天气A");
  EXPECT_EQ(Utf16ToAnsi(Bytes({'A', 0, 'B', 0, 'C'})), "AB");  // odd last byte ignored
  EXPECT_EQ(Utf16ToAnsi(Bytes({'A', 0, 0, 0, 'B', 0})), "A");
}

TEST(TextEncodingsTest, BytesReadAsUtf16DropALeadingByteOrderMark) {
  EXPECT_EQ(BytesAsUnicodeText(Bytes({0xFF, 0xFE, 0x29, 0x59, 'x', 0})), "天x");
  EXPECT_EQ(BytesAsUnicodeText(Bytes({0x29, 0x59})), "天");
  EXPECT_EQ(BytesAsUnicodeText({}), "");
}

TEST(TextEncodingsTest, Base64PadsAndLeavesEmptyInputEmpty) {
  EXPECT_EQ(Base64Encode(Bytes({'M', 'a', 'n'})), "TWFu");
  EXPECT_EQ(Base64Encode(Bytes({'M', 'a'})), "TWE=");
  EXPECT_EQ(Base64Encode(Bytes({'M'})), "TQ==");
  EXPECT_EQ(Base64Encode({}), "");
}

TEST(TextEncodingsTest, UnescapeDecodesEscapesAndKeepsQuotesAndLineBreaks) {
  EXPECT_EQ(UnescapeUnicode("\\u5317\\u4eac"), "北京");
  EXPECT_EQ(UnescapeUnicode("%u5E02%41"), "市A");
  EXPECT_EQ(UnescapeUnicode("it's"), "it's");
  EXPECT_EQ(UnescapeUnicode("a\r\nb"), "a\r\nb");
  EXPECT_EQ(UnescapeUnicode("’"), "'");  // the stand-in for an apostrophe comes back as one
}

TEST(TextEncodingsTest, UnescapeReadsATextTheScriptCannotHoldAsUtf16) {
  EXPECT_EQ(UnescapeUnicode(")Yq\\"), "天山");  // 29 59 71 5C: ends in a backslash
  EXPECT_EQ(UnescapeUnicode(")Y\nY"), "天夊");  // 29 59 0A 59: a lone line feed
  EXPECT_EQ(UnescapeUnicode(""), "");
}

}  // namespace
