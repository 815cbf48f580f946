#include "net/HttpHeaderText.h"

#include <gtest/gtest.h>

TEST(HttpHeaderText, MethodNumbersOutsideTheTableAreGet) {
  EXPECT_EQ(MethodText(0), "GET");
  EXPECT_EQ(MethodText(1), "POST");
  EXPECT_EQ(MethodText(2), "HEAD");
  EXPECT_EQ(MethodText(3), "PUT");
  EXPECT_EQ(MethodText(4), "OPTIONS");
  EXPECT_EQ(MethodText(5), "DELETE");
  EXPECT_EQ(MethodText(6), "TRACE");
  EXPECT_EQ(MethodText(7), "CONNECT");
  EXPECT_EQ(MethodText(8), "GET");
  EXPECT_EQ(MethodText(-1), "GET");
}

TEST(HttpHeaderText, NameAndValueAreSplitAtTheFirstColonAndTrimmed) {
  EXPECT_EQ(HeaderName("Set-Cookie: a=1"), "Set-Cookie");
  EXPECT_EQ(HeaderValue("Set-Cookie: a=1"), "a=1");
  EXPECT_EQ(HeaderValue("Referer:  http://x:8080/ "), "http://x:8080/");
  EXPECT_EQ(HeaderName("no colon"), "");
  EXPECT_EQ(HeaderValue("no colon"), "");
  EXPECT_EQ(HeaderValue("X-City:　北京　"), "北京");
}

TEST(HttpHeaderText, NormaliseCapitalisesEveryNamePart) {
  EXPECT_EQ(NormaliseHeaderCase("content-type: text/html"), "Content-Type: text/html");
  EXPECT_EQ(NormaliseHeaderCase("x-requested-with: a"), "X-Requested-With: a");
  EXPECT_EQ(NormaliseHeaderCase("accept: x-y: z"), "Accept: x-y: z");
  EXPECT_EQ(NormaliseHeaderCase("a:1\r\nb-c:2"), "A:1\r\nB-C:2");
}

TEST(HttpHeaderText, NormaliseDropsLinesWithoutAColon) {
  EXPECT_EQ(NormaliseHeaderCase("\r\naccept: */*\r\nreferer: x"), "Accept: */*\r\nReferer: x");
  EXPECT_EQ(NormaliseHeaderCase("junk\r\nhost: h\r\n\r\n"), "Host: h");
  EXPECT_EQ(NormaliseHeaderCase(""), "");
}

TEST(HttpHeaderText, NormaliseKeepsNamesItCannotCapitalise) {
  EXPECT_EQ(NormaliseHeaderCase("x-:1"), "X-:1");
  EXPECT_EQ(NormaliseHeaderCase("北京-a: b"), "北京-A: b");
}

TEST(HttpHeaderText, ValueByNameTakesTheFirstLineStartingWithTheName) {
  AnsiText headers = "Host: h\r\nConnection: keep-alive\r\nConnection: close";
  EXPECT_EQ(HeaderValueByName(headers, "Connection"), "keep-alive");
  EXPECT_EQ(HeaderValueByName(headers, "connection"), "");
  EXPECT_EQ(HeaderValueByName(headers, "Accept"), "");
}

TEST(HttpHeaderText, AppendsMissingHeadersOnly) {
  AnsiText headers = "accept: text/html";
  AppendHeaderIfMissing(headers, "Accept:", "Accept: */*");
  AppendHeaderIfMissing(headers, "Referer:", "Referer: u");
  EXPECT_EQ(headers, "accept: text/html\r\nReferer: u");
}
