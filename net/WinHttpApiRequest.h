// One synchronous HTTP or HTTPS request through the WinHTTP functions. The body comes back as
// text decoded by the charset its page declares, and every failure as a numbered message.
#pragma once

#include "shell/SharedTypes.h"

// The optional arguments, in their order, with their defaults. Pointers are the in/out and out
// arguments: null means the argument was not given.
struct WinHttpApiRequestOptions {
  int method = 0;     // 0 GET .. 7 CONNECT; other numbers are GET
  AnsiText postText;  // body when postBytes is empty
  // Cookies to send; when empty (or not given) WinHTTP's own cookie handling is off. Response
  // cookies are merged into it when it is not empty.
  AnsiText* sendCookies = nullptr;
  AnsiText* outCookies = nullptr;  // cookies the response sets (merged with sendCookies)
  AnsiText extraHeaders;           // lines separated by "\r\n"
  AnsiText* outHeaders = nullptr;  // raw response headers, status line first
  bool noRedirect = false;
  AnsiText serverUser;  // Basic authentication at the server, with serverPassword
  AnsiText serverPassword;
  AnsiText proxy;      // host:port
  AnsiText proxyUser;  // Basic authentication at the proxy, with proxyPassword
  AnsiText proxyPassword;
  int timeoutSeconds = 0;           // above 0: seconds; otherwise 30 s
  AnsiText* outLocation = nullptr;  // target of a "Location: " response header
  AnsiText* outMessage = nullptr;   // "200 OK" and the like, or the numbered failure message
  ByteBuffer* outBodyBytes = nullptr;  // the undecoded body
  bool mergeCookies = true;
  bool completeHeaders = true;  // add User-Agent, Accept, Accept-Encoding, Accept-Language, Cache-Control
  ByteBuffer postBytes;         // body as bytes, when not empty
  bool normaliseHeaderCase = true;
};

// The response body as text; empty on failure, when the failure message is in outMessage and
// the other out arguments keep what they held. A body cut off while reading (713) still
// completes with the bytes that came.
AnsiText WinHttpApiRequest(const AnsiText& url, const WinHttpApiRequestOptions& options = {});
