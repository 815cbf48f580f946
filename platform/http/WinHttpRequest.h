// The WinHttp request automation object: one synchronous request at a time, on libcurl.
// Texts are code page 936, as the automation layer hands them over from the program; header
// names and values are sent as those bytes. A failing member returns false and leaves the
// response members empty (status 0), the way a failed automation call leaves them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WinHttpRequest {
 public:
  enum : int {
    ProxySettingDefault = 0,
    ProxySettingDirect = 1,
    ProxySettingProxy = 2,
    SetCredentialsForServer = 0,
    SetCredentialsForProxy = 1,
    OptionSslErrorIgnoreFlags = 4,
    OptionEnableRedirects = 6,
  };

  // Milliseconds; 0 is no limit. The object starts with 0, 60000, 30000, 30000.
  bool SetTimeouts(long resolve, long connect, long send, long receive);
  // Setting 2 sends every request through `proxyServer` ("host:port"); 0 and 1 go direct.
  bool SetProxy(int setting, const std::string& proxyServer = "", const std::string& bypassList = "");
  // Only synchronous requests; an earlier response and the request headers are forgotten.
  bool Open(const std::string& method, const std::string& url, bool async = false);
  // Option 4: certificate errors to ignore (0x100 unknown authority, 0x1000 wrong name, ...);
  // option 6: whether redirects are followed (default 1). Other options are kept, unused.
  void SetOption(int option, long value);
  long Option(int option) const;
  bool SetCredentials(const std::string& user, const std::string& password, int flags);
  // Replaces an earlier header of that name; an empty value removes it. Only after Open.
  bool SetRequestHeader(const std::string& name, const std::string& value);
  bool Send(const std::string& body = "");
  bool Send(const std::vector<std::uint8_t>& body);

  const std::vector<std::uint8_t>& ResponseBody() const { return body_; }
  // The response header lines, each ending in "\r\n", without the status line.
  std::string GetAllResponseHeaders() const { return headers_; }
  long Status() const { return status_; }

 private:
  bool Perform(const std::vector<std::uint8_t>& body);

  long resolveMs_ = 0, connectMs_ = 60000, sendMs_ = 30000, receiveMs_ = 30000;
  std::string proxy_;
  std::string method_, url_;
  bool opened_ = false;
  long ignoreFlags_ = 0;
  long redirects_ = 1;
  std::vector<std::pair<int, long>> otherOptions_;
  std::string serverUser_, serverPassword_, proxyUser_, proxyPassword_;
  std::vector<std::pair<std::string, std::string>> requestHeaders_;
  std::vector<std::uint8_t> body_;
  std::string headers_;
  long status_ = 0;
};
