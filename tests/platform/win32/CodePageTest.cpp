#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32.h"

namespace {

const char kGbkZhongWen[] = "\xD6\xD0\xCE\xC4";  // 中文 in code page 936

std::u16string ToWide(UINT codePage, const std::string& text) {
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string out(n, u'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string FromWide(UINT codePage, const std::u16string& text) {
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

TEST(CodePageTest, Cp936AndTheAnsiCodePageConvertAlike) {
  EXPECT_EQ(ToWide(CP_GBK, kGbkZhongWen), u"中文");
  EXPECT_EQ(ToWide(CP_ACP, kGbkZhongWen), u"中文");
  EXPECT_EQ(FromWide(CP_GBK, u"中文"), kGbkZhongWen);
}

TEST(CodePageTest, Utf8RoundTripsThroughUtf16) {
  EXPECT_EQ(FromWide(CP_UTF8, ToWide(CP_UTF8, "北京 abc ℃")), "北京 abc ℃");
}

TEST(CodePageTest, LengthMinusOneCountsTheTerminator) {
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, kGbkZhongWen, -1, nullptr, 0), 3);
  EXPECT_EQ(WideCharToMultiByte(CP_GBK, 0, u"中文", -1, nullptr, 0, nullptr, nullptr), 5);
}

TEST(CodePageTest, TooSmallBufferGivesZeroAndUnknownCodePageFails) {
  char16_t small[1];
  EXPECT_EQ(MultiByteToWideChar(CP_GBK, 0, kGbkZhongWen, -1, small, 1), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, nullptr, 0), 0);
}

TEST(CodePageTest, InvalidInputIsReplacedNotDropped) {
  EXPECT_EQ(ToWide(CP_UTF8, "a\xFF" "b"), u"a\uFFFDb");
  // A character code page 936 lacks comes out as the default character.
  EXPECT_EQ(FromWide(CP_GBK, u"a\U0001F600b"), "a?b");
}

TEST(CodePageTest, AsciiCaseInsensitiveCompare) {
  EXPECT_EQ(lstrcmpiA("MiniThunderPlatform.exe", "minithunderplatform.EXE"), 0);
  EXPECT_NE(lstrcmpA("a", "A"), 0);
  EXPECT_EQ(lstrlenW(u"abc"), 3);
}

TEST(CodePageTest, NativePathTurnsWindowsPathsIntoPosixUtf8Paths) {
  std::string ansi = std::string("/run\\") + "\xB2\xBC\xBE\xD6\xCE\xC4\xBC\xFE" + "\\\\main.xml";  // 布局文件
  EXPECT_EQ(QbNativePath(ansi.c_str()), "/run/布局文件/main.xml");
  EXPECT_EQ(QbNativePath(""), "");
}

}  // namespace
