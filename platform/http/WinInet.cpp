#include "platform/http/WinInet.h"

#include <strings.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/http/BufferedResponse.h"

namespace {

struct InternetSession : InternetObject {
  std::string agent;
  std::string proxy;
};

struct InternetConnection : InternetObject {
  InternetSession session;
  std::string host;
  INTERNET_PORT port = 0;
};

struct InternetRequest : InternetObject {
  InternetConnection connection;
  std::string method;
  std::string path;
  DWORD flags = 0;
  DWORD securityFlags = 0;
  std::optional<BufferedResponse> response;
};

template <typename T>
T* Lookup(HINTERNET handle) {
  T* object = HandleRegistry::Instance().Find<T>(handle);
  if (object == nullptr) QbSetHttpLastError(QB_ERROR_INVALID_HANDLE);
  return object;
}

HINTERNET Fail(DWORD error) {
  QbSetHttpLastError(error);
  return nullptr;
}

std::string Text(const char* text) {
  return text ? text : "";
}

bool IsHttps(const InternetRequest& request) {
  return (request.flags & INTERNET_FLAG_SECURE) != 0;
}

std::string RequestUrl(const InternetRequest& request) {
  INTERNET_PORT port = request.connection.port;
  if (port == 0) port = IsHttps(request) ? 443 : 80;
  return std::string(IsHttps(request) ? "https://" : "http://") + request.connection.host + ":" +
         std::to_string(port) + request.path;
}

// "\r\n"-separated header lines; empty lines dropped.
void AddHeaderLines(std::vector<std::string>& lines, const std::string& headers) {
  size_t from = 0;
  while (from <= headers.size()) {
    size_t end = headers.find("\r\n", from);
    std::string line = headers.substr(from, end == std::string::npos ? std::string::npos : end - from);
    if (!line.empty()) lines.push_back(line);
    if (end == std::string::npos) break;
    from = end + 2;
  }
}

bool HasUserAgent(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (strncasecmp(line.c_str(), "User-Agent:", 11) == 0) return true;
  }
  return false;
}

HttpExchangeRequest BuildExchange(const InternetRequest& request, const std::string& headers,
                                  const void* body, DWORD bodyLength) {
  HttpExchangeRequest exchange;
  exchange.method = request.method;
  exchange.url = RequestUrl(request);
  AddHeaderLines(exchange.headers, headers);
  if (!request.connection.session.agent.empty() && !HasUserAgent(exchange.headers))
    exchange.headers.push_back("User-Agent: " + request.connection.session.agent);
  if (body != nullptr && bodyLength > 0) {
    const auto* bytes = static_cast<const std::uint8_t*>(body);
    exchange.body.assign(bytes, bytes + bodyLength);
  }
  exchange.proxy = request.connection.session.proxy;
  exchange.connectTimeoutMs = 60000;  // WinINet's own defaults
  exchange.receiveTimeoutMs = 30000;
  exchange.followRedirects = (request.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
  exchange.cookieEngine = (request.flags & INTERNET_FLAG_NO_COOKIES) == 0;
  exchange.redirectToHttps = (request.flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) != 0 ||
                             (request.securityFlags & SECURITY_FLAG_IGNORE_REDIRECT_TO_HTTPS) != 0;
  exchange.verifyPeer = (request.securityFlags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) == 0;
  exchange.verifyHost = (request.securityFlags & SECURITY_FLAG_IGNORE_CERT_CN_INVALID) == 0;
  return exchange;
}

DWORD ErrorOf(const HttpExchangeResult& result) {
  if (result.timedOut) return QB_ERROR_TIMEOUT;
  return result.failure == HttpExchangeFailure::Connect ? QB_ERROR_CANNOT_CONNECT : QB_ERROR_CONNECTION_ERROR;
}

}  // namespace

extern "C" HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char*,
                                   DWORD) {
  auto session = std::make_unique<InternetSession>();
  session->agent = Text(agent);
  if (accessType == INTERNET_OPEN_TYPE_PROXY) {
    if (!IsValidProxyList(Text(proxy))) return Fail(QB_ERROR_INVALID_PARAMETER);
    session->proxy = Text(proxy);
  } else if (accessType != INTERNET_OPEN_TYPE_DIRECT && accessType != INTERNET_OPEN_TYPE_PRECONFIG) {
    return Fail(QB_ERROR_INVALID_PARAMETER);
  }
  return HandleRegistry::Instance().Add(std::move(session));
}

extern "C" HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, INTERNET_PORT port,
                                      const char*, const char*, DWORD service, DWORD, DWORD_PTR) {
  InternetSession* session = Lookup<InternetSession>(internet);
  if (session == nullptr) return nullptr;
  if (service != INTERNET_SERVICE_HTTP || Text(serverName).empty()) return Fail(QB_ERROR_INVALID_PARAMETER);
  auto connection = std::make_unique<InternetConnection>();
  connection->session = *session;
  connection->host = serverName;
  connection->port = port;
  return HandleRegistry::Instance().Add(std::move(connection));
}

extern "C" HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                                      const char*, const char*, const char**, DWORD flags, DWORD_PTR) {
  InternetConnection* parent = Lookup<InternetConnection>(connection);
  if (parent == nullptr) return nullptr;
  auto request = std::make_unique<InternetRequest>();
  request->connection = *parent;
  request->method = Text(verb).empty() ? "GET" : verb;
  request->path = Text(objectName).empty() ? "/" : objectName;
  if (request->path[0] != '/') request->path.insert(0, "/");
  request->flags = flags;
  return HandleRegistry::Instance().Add(std::move(request));
}

extern "C" BOOL InternetSetOptionA(HINTERNET handle, DWORD option, void* buffer, DWORD length) {
  InternetRequest* request = Lookup<InternetRequest>(handle);
  if (request == nullptr) return FALSE;
  if (option != INTERNET_OPTION_SECURITY_FLAGS || buffer == nullptr || length != sizeof(DWORD)) {
    QbSetHttpLastError(QB_ERROR_INVALID_OPTION);
    return FALSE;
  }
  std::memcpy(&request->securityFlags, buffer, sizeof(DWORD));
  return TRUE;
}

extern "C" BOOL HttpSendRequestA(HINTERNET handle, const char* headers, DWORD headersLength, void* optional,
                                 DWORD optionalLength) {
  InternetRequest* request = Lookup<InternetRequest>(handle);
  if (request == nullptr) return FALSE;
  std::string headerText;
  if (headers != nullptr) {
    headerText =
        headersLength == static_cast<DWORD>(-1) ? std::string(headers) : std::string(headers, headersLength);
  }
  HttpExchangeResult result =
      CurlExchange::Perform(BuildExchange(*request, headerText, optional, optionalLength));
  bool sent = result.failure == HttpExchangeFailure::None || result.failure == HttpExchangeFailure::Body;
  if (!sent) QbSetHttpLastError(ErrorOf(result));
  request->response.emplace(std::move(result));
  return sent ? TRUE : FALSE;
}

extern "C" BOOL InternetReadFile(HINTERNET handle, void* buffer, DWORD toRead, DWORD* read) {
  InternetRequest* request = Lookup<InternetRequest>(handle);
  if (request == nullptr) return FALSE;
  if (read == nullptr || (buffer == nullptr && toRead > 0)) {
    QbSetHttpLastError(QB_ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *read = 0;
  if (!request->response) {
    QbSetHttpLastError(QB_ERROR_INCORRECT_HANDLE_STATE);
    return FALSE;
  }
  std::size_t count = 0;
  bool ok = request->response->read(buffer, toRead, &count);
  *read = static_cast<DWORD>(count);
  if (!ok) QbSetHttpLastError(QB_ERROR_CONNECTION_ERROR);
  return ok ? TRUE : FALSE;
}

extern "C" BOOL HttpQueryInfoA(HINTERNET handle, DWORD infoLevel, void* buffer, DWORD* length, DWORD*) {
  InternetRequest* request = Lookup<InternetRequest>(handle);
  if (request == nullptr) return FALSE;
  if (length == nullptr) {
    QbSetHttpLastError(QB_ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!request->response || infoLevel != HTTP_QUERY_RAW_HEADERS_CRLF ||
      request->response->result().rawHeaders.empty()) {
    QbSetHttpLastError(QB_ERROR_HEADER_NOT_FOUND);
    return FALSE;
  }
  const std::string& headers = request->response->result().rawHeaders;
  if (buffer == nullptr || *length < headers.size() + 1) {
    *length = static_cast<DWORD>(headers.size() + 1);
    QbSetHttpLastError(QB_ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, headers.c_str(), headers.size() + 1);
  *length = static_cast<DWORD>(headers.size());
  return TRUE;
}

extern "C" BOOL InternetCloseHandle(HINTERNET handle) {
  HandleRegistry& registry = HandleRegistry::Instance();
  bool ours = registry.Find<InternetSession>(handle) || registry.Find<InternetConnection>(handle) ||
              registry.Find<InternetRequest>(handle);
  if (!ours || !registry.Remove(handle)) {
    QbSetHttpLastError(QB_ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
