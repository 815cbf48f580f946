#include "fault/StderrToFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

StderrToFile::StderrToFile(std::string path) {
  int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (file < 0) return;
  saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  ::dup2(file, STDERR_FILENO);  // dup2 clears close-on-exec on the copy, so children inherit it
  ::close(file);
}

StderrToFile::~StderrToFile() {
  if (saved_ < 0) return;
  ::dup2(saved_, STDERR_FILENO);
  ::close(saved_);
}

std::string StderrToFile::Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
