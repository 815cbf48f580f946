#include "net/WinInetRequest.h"

#include <gtest/gtest.h>

#include "net/CookieMergeCase.h"
#include "platform/http/LocalHttpServer.h"

namespace {

AnsiText Text(const ByteBuffer& bytes) { return BytesAsText(bytes); }

}  // namespace

TEST(WinInetRequest, DefaultsSendAGetWithTheCompletedHeaders) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.set_content("答复", "text/plain");
  });
  AnsiText headers;
  WinInetRequestOptions options;
  options.outHeaders = &headers;
  ByteBuffer body = WinInetRequest(server.url("/path?q=1"), options);
  EXPECT_EQ(Text(body), "答复");
  EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "GET /path?q=1 HTTP/1.1");
  EXPECT_EQ(seen.header("Accept"), "*/*");
  EXPECT_EQ(seen.header("Referer"), server.url("/path?q=1"));
  EXPECT_EQ(seen.header("Accept-Language"), "zh-cn");
  EXPECT_EQ(seen.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
  EXPECT_EQ(seen.headerCount("Cookie"), 0u);
  EXPECT_EQ(seen.headerCount("Content-Type"), 0u);
}

TEST(WinInetRequest, EveryMethodNumberReachesTheServerByName) {
  LocalHttpServer server;
  const std::pair<int, const char*> methods[] = {{0, "GET"},     {1, "POST"},   {2, "HEAD"},  {3, "PUT"},
                                                 {4, "OPTIONS"}, {5, "DELETE"}, {6, "TRACE"}, {9, "GET"},
                                                 {-1, "GET"}};
  for (const auto& [number, name] : methods) {
    WinInetRequestOptions options;
    options.method = number;
    WinInetRequest(server.url("/m"), options);
    EXPECT_EQ(server.lastRequest().requestLine(), std::string(name) + " /m HTTP/1.1") << number;
  }
}

TEST(WinInetRequest, PostSendsItsTextAndHandsTheBytesBack) {
  LocalHttpServer server;
  ByteBuffer postBytes;
  WinInetRequestOptions options;
  options.method = 1;
  options.postText = "city=北京";
  options.postBytes = &postBytes;
  WinInetRequest(server.url("/form"), options);
  EXPECT_EQ(Text(postBytes), "city=北京");
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.body, "city=北京");
  EXPECT_EQ(seen.header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST(WinInetRequest, PostBytesWinOverPostText) {
  LocalHttpServer server;
  ByteBuffer postBytes = {0x00, 0xFF, 0x41};
  WinInetRequestOptions options;
  options.method = 3;
  options.postText = "ignored";
  options.postBytes = &postBytes;
  options.extraHeaders = "Content-Type: application/octet-stream";
  WinInetRequest(server.url("/put"), options);
  EXPECT_EQ(server.lastRequest().body, std::string("\0\xFF" "A", 3));
  EXPECT_EQ(server.lastRequest().header("Content-Type"), "application/octet-stream");
}

TEST(WinInetRequest, SuppliedCookiesAreSentAndMergedWithTheAnswer) {
  ExpectSuppliedCookiesSentAndMerged([](const std::string& url, AnsiText& cookies, AnsiText& out, bool merge) {
    WinInetRequestOptions options;
    options.sendCookies = &cookies;
    options.outCookies = &out;
    options.mergeCookies = merge;
    WinInetRequest(url, options);
  });
}

TEST(WinInetRequest, CookiesWithTheirOwnPrefixAreSentAsTheyAre) {
  LocalHttpServer server;
  AnsiText cookies = "Cookie: x=1";
  WinInetRequestOptions options;
  options.sendCookies = &cookies;
  options.mergeCookies = false;
  WinInetRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().header("Cookie"), "x=1");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 1u);
}

TEST(WinInetRequest, EmptySuppliedCookiesSwitchOffTheLibraryCookies) {
  LocalHttpServer server(false, LoginThenHomeAnswer());
  EXPECT_EQ(Text(WinInetRequest(server.url("/login"))), "cookie=sid=7");
  AnsiText cookies;
  WinInetRequestOptions options;
  options.sendCookies = &cookies;
  EXPECT_EQ(Text(WinInetRequest(server.url("/login"), options)), "cookie=");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0u);
}

TEST(WinInetRequest, RedirectsAreFollowedUnlessAskedNotTo) {
  LocalHttpServer server(false, [](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/old") response.set_redirect("/new");
    else response.set_content("new", "text/plain");
  });
  EXPECT_EQ(Text(WinInetRequest(server.url("/old"))), "new");
  AnsiText headers;
  WinInetRequestOptions options;
  options.noRedirect = true;
  options.outHeaders = &headers;
  WinInetRequest(server.url("/old"), options);
  EXPECT_EQ(headers.rfind("HTTP/1.1 302 Found\r\n", 0), 0u);
  EXPECT_NE(headers.find("\r\nLocation: /new\r\n"), AnsiText::npos);
}

TEST(WinInetRequest, AUserAgentLineBecomesTheAgent) {
  LocalHttpServer server;
  WinInetRequestOptions options;
  options.extraHeaders = "User-Agent: 测试/2";
  WinInetRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().header("User-Agent"), "测试/2");
  EXPECT_EQ(server.lastRequest().headerCount("User-Agent"), 1u);
  options.extraHeaders = "accept: a\r\nuser-agent: b";
  options.normaliseHeaderCase = false;
  WinInetRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().header("User-Agent"), "b");
  EXPECT_EQ(server.lastRequest().header("Accept"), "a");
}

TEST(WinInetRequest, HttpsWorksWithACertificateNobodyTrusts) {
  LocalHttpServer server(true);
  AnsiText headers;
  WinInetRequestOptions options;
  options.outHeaders = &headers;
  EXPECT_EQ(Text(WinInetRequest(server.url(""), options)), "ok");
  EXPECT_EQ(server.lastRequest().requestLine(), "GET / HTTP/1.1");
  EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK", 0), 0u);
}

TEST(WinInetRequest, PlainRequestsGoThroughTheProxy) {
  LocalHttpServer server;
  RecordingProxy proxy;
  WinInetRequestOptions options;
  options.proxy = proxy.address();
  EXPECT_EQ(Text(WinInetRequest(server.url("/via"), options)), "ok");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].requestLine(), "GET " + server.url("/via") + " HTTP/1.1");
}

TEST(WinInetRequest, ARefusedConnectionGivesNothing) {
  AnsiText headers = "old";
  AnsiText cookies = "x";
  WinInetRequestOptions options;
  options.outHeaders = &headers;
  options.outCookies = &cookies;
  EXPECT_TRUE(WinInetRequest("http://127.0.0.1:" + std::to_string(RefusingPort()) + "/", options).empty());
  EXPECT_EQ(headers, "");
  EXPECT_EQ(cookies, "");
}

TEST(WinInetRequest, LongResponseHeadersComeBackWhole) {
  AnsiText longValue(6000, 'v');
  LocalHttpServer server(false, [&](const httplib::Request&, httplib::Response& response) {
    response.set_header("X-Long", longValue);
    response.set_header("Set-Cookie", "k=1");
    response.set_content("ok", "text/plain");
  });
  AnsiText headers, cookies;
  WinInetRequestOptions options;
  options.outHeaders = &headers;
  options.outCookies = &cookies;
  WinInetRequest(server.url("/"), options);
  EXPECT_NE(headers.find("X-Long: " + longValue + "\r\n"), AnsiText::npos);
  EXPECT_EQ(cookies, "k=1");
}
