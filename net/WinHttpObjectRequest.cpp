#include "net/WinHttpObjectRequest.h"

#include <climits>
#include <memory>

#include "net/AnsiTextSearch.h"
#include "net/ComApartment.h"
#include "net/CookieText.h"
#include "net/HttpHeaderText.h"
#include "net/TextEncodings.h"

namespace {

long TimeoutMilliseconds(int seconds) { return seconds < 1 ? 15000L : static_cast<long>(seconds) * 1000L; }

AnsiText RequestHeaderText(const AnsiText& url, const WinHttpObjectRequestOptions& options) {
  AnsiText headers = options.extraHeaders;
  if (options.completeHeaders) {
    AppendHeaderIfMissing(headers, "Accept:", "Accept: */*");
    AppendHeaderIfMissing(headers, "Referer:", "Referer: " + url);
    AppendHeaderIfMissing(headers, "Accept-Language:", "Accept-Language: zh-cn");
    AppendHeaderIfMissing(headers, "User-Agent:", "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    if (options.method == 1)
      AppendHeaderIfMissing(headers, "Content-Type:", "Content-Type: application/x-www-form-urlencoded");
  }
  return options.normaliseHeaderCase ? NormaliseHeaderCase(headers) : headers;
}

void SetHeaderLines(WinHttpRequest& request, const AnsiText& headers) {
  if (!ContainsText(headers, "\r\n")) {
    request.SetRequestHeader(HeaderName(headers), HeaderValue(headers));
    return;
  }
  for (const AnsiText& line : SplitText(headers, "\r\n")) {
    if (line.empty()) continue;
    AnsiText name = HeaderName(line);
    AnsiText value = HeaderValue(line);
    if (name == "Connection" && value == "keep-alive") continue;
    request.SetRequestHeader(name, value);
  }
}

}  // namespace

ByteBuffer WinHttpObjectRequest(const AnsiText& url, const WinHttpObjectRequestOptions& options) {
  ComApartment com;
  AnsiText method = MethodText(options.method);
  std::unique_ptr<WinHttpRequest> ownObject;
  if (options.sharedObject == nullptr) ownObject = std::make_unique<WinHttpRequest>();
  WinHttpRequest& request = options.sharedObject ? *options.sharedObject : *ownObject;

  if (options.timeoutSeconds != -1) {
    long t = TimeoutMilliseconds(options.timeoutSeconds);
    request.SetTimeouts(t, t, t, t);
  }
  if (!options.proxy.empty()) request.SetProxy(WinHttpRequest::ProxySettingProxy, options.proxy);
  request.Open(method, url, false);
  if (options.noRedirect) request.SetOption(WinHttpRequest::OptionEnableRedirects, 0);
  request.SetOption(WinHttpRequest::OptionSslErrorIgnoreFlags, 0x3300);
  AnsiText headers = RequestHeaderText(url, options);
  if (!options.proxy.empty() && !options.proxyUser.empty()) {
    request.SetCredentials(options.proxyUser, options.proxyPassword, options.proxyCredentialFlag);
    if (options.proxyCredentialFlag == WinHttpRequest::SetCredentialsForProxy)
      request.SetRequestHeader("Proxy-Authorization",
                               "Basic " + Base64Encode(TextAsBytes(options.proxyUser + ":" + options.proxyPassword)));
  }
  if (options.sendCookies != nullptr) {
    AnsiText& cookies = *options.sendCookies;
    if (!cookies.empty() && ContainsText(cookies, "Cookie:", true)) cookies = ReplaceText(cookies, "Cookie:", "", true);
    request.SetRequestHeader("Cookie", cookies);
  }
  SetHeaderLines(request, headers);
  if (options.postBytes.empty()) request.Send(options.postText);
  else request.Send(options.postBytes);

  ByteBuffer body = request.ResponseBody();
  AnsiText responseHeaders = request.GetAllResponseHeaders();
  if (options.outHeaders) *options.outHeaders = responseHeaders;
  if (options.outStatus) *options.outStatus = static_cast<int>(request.Status());
  AnsiText cookies = CollectSetCookies(responseHeaders);
  if (options.mergeCookies && options.sendCookies != nullptr) cookies = MergeCookies(*options.sendCookies, cookies);
  if (options.outCookies) *options.outCookies = cookies;
  return body;
}
