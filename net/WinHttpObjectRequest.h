// One synchronous HTTP or HTTPS request through the WinHttp request object; the body comes
// back as bytes.
#pragma once

#include "platform/http/WinHttpRequest.h"
#include "shell/SharedTypes.h"

// The optional arguments, in their order, with their defaults. Pointers are the in/out and out
// arguments: null means the argument was not given.
struct WinHttpObjectRequestOptions {
  int method = 0;     // 0 GET .. 7 CONNECT; other numbers are GET
  AnsiText postText;  // body when postBytes is empty
  // Cookies to send. Given at all (even empty): a Cookie header is set, a "Cookie:" prefix is
  // taken out of it, and the response cookies are merged into it.
  AnsiText* sendCookies = nullptr;
  AnsiText* outCookies = nullptr;  // cookies the response sets (merged with sendCookies)
  AnsiText extraHeaders;           // lines separated by "\r\n"
  AnsiText* outHeaders = nullptr;  // response header lines
  int* outStatus = nullptr;        // HTTP status, 0 when no response came
  bool noRedirect = false;
  ByteBuffer postBytes;  // body as bytes, when not empty
  AnsiText proxy;        // host:port
  int timeoutSeconds = 0;  // -1: the object's own time-outs; below 1: 15 s; else seconds
  AnsiText proxyUser;
  AnsiText proxyPassword;
  int proxyCredentialFlag = 1;  // 1: the credentials are for the proxy
  // An existing object to use (its owner keeps it; its settings persist between calls).
  WinHttpRequest* sharedObject = nullptr;
  bool mergeCookies = true;
  bool completeHeaders = true;  // add Accept, Referer, Accept-Language, User-Agent (and the form type for POST)
  bool normaliseHeaderCase = true;
};

// The response body; empty when nothing came back, with outHeaders empty and outStatus 0.
ByteBuffer WinHttpObjectRequest(const AnsiText& url, const WinHttpObjectRequestOptions& options = {});
