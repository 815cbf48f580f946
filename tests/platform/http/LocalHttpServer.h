// Servers on 127.0.0.1 for the network tests: an HTTP or HTTPS server (certificate made at run
// time) that records every request it receives, a recording forward proxy, a listener that
// accepts and hangs up, and a port where nothing listens.
#pragma once

#include <httplib.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct RecordedRequest {
  std::string method;
  std::string target;  // as sent in the request line (absolute for requests through a proxy)
  std::string version;
  httplib::Headers headers;
  std::string body;

  std::string requestLine() const { return method + " " + target + " " + version; }
  std::string header(const std::string& name) const;  // "" when absent
  size_t headerCount(const std::string& name) const;
};

class LocalHttpServer {
 public:
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

  // Answers every request (any method, any path) with `handler`; the default answers 200 "ok".
  explicit LocalHttpServer(bool https = false, Handler handler = nullptr);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>" followed by `path`.
  std::string url(const std::string& path = "/") const;
  std::vector<RecordedRequest> requests() const;
  RecordedRequest lastRequest() const;

 private:
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  bool https_;
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

// A forward proxy for plain http: records each request and passes it on to its target.
class RecordingProxy {
 public:
  RecordingProxy();
  std::string address() const;  // "127.0.0.1:<port>"
  std::vector<RecordedRequest> requests() const { return server_.requests(); }

 private:
  LocalHttpServer server_;
};

// Accepts connections, reads the request and closes without answering.
class HangUpServer {
 public:
  HangUpServer();
  ~HangUpServer();
  int port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens, so connections are refused.
int RefusingPort();
