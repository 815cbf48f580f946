#include "platform/http/WinHttp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/http/LocalHttpServer.h"

namespace {

std::u16string Wide(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::string Narrow(const std::u16string& text) {
  std::string result;
  for (char16_t c : text) result.push_back(static_cast<char>(c));
  return result;
}

// The three handles of one request; closed in the order the launcher closes them.
struct Handles {
  HINTERNET session = nullptr, connection = nullptr, request = nullptr;

  Handles(int port, const std::string& method, const std::string& path, DWORD flags = 0,
          const std::u16string& proxy = u"") {
    session =
        WinHttpOpen(nullptr, proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY,
                    proxy.empty() ? nullptr : proxy.c_str(), nullptr, 0);
    connection = WinHttpConnect(session, u"127.0.0.1", static_cast<INTERNET_PORT>(port), 0);
    request = WinHttpOpenRequest(connection, Wide(method).c_str(), Wide(path).c_str(), nullptr, nullptr,
                                 nullptr, flags);
  }
  ~Handles() {
    WinHttpCloseHandle(request);
    WinHttpCloseHandle(connection);
    WinHttpCloseHandle(session);
  }
  void setOption(DWORD option, DWORD value) const {
    EXPECT_TRUE(WinHttpSetOption(request, option, &value, 4));
  }
  std::string readBody(bool* readFailed = nullptr) const {
    std::string body;
    DWORD available = 0;
    while (WinHttpQueryDataAvailable(request, &available) && available > 0) {
      std::string piece(available, '\0');
      DWORD read = 0;
      if (!WinHttpReadData(request, piece.data(), available, &read)) {
        if (readFailed) *readFailed = true;
        break;
      }
      body.append(piece, 0, read);
    }
    return body;
  }
  std::string rawHeaders() const {
    DWORD length = 0;
    EXPECT_FALSE(
        WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr, &length, nullptr));
    std::u16string buffer(length / 2, u'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, buffer.data(), &length,
                             nullptr))
      return {};
    return Narrow(buffer.substr(0, length / 2));
  }
};

}  // namespace

TEST(WinHttp, CrackUrlPointsIntoTheUrl) {
  std::u16string url = u"HTTPS://user:pw@example.org:8443/a/b?x=1#f";
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
  ASSERT_TRUE(WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts));
  EXPECT_EQ(parts.nScheme, INTERNET_SCHEME_HTTPS);
  EXPECT_EQ(parts.nPort, 8443);
  EXPECT_EQ(std::u16string(parts.lpszHostName, parts.dwHostNameLength), u"example.org");
  EXPECT_EQ(std::u16string(parts.lpszUrlPath, parts.dwUrlPathLength), u"/a/b");
  EXPECT_EQ(std::u16string(parts.lpszExtraInfo, parts.dwExtraInfoLength), u"?x=1#f");
  EXPECT_EQ(parts.lpszUserName, nullptr);
}

TEST(WinHttp, CrackUrlGivesDefaultPortsAndEmptyPaths) {
  std::u16string url = u"http://h";
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = DWORD(-1);
  ASSERT_TRUE(WinHttpCrackUrl(url.c_str(), 0, 0, &parts));
  EXPECT_EQ(parts.nPort, 80);
  EXPECT_EQ(parts.dwUrlPathLength, 0u);
}

TEST(WinHttp, CrackUrlRefusesOtherSchemesAndBadPorts) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  EXPECT_FALSE(WinHttpCrackUrl(u"ftp://h/x", 0, 0, &parts));
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_UNRECOGNIZED_SCHEME);
  EXPECT_FALSE(WinHttpCrackUrl(u"no url", 0, 0, &parts));
  EXPECT_FALSE(WinHttpCrackUrl(u"http://h:99999/", 0, 0, &parts));
  parts.dwStructSize = 3;
  EXPECT_FALSE(WinHttpCrackUrl(u"http://h/", 0, 0, &parts));
}

TEST(WinHttp, SessionsCheckProxiesTimeoutsAndServers) {
  EXPECT_EQ(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NAMED_PROXY, u"http=:1", nullptr, 0), nullptr);
  HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
  ASSERT_NE(session, nullptr);
  EXPECT_TRUE(WinHttpSetTimeouts(session, -1, 1000, 1000, 1000));
  EXPECT_FALSE(WinHttpSetTimeouts(session, 0, -2, 0, 0));
  EXPECT_EQ(WinHttpConnect(session, u"", 80, 0), nullptr);
  EXPECT_EQ(WinHttpConnect(session, nullptr, 80, 0), nullptr);
  EXPECT_TRUE(WinHttpCloseHandle(session));
  EXPECT_FALSE(WinHttpSetTimeouts(session, 1, 1, 1, 1));
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_INVALID_HANDLE);
}

TEST(WinHttp, RequestSendsHeadersBodyAndCredentials) {
  LocalHttpServer server;
  Handles handles(server.port(), "PUT", "/put?x=1");
  EXPECT_TRUE(WinHttpSetCredentials(handles.request, WINHTTP_AUTH_TARGET_SERVER, WINHTTP_AUTH_SCHEME_BASIC,
                                    u"user", u"pass", nullptr));
  EXPECT_FALSE(WinHttpSetCredentials(handles.request, WINHTTP_AUTH_TARGET_SERVER, 2, u"u", u"p", nullptr));
  std::u16string headers = u"X-One: 1\r\nX-Two: 2\r\n";
  EXPECT_TRUE(WinHttpAddRequestHeaders(handles.request, headers.c_str(), DWORD(-1), WINHTTP_ADDREQ_FLAG_ADD));
  std::string body = "payload";
  ASSERT_TRUE(WinHttpSendRequest(handles.request, nullptr, 0, body.data(), 7, 7, 0));
  ASSERT_TRUE(WinHttpReceiveResponse(handles.request, nullptr));
  EXPECT_EQ(handles.readBody(), "ok");
  std::string raw = handles.rawHeaders();
  EXPECT_EQ(raw.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_EQ(raw.substr(raw.size() - 4), "\r\n\r\n");
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "PUT /put?x=1 HTTP/1.1");
  EXPECT_EQ(seen.header("X-One"), "1");
  EXPECT_EQ(seen.header("X-Two"), "2");
  EXPECT_EQ(seen.header("Authorization"), "Basic dXNlcjpwYXNz");
  EXPECT_EQ(seen.body, "payload");
}

TEST(WinHttp, HeaderTextsMustHoldHeaderLines) {
  LocalHttpServer server;
  Handles handles(server.port(), "GET", "/");
  EXPECT_FALSE(WinHttpAddRequestHeaders(handles.request, u"", 0, WINHTTP_ADDREQ_FLAG_ADD));
  EXPECT_FALSE(
      WinHttpAddRequestHeaders(handles.request, u"no colon\r\n", DWORD(-1), WINHTTP_ADDREQ_FLAG_ADD));
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_INVALID_PARAMETER);
}

TEST(WinHttp, OptionsSwitchRedirectsCookiesAndCertificateChecks) {
  LocalHttpServer server(true, [](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/old")
      response.set_redirect("/new");
    else
      response.set_content("new", "text/plain");
  });
  {
    Handles checked(server.port(), "GET", "/old", WINHTTP_FLAG_SECURE);
    EXPECT_FALSE(WinHttpSendRequest(checked.request, nullptr, 0, nullptr, 0, 0, 0));
  }
  Handles handles(server.port(), "GET", "/old", WINHTTP_FLAG_SECURE);
  handles.setOption(WINHTTP_OPTION_SECURITY_FLAGS, 0x3300);
  handles.setOption(WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES);
  handles.setOption(WINHTTP_OPTION_ENABLE_FEATURE, WINHTTP_ENABLE_SSL_REVOCATION);
  handles.setOption(WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS);
  DWORD unknown = 1;
  EXPECT_FALSE(WinHttpSetOption(handles.request, 12345, &unknown, 4));
  EXPECT_FALSE(WinHttpSetOption(handles.request, WINHTTP_OPTION_SECURITY_FLAGS, &unknown, 2));
  ASSERT_TRUE(WinHttpSendRequest(handles.request, nullptr, 0, nullptr, 0, 0, 0));
  ASSERT_TRUE(WinHttpReceiveResponse(handles.request, nullptr));
  std::string raw = handles.rawHeaders();
  EXPECT_EQ(raw.rfind("HTTP/1.1 302 Found\r\n", 0), 0u);
  EXPECT_NE(raw.find("\r\nLocation: /new\r\n"), std::string::npos);
}

TEST(WinHttp, FailuresFallOnTheStepThatMeetsThem) {
  {
    Handles refused(RefusingPort(), "GET", "/");
    EXPECT_FALSE(WinHttpSendRequest(refused.request, nullptr, 0, nullptr, 0, 0, 0));
    EXPECT_FALSE(WinHttpReceiveResponse(refused.request, nullptr));
  }
  HangUpServer hangUp;
  Handles silent(hangUp.port(), "GET", "/");
  EXPECT_TRUE(WinHttpSendRequest(silent.request, nullptr, 0, nullptr, 0, 0, 0));
  EXPECT_FALSE(WinHttpReceiveResponse(silent.request, nullptr));
}

TEST(WinHttp, ReceiveTimeOutEndsAWaitForASilentServer) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    response.set_content("late", "text/plain");
  });
  Handles handles(server.port(), "GET", "/");
  EXPECT_TRUE(WinHttpSetTimeouts(handles.request, 500, 500, 500, 500));
  EXPECT_TRUE(WinHttpSendRequest(handles.request, nullptr, 0, nullptr, 0, 0, 0));
  EXPECT_FALSE(WinHttpReceiveResponse(handles.request, nullptr));
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_TIMEOUT);
}

TEST(WinHttp, ACutOffBodyFailsTheReadAfterTheBytesThatCame) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(100, "text/plain", [](size_t, size_t, httplib::DataSink& sink) {
      sink.write("0123456789", 10);
      return false;
    });
  });
  Handles handles(server.port(), "GET", "/");
  ASSERT_TRUE(WinHttpSendRequest(handles.request, nullptr, 0, nullptr, 0, 0, 0));
  ASSERT_TRUE(WinHttpReceiveResponse(handles.request, nullptr));
  bool readFailed = false;
  EXPECT_EQ(handles.readBody(&readFailed), "0123456789");
  EXPECT_TRUE(readFailed);
}

TEST(WinHttp, HandlesOfTheWrongKindAreRefused) {
  HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
  EXPECT_EQ(WinHttpOpenRequest(session, u"GET", u"/", nullptr, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_INVALID_HANDLE);
  DWORD value = 0;
  EXPECT_FALSE(WinHttpSetOption(session, WINHTTP_OPTION_SECURITY_FLAGS, &value, 4));
  EXPECT_FALSE(WinHttpReceiveResponse(nullptr, nullptr));
  EXPECT_TRUE(WinHttpCloseHandle(session));
  EXPECT_FALSE(WinHttpCloseHandle(session));
}

TEST(WinHttp, ReadingBeforeSendingIsRefused) {
  Handles handles(80, "GET", "/");
  DWORD available = 0;
  EXPECT_FALSE(WinHttpQueryDataAvailable(handles.request, &available));
  DWORD length = 0;
  EXPECT_FALSE(WinHttpQueryHeaders(handles.request, WINHTTP_QUERY_RAW_HEADERS_CRLF, nullptr, nullptr, &length,
                                   nullptr));
  EXPECT_EQ(QbHttpLastError(), QB_ERROR_INCORRECT_HANDLE_STATE);
}
