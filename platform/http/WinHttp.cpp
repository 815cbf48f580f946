#include "platform/http/WinHttp.h"

#include <strings.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/http/BufferedResponse.h"

namespace {

struct Timeouts {
  int resolve = 0, connect = 60000, send = 30000, receive = 30000;  // WinHTTP's own defaults
};

struct WinHttpSession : InternetObject {
  std::string proxy;
  Timeouts timeouts;
};

struct WinHttpConnection : InternetObject {
  WinHttpSession session;
  std::string host;  // UTF-8
  INTERNET_PORT port = 0;
};

struct WinHttpRequestHandle : InternetObject {
  WinHttpConnection connection;
  std::string method;
  std::string path;  // UTF-8
  bool secure = false;
  Timeouts timeouts;
  std::vector<std::string> headers;  // code page 936 bytes
  std::string serverUser, serverPassword, proxyUser, proxyPassword;
  DWORD securityFlags = 0;
  bool cookies = true;
  bool redirects = true;
  bool sent = false;
  std::optional<BufferedResponse> response;
};

template <typename T>
T* Lookup(HINTERNET handle) {
  T* object = HandleRegistry::Instance().Find<T>(handle);
  if (object == nullptr) QbSetHttpLastError(QB_ERROR_INVALID_HANDLE);
  return object;
}

BOOL Fail(DWORD error) {
  QbSetHttpLastError(error);
  return FALSE;
}

HINTERNET FailHandle(DWORD error) {
  QbSetHttpLastError(error);
  return nullptr;
}

size_t Length(const WCHAR* text, DWORD length) {
  if (text == nullptr) return 0;
  return length == static_cast<DWORD>(-1) || length == 0 ? static_cast<size_t>(lstrlenW(text)) : length;
}

std::string Narrow(const WCHAR* text, size_t length, UINT codePage) {
  if (text == nullptr || length == 0) return {};
  int size = WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(codePage, 0, text, static_cast<int>(length), result.data(), size, nullptr, nullptr);
  return result;
}

std::string Utf8(const WCHAR* text) {
  return Narrow(text, Length(text, 0), CP_UTF8);
}

std::u16string Widen(const std::string& text, UINT codePage) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string result(static_cast<size_t>(size > 0 ? size : 0), u'\0');
  if (size > 0)
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

long Limit(int milliseconds) {
  return milliseconds > 0 ? milliseconds : 0;
}

HttpExchangeRequest BuildExchange(const WinHttpRequestHandle& request, const void* body, DWORD bodyLength) {
  HttpExchangeRequest exchange;
  INTERNET_PORT port = request.connection.port ? request.connection.port : (request.secure ? 443 : 80);
  exchange.method = request.method;
  exchange.url = std::string(request.secure ? "https://" : "http://") + request.connection.host + ":" +
                 std::to_string(port) + request.path;
  exchange.headers = request.headers;
  if (body != nullptr && bodyLength > 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(body);
    exchange.body.assign(bytes, bytes + bodyLength);
  }
  exchange.proxy = request.connection.session.proxy;
  exchange.proxyUser = request.proxyUser;
  exchange.proxyPassword = request.proxyPassword;
  exchange.serverUser = request.serverUser;
  exchange.serverPassword = request.serverPassword;
  exchange.connectTimeoutMs = Limit(request.timeouts.connect);
  exchange.receiveTimeoutMs = Limit(request.timeouts.receive);
  exchange.followRedirects = request.redirects;
  exchange.cookieEngine = request.cookies;
  exchange.verifyPeer = (request.securityFlags & SECURITY_FLAG_IGNORE_UNKNOWN_CA_HTTP) == 0;
  exchange.verifyHost = (request.securityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID_HTTP) == 0;
  return exchange;
}

// Header lines of a "\r\n"-separated text; false when a non-empty line has no colon.
bool SplitHeaderLines(const std::string& text, std::vector<std::string>& lines) {
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find("\r\n", from);
    std::string line = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
    if (!line.empty()) {
      if (line.find(':') == std::string::npos) return false;
      lines.push_back(line);
    }
    if (end == std::string::npos) break;
    from = end + 2;
  }
  return true;
}

// Points one URL_COMPONENTS field at [begin, end) of the URL when the caller asked for it.
void SetComponent(const WCHAR* url, size_t begin, size_t end, WCHAR** pointer, DWORD* length) {
  if (*length == 0 || *pointer != nullptr) return;
  *pointer = const_cast<WCHAR*>(url + begin);
  *length = static_cast<DWORD>(end - begin);
}

size_t FindAny(const std::u16string& text, size_t from, const std::u16string& characters) {
  size_t found = text.find_first_of(characters, from);
  return found == std::u16string::npos ? text.size() : found;
}

bool ParsePort(const std::u16string& digits, INTERNET_PORT* port) {
  if (digits.empty() || digits.size() > 5) return false;
  long value = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + (c - u'0');
  }
  if (value > 65535) return false;
  *port = static_cast<INTERNET_PORT>(value);
  return true;
}

}  // namespace

extern "C" BOOL WinHttpCheckPlatform() {
  return TRUE;
}

extern "C" BOOL WinHttpCrackUrl(const WCHAR* url, DWORD urlLength, DWORD, URL_COMPONENTS* parts) {
  if (url == nullptr || parts == nullptr || parts->dwStructSize != sizeof(URL_COMPONENTS))
    return Fail(QB_ERROR_INVALID_PARAMETER);
  std::u16string text(url, Length(url, urlLength));
  text = text.substr(0, text.find(u'\0'));
  size_t schemeEnd = text.find(u"://");
  if (schemeEnd == std::u16string::npos) return Fail(QB_ERROR_UNRECOGNIZED_SCHEME);
  std::string scheme = Narrow(text.data(), schemeEnd, CP_UTF8);
  int schemeNumber = strcasecmp(scheme.c_str(), "http") == 0    ? static_cast<int>(INTERNET_SCHEME_HTTP)
                     : strcasecmp(scheme.c_str(), "https") == 0 ? static_cast<int>(INTERNET_SCHEME_HTTPS)
                                                                : 0;
  if (schemeNumber == 0) return Fail(QB_ERROR_UNRECOGNIZED_SCHEME);
  size_t authority = schemeEnd + 3;
  size_t authorityEnd = FindAny(text, authority, u"/?#");
  size_t at = text.rfind(u'@', authorityEnd);
  size_t hostBegin = (at != std::u16string::npos && at >= authority) ? at + 1 : authority;
  size_t colon = text.find(u':', hostBegin);
  size_t hostEnd = (colon != std::u16string::npos && colon < authorityEnd) ? colon : authorityEnd;
  INTERNET_PORT port = schemeNumber == INTERNET_SCHEME_HTTPS ? 443 : 80;
  if (hostEnd < authorityEnd && !ParsePort(text.substr(hostEnd + 1, authorityEnd - hostEnd - 1), &port))
    return Fail(QB_ERROR_INVALID_PARAMETER);
  size_t pathEnd = FindAny(text, authorityEnd, u"?#");
  parts->nScheme = schemeNumber;
  parts->nPort = port;
  SetComponent(url, 0, schemeEnd, &parts->lpszScheme, &parts->dwSchemeLength);
  SetComponent(url, hostBegin, hostEnd, &parts->lpszHostName, &parts->dwHostNameLength);
  SetComponent(url, authorityEnd, pathEnd, &parts->lpszUrlPath, &parts->dwUrlPathLength);
  SetComponent(url, pathEnd, text.size(), &parts->lpszExtraInfo, &parts->dwExtraInfoLength);
  return TRUE;
}

extern "C" HINTERNET WinHttpOpen(const WCHAR*, DWORD accessType, const WCHAR* proxyName, const WCHAR*,
                                 DWORD) {
  auto session = std::make_unique<WinHttpSession>();
  if (accessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY) {
    session->proxy = Utf8(proxyName);
    if (!IsValidProxyList(session->proxy)) return FailHandle(QB_ERROR_INVALID_PARAMETER);
  } else if (accessType != WINHTTP_ACCESS_TYPE_NO_PROXY && accessType != WINHTTP_ACCESS_TYPE_DEFAULT_PROXY) {
    return FailHandle(QB_ERROR_INVALID_PARAMETER);
  }
  return HandleRegistry::Instance().Add(std::move(session));
}

extern "C" BOOL WinHttpSetTimeouts(HINTERNET handle, int resolve, int connect, int send, int receive) {
  HandleRegistry& registry = HandleRegistry::Instance();
  Timeouts* timeouts = nullptr;
  if (auto* session = registry.Find<WinHttpSession>(handle))
    timeouts = &session->timeouts;
  else if (auto* request = registry.Find<WinHttpRequestHandle>(handle))
    timeouts = &request->timeouts;
  if (timeouts == nullptr) return Fail(QB_ERROR_INVALID_HANDLE);
  if (resolve < -1 || connect < -1 || send < -1 || receive < -1) return Fail(QB_ERROR_INVALID_PARAMETER);
  *timeouts = Timeouts{resolve, connect, send, receive};
  return TRUE;
}

extern "C" HINTERNET WinHttpConnect(HINTERNET session, const WCHAR* serverName, INTERNET_PORT port, DWORD) {
  WinHttpSession* parent = Lookup<WinHttpSession>(session);
  if (parent == nullptr) return nullptr;
  std::string host = Utf8(serverName);
  if (host.empty()) return FailHandle(QB_ERROR_INVALID_PARAMETER);
  auto connection = std::make_unique<WinHttpConnection>();
  connection->session = *parent;
  connection->host = host;
  connection->port = port;
  return HandleRegistry::Instance().Add(std::move(connection));
}

extern "C" HINTERNET WinHttpOpenRequest(HINTERNET connection, const WCHAR* verb, const WCHAR* objectName,
                                        const WCHAR*, const WCHAR* referrer, const WCHAR** acceptTypes,
                                        DWORD flags) {
  WinHttpConnection* parent = Lookup<WinHttpConnection>(connection);
  if (parent == nullptr) return nullptr;
  auto request = std::make_unique<WinHttpRequestHandle>();
  request->connection = *parent;
  request->timeouts = parent->session.timeouts;
  request->method = Utf8(verb).empty() ? "GET" : Utf8(verb);
  request->path = Utf8(objectName).empty() ? "/" : Utf8(objectName);
  if (request->path[0] != '/') request->path.insert(0, "/");
  request->secure = (flags & WINHTTP_FLAG_SECURE) != 0;
  if (referrer != nullptr)
    request->headers.push_back("Referer: " + Narrow(referrer, Length(referrer, 0), CP_GBK));
  for (const WCHAR** type = acceptTypes; type != nullptr && *type != nullptr; ++type)
    request->headers.push_back("Accept: " + Narrow(*type, Length(*type, 0), CP_GBK));
  return HandleRegistry::Instance().Add(std::move(request));
}

extern "C" BOOL WinHttpSetCredentials(HINTERNET handle, DWORD target, DWORD scheme, const WCHAR* userName,
                                      const WCHAR* password, void*) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  if (scheme != WINHTTP_AUTH_SCHEME_BASIC || userName == nullptr ||
      (target != WINHTTP_AUTH_TARGET_SERVER && target != WINHTTP_AUTH_TARGET_PROXY))
    return Fail(QB_ERROR_INVALID_PARAMETER);
  std::string user = Narrow(userName, Length(userName, 0), CP_GBK);
  std::string secret = Narrow(password, Length(password, 0), CP_GBK);
  if (target == WINHTTP_AUTH_TARGET_SERVER)
    request->serverUser = user, request->serverPassword = secret;
  else
    request->proxyUser = user, request->proxyPassword = secret;
  return TRUE;
}

extern "C" BOOL WinHttpSetOption(HINTERNET handle, DWORD option, void* buffer, DWORD length) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  if (buffer == nullptr || length != sizeof(DWORD)) return Fail(QB_ERROR_INVALID_PARAMETER);
  DWORD value;
  std::memcpy(&value, buffer, sizeof value);
  if (option == WINHTTP_OPTION_SECURITY_FLAGS) {
    request->securityFlags = value;
  } else if (option == WINHTTP_OPTION_DISABLE_FEATURE &&
             (value & ~(WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS)) == 0) {
    if (value & WINHTTP_DISABLE_COOKIES) request->cookies = false;
    if (value & WINHTTP_DISABLE_REDIRECTS) request->redirects = false;
  } else if (option != WINHTTP_OPTION_ENABLE_FEATURE || value != WINHTTP_ENABLE_SSL_REVOCATION) {
    return Fail(QB_ERROR_INVALID_OPTION);
  }
  return TRUE;
}

extern "C" BOOL WinHttpAddRequestHeaders(HINTERNET handle, const WCHAR* headers, DWORD length, DWORD) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  std::string text = Narrow(headers, Length(headers, length), CP_GBK);
  std::vector<std::string> lines;
  if (text.empty() || !SplitHeaderLines(text, lines)) return Fail(QB_ERROR_INVALID_PARAMETER);
  request->headers.insert(request->headers.end(), lines.begin(), lines.end());
  return TRUE;
}

extern "C" BOOL WinHttpSendRequest(HINTERNET handle, const WCHAR* headers, DWORD headersLength,
                                   void* optional, DWORD optionalLength, DWORD, DWORD_PTR) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  if (headers != nullptr &&
      !SplitHeaderLines(Narrow(headers, Length(headers, headersLength), CP_GBK), request->headers))
    return Fail(QB_ERROR_INVALID_PARAMETER);
  HttpExchangeResult result = CurlExchange::Perform(BuildExchange(*request, optional, optionalLength));
  request->sent = result.failure != HttpExchangeFailure::Connect;
  DWORD error = result.timedOut ? QB_ERROR_TIMEOUT : QB_ERROR_CANNOT_CONNECT;
  request->response.emplace(std::move(result));
  return request->sent ? TRUE : Fail(error);
}

extern "C" BOOL WinHttpReceiveResponse(HINTERNET handle, void*) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  if (!request->sent) return Fail(QB_ERROR_INCORRECT_HANDLE_STATE);
  const HttpExchangeResult& result = request->response->result();
  if (result.failure == HttpExchangeFailure::Response)
    return Fail(result.timedOut ? QB_ERROR_TIMEOUT : QB_ERROR_CONNECTION_ERROR);
  return TRUE;
}

extern "C" BOOL WinHttpQueryDataAvailable(HINTERNET handle, DWORD* available) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  if (!request->sent) return Fail(QB_ERROR_INCORRECT_HANDLE_STATE);
  if (available != nullptr)
    *available = static_cast<DWORD>(std::min<size_t>(request->response->available(), 8192));
  return TRUE;
}

extern "C" BOOL WinHttpReadData(HINTERNET handle, void* buffer, DWORD toRead, DWORD* read) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  if (!request->sent) return Fail(QB_ERROR_INCORRECT_HANDLE_STATE);
  if (buffer == nullptr && toRead > 0) return Fail(QB_ERROR_INVALID_PARAMETER);
  std::size_t count = 0;
  bool ok = request->response->read(buffer, toRead, &count);
  if (read != nullptr) *read = static_cast<DWORD>(count);
  return ok ? TRUE : Fail(QB_ERROR_CONNECTION_ERROR);
}

extern "C" BOOL WinHttpQueryHeaders(HINTERNET handle, DWORD infoLevel, const WCHAR* name, void* buffer,
                                    DWORD* bufferLength, DWORD* index) {
  WinHttpRequestHandle* request = Lookup<WinHttpRequestHandle>(handle);
  if (request == nullptr) return FALSE;
  if (bufferLength == nullptr || name != nullptr || index != nullptr) return Fail(QB_ERROR_INVALID_PARAMETER);
  if (!request->sent || request->response->result().rawHeaders.empty())
    return Fail(QB_ERROR_INCORRECT_HANDLE_STATE);
  if (infoLevel != WINHTTP_QUERY_RAW_HEADERS_CRLF) return Fail(QB_ERROR_HEADER_NOT_FOUND);
  std::u16string headers = Widen(request->response->result().rawHeaders, CP_GBK);
  DWORD needed = static_cast<DWORD>((headers.size() + 1) * sizeof(WCHAR));
  if (buffer == nullptr || *bufferLength < needed) {
    *bufferLength = needed;
    return Fail(QB_ERROR_INSUFFICIENT_BUFFER);
  }
  std::memcpy(buffer, headers.c_str(), needed);
  *bufferLength = needed - sizeof(WCHAR);
  return TRUE;
}

extern "C" BOOL WinHttpCloseHandle(HINTERNET handle) {
  HandleRegistry& registry = HandleRegistry::Instance();
  bool ours = registry.Find<WinHttpSession>(handle) || registry.Find<WinHttpConnection>(handle) ||
              registry.Find<WinHttpRequestHandle>(handle);
  if (!ours || !registry.Remove(handle)) return Fail(QB_ERROR_INVALID_HANDLE);
  return TRUE;
}
