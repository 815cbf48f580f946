// One HTTP exchange over libcurl: the common core of the WinHttp request object, the WinHTTP
// functions and the WinINet functions. The whole response is read before Perform returns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HttpExchangeRequest {
  std::string method = "GET";
  std::string url;
  std::vector<std::string> headers;  // "Name: value" lines, sent as given
  std::vector<std::uint8_t> body;
  // Proxy list as WinHTTP and WinINet take it: "host:port" for every scheme, or entries such
  // as "http=host:port" for one scheme only. Empty: no proxy, whatever the environment says.
  std::string proxy;
  std::string proxyUser, proxyPassword;    // Basic authentication at the proxy, when a user is set
  std::string serverUser, serverPassword;  // Basic authentication at the server, when a user is set
  long connectTimeoutMs = 0;               // 0: none
  long receiveTimeoutMs = 0;               // longest silence while waiting for the response; 0: none
  bool followRedirects = true;
  bool verifyPeer = true;       // the certificate must chain to a trusted authority and be in date
  bool verifyHost = true;       // the certificate must name the host
  bool redirectToHttps = true;  // a followed redirect may go from http to https
  bool cookieEngine = false;    // cookies set during redirects are sent on the following requests
};

enum class HttpExchangeFailure {
  None,
  Connect,   // no request reached the server (refused, unknown host, TLS handshake, connect time-out)
  Response,  // the request went out but no complete response header arrived
  Body,      // the header arrived; the body ended early
};

struct HttpExchangeResult {
  HttpExchangeFailure failure = HttpExchangeFailure::Connect;
  long status = 0;
  // Status line and header lines of the last response, each ending in "\r\n", then "\r\n".
  std::string rawHeaders;
  std::vector<std::uint8_t> body;
  long missingBodyBytes = 0;  // announced but never received (Body failures)
  bool timedOut = false;
  std::string error;
};

class CurlExchange {
 public:
  static HttpExchangeResult Perform(const HttpExchangeRequest& request);
};

// Whether a WinHTTP/WinINet style proxy list is well formed: entries "[scheme=]host[:port]"
// separated by ";" or blanks, ports 1 to 65535.
bool IsValidProxyList(const std::string& proxy);
