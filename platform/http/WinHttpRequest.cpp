#include "platform/http/WinHttpRequest.h"

#include <strings.h>

#include <algorithm>

#include "platform/http/CurlExchange.h"

bool WinHttpRequest::SetTimeouts(long resolve, long connect, long send, long receive) {
  if (resolve < -1 || connect < -1 || send < -1 || receive < -1) return false;
  resolveMs_ = resolve, connectMs_ = connect, sendMs_ = send, receiveMs_ = receive;
  return true;
}

bool WinHttpRequest::SetProxy(int setting, const std::string& proxyServer, const std::string&) {
  if (setting == ProxySettingProxy) {
    if (!IsValidProxyList(proxyServer)) return false;
    proxy_ = proxyServer;
    return true;
  }
  if (setting != ProxySettingDefault && setting != ProxySettingDirect) return false;
  proxy_.clear();
  return true;
}

bool WinHttpRequest::Open(const std::string& method, const std::string& url, bool async) {
  opened_ = false;
  requestHeaders_.clear();
  body_.clear();
  headers_.clear();
  status_ = 0;
  if (async || method.empty() ||
      (strncasecmp(url.c_str(), "http://", 7) != 0 && strncasecmp(url.c_str(), "https://", 8) != 0))
    return false;
  method_ = method;
  url_ = url;
  opened_ = true;
  return true;
}

void WinHttpRequest::SetOption(int option, long value) {
  if (option == OptionSslErrorIgnoreFlags)
    ignoreFlags_ = value;
  else if (option == OptionEnableRedirects)
    redirects_ = value;
  else
    otherOptions_.emplace_back(option, value);
}

long WinHttpRequest::Option(int option) const {
  if (option == OptionSslErrorIgnoreFlags) return ignoreFlags_;
  if (option == OptionEnableRedirects) return redirects_;
  for (auto it = otherOptions_.rbegin(); it != otherOptions_.rend(); ++it) {
    if (it->first == option) return it->second;
  }
  return 0;
}

bool WinHttpRequest::SetCredentials(const std::string& user, const std::string& password, int flags) {
  if (!opened_) return false;
  if (flags == SetCredentialsForServer)
    serverUser_ = user, serverPassword_ = password;
  else if (flags == SetCredentialsForProxy)
    proxyUser_ = user, proxyPassword_ = password;
  else
    return false;
  return true;
}

bool WinHttpRequest::SetRequestHeader(const std::string& name, const std::string& value) {
  if (!opened_ || name.empty() || name.find_first_of(":\r\n") != std::string::npos ||
      value.find_first_of("\r\n") != std::string::npos)
    return false;
  std::erase_if(requestHeaders_,
                [&](const auto& header) { return strcasecmp(header.first.c_str(), name.c_str()) == 0; });
  if (!value.empty()) requestHeaders_.emplace_back(name, value);
  return true;
}

bool WinHttpRequest::Send(const std::string& body) {
  return Perform(std::vector<std::uint8_t>(body.begin(), body.end()));
}

bool WinHttpRequest::Send(const std::vector<std::uint8_t>& body) {
  return Perform(body);
}

bool WinHttpRequest::Perform(const std::vector<std::uint8_t>& body) {
  if (!opened_) return false;
  HttpExchangeRequest exchange;
  exchange.method = method_;
  exchange.url = url_;
  for (const auto& [name, value] : requestHeaders_) exchange.headers.push_back(name + ": " + value);
  exchange.body = body;
  exchange.proxy = proxy_;
  exchange.proxyUser = proxyUser_;
  exchange.proxyPassword = proxyPassword_;
  exchange.serverUser = serverUser_;
  exchange.serverPassword = serverPassword_;
  exchange.connectTimeoutMs = std::max(connectMs_, 0L);
  exchange.receiveTimeoutMs = std::max(receiveMs_, 0L);
  exchange.followRedirects = redirects_ != 0;
  exchange.verifyPeer = (ignoreFlags_ & 0x100) == 0;
  exchange.verifyHost = (ignoreFlags_ & 0x1000) == 0;
  exchange.cookieEngine = true;
  HttpExchangeResult result = CurlExchange::Perform(exchange);
  if (result.failure != HttpExchangeFailure::None) return false;
  body_ = std::move(result.body);
  size_t statusLineEnd = result.rawHeaders.find("\r\n");
  headers_ = statusLineEnd == std::string::npos ? std::string() : result.rawHeaders.substr(statusLineEnd + 2);
  status_ = result.status;
  return true;
}
