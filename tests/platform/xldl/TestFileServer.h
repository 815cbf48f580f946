// A file server on 127.0.0.1 for download tests, with switchable misbehaviour. It serves one body
// at /file.zip with an ETag naming its version (and honours If-Range as a web server does),
// redirects /redirect there and /loop to itself, and records every Range header.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

class TestFileServer {
 public:
  enum class Mode {
    Normal,        // honours ranges
    IgnoreRanges,  // always the whole body with 200
    ShortBody,     // announces the whole length, sends half, closes; ignores ranges
    NotFound,      // 404 with an HTML page
    RangeRefused,  // 416
    ServerError,   // 500 with an HTML page
    HtmlPage,      // 200 with an HTML page, as a login or "not found" page may come
  };

  explicit TestFileServer(std::string body) : m_body(std::make_shared<const std::string>(std::move(body))) {
    m_server.Get("/file.zip", [this](const httplib::Request& request, httplib::Response& response) {
      serve(request, response);
    });
    m_server.Get("/redirect", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/file.zip");
    });
    m_server.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/loop");
    });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ~TestFileServer() {
    m_server.stop();
    m_thread.join();
  }

  static std::string RandomBody(std::size_t size, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::string body(size, '\0');
    for (char& c : body) c = static_cast<char>(random());
    return body;
  }

  std::string url(const std::string& path = "/file.zip") const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
  }
  void setMode(Mode mode) { m_mode = mode; }
  // Serves `body` from now on: a new version (new ETag), or with validators turned off, as a
  // server that sends none.
  void replaceBody(std::string body, bool withValidators = true) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_body = std::make_shared<const std::string>(std::move(body));
    ++m_version;
    m_validators = withValidators;
  }
  // The next `count` answers close the connection after `bytes` bytes of body.
  void dropNext(int count, std::size_t bytes = 64 * 1024) {
    m_drops = count;
    m_dropAfter = bytes;
  }
  // Pace every answer: `bytes` per chunk, a pause of `pause` between chunks.
  void throttle(std::size_t bytes, std::chrono::milliseconds pause) {
    m_chunk = bytes;
    m_pauseMs = static_cast<int>(pause.count());
  }
  std::vector<std::string> rangesSeen() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_ranges;
  }
  int requestCount() const { return m_requests; }

 private:
  void serve(const httplib::Request& request, httplib::Response& response) {
    ++m_requests;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      m_ranges.push_back(request.get_header_value("Range"));
    }
    Mode mode = m_mode;
    if (mode == Mode::HtmlPage) {
      response.set_content("<html><body>please log in</body></html>", "text/html");
      return;
    }
    std::string etag;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      if (m_validators) etag = "\"v" + std::to_string(m_version) + "\"";
    }
    if (!etag.empty()) {
      response.set_header("ETag", etag);
      // A range of another version than the client holds is never sent: the whole file is.
      if (request.has_header("If-Range") && request.get_header_value("If-Range") != etag)
        const_cast<httplib::Request&>(request).ranges.clear();
    }
    if (mode == Mode::NotFound || mode == Mode::ServerError || mode == Mode::RangeRefused) {
      response.status = mode == Mode::NotFound ? 404 : mode == Mode::ServerError ? 500 : 416;
      response.set_content("<html><body>error page</body></html>", "text/html");
      return;
    }
    std::shared_ptr<const std::string> body;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      body = m_body;  // the version this answer serves, whatever replaces it meanwhile
    }
    // A range that starts past the end cannot be served (the file shrank), as web servers say.
    if (!request.ranges.empty() && request.ranges[0].first >= static_cast<ssize_t>(body->size())) {
      response.status = 416;
      return;
    }
    std::size_t limit = body->size();
    if (mode == Mode::IgnoreRanges || mode == Mode::ShortBody) {
      // The handler answers the whole body itself; the library must not cut it to the range.
      const_cast<httplib::Request&>(request).ranges.clear();
      if (mode == Mode::ShortBody) limit = body->size() / 2;
    }
    if (m_drops > 0) {
      --m_drops;
      limit = m_dropAfter;
    }
    auto sent = std::make_shared<std::size_t>(0);
    std::size_t chunk = m_chunk;
    int pauseMs = m_pauseMs;
    response.set_content_provider(
        body->size(), "application/zip",
        [body, sent, limit, chunk, pauseMs](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          if (*sent >= limit) return false;  // closes the connection mid-body
          std::size_t n = std::min({length, chunk, limit - *sent});
          if (pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
          sink.write(body->data() + offset, n);
          *sent += n;
          return true;
        });
  }

  std::shared_ptr<const std::string> m_body;  // guarded by m_lock
  int m_version = 1;
  bool m_validators = true;
  httplib::Server m_server;
  int m_port = 0;
  std::thread m_thread;
  std::atomic<Mode> m_mode{Mode::Normal};
  std::atomic<int> m_drops{0};
  std::atomic<std::size_t> m_dropAfter{0};
  std::atomic<std::size_t> m_chunk{64 * 1024};
  std::atomic<int> m_pauseMs{0};
  std::atomic<int> m_requests{0};
  mutable std::mutex m_lock;
  std::vector<std::string> m_ranges;
};
