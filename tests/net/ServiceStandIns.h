// Local stand-ins for the web services of the weather report: the hosts of servers on
// 127.0.0.1, answers in the encodings the services use, and the scoped host seam.
#pragma once

#include <string>

#include "net/ServiceHosts.h"
#include "platform/http/LocalHttpServer.h"

// "127.0.0.1:<port>" of a server.
std::string HostOf(const LocalHttpServer& server);
// A host on 127.0.0.1 where connections are refused.
std::string RefusingHost();
// Every service at a refusing host.
ServiceHosts RefusingHosts();

// The hosts in use for the lifetime of the object; the live ones come back afterwards.
class ScopedServiceHosts {
 public:
  explicit ScopedServiceHosts(const ServiceHosts& hosts) : hosts_(hosts) {
    SetServiceHostsForTesting(hosts_);
  }
  ~ScopedServiceHosts() { RestoreLiveServiceHosts(); }
  ScopedServiceHosts(const ScopedServiceHosts&) = delete;
  ScopedServiceHosts& operator=(const ScopedServiceHosts&) = delete;

  ServiceHosts& hosts() { return hosts_; }
  // Makes the changes to hosts() take effect.
  void apply() { SetServiceHostsForTesting(hosts_); }

 private:
  ServiceHosts hosts_;
};

// The UTF-8 form of a code-page-936 text.
std::string Utf8Of(const std::string& gbk);

// A handler answering 200 with `body` of content type `type`.
LocalHttpServer::Handler Answer(std::string body, std::string type = "text/html");

// Answers of the services as they come over the wire (texts given in code page 936):
// provider 1's script naming 广东省深圳市 for `ip`, the geolocation JSON placing 203.0.113.7 in
// `city`, and the live-weather JSON for 深圳市.
std::string CityAnswer(const std::string& ip);
std::string LocationAnswer(const std::string& city);
std::string LiveWeather(const std::string& temperature, const std::string& direction, const std::string& power);
