#include "platform/urlmon/UrlFetch.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <stdlib.h>

#include <string>

#include "platform/urlmon/LocalHttpServer.h"

namespace {

std::string AsString(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

class UrlFetchTest : public ::testing::Test {
 protected:
  UrlFetchOptions quick() const {
    UrlFetchOptions options;
    options.connectTimeoutSeconds = 5;
    options.totalTimeoutSeconds = 10;
    return options;
  }
  LocalHttpServer http_;
};

TEST_F(UrlFetchTest, ReturnsTheWholeBodyIncludingZeroBytes) {
  const std::string body("abc\0def", 7);
  http_.server().Get("/file", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(body, "application/octet-stream");
  });
  http_.start();
  std::vector<uint8_t> received;
  UrlFetchResult result = UrlFetch::getBytes(http_.url("/file"), &received, quick());
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(AsString(received), body);
}

TEST_F(UrlFetchTest, AsksEveryCacheToStandAside) {
  std::string cacheControl, pragma;
  http_.server().Get("/m", [&](const httplib::Request& req, httplib::Response& res) {
    cacheControl = req.get_header_value("Cache-Control");
    pragma = req.get_header_value("Pragma");
    res.set_content("x", "text/plain");
  });
  http_.start();
  std::vector<uint8_t> received;
  ASSERT_TRUE(UrlFetch::getBytes(http_.url("/m"), &received, quick()).ok);
  EXPECT_EQ(cacheControl, "no-cache");
  EXPECT_EQ(pragma, "no-cache");
}

TEST_F(UrlFetchTest, AnErrorStatusFailsAndLeavesNoBody) {
  http_.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content("not here", "text/plain");
  });
  http_.start();
  std::vector<uint8_t> received;
  UrlFetchResult result = UrlFetch::getBytes(http_.url("/missing"), &received, quick());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.status, 404);
  EXPECT_NE(result.error.find("404"), std::string::npos);
  EXPECT_TRUE(received.empty());
}

TEST_F(UrlFetchTest, FollowsARedirect) {
  http_.server().Get("/old",
                     [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new"); });
  http_.server().Get("/new", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("moved", "text/plain");
  });
  http_.start();
  std::vector<uint8_t> received;
  ASSERT_TRUE(UrlFetch::getBytes(http_.url("/old"), &received, quick()).ok);
  EXPECT_EQ(AsString(received), "moved");
}

TEST_F(UrlFetchTest, IgnoresTheEnvironmentsProxy) {
  http_.server().Get("/direct", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("direct", "text/plain");
  });
  http_.start();
  // Port 9 on loopback has no listener: a fetch through this proxy would fail.
  setenv("http_proxy", "http://127.0.0.1:9", 1);
  setenv("HTTP_PROXY", "http://127.0.0.1:9", 1);
  setenv("no_proxy", "", 1);
  std::vector<uint8_t> received;
  UrlFetchResult result = UrlFetch::getBytes(http_.url("/direct"), &received, quick());
  unsetenv("http_proxy");
  unsetenv("HTTP_PROXY");
  unsetenv("no_proxy");
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(AsString(received), "direct");
}

TEST_F(UrlFetchTest, ABodyLongerThanTheLimitFails) {
  http_.server().Get("/big", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(10000, 'b'), "application/octet-stream");
  });
  http_.start();
  UrlFetchOptions options = quick();
  options.maximumBytes = 100;
  std::vector<uint8_t> received;
  UrlFetchResult result = UrlFetch::getBytes(http_.url("/big"), &received, options);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.tooLong);
  EXPECT_TRUE(received.empty());
}

TEST_F(UrlFetchTest, ASlowServerRunsIntoTheTimeLimit) {
  http_.server().Get("/slow", [](const httplib::Request&, httplib::Response& res) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    res.set_content("late", "text/plain");
  });
  http_.start();
  UrlFetchOptions options = quick();
  options.totalTimeoutSeconds = 1;
  std::vector<uint8_t> received;
  UrlFetchResult result = UrlFetch::getBytes(http_.url("/slow"), &received, options);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(received.empty());
}

TEST_F(UrlFetchTest, ARefusedConnectionFails) {
  std::vector<uint8_t> received;
  UrlFetchResult result = UrlFetch::getBytes("http://127.0.0.1:9/", &received, quick());
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.status, 0);
  EXPECT_FALSE(result.error.empty());
}

TEST_F(UrlFetchTest, OtherSchemesAreRefused) {
  std::vector<uint8_t> received;
  UrlFetchResult result = UrlFetch::getBytes("file:///etc/hostname", &received, quick());
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(received.empty());
}

TEST_F(UrlFetchTest, TheReceiverCanStopTheTransfer) {
  http_.server().Get("/file", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("some bytes", "text/plain");
  });
  http_.start();
  UrlFetchResult result = UrlFetch::get(
      http_.url("/file"), [](const char*, size_t) { return false; }, quick());
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
}

}  // namespace
