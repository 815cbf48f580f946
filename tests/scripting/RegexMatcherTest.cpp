#include "scripting/RegexMatcher.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/Win32.h"

namespace {

TEST(RegexMatcherCreate, DefaultsIgnoreCaseMatchAtLineBreaksAndCollectAll) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("^ab$", "AB\nab\naB"));
  EXPECT_EQ(matcher.matchCount(), 3);
  EXPECT_EQ(matcher.matchText(1), "AB");
  EXPECT_EQ(matcher.matchText(3), "aB");
}

TEST(RegexMatcherCreate, EachOptionOnItsOwn) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("ab", "AB ab", true));
  EXPECT_EQ(matcher.matchCount(), 1);
  EXPECT_EQ(matcher.matchText(1), "ab");
  ASSERT_TRUE(matcher.create("^ab$", "ab\nab", false, false));
  EXPECT_EQ(matcher.matchCount(), 0);
  ASSERT_TRUE(matcher.create("ab", "ab ab ab", false, true, false));
  EXPECT_EQ(matcher.matchCount(), 1);
}

TEST(RegexMatcherCreate, QuotePlaceholderStandsForADoubleQuote) {
  AnsiText subject = "name=\"天气\"";
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("#引号(.+?)#引号", subject, false, true, true, true));
  EXPECT_EQ(matcher.pattern(), "\"(.+?)\"");
  ASSERT_EQ(matcher.matchCount(), 1);
  EXPECT_EQ(matcher.subMatchText(1, 1), "天气");
  ASSERT_TRUE(matcher.create("#引号(.+?)#引号", subject));
  EXPECT_EQ(matcher.pattern(), "#引号(.+?)#引号");
  EXPECT_EQ(matcher.matchCount(), 0);
  ASSERT_TRUE(matcher.create("#引号(.+?)#引号", "#引号字#引号"));
  EXPECT_EQ(matcher.subMatchText(1, 1), "字");
}

TEST(RegexMatcherCreate, ExpressionThatDoesNotCompileFails) {
  RegexMatcher matcher;
  EXPECT_FALSE(matcher.create("(unclosed", "unclosed"));
  EXPECT_EQ(matcher.matchCount(), 0);
  EXPECT_EQ(matcher.matchText(1), "");
  EXPECT_EQ(matcher.subMatchCount(), 0);
  EXPECT_EQ(matcher.replace("x"), "");
  EXPECT_EQ(matcher.pattern(), "(unclosed");
}

TEST(RegexMatcherCreate, SecondCreateForgetsTheFirstMatches) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("(\\d)(\\d)", "12 34"));
  EXPECT_EQ(matcher.matchCount(), 2);
  ASSERT_TRUE(matcher.create("x", "y"));
  EXPECT_EQ(matcher.matchCount(), 0);
  EXPECT_EQ(matcher.matchText(1), "");
  EXPECT_EQ(matcher.subMatchCount(), 0);
  EXPECT_FALSE(matcher.create("[", "y"));
  EXPECT_EQ(matcher.matchCount(), 0);
}

TEST(RegexMatcherCreate, EmptyMatcherYieldsNothing) {
  RegexMatcher matcher;
  int position = 7;
  EXPECT_EQ(matcher.pattern(), "");
  EXPECT_EQ(matcher.replace("x"), "");
  EXPECT_EQ(matcher.matchCount(), 0);
  EXPECT_EQ(matcher.matchText(1, &position), "");
  EXPECT_EQ(position, -1);
  EXPECT_EQ(matcher.subMatchText(1, 1, &position), "");
  EXPECT_EQ(position, -1);
}

TEST(RegexMatcherGroups, TextsOfGroupsOfEachMatch) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("(\\w+)=(\\w*)(;)?", "a=1; b=; c=3"));
  ASSERT_EQ(matcher.matchCount(), 3);
  EXPECT_EQ(matcher.subMatchCount(), 3);
  EXPECT_EQ(matcher.subMatchText(1, 1), "a");
  EXPECT_EQ(matcher.subMatchText(2, 2), "");
  EXPECT_EQ(matcher.subMatchText(3, 2), "3");
  EXPECT_EQ(matcher.subMatchText(3, 3), "");
  EXPECT_EQ(matcher.subMatchText(3, 4), "");
  EXPECT_EQ(matcher.subMatchText(4, 1), "");
  EXPECT_EQ(matcher.subMatchText(0, 1), "");
}

TEST(RegexMatcherGroups, SubMatchCountReadsTheFirstMatchOnly) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("(a)|(b)(c)", "a bc"));
  EXPECT_EQ(matcher.subMatchCount(), 3);
  ASSERT_TRUE(matcher.create("(a)(b)", "xyz"));
  EXPECT_EQ(matcher.subMatchCount(), 0);
}

TEST(RegexMatcherGroups, LocationAnswerPattern) {
  AnsiText answer =
      "{\"rs\":1,\"code\":0,\"address\":\"中国  广东省 深圳市 电信\",\"ip\":\"1.2.3.4\",\"isDomain\":0}";
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create(
      "{\"rs\":1,\"code\":0,\"address\":\"(.*?)  (.*?) (.*?) (.*?)\",\"ip\":\"(.*?)\",\"isDomain\":0}",
      answer, false, false, true, true));
  ASSERT_EQ(matcher.matchCount(), 1);
  EXPECT_EQ(matcher.subMatchCount(), 5);
  EXPECT_EQ(matcher.subMatchText(1, 1), "中国");
  EXPECT_EQ(matcher.subMatchText(1, 2), "广东省");
  EXPECT_EQ(matcher.subMatchText(1, 3), "深圳市");
  EXPECT_EQ(matcher.subMatchText(1, 5), "1.2.3.4");
}

TEST(RegexMatcherGroups, CharsetDeclarationInAPage) {
  RegexMatcher matcher;
  ASSERT_TRUE(
      matcher.create("<meta.+?charset=[^\\w]?([-\\w]+)",
                     "<html><META http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"));
  EXPECT_EQ(matcher.subMatchText(1, 1), "UTF-8");
  ASSERT_TRUE(matcher.create("<meta.+?charset=[^\\w]?([-\\w]+)", "<meta charset=\"gb2312\"><p>中文</p>"));
  EXPECT_EQ(matcher.subMatchText(1, 1), "gb2312");
}

TEST(RegexMatcherPositions, AsciiMatchAfterChineseIsAtItsByteOffset) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("abc", "北京abc"));
  int position = -5;
  EXPECT_EQ(matcher.matchText(1, &position), "abc");
  EXPECT_EQ(position, 4);
}

TEST(RegexMatcherPositions, RepeatedTextAfterDoubleByteCharactersIsPlacedExactly) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("a", "中中中aa"));
  int first = 0, second = 0;
  matcher.matchText(1, &first);
  matcher.matchText(2, &second);
  EXPECT_EQ(first, 6);
  EXPECT_EQ(second, 7);
  matcher.matchText(1, &first);
  EXPECT_EQ(first, 6);
}

TEST(RegexMatcherPositions, CaseSensitiveMatchIsNotConfusedWithOtherCase) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("A", "字aA", true));
  int position = 0;
  EXPECT_EQ(matcher.matchText(1, &position), "A");
  EXPECT_EQ(position, 3);
}

TEST(RegexMatcherPositions, GroupPositionsAreTheGroupsOwn) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("(a)(a)(b)?", "天aa"));
  int position = 0;
  EXPECT_EQ(matcher.subMatchText(1, 1, &position), "a");
  EXPECT_EQ(position, 2);
  EXPECT_EQ(matcher.subMatchText(1, 2, &position), "a");
  EXPECT_EQ(position, 3);
  EXPECT_EQ(matcher.subMatchText(1, 3, &position), "");
  EXPECT_EQ(position, -1);
  EXPECT_EQ(matcher.subMatchText(2, 1, &position), "");
  EXPECT_EQ(position, -1);
}

TEST(RegexMatcherReplace, GlobalReplacementWithGroupReferences) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("(\\d+)年(\\d+)月", "2020年7月 与 2021年8月"));
  EXPECT_EQ(matcher.replace("$2/$1"), "7/2020 与 8/2021");
  EXPECT_EQ(matcher.replace("[$&]$$"), "[2020年7月]$ 与 [2021年8月]$");
  ASSERT_TRUE(matcher.create("(\\d+)年", "2020年 2021年", false, true, false));
  EXPECT_EQ(matcher.replace("$1"), "2020 2021年");
}

TEST(RegexMatcherReplace, ReplaceLeavesTheSubjectAndMatchesAlone) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.create("b", "abc"));
  EXPECT_EQ(matcher.replace("X"), "aXc");
  EXPECT_EQ(matcher.replace("Y"), "aYc");
  EXPECT_EQ(matcher.matchText(1), "b");
}

TEST(RegexMatcherLifetime, CopyAnswersTheSameAndOutlivesTheOriginal) {
  auto original = std::make_unique<RegexMatcher>();
  ASSERT_TRUE(original->create("(中)(\\w)", "中a中b"));
  RegexMatcher copy(*original);
  original.reset();
  EXPECT_EQ(copy.matchCount(), 2);
  int position = 0;
  EXPECT_EQ(copy.subMatchText(2, 2, &position), "b");
  EXPECT_EQ(position, 5);
  EXPECT_EQ(copy.replace("$2"), "ab");
  RegexMatcher assigned;
  assigned = copy;
  EXPECT_EQ(assigned.pattern(), "(中)(\\w)");
}

TEST(RegexMatcherLifetime, BalancesComInitialisationOnItsThread) {
  long during = -1, after = -1;
  std::thread worker([&] {
    {
      RegexMatcher matcher;
      RegexMatcher copy(matcher);
      during = CoInitialize(nullptr);
      CoUninitialize();
    }
    after = CoInitialize(nullptr);
    CoUninitialize();
  });
  worker.join();
  EXPECT_EQ(during, 1);
  EXPECT_EQ(after, 0);
}

}  // namespace
