// The cookie cases all three request routines share.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/http/LocalHttpServer.h"
#include "shell/SharedTypes.h"

// The caller's cookies go out as they are; the answer's Set-Cookie values come back in front of
// them (alone when merging is off), and the caller's text keeps the merged cookies.
// `send(url, cookies, outCookies, merge)` runs the routine once.
template <typename Send>
void ExpectSuppliedCookiesSentAndMerged(Send send) {
  LocalHttpServer server(false, [](const httplib::Request&, httplib::Response& response) {
    response.headers.emplace("Set-Cookie", "b=3; path=/");
    response.headers.emplace("Set-Cookie", "c=4");
    response.set_content("ok", "text/plain");
  });
  AnsiText cookies = "a=1; b=2";
  AnsiText out;
  send(server.url("/"), cookies, out, true);
  EXPECT_EQ(server.lastRequest().header("Cookie"), "a=1; b=2");
  EXPECT_EQ(out, "b=3; c=4; a=1");
  EXPECT_EQ(cookies, "b=3; c=4; a=1");
  send(server.url("/"), cookies, out, false);
  EXPECT_EQ(out, "b=3; c=4");
  EXPECT_EQ(cookies, "b=3; c=4; a=1");
}

// "/login" sets sid=7 and redirects to "/home", which answers "cookie=" and the Cookie header it
// received: what the library's own cookie handling adds on the way shows in the body.
inline LocalHttpServer::Handler LoginThenHomeAnswer() {
  return [](const httplib::Request& request, httplib::Response& response) {
    if (request.path == "/login") {
      response.set_header("Set-Cookie", "sid=7");
      response.set_redirect("/home");
    } else {
      response.set_content("cookie=" + request.get_header_value("Cookie"), "text/plain");
    }
  };
}
