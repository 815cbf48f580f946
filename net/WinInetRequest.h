// One HTTP or HTTPS request through the WinINet functions; the body comes back as bytes.
#pragma once

#include "shell/SharedTypes.h"

// The optional arguments, in their order, with their defaults. Pointers are the in/out and out
// arguments: null means the argument was not given.
struct WinInetRequestOptions {
  int method = 0;        // 0 GET .. 7 CONNECT; other numbers are GET
  AnsiText postText;     // body when postBytes is empty
  // Cookies to send. Given at all (even empty): WinINet's own cookie handling is off and the
  // response cookies are merged into it.
  AnsiText* sendCookies = nullptr;
  AnsiText* outCookies = nullptr;  // cookies the response sets (merged with sendCookies)
  AnsiText extraHeaders;           // lines separated by "\r\n"
  AnsiText* outHeaders = nullptr;  // raw response headers, status line first
  bool noRedirect = false;
  ByteBuffer* postBytes = nullptr;  // body; for methods other than GET it receives postText's bytes when empty
  AnsiText proxy;                   // host:port
  bool mergeCookies = true;
  bool completeHeaders = true;     // add Accept, Referer, Accept-Language (and the form type for POST)
  bool normaliseHeaderCase = true;
};

// The response body, empty when nothing came back. Only the failure to open the internet,
// connection or request handle ends the routine early, leaving the out arguments untouched.
ByteBuffer WinInetRequest(const AnsiText& url, const WinInetRequestOptions& options = {});
