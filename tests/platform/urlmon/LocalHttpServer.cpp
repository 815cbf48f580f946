#include "platform/urlmon/LocalHttpServer.h"

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

struct LocalHttpServer::State {
  httplib::Server server;
  std::thread thread;
  mutable std::mutex mutex;
  std::map<std::string, int> requests;
};

LocalHttpServer::LocalHttpServer() : state_(std::make_unique<State>()) {
  state_->server.set_read_timeout(5, 0);
  state_->server.set_write_timeout(5, 0);
}

LocalHttpServer::~LocalHttpServer() {
  state_->server.stop();
  if (state_->thread.joinable()) state_->thread.join();
}

void LocalHttpServer::route(const std::string& path, std::function<LocalResponse()> handler) {
  State* state = state_.get();
  state->server.Get(path, [state, path, handler](const httplib::Request&, httplib::Response& res) {
    {
      std::lock_guard lock(state->mutex);
      ++state->requests[path];
    }
    LocalResponse answer = handler();
    res.status = answer.status;
    res.set_content(answer.body, answer.contentType.c_str());
  });
}

void LocalHttpServer::serve(const std::string& path, const std::string& body) {
  route(path, [body] { return LocalResponse{200, body}; });
}

httplib::Server& LocalHttpServer::server() {
  return state_->server;
}

void LocalHttpServer::start() {
  port_ = state_->server.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a port on 127.0.0.1");
  state_->thread = std::thread([this] { state_->server.listen_after_bind(); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!state_->server.is_running()) {
    if (std::chrono::steady_clock::now() > deadline) throw std::runtime_error("server did not start");
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

std::string LocalHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LocalHttpServer::requests(const std::string& path) const {
  std::lock_guard lock(state_->mutex);
  auto found = state_->requests.find(path);
  return found == state_->requests.end() ? 0 : found->second;
}
