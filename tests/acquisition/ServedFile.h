// The test file server behind a narrow interface, so code-page-936 test files can use it (the
// server's own headers need the UTF-8 execution character set and are compiled apart).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class TestFileServer;

class ServedFile {
 public:
  enum class Behaviour { Normal, ShortBody, NotFound };

  explicit ServedFile(const std::string& body);
  ~ServedFile();
  ServedFile(const ServedFile&) = delete;
  ServedFile& operator=(const ServedFile&) = delete;

  std::string url() const;
  void behave(Behaviour behaviour);
  void throttle(std::size_t bytes, int pauseMilliseconds);
  static std::string RandomBody(std::size_t size);

 private:
  std::unique_ptr<TestFileServer> m_server;
};
