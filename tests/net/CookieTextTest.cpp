#include "net/CookieText.h"

#include <gtest/gtest.h>

TEST(CookieText, CollectKeepsNameValueOfEverySetCookieLine) {
  AnsiText headers =
      "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nContent-Type: text/html\r\nSet-Cookie: b=2\r\n\r\n";
  EXPECT_EQ(CollectSetCookies(headers), "a=1; b=2");
}

TEST(CookieText, CollectIgnoresOtherLetterCaseAndOtherHeaders) {
  EXPECT_EQ(CollectSetCookies("set-cookie: c=3\r\nSet-Cookie2: d=4\r\nX: Set-Cookie: e=5"), "");
  EXPECT_EQ(CollectSetCookies(""), "");
  EXPECT_EQ(CollectSetCookies("HTTP/1.1 204 No Content\r\n\r\n"), "");
}

TEST(CookieText, CollectKeepsRepeatedCookiesInOrder) {
  EXPECT_EQ(CollectSetCookies("Set-Cookie: a=1\r\nSet-Cookie: a=2; Max-Age=9"), "a=1; a=2");
  EXPECT_EQ(CollectSetCookies("Set-Cookie: 城市=北京; path=/"), "城市=北京");
}

TEST(CookieText, MergePutsNewerCookiesFirst) {
  AnsiText older = "a=1; b=2";
  EXPECT_EQ(MergeCookies(older, "b=3; c=4"), "b=3; c=4; a=1");
  EXPECT_EQ(older, "b=3; c=4; a=1");
}

TEST(CookieText, MergeDeletesCookiesMarkedDeleted) {
  AnsiText older = "a=1; b=2";
  EXPECT_EQ(MergeCookies(older, "b=deleted"), "a=1");
  older = "a=deleted";
  EXPECT_EQ(MergeCookies(older, ""), "");
}

TEST(CookieText, MergeKeepsOnlyTheFirstOfRepeatedCookies) {
  AnsiText older = "a=1; a=1";
  EXPECT_EQ(MergeCookies(older, ""), "a=1");
  older = "a=1; a=2";
  EXPECT_EQ(MergeCookies(older, ""), "a=1");
  older = "";
  EXPECT_EQ(MergeCookies(older, "x=1; x=1"), "x=1");
}

TEST(CookieText, MergeTrimsAndToleratesAFinalSemicolon) {
  AnsiText older = " a=1; b=2; ";
  EXPECT_EQ(MergeCookies(older, "c=3;"), "c=3; a=1; b=2");
  older = "flag";
  EXPECT_EQ(MergeCookies(older, "flag=1"), "flag=1");
}
