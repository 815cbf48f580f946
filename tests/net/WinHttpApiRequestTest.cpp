#include "net/WinHttpApiRequest.h"

#include <gtest/gtest.h>

#include "net/CookieMergeCase.h"
#include "net/HeldAnswerServer.h"
#include "platform/http/LocalHttpServer.h"
#include "platform/win32/Win32.h"

// Failure messages this suite cannot provoke against local servers, and why:
// 700: the WinHTTP functions are always present here, so the platform check never fails.
// 705: the routine only passes time-outs of 1 ms or more (capped at the largest int), which
//      the session always takes.
// 704: opening a request fails only on a bad connection handle, which the routine never has.
// 707, the certificate message, 708, 709: the request handle always takes Basic credentials
//      and the fixed option values the routine sets.

namespace {

const AnsiText kUtf8Beijing = "\xE5\x8C\x97\xE4\xBA\xAC";  // 北京 in UTF-8
const AnsiText kBig5Beijing = "\xA5\x5F\xA8\xCA";          // 北京 in Big5

// Out arguments of one call, each holding a text of its own beforehand so that a test can tell
// which of them the call wrote.
struct Outputs {
  AnsiText cookies = "old cookies";
  AnsiText headers = "old headers";
  AnsiText location = "old location";
  AnsiText message = "old message";
  ByteBuffer body = {'o', 'l', 'd'};

  WinHttpApiRequestOptions options() {
    WinHttpApiRequestOptions options;
    options.outCookies = &cookies;
    options.outHeaders = &headers;
    options.outLocation = &location;
    options.outMessage = &message;
    options.outBodyBytes = &body;
    return options;
  }
  void expectUntouched() const {
    EXPECT_EQ(cookies, "old cookies");
    EXPECT_EQ(headers, "old headers");
    EXPECT_EQ(location, "old location");
    EXPECT_EQ(BytesAsText(body), "old");
  }
};

// Answers every request with `page` as text/html, optionally with a charset in the header.
LocalHttpServer PageServer(const std::string& page, const std::string& contentType = "text/html") {
  return LocalHttpServer(false, [page, contentType](const httplib::Request&, httplib::Response& response) {
    response.set_content(page, contentType.c_str());
  });
}

std::string RefusedUrl() {
  return "http://127.0.0.1:" + std::to_string(RefusingPort()) + "/";
}

int handledMessages = 0;
LRESULT CountMessages(HWND, UINT, WPARAM, LPARAM) {
  ++handledMessages;
  return 0;
}

}  // namespace

TEST(WinHttpApiRequest, DefaultsSendAGetWithTheCompletedHeaders) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.set_content("答复", "text/plain");
  });
  Outputs out;
  EXPECT_EQ(WinHttpApiRequest(server.url("/path?q=1"), out.options()), "答复");
  EXPECT_EQ(out.message, "200 OK");
  EXPECT_EQ(out.headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_NE(out.headers.find("\r\nContent-Type: text/plain\r\n"), AnsiText::npos);
  EXPECT_EQ(BytesAsText(out.body), "答复");
  EXPECT_EQ(out.cookies, "");
  EXPECT_EQ(out.location, "old location");
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "GET /path?q=1 HTTP/1.1");
  const std::pair<const char*, const char*> completed[] = {
      {"User-Agent", "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)"},
      {"Accept", "text/html, application/xhtml+xml, */*"},
      {"Accept-Encoding", "gbk, GB2312"},
      {"Accept-Language", "zh-cn"},
      {"Cache-Control", "no-cache"}};
  for (const auto& [name, value] : completed) {
    EXPECT_EQ(seen.header(name), value) << name;
    EXPECT_EQ(seen.headerCount(name), 1u) << name;
  }
  EXPECT_EQ(seen.headerCount("Referer"), 0u);
  EXPECT_EQ(seen.headerCount("Cookie"), 0u);
  EXPECT_EQ(seen.headerCount("Content-Type"), 0u);
}

TEST(WinHttpApiRequest, EveryMethodNumberReachesTheServerByName) {
  LocalHttpServer server;
  const std::pair<int, const char*> methods[] = {{0, "GET"},     {1, "POST"},   {2, "HEAD"},  {3, "PUT"},
                                                 {4, "OPTIONS"}, {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"},
                                                 {9, "GET"},     {-1, "GET"}};
  for (const auto& [number, name] : methods) {
    AnsiText message;
    WinHttpApiRequestOptions options;
    options.method = number;
    options.outMessage = &message;
    WinHttpApiRequest(server.url("/m"), options);
    EXPECT_EQ(server.lastRequest().requestLine(), std::string(name) + " /m HTTP/1.1") << number;
    EXPECT_EQ(message, "200 OK") << number;
  }
  EXPECT_EQ(server.requests().size(), std::size(methods));
}

TEST(WinHttpApiRequest, PostSendsItsTextWithTheFormType) {
  LocalHttpServer server;
  WinHttpApiRequestOptions options;
  options.method = 1;
  options.postText = "city=北京";
  EXPECT_EQ(WinHttpApiRequest(server.url("/form"), options), "ok");
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.body, "city=北京");
  EXPECT_EQ(seen.header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(seen.headerCount("Content-Type"), 1u);
}

TEST(WinHttpApiRequest, PostBytesWinOverPostTextAndAGivenContentTypeStays) {
  LocalHttpServer server;
  WinHttpApiRequestOptions options;
  options.method = 1;
  options.postText = "ignored";
  options.postBytes = {0x00, 0xFF, 0x41};
  options.extraHeaders = "Content-Type:application/octet-stream";
  WinHttpApiRequest(server.url("/post"), options);
  EXPECT_EQ(server.lastRequest().body, std::string("\0\xFF\x41", 3));
  EXPECT_EQ(server.lastRequest().header("Content-Type"), "application/octet-stream");
  EXPECT_EQ(server.lastRequest().headerCount("Content-Type"), 1u);
  options.method = 3;
  options.extraHeaders.clear();
  WinHttpApiRequest(server.url("/put"), options);
  EXPECT_EQ(server.lastRequest().headerCount("Content-Type"), 0u);
}

TEST(WinHttpApiRequest, AnErrorStatusStillReturnsTheBody) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_header("X-Answer", "没有");
    response.set_content("缺少", "text/plain");
  });
  Outputs out;
  EXPECT_EQ(WinHttpApiRequest(server.url("/missing"), out.options()), "缺少");
  EXPECT_EQ(out.message, "404 Not Found");
  EXPECT_EQ(out.headers.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u);
  EXPECT_NE(out.headers.find("\r\nX-Answer: 没有\r\n"), AnsiText::npos);
}

TEST(WinHttpApiRequest, ExtraHeadersAreSentAndOnlyMissingOnesCompleted) {
  LocalHttpServer server;
  WinHttpApiRequestOptions options;
  options.extraHeaders = "x-one: 1\r\nuser-agent: 测试/2\r\nAccept: a";
  WinHttpApiRequest(server.url("/"), options);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.header("X-One"), "1");
  EXPECT_EQ(seen.header("User-Agent"), "测试/2");
  EXPECT_EQ(seen.headerCount("User-Agent"), 1u);
  EXPECT_EQ(seen.header("Accept"), "a");
  EXPECT_EQ(seen.headerCount("Accept"), 1u);
  EXPECT_EQ(seen.header("Cache-Control"), "no-cache");
  options.extraHeaders = "X-Only: 1";
  options.completeHeaders = false;
  WinHttpApiRequest(server.url("/"), options);
  seen = server.lastRequest();
  EXPECT_EQ(seen.header("X-Only"), "1");
  for (const char* name : {"User-Agent", "Accept", "Accept-Encoding", "Accept-Language", "Cache-Control"})
    EXPECT_EQ(seen.headerCount(name), 0u) << name;
}

TEST(WinHttpApiRequest, AKeepAliveLineIsLeftOutButOtherConnectionValuesStay) {
  LocalHttpServer server;
  WinHttpApiRequestOptions options;
  options.extraHeaders = "Connection: keep-alive\r\nX-A: 1";
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().headerCount("Connection"), 0u);
  EXPECT_EQ(server.lastRequest().header("X-A"), "1");
  options.extraHeaders = "Connection: close\r\nX-A: 1";
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().header("Connection"), "close");
}

TEST(WinHttpApiRequest, SuppliedCookiesAreSentAndMergedWithTheAnswer) {
  ExpectSuppliedCookiesSentAndMerged([](const std::string& url, AnsiText& cookies, AnsiText& out, bool merge) {
    Outputs outputs;
    WinHttpApiRequestOptions options = outputs.options();
    options.sendCookies = &cookies;
    options.mergeCookies = merge;
    WinHttpApiRequest(url, options);
    out = outputs.cookies;
  });
}

TEST(WinHttpApiRequest, EmptySuppliedCookiesAreNeitherSentNorMergedInto) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.headers.emplace("Set-Cookie", "b=3");
    response.set_content("ok", "text/plain");
  });
  AnsiText cookies;
  Outputs out;
  WinHttpApiRequestOptions options = out.options();
  options.sendCookies = &cookies;
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0u);
  EXPECT_EQ(out.cookies, "b=3");
  EXPECT_EQ(cookies, "");
}

TEST(WinHttpApiRequest, ACookieLineOfTheCallerWinsOverTheCookieText) {
  LocalHttpServer server;
  AnsiText cookies = "Cookie: x=1";
  WinHttpApiRequestOptions options;
  options.sendCookies = &cookies;
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().header("Cookie"), "x=1");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 1u);
  options.extraHeaders = "cookie: z=9";
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().header("Cookie"), "z=9");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 1u);
}

TEST(WinHttpApiRequest, OnlySuppliedCookiesSwitchOnTheLibraryCookies) {
  LocalHttpServer server(false, LoginThenHomeAnswer());
  EXPECT_EQ(WinHttpApiRequest(server.url("/login")), "cookie=");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 0u);
  AnsiText cookies = "a=1";
  WinHttpApiRequestOptions options;
  options.sendCookies = &cookies;
  WinHttpApiRequest(server.url("/login"), options);
  // The library's cookie and the caller's travel in one Cookie header.
  EXPECT_EQ(server.lastRequest().header("Cookie"), "sid=7; a=1");
  EXPECT_EQ(server.lastRequest().headerCount("Cookie"), 1u);
}

TEST(WinHttpApiRequest, RedirectsAreFollowedOrReportedThroughTheLocation) {
  LocalHttpServer server(false, [](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/old")
      response.set_redirect("/new");
    else
      response.set_content("new", "text/plain");
  });
  Outputs out;
  WinHttpApiRequestOptions options = out.options();
  EXPECT_EQ(WinHttpApiRequest(server.url("/old"), options), "new");
  EXPECT_EQ(out.message, "200 OK");
  EXPECT_EQ(out.location, "old location");
  EXPECT_EQ(server.lastRequest().requestLine(), "GET /new HTTP/1.1");
  options.noRedirect = true;
  WinHttpApiRequest(server.url("/old"), options);
  EXPECT_EQ(out.message, "302 Found");
  EXPECT_EQ(out.location, "/new");
  EXPECT_EQ(server.lastRequest().requestLine(), "GET /old HTTP/1.1");
}

TEST(WinHttpApiRequest, TheLastLocationLineInAnyLetterCaseWins) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.status = 301;
    response.headers.emplace("Location", "/first");
    response.headers.emplace("LOCATION", "/second");
  });
  Outputs out;
  WinHttpApiRequestOptions options = out.options();
  options.noRedirect = true;
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(out.message, "301 Moved Permanently");
  EXPECT_EQ(out.location, "/second");
}

TEST(WinHttpApiRequest, HttpsWithoutAPathAsksForTheRootDespiteAnUntrustedCertificate) {
  LocalHttpServer server(true);
  AnsiText message;
  WinHttpApiRequestOptions options;
  options.outMessage = &message;
  EXPECT_EQ(WinHttpApiRequest(server.url(""), options), "ok");
  EXPECT_EQ(message, "200 OK");
  EXPECT_EQ(server.lastRequest().requestLine(), "GET / HTTP/1.1");
  WinHttpApiRequest(server.url("/a/b?c=1&d=2"), options);
  EXPECT_EQ(server.lastRequest().requestLine(), "GET /a/b?c=1&d=2 HTTP/1.1");
}

TEST(WinHttpApiRequest, RequestsGoThroughTheProxyWithItsCredentials) {
  LocalHttpServer server;
  RecordingProxy proxy;
  WinHttpApiRequestOptions options;
  options.proxy = proxy.address();
  options.proxyUser = "pu";
  options.proxyPassword = "pp";
  EXPECT_EQ(WinHttpApiRequest(server.url("/via"), options), "ok");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].requestLine(), "GET " + server.url("/via") + " HTTP/1.1");
  EXPECT_EQ(proxy.requests()[0].header("Proxy-Authorization"), "Basic cHU6cHA=");
  options.proxyPassword.clear();
  WinHttpApiRequest(server.url("/via"), options);
  ASSERT_EQ(proxy.requests().size(), 2u);
  EXPECT_EQ(proxy.requests()[1].headerCount("Proxy-Authorization"), 0u);
}

TEST(WinHttpApiRequest, ServerCredentialsAreSentWhenUserAndPasswordAreBothGiven) {
  LocalHttpServer server;
  WinHttpApiRequestOptions options;
  options.serverUser = "su";
  options.serverPassword = "sp";
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().header("Authorization"), "Basic c3U6c3A=");
  options.serverPassword.clear();
  WinHttpApiRequest(server.url("/"), options);
  EXPECT_EQ(server.lastRequest().headerCount("Authorization"), 0u);
}

TEST(WinHttpApiRequest, ASilentServerRunsOutTheTimeOut) {
  HeldAnswerServer server;
  Outputs out;
  WinHttpApiRequestOptions options = out.options();
  options.timeoutSeconds = 1;
  DWORD start = GetTickCount();
  EXPECT_EQ(WinHttpApiRequest(server.url("/slow"), options), "");
  DWORD waited = GetTickCount() - start;
  EXPECT_EQ(out.message, "712 服务器未响应!");
  out.expectUntouched();
  EXPECT_EQ(server.requestCount(), 1u);
  EXPECT_GE(waited, 900u);
  EXPECT_LT(waited, 2500u);
}

TEST(WinHttpApiRequest, AServerThatHangsUpGivesNoResponse) {
  HangUpServer server;
  Outputs out;
  EXPECT_EQ(WinHttpApiRequest("http://127.0.0.1:" + std::to_string(server.port()) + "/", out.options()), "");
  EXPECT_EQ(out.message, "712 服务器未响应!");
  out.expectUntouched();
}

TEST(WinHttpApiRequest, ARefusedConnectionFailsTheSend) {
  Outputs out;
  EXPECT_EQ(WinHttpApiRequest(RefusedUrl(), out.options()), "");
  EXPECT_EQ(out.message, "711 发送请求失败!");
  out.expectUntouched();
}

TEST(WinHttpApiRequest, AnUnreadableUrlFailsTheCracking) {
  for (const char* url : {"ftp://127.0.0.1/file", "127.0.0.1/no-scheme", "http://127.0.0.1:99999/"}) {
    Outputs out;
    EXPECT_EQ(WinHttpApiRequest(url, out.options()), "") << url;
    EXPECT_EQ(out.message, "701 解析URL地址失败!") << url;
    out.expectUntouched();
  }
}

TEST(WinHttpApiRequest, AProxyTheSessionCannotTakeFailsTheSession) {
  Outputs out;
  WinHttpApiRequestOptions options = out.options();
  options.proxy = "127.0.0.1:99999";
  EXPECT_EQ(WinHttpApiRequest("http://127.0.0.1/", options), "");
  EXPECT_EQ(out.message, "702 创建WinHttp会话失败!");
  out.expectUntouched();
}

TEST(WinHttpApiRequest, AnEmptyHostFailsTheConnection) {
  Outputs out;
  EXPECT_EQ(WinHttpApiRequest("http:///path", out.options()), "");
  EXPECT_EQ(out.message, "703 创建WinHttp连接失败!");
  out.expectUntouched();
}

TEST(WinHttpApiRequest, HeadersTheRequestCannotTakeFailTheHeaderStep) {
  LocalHttpServer server;
  Outputs out;
  WinHttpApiRequestOptions options = out.options();
  options.completeHeaders = false;
  EXPECT_EQ(WinHttpApiRequest(server.url("/"), options), "");
  EXPECT_EQ(out.message, "710 设置协议头失败!");
  out.expectUntouched();
  out.message.clear();
  options.completeHeaders = true;
  options.normaliseHeaderCase = false;
  options.extraHeaders = "a line without a colon";
  EXPECT_EQ(WinHttpApiRequest(server.url("/"), options), "");
  EXPECT_EQ(out.message, "710 设置协议头失败!");
  EXPECT_TRUE(server.requests().empty());
}

TEST(WinHttpApiRequest, ACutOffBodyIsReportedAndKept) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(100, "text/plain", [](size_t, size_t, httplib::DataSink& sink) {
      sink.write("0123456789", 10);
      return false;
    });
  });
  Outputs out;
  EXPECT_EQ(WinHttpApiRequest(server.url("/"), out.options()), "0123456789");
  EXPECT_EQ(out.message, "713 读取数据失败!");
  EXPECT_EQ(BytesAsText(out.body), "0123456789");
  EXPECT_EQ(out.headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

TEST(WinHttpApiRequest, PendingWindowMessagesAreHandledOnSuccessAndFailure) {
  LocalHttpServer server;
  HWND window = QbCreateWindow(CountMessages, nullptr);
  handledMessages = 0;
  ASSERT_TRUE(PostMessageA(window, WM_USER, 0, 0));
  WinHttpApiRequest(server.url("/"));
  EXPECT_EQ(handledMessages, 1);
  ASSERT_TRUE(PostMessageA(window, WM_USER, 0, 0));
  WinHttpApiRequest(RefusedUrl());
  EXPECT_EQ(handledMessages, 2);
  DestroyWindow(window);
}

TEST(WinHttpApiRequest, AMetaCharsetOtherThanGbkDecodesTheBody) {
  const std::pair<std::string, std::string> pages[] = {
      {"<html><head><meta charset=\"utf-8\"></head><body>", kUtf8Beijing},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">", kUtf8Beijing},
      {"<META CHARSET=big5>", kBig5Beijing}};
  for (const auto& [head, encoded] : pages) {
    LocalHttpServer server = PageServer(head + encoded);
    ByteBuffer body;
    WinHttpApiRequestOptions options;
    options.outBodyBytes = &body;
    EXPECT_EQ(WinHttpApiRequest(server.url("/"), options), head + "北京") << head;
    EXPECT_EQ(BytesAsText(body), head + encoded) << head;
  }
}

TEST(WinHttpApiRequest, GbkOrNoDeclarationReturnsTheRawBytes) {
  const std::string raw = "北京";
  for (const std::string& page : {"<meta charset=\"gbk\">" + raw, "<meta charset=gb2312>" + raw, raw,
                                  std::string(1100, ' ') + "<meta charset=\"utf-8\">" + kUtf8Beijing}) {
    LocalHttpServer server = PageServer(page);
    EXPECT_EQ(WinHttpApiRequest(server.url("/")), page);
  }
}

TEST(WinHttpApiRequest, TheContentTypeHeaderDoesNotDecideTheCharset) {
  // Only a meta tag in the page counts; a charset in the header alone leaves the bytes as they are.
  LocalHttpServer utf8Header = PageServer(kUtf8Beijing, "text/html; charset=utf-8");
  EXPECT_EQ(WinHttpApiRequest(utf8Header.url("/")), kUtf8Beijing);
  LocalHttpServer gbkHeader = PageServer("<meta charset=\"utf-8\">" + kUtf8Beijing, "text/html; charset=gbk");
  EXPECT_EQ(WinHttpApiRequest(gbkHeader.url("/")), "<meta charset=\"utf-8\">北京");
}
