#include "platform/http/WinInet.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/http/LocalHttpServer.h"
#include "platform/http/WinHttp.h"

namespace {

struct Exchange {
  BOOL sent = FALSE;
  std::string body;
  std::string headers;
};

// One request through the three handles, the way the launcher drives them.
Exchange RunRequest(const LocalHttpServer& server, const std::string& method, const std::string& path,
                    DWORD flags = 0, const std::string& headers = "", std::string body = "",
                    DWORD securityFlags = 0, const char* proxy = nullptr) {
  Exchange result;
  HINTERNET internet =
      InternetOpenA("Agent/1.0", proxy ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT, proxy,
                    proxy ? "" : nullptr, 0);
  HINTERNET connection = InternetConnectA(internet, "127.0.0.1", static_cast<INTERNET_PORT>(server.port()),
                                          nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request =
      HttpOpenRequestA(connection, method.c_str(), path.c_str(), "HTTP/1.1", nullptr, nullptr, flags, 0);
  EXPECT_NE(request, nullptr);
  if (securityFlags)
    InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &securityFlags, sizeof(DWORD));
  result.sent = HttpSendRequestA(request, headers.c_str(), static_cast<DWORD>(headers.size()),
                                 body.empty() ? nullptr : body.data(), static_cast<DWORD>(body.size()));
  char buffer[1024];
  DWORD read = 0;
  while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0)
    result.body.append(buffer, read);
  char headerBuffer[5000];
  DWORD length = sizeof headerBuffer;
  if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, headerBuffer, &length, nullptr))
    result.headers.assign(headerBuffer, length);
  EXPECT_TRUE(InternetCloseHandle(request));
  EXPECT_TRUE(InternetCloseHandle(connection));
  EXPECT_TRUE(InternetCloseHandle(internet));
  return result;
}

}  // namespace

TEST(WinInet, GetSendsTheAgentAndHeadersAndReadsBodyAndRawHeaders) {
  std::string big(5000, 'x');
  LocalHttpServer server(false, [&](const httplib::Request&, httplib::Response& response) {
    response.set_header("Set-Cookie", "a=1; path=/");
    response.set_content(big, "text/plain");
  });
  Exchange exchange = RunRequest(server, "GET", "/p?q=1", INTERNET_FLAG_RELOAD, "Accept: */*\r\nX-Test: 1");
  EXPECT_TRUE(exchange.sent);
  EXPECT_EQ(exchange.body, big);
  EXPECT_EQ(exchange.headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_NE(exchange.headers.find("\r\nSet-Cookie: a=1; path=/\r\n"), std::string::npos);
  EXPECT_EQ(exchange.headers.substr(exchange.headers.size() - 4), "\r\n\r\n");
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "GET /p?q=1 HTTP/1.1");
  EXPECT_EQ(seen.header("User-Agent"), "Agent/1.0");
  EXPECT_EQ(seen.header("X-Test"), "1");
  EXPECT_EQ(seen.header("Accept"), "*/*");
  EXPECT_EQ(seen.headerCount("Content-Type"), 0u);
}

TEST(WinInet, PostSendsTheBodyAsGiven) {
  LocalHttpServer server;
  Exchange exchange = RunRequest(server, "POST", "/form", 0, "Content-Type: text/plain", "a=1&b=2");
  EXPECT_TRUE(exchange.sent);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "POST /form HTTP/1.1");
  EXPECT_EQ(seen.body, "a=1&b=2");
  EXPECT_EQ(seen.header("Content-Type"), "text/plain");
  EXPECT_EQ(seen.header("Content-Length"), "7");
}

TEST(WinInet, NoAutoRedirectReportsTheRedirectItself) {
  LocalHttpServer server(false, [](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/old")
      response.set_redirect("/new");
    else
      response.set_content("new", "text/plain");
  });
  Exchange kept = RunRequest(server, "GET", "/old", INTERNET_FLAG_NO_AUTO_REDIRECT);
  EXPECT_EQ(kept.headers.rfind("HTTP/1.1 302", 0), 0u);
  EXPECT_NE(kept.headers.find("Location: /new"), std::string::npos);
  Exchange followed = RunRequest(server, "GET", "/old");
  EXPECT_EQ(followed.body, "new");
  EXPECT_EQ(followed.headers.rfind("HTTP/1.1 200", 0), 0u);
}

TEST(WinInet, NoCookiesKeepsRedirectCookiesBack) {
  LocalHttpServer server(false, [](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/login") {
      response.set_header("Set-Cookie", "sid=7");
      response.set_redirect("/home");
    } else {
      response.set_content(request.get_header_value("Cookie"), "text/plain");
    }
  });
  EXPECT_EQ(RunRequest(server, "GET", "/login").body, "sid=7");
  EXPECT_EQ(RunRequest(server, "GET", "/login", INTERNET_FLAG_NO_COOKIES).body, "");
}

TEST(WinInet, SecureRequestsNeedTheCertificateErrorsIgnored) {
  LocalHttpServer server(true);
  Exchange checked = RunRequest(server, "GET", "/", INTERNET_FLAG_SECURE);
  EXPECT_FALSE(checked.sent);
  EXPECT_EQ(checked.body, "");
  Exchange ignored = RunRequest(server, "GET", "/", INTERNET_FLAG_SECURE, "", "", 0x1F380);
  EXPECT_TRUE(ignored.sent);
  EXPECT_EQ(ignored.body, "ok");
}

TEST(WinInet, PlainProxyEntriesCarryHttpRequests) {
  LocalHttpServer server;
  RecordingProxy proxy;
  std::string list = "http=" + proxy.address();
  Exchange exchange = RunRequest(server, "GET", "/via", 0, "", "", 0, list.c_str());
  EXPECT_EQ(exchange.body, "ok");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].requestLine(), "GET " + server.url("/via") + " HTTP/1.1");
}

TEST(WinInet, RefusedConnectionFailsTheSend) {
  HINTERNET internet = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(internet, "127.0.0.1", static_cast<INTERNET_PORT>(RefusingPort()),
                                          nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, "GET", "/", nullptr, nullptr, nullptr, 0, 0);
  EXPECT_FALSE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_CANNOT_CONNECT);
  char buffer[16];
  DWORD read = 1;
  EXPECT_TRUE(InternetReadFile(request, buffer, sizeof buffer, &read));
  EXPECT_EQ(read, 0u);
  DWORD length = sizeof buffer;
  EXPECT_FALSE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr));
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(internet);
}

TEST(WinInet, HeaderQueryReportsTheSizeItNeeds) {
  LocalHttpServer server;
  HINTERNET internet = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(internet, "127.0.0.1", static_cast<INTERNET_PORT>(server.port()),
                                          nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, "GET", "/", nullptr, nullptr, nullptr, 0, 0);
  ASSERT_TRUE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
  char small[8];
  DWORD length = sizeof small;
  EXPECT_FALSE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, small, &length, nullptr));
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_INSUFFICIENT_BUFFER);
  std::string buffer(length, '\0');
  EXPECT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr));
  EXPECT_EQ(length, buffer.size() - 1);
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(internet);
}

TEST(WinInet, HandlesAreCheckedOnEntry) {
  int notAHandle = 0;
  EXPECT_EQ(InternetConnectA(&notAHandle, "h", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0), nullptr);
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_INVALID_HANDLE);
  HINTERNET internet = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  EXPECT_EQ(HttpOpenRequestA(internet, "GET", "/", nullptr, nullptr, nullptr, 0, 0), nullptr);
  EXPECT_TRUE(InternetCloseHandle(internet));
  EXPECT_FALSE(InternetCloseHandle(internet));
  EXPECT_FALSE(InternetCloseHandle(nullptr));
  HINTERNET winHttp = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
  EXPECT_FALSE(InternetCloseHandle(winHttp));
  EXPECT_TRUE(WinHttpCloseHandle(winHttp));
}

TEST(WinInet, ProxyListsMustBeWellFormed) {
  EXPECT_EQ(InternetOpenA("a", INTERNET_OPEN_TYPE_PROXY, "127.0.0.1:notaport", "", 0), nullptr);
  EXPECT_EQ(InternetOpenA("a", INTERNET_OPEN_TYPE_PROXY, "", "", 0), nullptr);
  HINTERNET good = InternetOpenA("a", INTERNET_OPEN_TYPE_PROXY, "http=127.0.0.1:8080", "", 0);
  EXPECT_NE(good, nullptr);
  InternetCloseHandle(good);
  EXPECT_EQ(InternetConnectA(good, "h", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0), nullptr);
}
