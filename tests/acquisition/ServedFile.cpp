#include "acquisition/ServedFile.h"

#include "platform/xldl/TestFileServer.h"

ServedFile::ServedFile(const std::string& body) : m_server(std::make_unique<TestFileServer>(body)) {}

ServedFile::~ServedFile() = default;

std::string ServedFile::url() const {
  return m_server->url();
}

void ServedFile::behave(Behaviour behaviour) {
  switch (behaviour) {
    case Behaviour::Normal:
      m_server->setMode(TestFileServer::Mode::Normal);
      break;
    case Behaviour::ShortBody:
      m_server->setMode(TestFileServer::Mode::ShortBody);
      break;
    case Behaviour::NotFound:
      m_server->setMode(TestFileServer::Mode::NotFound);
      break;
  }
}

void ServedFile::throttle(std::size_t bytes, int pauseMilliseconds) {
  m_server->throttle(bytes, std::chrono::milliseconds(pauseMilliseconds));
}

std::string ServedFile::RandomBody(std::size_t size) {
  return TestFileServer::RandomBody(size);
}
