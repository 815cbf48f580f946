#include "net/TextCutting.h"

#include <gtest/gtest.h>

TEST(TextCutting, TextBetweenCutsBetweenMarkers) {
  AnsiText answer =
      "var returnCitySN = {\"cip\": \"1.2.3.4\", \"cid\": \"440300\", \"cname\": \"广东省深圳市\"};";
  EXPECT_EQ(TextBetween(answer, "cip\": \"", "\", \"cid"), "1.2.3.4");
  EXPECT_EQ(TextBetween(answer, "cip#引号: #引号", "#引号, #引号cid"), "1.2.3.4");
  EXPECT_EQ(TextBetween(answer, "cname\": \"", "\"};"), "广东省深圳市");
}

TEST(TextCutting, TextBetweenGivesEmptyTextForMissingMarkers) {
  EXPECT_EQ(TextBetween("<a>1</a>", "<b>", "</a>"), "");
  EXPECT_EQ(TextBetween("<a>1", "<a>", "</a>"), "");
  EXPECT_EQ(TextBetween("", "", ""), "");
}

TEST(TextCutting, TextBetweenHonoursStartPositionAndCase) {
  EXPECT_EQ(TextBetween("[1][2]", "[", "]", 3), "2");
  EXPECT_EQ(TextBetween("<B>x</b>", "<b>", "</B>", 0, true), "x");
  EXPECT_EQ(TextBetween("<B>x</b>", "<b>", "</B>"), "");
  EXPECT_EQ(TextBetween("abc]", "", "]"), "abc");
}

TEST(TextCutting, TextBetweenStepsOverDoubleByteCharacters) {
  // 癮 ends in the byte "a"; the marker must match the real "a" after it.
  EXPECT_EQ(TextBetween("癮a北京癮b", "a", "b"), "北京癮");
  EXPECT_EQ(TextBetween("您现在的 IP：<code>9.8.7.6</code>", "您现在的 IP：<code>", "</code>"), "9.8.7.6");
}

TEST(TextCutting, LeftOfAndRightOfTakeFirstAndLastOccurrence) {
  EXPECT_EQ(LeftOf("a:b:c", ":"), "a");
  EXPECT_EQ(RightOf("a:b:c", ":"), "c");
  EXPECT_EQ(LeftOf("abc", ":"), "");
  EXPECT_EQ(RightOf("abc", ":"), "");
  EXPECT_EQ(RightOf("IP: 1\nIP: 2", "IP: "), "2");
}

TEST(TextCutting, LeftOfWithNegativeStartSearchesBackwards) {
  EXPECT_EQ(LeftOf("a:b:c", ":", -1), "a:b");
  EXPECT_EQ(LeftOf("a:b:c:", ":", -2), "a:b");
  EXPECT_EQ(LeftOf("a:b:c", ":", 3), "a:b");
}

TEST(TextCutting, RightOfWithPositionsSearchesFromThem) {
  EXPECT_EQ(RightOf("a:b:c", ":", 2), "c");
  EXPECT_EQ(RightOf("a:b:c", ":", 3), "b:c");
  EXPECT_EQ(RightOf("a:b:c", ":", -1), "b:c");
  EXPECT_EQ(RightOf("a:b:c", ":", -3), "c");
  EXPECT_EQ(RightOf("a:B:c", "b:", 0, true), "c");
}

TEST(TextCutting, LeftOfAndRightOfNeverSplitACharacter) {
  EXPECT_EQ(LeftOf("癮a1", "a"), "癮");
  EXPECT_EQ(RightOf("1a癮", "a"), "癮");
  EXPECT_EQ(RightOf("癮", "a"), "");
}
