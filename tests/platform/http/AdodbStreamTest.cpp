#include "platform/http/AdodbStream.h"

#include <gtest/gtest.h>

namespace {

// Writes `bytes` and reads them back as text in `charset`, the way the launcher does.
std::string ReadAs(const std::vector<std::uint8_t>& bytes, const std::string& charset) {
  AdodbStream stream;
  EXPECT_TRUE(stream.SetType(AdodbStream::TypeBinary));
  EXPECT_TRUE(stream.SetMode(AdodbStream::ModeReadWrite));
  EXPECT_TRUE(stream.Open());
  EXPECT_TRUE(stream.Write(bytes));
  EXPECT_TRUE(stream.SetPosition(0));
  EXPECT_TRUE(stream.SetType(AdodbStream::TypeText));
  EXPECT_TRUE(stream.SetCharset(charset));
  std::string text;
  EXPECT_TRUE(stream.ReadText(text));
  stream.Close();
  return text;
}

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

}  // namespace

TEST(AdodbStream, ReadsUnicodeAsLittleEndianUtf16) {
  EXPECT_EQ(ReadAs({0x41, 0x00, 0x42, 0x00}, "unicode"), "AB");
  EXPECT_EQ(ReadAs({0xFF, 0xFE, 0x17, 0x53}, "unicode"), "\xB1\xB1");  // BOM, then 北
}

TEST(AdodbStream, DecodesCharsetsIntoCodePage936) {
  EXPECT_EQ(ReadAs(Bytes("北京"), "utf-8"), "\xB1\xB1\xBE\xA9");
  EXPECT_EQ(ReadAs(Bytes("\xEF\xBB\xBFok"), "utf-8"), "ok");
  EXPECT_EQ(ReadAs(Bytes("caf\xE9"), "iso-8859-1"), "caf\xA8\xA6");  // é is in code page 936
  EXPECT_EQ(ReadAs(Bytes("a\xA0"), "iso-8859-1"), "a?");             // a no-break space is not
  EXPECT_EQ(ReadAs(Bytes("\xA5\x5F"), "big5"), "\xB1\xB1");          // 北
}

TEST(AdodbStream, InvalidBytesAndUnknownCharsetsAreHandled) {
  EXPECT_EQ(ReadAs(Bytes("a\xFF"
                         "b"),
                   "utf-8"),
            "a?b");
  AdodbStream stream;
  EXPECT_FALSE(stream.SetCharset("no-such-charset"));
  EXPECT_TRUE(stream.SetCharset("utf-8"));
}

TEST(AdodbStream, ReadingNeedsAnOpenTextStream) {
  AdodbStream stream;
  std::string text = "x";
  EXPECT_FALSE(stream.ReadText(text));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(stream.Write({1}));
  ASSERT_TRUE(stream.Open());
  EXPECT_TRUE(stream.Write({0x41, 0}));
  EXPECT_FALSE(stream.ReadText(text));
  EXPECT_FALSE(stream.SetType(AdodbStream::TypeText));  // not at position 0
  EXPECT_FALSE(stream.SetPosition(3));
}
