#include "platform/http/CurlExchange.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>
#include <mutex>
#include <sstream>

namespace {

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

void EnsureCurlGlobal() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct TransferState {
  HttpExchangeResult* result;
  long receiveTimeoutMs;
  curl_off_t lastDown = -1, lastUp = -1;
  std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
  bool idleTimedOut = false;
};

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* state = static_cast<TransferState*>(user);
  std::string line(data, size * count);
  // Every response (redirects, 100 Continue) starts anew; only the last one is kept.
  if (line.rfind("HTTP/", 0) == 0) state->result->rawHeaders.clear();
  state->result->rawHeaders += line;
  state->lastActivity = std::chrono::steady_clock::now();
  return size * count;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* state = static_cast<TransferState*>(user);
  state->result->body.insert(state->result->body.end(), data, data + size * count);
  state->lastActivity = std::chrono::steady_clock::now();
  return size * count;
}

// The receive time-out is a limit on silence, as a socket receive time-out would be.
int OnProgress(void* user, curl_off_t, curl_off_t downNow, curl_off_t, curl_off_t upNow) {
  auto* state = static_cast<TransferState*>(user);
  auto now = std::chrono::steady_clock::now();
  if (downNow != state->lastDown || upNow != state->lastUp) {
    state->lastDown = downNow;
    state->lastUp = upNow;
    state->lastActivity = now;
    return 0;
  }
  if (state->receiveTimeoutMs <= 0) return 0;
  auto silent = std::chrono::duration_cast<std::chrono::milliseconds>(now - state->lastActivity).count();
  if (silent < state->receiveTimeoutMs) return 0;
  state->idleTimedOut = true;
  return 1;
}

// The proxy of the list that applies to the URL's scheme; empty for none.
std::string ProxyFor(const std::string& proxyList, const std::string& url) {
  std::string scheme = url.substr(0, url.find("://"));
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string entry;
  std::string forAll;
  std::istringstream entries(proxyList);
  while (std::getline(entries, entry, ';')) {
    std::istringstream words(entry);
    for (std::string word; words >> word;) {
      size_t equals = word.find('=');
      if (equals == std::string::npos && forAll.empty())
        forAll = word;
      else if (equals != std::string::npos && word.substr(0, equals) == scheme)
        return word.substr(equals + 1);
    }
  }
  return forAll;
}

std::string BasicUserPassword(const std::string& user, const std::string& password) {
  return user + ":" + password;
}

void SetMethodAndBody(CURL* curl, const HttpExchangeRequest& request) {
  const bool hasBody = !request.body.empty();
  if (request.method == "HEAD") {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  } else if (request.method != "GET" || hasBody) {
    // Every method but GET and HEAD carries its body with a length, even an empty one, so the
    // server never waits for a body that is not coming.
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS,
                     hasBody ? reinterpret_cast<const char*>(request.body.data()) : "");
    if (request.method != "POST") curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  }
}

bool IsHeader(const std::string& line, const std::string& name) {
  return line.size() > name.size() && line[name.size()] == ':' &&
         strncasecmp(line.c_str(), name.c_str(), name.size()) == 0;
}

bool HasHeader(const std::vector<std::string>& headers, const std::string& name) {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const std::string& line) { return IsHeader(line, name); });
}

// The values of the caller's Cookie lines joined by "; ". They go out in the one Cookie header
// that also carries the cookie engine's cookies: a Cookie line of the caller's would otherwise
// go out as a second Cookie header beside it.
std::string CallerCookies(const std::vector<std::string>& headers) {
  std::string cookies;
  for (const std::string& line : headers) {
    if (!IsHeader(line, "Cookie")) continue;
    size_t value = line.find_first_not_of(' ', line.find(':') + 1);
    if (value == std::string::npos) continue;
    cookies += (cookies.empty() ? "" : "; ") + line.substr(value);
  }
  return cookies;
}

// The caller's header lines but the Cookie lines, with curl's own defaults suppressed where the
// caller sets none: what reaches the server is what the routine asked for.
HeaderList BuildHeaderList(const HttpExchangeRequest& request) {
  curl_slist* list = nullptr;
  for (const std::string& line : request.headers) {
    if (!IsHeader(line, "Cookie")) list = curl_slist_append(list, line.c_str());
  }
  for (const char* name : {"Accept", "Content-Type", "Expect"}) {
    if (!HasHeader(request.headers, name)) list = curl_slist_append(list, (std::string(name) + ":").c_str());
  }
  return HeaderList(list);
}

HttpExchangeFailure ClassifyFailure(CURL* curl, CURLcode code, const HttpExchangeResult& result) {
  if (code == CURLE_OK) return HttpExchangeFailure::None;
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status > 0 && result.rawHeaders.find("\r\n\r\n") != std::string::npos) return HttpExchangeFailure::Body;
  long requestSize = 0;
  curl_easy_getinfo(curl, CURLINFO_REQUEST_SIZE, &requestSize);
  return requestSize > 0 ? HttpExchangeFailure::Response : HttpExchangeFailure::Connect;
}

}  // namespace

HttpExchangeResult CurlExchange::Perform(const HttpExchangeRequest& request) {
  EnsureCurlGlobal();
  HttpExchangeResult result;
  CurlHandle curl(curl_easy_init());
  if (!curl) {
    result.error = "curl_easy_init failed";
    return result;
  }
  CURL* c = curl.get();
  TransferState state{&result, request.receiveTimeoutMs};
  std::string proxy = ProxyFor(request.proxy, request.url);
  std::string proxyCredentials = BasicUserPassword(request.proxyUser, request.proxyPassword);
  std::string serverCredentials = BasicUserPassword(request.serverUser, request.serverPassword);
  HeaderList headers = BuildHeaderList(request);
  std::string cookies = CallerCookies(request.headers);

  curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());  // "" also ignores the environment's proxies
  // A Proxy-Authorization line of the caller's is the one the proxy gets; libcurl would add its
  // own beside it, since it keeps proxy headers apart from the caller's list.
  if (!proxy.empty() && !request.proxyUser.empty() && !HasHeader(request.headers, "Proxy-Authorization")) {
    curl_easy_setopt(c, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(c, CURLOPT_PROXYUSERPWD, proxyCredentials.c_str());
  }
  if (!request.serverUser.empty()) {
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(c, CURLOPT_USERPWD, serverCredentials.c_str());
  }
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  SetMethodAndBody(c, request);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, request.redirectToHttps ? "http,https" : "http");
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, request.verifyPeer ? 1L : 0L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, request.verifyHost ? 2L : 0L);
  if (request.cookieEngine) curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");
  if (!cookies.empty()) curl_easy_setopt(c, CURLOPT_COOKIE, cookies.c_str());
  if (request.connectTimeoutMs > 0) curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &state);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &state);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &state);

  CURLcode code = curl_easy_perform(c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.status);
  result.failure = ClassifyFailure(c, code, result);
  result.timedOut = state.idleTimedOut || code == CURLE_OPERATION_TIMEDOUT;
  if (code != CURLE_OK) result.error = state.idleTimedOut ? "receive time-out" : curl_easy_strerror(code);
  if (result.failure == HttpExchangeFailure::Body) {
    curl_off_t announced = -1;
    curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    long have = static_cast<long>(result.body.size());
    result.missingBodyBytes = announced > have ? static_cast<long>(announced) - have : 1;
  }
  return result;
}

bool IsValidProxyList(const std::string& proxy) {
  std::string entries = proxy;
  for (char& c : entries) {
    if (c == ';') c = ' ';
  }
  std::istringstream words(entries);
  int count = 0;
  for (std::string word; words >> word; ++count) {
    size_t equals = word.find('=');
    std::string address = equals == std::string::npos ? word : word.substr(equals + 1);
    if (equals == 0 || address.empty() || address[0] == ':') return false;
    size_t colon = address.rfind(':');
    if (colon == std::string::npos || address.find("://") != std::string::npos) continue;
    std::string port = address.substr(colon + 1);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
      return false;
    long value = std::stol(port);
    if (value < 1 || value > 65535) return false;
  }
  return count > 0;
}
