#include "fault/LyingHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

// The request head, read until its blank line (a few seconds and 16 KiB at most).
std::string ReadRequestHead(int connection) {
  std::string head;
  char buffer[2048];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16 * 1024) {
    ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  return head;
}

// "Range: bytes=A-" or "Range: bytes=A-B"; false when the request has none.
bool RequestedRange(const std::string& head, long long& first, long long& last) {
  for (std::size_t at = head.find('\n'); at != std::string::npos; at = head.find('\n', at + 1)) {
    const char* line = head.c_str() + at + 1;
    if (strncasecmp(line, "Range: bytes=", 13) != 0) continue;
    last = -1;
    return std::sscanf(line + 13, "%lld-%lld", &first, &last) >= 1;
  }
  return false;
}

bool SendAll(int connection, const char* data, std::size_t length) {
  while (length > 0) {
    ssize_t n = ::send(connection, data, length, MSG_NOSIGNAL);
    if (n <= 0) return false;  // the client hung up or stopped reading
    data += n;
    length -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

LyingHttpServer::LyingHttpServer(std::string body) : body_(std::move(body)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    if (listener_ >= 0) ::close(listener_);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

LyingHttpServer::~LyingHttpServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
}

std::string LyingHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LyingHttpServer::serve() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 100) <= 0) continue;
    int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    // A client that neither reads nor hangs up must not hold the server for long.
    timeval limit{3, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    answer(connection);
    ::close(connection);
  }
}

void LyingHttpServer::answer(int connection) {
  std::string head = ReadRequestHead(connection);
  if (head.empty()) return;
  ++requests_;
  long long size = static_cast<long long>(body_.size());
  long long first = 0, last = size - 1;
  bool partial = ranges_ && RequestedRange(head, first, last) && first < size;
  if (!partial) first = 0;
  if (!partial || last < 0 || last >= size) last = size - 1;
  std::size_t length = static_cast<std::size_t>(last - first + 1);

  std::string reply = partial ? "HTTP/1.1 206 Partial Content\r\n" : "HTTP/1.1 200 OK\r\n";
  reply += "Content-Type: application/zip\r\nConnection: close\r\n";
  if (partial)
    reply += "Content-Range: bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" +
             std::to_string(size) + "\r\n";
  if (!noLength_)
    reply += "Content-Length: " + std::to_string(static_cast<long long>(length) + lengthLie_) + "\r\n";
  reply += "\r\n";
  if (!SendAll(connection, reply.data(), reply.size())) return;

  std::size_t limit = length;
  if (drops_ > 0) {  // only this thread counts them down
    --drops_;
    limit = std::min(limit, dropAfter_.load());
  }
  for (std::size_t sent = 0; sent < limit;) {
    std::size_t n = std::min<std::size_t>(64 * 1024, limit - sent);
    if (!SendAll(connection, body_.data() + first + sent, n)) return;
    sent += n;
  }
}
