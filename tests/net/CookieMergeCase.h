// The cookie round trip all three request routines share, as one case each routine runs.
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
