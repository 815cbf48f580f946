#include "net/UrlText.h"

#include <gtest/gtest.h>

TEST(UrlText, HostIsLowerCaseWithoutPort) {
  EXPECT_EQ(UrlHost("HTTPS://Example.ORG:8443/A"), "example.org");
  EXPECT_EQ(UrlHost("http://h/x"), "h");
  EXPECT_EQ(UrlHost("h.cn/x"), "h.cn");
  EXPECT_EQ(UrlHost("http://h"), "h");
  EXPECT_EQ(UrlHost("http://h?q=1"), "h");
}

TEST(UrlText, PortIsExplicitOrFollowsTheScheme) {
  EXPECT_EQ(UrlPort("http://h:8080/x"), 8080);
  EXPECT_EQ(UrlPort("http://h/x"), 80);
  EXPECT_EQ(UrlPort("HTTPS://h/x"), 443);
  EXPECT_EQ(UrlPort("https://h:444"), 444);
  EXPECT_EQ(UrlPort("h"), 80);
}

TEST(UrlText, PathKeepsCaseAndQuery) {
  EXPECT_EQ(UrlPath("http://H/A/b?X=1"), "/A/b?X=1");
  EXPECT_EQ(UrlPath("http://h"), "/");
  EXPECT_EQ(UrlPath("http://h:81"), "/");
  EXPECT_EQ(UrlPath("https://h?ip=1"), "/?ip=1");
  EXPECT_EQ(UrlPath("http://h?u=/x"), "/?u=/x");
  EXPECT_EQ(UrlPath("http://h/城市?名=北京"), "/城市?名=北京");
}
