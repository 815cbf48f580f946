#include "platform/xldl/ResumeState.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace xldl {
namespace {

// Version 2 adds the validators; a version 1 file still resumes, without them.
constexpr const char* kMagic = "qb-xldl-state 2";
constexpr const char* kMagicWithoutValidators = "qb-xldl-state 1";

bool WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

void SyncDirectoryOf(const std::string& path) {
  std::string dir = path.substr(0, path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/'));
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<ResumeState> ResumeState::load(const std::string& path) {
  std::ifstream in(path);
  std::string magic;
  if (!std::getline(in, magic) || (magic != kMagic && magic != kMagicWithoutValidators)) return std::nullopt;
  ResumeState state;
  std::size_t count = 0;
  if (!std::getline(in, state.url)) return std::nullopt;
  if (magic == kMagic && (!std::getline(in, state.etag) || !std::getline(in, state.lastModified)))
    return std::nullopt;
  if (!(in >> state.totalSize >> count) || state.totalSize <= 0 ||
      count == 0 || count > 1024)
    return std::nullopt;
  int64_t expectedBegin = 0;
  for (std::size_t i = 0; i < count; ++i) {
    Segment s;
    if (!(in >> s.begin >> s.end >> s.cursor)) return std::nullopt;
    // Segments must tile the file in order, each cursor inside its segment.
    if (s.begin != expectedBegin || s.end <= s.begin || s.cursor < s.begin || s.cursor > s.end)
      return std::nullopt;
    expectedBegin = s.end;
    state.segments.push_back(s);
  }
  if (expectedBegin != state.totalSize) return std::nullopt;
  return state;
}

bool ResumeState::save(const std::string& path) const {
  std::ostringstream out;
  out << kMagic << '\n' << url << '\n' << etag << '\n' << lastModified << '\n' << totalSize << ' ' << segments.size()
      << '\n';
  for (const Segment& s : segments) out << s.begin << ' ' << s.end << ' ' << s.cursor << '\n';
  std::string temporary = path + ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, out.str()) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncDirectoryOf(path);
  return true;
}

}  // namespace xldl
