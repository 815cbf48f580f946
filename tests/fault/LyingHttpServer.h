// An HTTP/1.1 file server on 127.0.0.1 written on plain sockets, so that it can break the protocol
// in ways a server library will not: announce a Content-Length other than the bytes it sends, send
// no length at all, or hang up in the middle of a body. It serves one body at any path; every
// answer closes its connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class LyingHttpServer {
 public:
  explicit LyingHttpServer(std::string body);
  ~LyingHttpServer();
  LyingHttpServer(const LyingHttpServer&) = delete;
  LyingHttpServer& operator=(const LyingHttpServer&) = delete;

  std::string url(const std::string& path = "/tool.zip") const;
  // Every answer announces `extra` bytes more than it carries (fewer when negative); 0 is honest.
  void setLengthLie(int64_t extra) { lengthLie_ = extra; }
  // No Content-Length: the body ends when the connection closes.
  void setNoLength() { noLength_ = true; }
  // Range requests get 206 with the asked slice; otherwise every answer is 200 with the whole body.
  void setRangesHonoured(bool honoured) { ranges_ = honoured; }
  // The next `count` answers hang up after `bytes` bytes of body.
  void dropNext(int count, std::size_t bytes) {
    dropAfter_ = bytes;
    drops_ = count;
  }
  int requestCount() const { return requests_; }

 private:
  void serve();
  void answer(int connection);

  std::string body_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int64_t> lengthLie_{0};
  std::atomic<bool> noLength_{false};
  std::atomic<bool> ranges_{false};
  std::atomic<int> drops_{0};
  std::atomic<std::size_t> dropAfter_{0};
  std::atomic<int> requests_{0};
  std::thread thread_;
};
