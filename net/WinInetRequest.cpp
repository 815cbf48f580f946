#include "net/WinInetRequest.h"

#include <memory>

#include "net/AnsiTextSearch.h"
#include "net/CookieText.h"
#include "net/HttpHeaderText.h"
#include "net/TextCutting.h"
#include "net/UrlText.h"
#include "platform/http/WinInet.h"

namespace {

struct InternetHandleCloser {
  void operator()(void* handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

const AnsiText kDefaultAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The agent is the request's own User-Agent line when it has one. A header value cannot hold a
// line break, so the agent ends at the first one.
AnsiText AgentOf(const AnsiText& headers) {
  if (!ContainsText(headers, "User-Agent:", true)) return kDefaultAgent;
  AnsiText agent = TrimBlanks(TextBetween(headers + "\r\n", "User-Agent:", "\r\n"));
  if (agent.empty()) agent = HeaderValue(headers);
  int lineBreak = FindText(agent, "\r\n");
  return lineBreak < 1 ? agent : TrimBlanks(agent.substr(0, lineBreak - 1));
}

HINTERNET OpenInternet(const AnsiText& agent, const AnsiText& proxy, bool secure) {
  if (proxy.empty()) return InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  AnsiText proxyText = secure ? proxy : "http=" + proxy;
  return InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxyText.c_str(), "", 0);
}

DWORD RequestFlags(const WinInetRequestOptions& options, bool secure) {
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
  if (options.sendCookies != nullptr) flags |= INTERNET_FLAG_NO_COOKIES;
  if (options.noRedirect) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  flags |= secure ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
  return flags;
}

AnsiText CompleteHeaders(AnsiText headers, const AnsiText& url, int method) {
  if (headers.empty()) headers = "Accept: */*";
  AppendHeaderIfMissing(headers, "Accept:", "Accept: */*");
  AppendHeaderIfMissing(headers, "Referer:", "Referer: " + url);
  AppendHeaderIfMissing(headers, "Accept-Language:", "Accept-Language: zh-cn");
  if (method == 1) AppendHeaderIfMissing(headers, "Content-Type:", "Content-Type: application/x-www-form-urlencoded");
  return headers;
}

ByteBuffer ReadBody(HINTERNET request) {
  ByteBuffer body;
  char buffer[1024];
  DWORD read = 0;
  while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0) body.insert(body.end(), buffer, buffer + read);
  return body;
}

// The raw response headers; empty when there are none. Headers longer than the first buffer are
// read again into one of the size the query asks for.
AnsiText QueryRawHeaders(HINTERNET request) {
  AnsiText buffer(5000, ' ');
  DWORD length = static_cast<DWORD>(buffer.size());
  if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr)) {
    if (length <= buffer.size()) return {};
    buffer.assign(length, ' ');
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr)) return {};
  }
  return buffer.substr(0, buffer.find('\0'));
}

}  // namespace

ByteBuffer WinInetRequest(const AnsiText& url, const WinInetRequestOptions& options) {
  AnsiText headers = options.normaliseHeaderCase ? NormaliseHeaderCase(options.extraHeaders) : options.extraHeaders;
  AnsiText method = MethodText(options.method);
  bool secure = AsciiLower(url.substr(0, 8)) == "https://";
  InternetHandle internet(OpenInternet(AgentOf(headers), options.proxy, secure));
  if (!internet) return {};
  InternetHandle connection(InternetConnectA(internet.get(), UrlHost(url).c_str(),
                                             static_cast<INTERNET_PORT>(UrlPort(url)), nullptr, nullptr,
                                             INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return {};
  InternetHandle request(HttpOpenRequestA(connection.get(), method.c_str(), UrlPath(url).c_str(), "HTTP/1.1",
                                          nullptr, nullptr, RequestFlags(options, secure), 0));
  if (!request) return {};
  DWORD securityFlags = 0x1F380;
  InternetSetOptionA(request.get(), INTERNET_OPTION_SECURITY_FLAGS, &securityFlags, sizeof securityFlags);
  if (options.completeHeaders) headers = CompleteHeaders(headers, url, options.method);
  if (options.sendCookies != nullptr && !options.sendCookies->empty()) {
    const AnsiText& cookies = *options.sendCookies;
    headers += ContainsText(cookies, "Cookie:") ? "\r\n" + cookies : "\r\nCookie: " + cookies;
  }
  if (method == "GET") {
    HttpSendRequestA(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0);
  } else {
    ByteBuffer localBytes;
    ByteBuffer& postBytes = options.postBytes ? *options.postBytes : localBytes;
    if (postBytes.empty()) postBytes = TextAsBytes(options.postText);
    HttpSendRequestA(request.get(), headers.c_str(), static_cast<DWORD>(headers.size()),
                     postBytes.empty() ? nullptr : postBytes.data(), static_cast<DWORD>(postBytes.size()));
  }
  ByteBuffer body = ReadBody(request.get());
  AnsiText rawHeaders = QueryRawHeaders(request.get());
  request.reset();
  connection.reset();
  internet.reset();
  if (options.outHeaders) *options.outHeaders = rawHeaders;
  AnsiText cookies = CollectSetCookies(rawHeaders);
  if (options.mergeCookies && options.sendCookies != nullptr) cookies = MergeCookies(*options.sendCookies, cookies);
  if (options.outCookies) *options.outCookies = cookies;
  return body;
}
