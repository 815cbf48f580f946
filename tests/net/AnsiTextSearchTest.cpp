// Literals here are code page 936 like the code under test: 癮 is B0 61 and 癆 is B0 41, so
// their second byte reads as "a" and "A".
#include "net/AnsiTextSearch.h"

#include <gtest/gtest.h>

TEST(AnsiTextSearch, FindsFirstOccurrenceFromAPosition) {
  EXPECT_EQ(FindText("a:b:c", ":"), 2);
  EXPECT_EQ(FindText("a:b:c", ":", 3), 4);
  EXPECT_EQ(FindText("a:b:c", ":", 0), 2);
  EXPECT_EQ(FindText("a:b:c", ";"), -1);
  EXPECT_EQ(FindText("abc", "", 1), 1);
  EXPECT_EQ(FindText("", "", 1), -1);
}

TEST(AnsiTextSearch, NeverMatchesFromTheSecondByteOfACharacter) {
  EXPECT_EQ(FindText("癮a", "a"), 3);
  EXPECT_EQ(FindText("癮", "a"), -1);
  EXPECT_EQ(FindText("癆", "a", 1, true), -1);
  EXPECT_EQ(FindText("北京a", "a"), 5);
  EXPECT_EQ(FindTextBackward("a癮", "a", 99), 1);
  EXPECT_FALSE(ContainsText("癮癆", "A", true));
}

TEST(AnsiTextSearch, IgnoresCaseOfAsciiLettersOnly) {
  EXPECT_EQ(FindText("X-User-Agent: y", "user-agent:", 1, true), 3);
  EXPECT_EQ(FindText("X-User-Agent: y", "user-agent:", 1, false), -1);
  EXPECT_EQ(FindText("北京COOKIE:", "cookie:", 1, true), 5);
}

TEST(AnsiTextSearch, SearchesBackwardsFromAPosition) {
  EXPECT_EQ(FindTextBackward("a:b:c", ":", 99), 4);
  EXPECT_EQ(FindTextBackward("a:b:c", ":", 3), 2);
  EXPECT_EQ(FindTextBackward("a:b:c", ":", 1), -1);
  EXPECT_EQ(FindTextBackward("", ":", 5), -1);
}

TEST(AnsiTextSearch, ReplacesEveryOccurrenceWithoutRescanning) {
  EXPECT_EQ(ReplaceText("aXbXc", "X", "XX"), "aXXbXXc");
  EXPECT_EQ(ReplaceText("Cookie: a; cookie:b", "cookie:", "", true), " a; b");
  EXPECT_EQ(ReplaceText("癮a", "a", "b"), "癮b");
  EXPECT_EQ(ReplaceText("abc", "", "x"), "abc");
}

TEST(AnsiTextSearch, SplitsKeepingEmptyPiecesButNoFinalOne) {
  EXPECT_EQ(SplitText("a\r\n\r\nb", "\r\n"), (std::vector<AnsiText>{"a", "", "b"}));
  EXPECT_EQ(SplitText("a\r\nb\r\n", "\r\n"), (std::vector<AnsiText>{"a", "b"}));
  EXPECT_EQ(SplitText("\r\na", "\r\n"), (std::vector<AnsiText>{"", "a"}));
  EXPECT_TRUE(SplitText("", "\r\n").empty());
  EXPECT_EQ(SplitText("癮a癮", "a"), (std::vector<AnsiText>{"癮", "癮"}));
}

TEST(AnsiTextSearch, TrimsAsciiAndFullWidthBlanksOnly) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("　北京　 "), "北京");
  EXPECT_EQ(TrimBlanks("\ta\r\n"), "\ta\r\n");
  EXPECT_EQ(TrimBlanks("   "), "");
  // A1 A1 as the second half of one character and the first half of the next is no blank.
  EXPECT_EQ(TrimBlanks("\xB0\xA1\xA1\xB0"), "\xB0\xA1\xA1\xB0");
}

TEST(AnsiTextSearch, ChangesCaseOfSingleByteLettersOnly) {
  EXPECT_EQ(AsciiLower("HTTPS://癆"), "https://癆");
  EXPECT_EQ(UpperFirst("content"), "Content");
  EXPECT_EQ(UpperFirst("北"), "北");
  EXPECT_EQ(UpperFirst(""), "");
}
