#include "net/WinHttpObjectRequest.h"

#include <gtest/gtest.h>
#include <strings.h>

#include "net/CookieMergeCase.h"
#include "net/HeldAnswerServer.h"
#include "platform/http/LocalHttpServer.h"
#include "platform/win32/Win32.h"

namespace {

AnsiText Text(const ByteBuffer& bytes) {
  return BytesAsText(bytes);
}

// The header name as the request spelled it; the server's lookups ignore letter case.
std::string SpelledName(const RecordedRequest& seen, const std::string& name) {
  for (const auto& [spelled, value] : seen.headers) {
    if (strcasecmp(spelled.c_str(), name.c_str()) == 0) return spelled;
  }
  return {};
}

// Answers /old with a redirect to /new, which sets a cookie and says "new".
void RedirectingAnswer(const httplib::Request& request, httplib::Response& response) {
  if (request.path == "/old") {
    response.set_redirect("/new");
    return;
  }
  response.set_header("Set-Cookie", "n=1");
  response.set_content("new", "text/plain");
}

}  // namespace

TEST(WinHttpObjectRequest, DefaultsSendAGetWithEachCompletedHeaderOnce) {
  LocalHttpServer server;
  AnsiText headers;
  int status = 0;
  WinHttpObjectRequestOptions options;
  options.outHeaders = &headers;
  options.outStatus = &status;
  EXPECT_EQ(Text(WinHttpObjectRequest(server.url("/path?q=1"), options)), "ok");
  EXPECT_EQ(status, 200);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "GET /path?q=1 HTTP/1.1");
  EXPECT_EQ(seen.body, "");
  const std::pair<const char*, std::string> completed[] = {
      {"Accept", "*/*"},
      {"Referer", server.url("/path?q=1")},
      {"Accept-Language", "zh-cn"},
      {"User-Agent", "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)"}};
  for (const auto& [name, value] : completed) {
    EXPECT_EQ(seen.header(name), value) << name;
    EXPECT_EQ(seen.headerCount(name), 1u) << name;
  }
  EXPECT_EQ(seen.headerCount("Cookie"), 0u);
  EXPECT_EQ(seen.headerCount("Content-Type"), 0u);
}

TEST(WinHttpObjectRequest, EveryMethodNumberReachesTheServerByName) {
  LocalHttpServer server;
  const std::pair<int, const char*> methods[] = {{0, "GET"},     {1, "POST"},   {2, "HEAD"},  {3, "PUT"},
                                                 {4, "OPTIONS"}, {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"},
                                                 {9, "GET"},     {-1, "GET"}};
  for (const auto& [number, name] : methods) {
    WinHttpObjectRequestOptions options;
    options.method = number;
    WinHttpObjectRequest(server.url("/m"), options);
    EXPECT_EQ(server.lastRequest().requestLine(), std::string(name) + " /m HTTP/1.1") << number;
  }
  EXPECT_EQ(server.requests().size(), std::size(methods));
}

TEST(WinHttpObjectRequest, PostSendsItsTextWithTheFormType) {
  LocalHttpServer server;
  WinHttpObjectRequestOptions options;
  options.method = 1;
  options.postText = "city=北京";
  WinHttpObjectRequest(server.url("/form"), options);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "POST /form HTTP/1.1");
  EXPECT_EQ(seen.body, "city=北京");
  EXPECT_EQ(seen.header("Content-Type"), "application/x-www-form-urlencoded");
}

TEST(WinHttpObjectRequest, PostBytesWinOverPostTextAndOnlyPostGetsTheFormType) {
  LocalHttpServer server;
  WinHttpObjectRequestOptions options;
  options.method = 3;
  options.postText = "ignored";
  options.postBytes = {0x00, 0xFF, 0x41};
  WinHttpObjectRequest(server.url("/put"), options);
  EXPECT_EQ(server.lastRequest().body, std::string("\0\xFF\x41", 3));
  EXPECT_EQ(server.lastRequest().headerCount("Content-Type"), 0u);
  options.method = 1;
  options.extraHeaders = "content-type: application/octet-stream";
  WinHttpObjectRequest(server.url("/post"), options);
  EXPECT_EQ(server.lastRequest().header("Content-Type"), "application/octet-stream");
  EXPECT_EQ(server.lastRequest().headerCount("Content-Type"), 1u);
}

TEST(WinHttpObjectRequest, StatusHeadersAndBodyOfTheAnswerComeBack) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_header("X-Answer", "没有");
    response.set_content("缺少", "text/plain");
  });
  AnsiText headers;
  int status = 0;
  WinHttpObjectRequestOptions options;
  options.outHeaders = &headers;
  options.outStatus = &status;
  EXPECT_EQ(Text(WinHttpObjectRequest(server.url("/missing"), options)), "缺少");
  EXPECT_EQ(status, 404);
  // The object's header text holds the header lines only, not the status line.
  EXPECT_NE(headers.find("X-Answer: 没有\r\n"), AnsiText::npos);
  EXPECT_NE(headers.find("Content-Type: text/plain\r\n"), AnsiText::npos);
  EXPECT_EQ(headers.find("HTTP/1.1"), AnsiText::npos);
}

TEST(WinHttpObjectRequest, ExtraHeadersAreSetLineByLineWithoutKeepAlive) {
  LocalHttpServer server;
  WinHttpObjectRequestOptions options;
  options.extraHeaders = "x-one: 1\r\nConnection: keep-alive\r\n\r\nuser-agent: 测试/2\r\nReferer: r";
  WinHttpObjectRequest(server.url("/"), options);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(SpelledName(seen, "X-One"), "X-One");
  EXPECT_EQ(seen.header("X-One"), "1");
  EXPECT_EQ(seen.headerCount("Connection"), 0u);
  EXPECT_EQ(seen.header("User-Agent"), "测试/2");
  EXPECT_EQ(seen.headerCount("User-Agent"), 1u);
  EXPECT_EQ(seen.header("Referer"), "r");
  EXPECT_EQ(seen.header("Accept"), "*/*");
}

TEST(WinHttpObjectRequest, ALoneKeepAliveLineIsSet) {
  LocalHttpServer server;
  WinHttpObjectRequestOptions options;
  options.extraHeaders = "connection: keep-alive";
  options.completeHeaders = false;
  WinHttpObjectRequest(server.url("/"), options);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.header("Connection"), "keep-alive");
  EXPECT_EQ(SpelledName(seen, "Connection"), "Connection");
  EXPECT_EQ(seen.headerCount("Accept"), 0u);
  EXPECT_EQ(seen.headerCount("User-Agent"), 0u);
  EXPECT_EQ(seen.headerCount("Referer"), 0u);
}

TEST(WinHttpObjectRequest, HeaderNamesKeepTheirCaseWhenNotNormalised) {
  LocalHttpServer server;
  WinHttpObjectRequestOptions options;
  options.extraHeaders = "x-lower-case: v";
  options.normaliseHeaderCase = false;
  WinHttpObjectRequest(server.url("/"), options);
  EXPECT_EQ(SpelledName(server.lastRequest(), "X-Lower-Case"), "x-lower-case");
  options.normaliseHeaderCase = true;
  WinHttpObjectRequest(server.url("/"), options);
  EXPECT_EQ(SpelledName(server.lastRequest(), "X-Lower-Case"), "X-Lower-Case");
}

TEST(WinHttpObjectRequest, SuppliedCookiesAreSentAndMergedWithTheAnswer) {
  ExpectSuppliedCookiesSentAndMerged([](const std::string& url, AnsiText& cookies, AnsiText& out, bool merge) {
    WinHttpObjectRequestOptions options;
    options.sendCookies = &cookies;
    options.outCookies = &out;
    options.mergeCookies = merge;
    WinHttpObjectRequest(url, options);
  });
}

TEST(WinHttpObjectRequest, ACookiePrefixIsTakenOutOfTheCallersText) {
  LocalHttpServer server;
  AnsiText cookies = "Cookie: a=1";
  WinHttpObjectRequestOptions options;
  options.sendCookies = &cookies;
  options.mergeCookies = false;
  WinHttpObjectRequest(server.url("/"), options);
  EXPECT_EQ(cookies, " a=1");
  EXPECT_EQ(server.lastRequest().header("Cookie"), "a=1");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 1u);
  cookies = "cookie: a=1";
  options.mergeCookies = true;
  WinHttpObjectRequest(server.url("/"), options);
  EXPECT_EQ(cookies, "a=1");
}

TEST(WinHttpObjectRequest, EmptySuppliedCookiesSendNoCookieYetTakeTheAnswers) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.set_header("Set-Cookie", "s=9; path=/");
    response.set_content("ok", "text/plain");
  });
  AnsiText cookies;
  AnsiText outCookies;
  WinHttpObjectRequestOptions options;
  options.sendCookies = &cookies;
  options.outCookies = &outCookies;
  WinHttpObjectRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0u);
  EXPECT_EQ(outCookies, "s=9");
  EXPECT_EQ(cookies, "s=9");
  // Without the argument nothing is merged, and the answer's cookies come out alone.
  outCookies = "old";
  WinHttpObjectRequestOptions noCookies;
  noCookies.outCookies = &outCookies;
  WinHttpObjectRequest(server.url("/"), noCookies);
  EXPECT_EQ(outCookies, "s=9");
}

TEST(WinHttpObjectRequest, RedirectsAreFollowedUnlessAskedNotTo) {
  LocalHttpServer server(false, RedirectingAnswer);
  AnsiText headers;
  AnsiText cookies;
  int status = 0;
  WinHttpObjectRequestOptions options;
  options.outHeaders = &headers;
  options.outCookies = &cookies;
  options.outStatus = &status;
  EXPECT_EQ(Text(WinHttpObjectRequest(server.url("/old"), options)), "new");
  EXPECT_EQ(status, 200);
  EXPECT_EQ(cookies, "n=1");
  EXPECT_EQ(server.lastRequest().requestLine(), "GET /new HTTP/1.1");
  options.noRedirect = true;
  WinHttpObjectRequest(server.url("/old"), options);
  EXPECT_EQ(status, 302);
  EXPECT_NE(headers.find("Location: /new\r\n"), AnsiText::npos);
  EXPECT_EQ(cookies, "");
  EXPECT_EQ(server.lastRequest().requestLine(), "GET /old HTTP/1.1");
}

TEST(WinHttpObjectRequest, ACookieSetOnTheWayTravelsInOneHeaderWithTheSuppliedOnes) {
  LocalHttpServer server(false, LoginThenHomeAnswer());
  AnsiText cookies = "a=1";
  WinHttpObjectRequestOptions options;
  options.sendCookies = &cookies;
  EXPECT_EQ(Text(WinHttpObjectRequest(server.url("/login"), options)), "cookie=sid=7; a=1");
  EXPECT_EQ(server.lastRequest().header("Cookie"), "sid=7; a=1");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 1u);
}

TEST(WinHttpObjectRequest, HttpsWorksWithACertificateNobodyTrusts) {
  LocalHttpServer server(true);
  int status = 0;
  WinHttpObjectRequestOptions options;
  options.outStatus = &status;
  EXPECT_EQ(Text(WinHttpObjectRequest(server.url("/secure?x=1"), options)), "ok");
  EXPECT_EQ(status, 200);
  EXPECT_EQ(server.lastRequest().requestLine(), "GET /secure?x=1 HTTP/1.1");
}

TEST(WinHttpObjectRequest, RequestsGoThroughTheProxyWithItsCredentials) {
  LocalHttpServer server;
  RecordingProxy proxy;
  WinHttpObjectRequestOptions options;
  options.proxy = proxy.address();
  options.proxyUser = "pu";
  options.proxyPassword = "pp";
  EXPECT_EQ(Text(WinHttpObjectRequest(server.url("/via"), options)), "ok");
  ASSERT_EQ(proxy.requests().size(), 1u);
  RecordedRequest seen = proxy.requests()[0];
  EXPECT_EQ(seen.requestLine(), "GET " + server.url("/via") + " HTTP/1.1");
  EXPECT_EQ(seen.header("Proxy-Authorization"), "Basic cHU6cHA=");
  EXPECT_EQ(seen.headerCount("Proxy-Authorization"), 1u);
  EXPECT_EQ(server.lastRequest().headerCount("Proxy-Authorization"), 0u);
}

TEST(WinHttpObjectRequest, CredentialFlagZeroSendsTheCredentialsToTheServer) {
  LocalHttpServer server;
  RecordingProxy proxy;
  WinHttpObjectRequestOptions options;
  options.proxy = proxy.address();
  options.proxyUser = "pu";
  options.proxyPassword = "pp";
  options.proxyCredentialFlag = 0;
  WinHttpObjectRequest(server.url("/via"), options);
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].headerCount("Proxy-Authorization"), 0u);
  EXPECT_EQ(server.lastRequest().header("Authorization"), "Basic cHU6cHA=");
}

TEST(WinHttpObjectRequest, AProxyUserWithoutAProxySetsNoCredentials) {
  LocalHttpServer server;
  WinHttpObjectRequestOptions options;
  options.proxyUser = "pu";
  options.proxyPassword = "pp";
  EXPECT_EQ(Text(WinHttpObjectRequest(server.url("/"), options)), "ok");
  EXPECT_EQ(server.lastRequest().headerCount("Proxy-Authorization"), 0u);
  EXPECT_EQ(server.lastRequest().headerCount("Authorization"), 0u);
}

TEST(WinHttpObjectRequest, ASilentServerRunsOutTheTimeOut) {
  HeldAnswerServer server;
  AnsiText headers = "old";
  int status = -1;
  WinHttpObjectRequestOptions options;
  options.timeoutSeconds = 1;
  options.outHeaders = &headers;
  options.outStatus = &status;
  DWORD start = GetTickCount();
  ByteBuffer body = WinHttpObjectRequest(server.url("/slow"), options);
  DWORD waited = GetTickCount() - start;
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(headers, "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(server.requestCount(), 1u);
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 2500u);
}

TEST(WinHttpObjectRequest, ARefusedConnectionGivesNothing) {
  AnsiText headers = "old";
  AnsiText cookies = "x=1";
  int status = -1;
  WinHttpObjectRequestOptions options;
  options.outHeaders = &headers;
  options.outCookies = &cookies;
  options.outStatus = &status;
  EXPECT_TRUE(
      WinHttpObjectRequest("http://127.0.0.1:" + std::to_string(RefusingPort()) + "/", options).empty());
  EXPECT_EQ(headers, "");
  EXPECT_EQ(cookies, "");
  EXPECT_EQ(status, 0);
}

TEST(WinHttpObjectRequest, ASharedObjectKeepsItsSettingsAndTheCookiesAccumulate) {
  LocalHttpServer server(false, [](const httplib::Request& request, httplib::Response& response) {
    response.set_header("Set-Cookie", request.path == "/one" ? "one=1" : "two=2");
    response.set_content("ok", "text/plain");
  });
  WinHttpRequest shared;
  AnsiText cookies = "zero=0";
  WinHttpObjectRequestOptions options;
  options.sharedObject = &shared;
  options.sendCookies = &cookies;
  options.noRedirect = true;
  WinHttpObjectRequest(server.url("/one"), options);
  EXPECT_EQ(shared.Option(WinHttpRequest::OptionSslErrorIgnoreFlags), 0x3300);
  EXPECT_EQ(shared.Option(WinHttpRequest::OptionEnableRedirects), 0);
  EXPECT_EQ(shared.Status(), 200);
  WinHttpObjectRequest(server.url("/two"), options);
  EXPECT_EQ(server.lastRequest().header("Cookie"), "one=1; zero=0");
  EXPECT_EQ(cookies, "two=2; one=1; zero=0");
}

TEST(WinHttpObjectRequest, TimeOutMinusOneLeavesTheObjectsOwnTimeOuts) {
  HeldAnswerServer server;
  WinHttpRequest shared;
  ASSERT_TRUE(shared.SetTimeouts(1000, 1000, 1000, 1000));
  WinHttpObjectRequestOptions options;
  options.sharedObject = &shared;
  options.timeoutSeconds = -1;
  DWORD start = GetTickCount();
  EXPECT_TRUE(WinHttpObjectRequest(server.url("/slow"), options).empty());
  EXPECT_LT(GetTickCount() - start, 2500u);
  EXPECT_EQ(shared.Status(), 0);
}
