#include "platform/http/WinHttpRequest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/http/LocalHttpServer.h"

namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(WinHttpRequest, SendsTheRequestAndExposesTheResponse) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.status = 201;
    response.set_header("Set-Cookie", "a=1");
    response.set_content("made", "text/plain");
  });
  WinHttpRequest request;
  ASSERT_TRUE(request.Open("POST", server.url("/items"), false));
  EXPECT_TRUE(request.SetRequestHeader("X-One", "1"));
  EXPECT_TRUE(request.SetRequestHeader("X-Gone", "1"));
  EXPECT_TRUE(request.SetRequestHeader("X-Gone", ""));
  ASSERT_TRUE(request.Send("a=1"));
  EXPECT_EQ(request.Status(), 201);
  EXPECT_EQ(Text(request.ResponseBody()), "made");
  std::string headers = request.GetAllResponseHeaders();
  EXPECT_EQ(headers.find("HTTP/1.1"), std::string::npos);
  EXPECT_NE(headers.find("Set-Cookie: a=1\r\n"), std::string::npos);
  RecordedRequest seen = server.lastRequest();
  EXPECT_EQ(seen.requestLine(), "POST /items HTTP/1.1");
  EXPECT_EQ(seen.body, "a=1");
  EXPECT_EQ(seen.header("X-One"), "1");
  EXPECT_EQ(seen.headerCount("X-Gone"), 0u);
  EXPECT_EQ(seen.headerCount("Content-Type"), 0u);
  EXPECT_EQ(seen.headerCount("Accept"), 0u);
}

TEST(WinHttpRequest, SendsBytesWithAnyMethod) {
  LocalHttpServer server;
  WinHttpRequest request;
  ASSERT_TRUE(request.Open("PUT", server.url("/b"), false));
  ASSERT_TRUE(request.Send(std::vector<std::uint8_t>{0, 1, 2, 0xFF}));
  EXPECT_EQ(server.lastRequest().body, std::string("\0\1\2\xFF", 4));
  EXPECT_EQ(server.lastRequest().method, "PUT");
}

TEST(WinHttpRequest, RedirectOptionDecidesWhetherRedirectsAreFollowed) {
  LocalHttpServer server(false, [](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/old")
      response.set_redirect("/new");
    else
      response.set_content("new", "text/plain");
  });
  WinHttpRequest request;
  EXPECT_EQ(request.Option(WinHttpRequest::OptionEnableRedirects), 1);
  ASSERT_TRUE(request.Open("GET", server.url("/old")));
  ASSERT_TRUE(request.Send());
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(Text(request.ResponseBody()), "new");
  ASSERT_TRUE(request.Open("GET", server.url("/old")));
  request.SetOption(WinHttpRequest::OptionEnableRedirects, 0);
  ASSERT_TRUE(request.Send());
  EXPECT_EQ(request.Status(), 302);
}

TEST(WinHttpRequest, CertificateErrorsFailUnlessIgnored) {
  LocalHttpServer server(true);
  WinHttpRequest request;
  ASSERT_TRUE(request.Open("GET", server.url("/")));
  EXPECT_FALSE(request.Send());
  EXPECT_EQ(request.Status(), 0);
  EXPECT_TRUE(request.ResponseBody().empty());
  ASSERT_TRUE(request.Open("GET", server.url("/")));
  request.SetOption(WinHttpRequest::OptionSslErrorIgnoreFlags, 0x3300);
  EXPECT_TRUE(request.Send());
  EXPECT_EQ(Text(request.ResponseBody()), "ok");
}

TEST(WinHttpRequest, ProxyCarriesTheRequestWithItsCredentials) {
  LocalHttpServer server;
  RecordingProxy proxy;
  WinHttpRequest request;
  EXPECT_FALSE(request.SetProxy(2, "bad:port"));
  ASSERT_TRUE(request.SetProxy(2, proxy.address()));
  ASSERT_TRUE(request.Open("GET", server.url("/p")));
  ASSERT_TRUE(request.SetCredentials("pu", "pp", WinHttpRequest::SetCredentialsForProxy));
  ASSERT_TRUE(request.Send());
  EXPECT_EQ(Text(request.ResponseBody()), "ok");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].requestLine(), "GET " + server.url("/p") + " HTTP/1.1");
  EXPECT_EQ(proxy.requests()[0].header("Proxy-Authorization"), "Basic cHU6cHA=");
}

TEST(WinHttpRequest, ReceiveTimeOutLeavesTheResponseEmpty) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    response.set_content("late", "text/plain");
  });
  WinHttpRequest request;
  EXPECT_TRUE(request.SetTimeouts(500, 500, 500, 500));
  EXPECT_FALSE(request.SetTimeouts(-5, 0, 0, 0));
  ASSERT_TRUE(request.Open("GET", server.url("/")));
  EXPECT_FALSE(request.Send());
  EXPECT_EQ(request.Status(), 0);
  EXPECT_EQ(request.GetAllResponseHeaders(), "");
}

TEST(WinHttpRequest, MembersNeedAnOpenRequest) {
  WinHttpRequest request;
  EXPECT_FALSE(request.SetRequestHeader("A", "1"));
  EXPECT_FALSE(request.Send());
  EXPECT_FALSE(request.Open("GET", "ftp://h/"));
  EXPECT_FALSE(request.Open("GET", "http://h/", true));
  ASSERT_TRUE(request.Open("GET", "http://127.0.0.1:" + std::to_string(RefusingPort()) + "/"));
  EXPECT_FALSE(request.SetRequestHeader("Bad:Name", "1"));
  EXPECT_FALSE(request.SetRequestHeader("A", "1\r\nB: 2"));
  EXPECT_FALSE(request.Send());
  EXPECT_EQ(request.Status(), 0);
}
