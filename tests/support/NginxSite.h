// nginx serving a folder on 127.0.0.1, started through the project's own scripts/serve-dist.sh
// (as users serve the distribution site) on a free port, stopped when the object goes away.
#pragma once

#include <string>

#include "support/ScratchDirectory.h"

class NginxSite {
 public:
  explicit NginxSite(const std::string& root);
  ~NginxSite();
  NginxSite(const NginxSite&) = delete;
  NginxSite& operator=(const NginxSite&) = delete;

  bool started() const { return started_; }
  // "http://127.0.0.1:PORT", without a final slash.
  std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // How many requests for `path` the access log records.
  int requestsFor(const std::string& path) const;

 private:
  ScratchDirectory state_;
  std::string root_;
  int port_ = 0;
  bool started_ = false;
};
