// An HTTP server on 127.0.0.1 for one test: add routes, then start(). It stops when the object
// goes away. Every socket operation is bounded, so a stuck client fails a test instead of
// hanging it. The header stays free of the server library, so code-page-936 tests can use it.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

struct LocalResponse {
  int status = 200;
  std::string body;
  std::string contentType = "application/octet-stream";
};

class LocalHttpServer {
 public:
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  // Answers GET `path` with what `handler` returns; counted in requests(path).
  void route(const std::string& path, std::function<LocalResponse()> handler);
  // Answers GET `path` with `body` and status 200.
  void serve(const std::string& path, const std::string& body);
  // Routes may also be added on the server itself, before start().
  httplib::Server& server();

  void start();
  int port() const { return port_; }
  std::string url(const std::string& path) const;
  int requests(const std::string& path) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  int port_ = 0;
};
