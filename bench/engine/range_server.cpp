// A loopback file server for the engine benchmark: serves the files of one directory with byte
// ranges, reading with pread so its memory does not grow with the file. Prints its port, then
// serves until it is ended.
//   range_server DIRECTORY
#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FileCloser {
  int fd;
  ~FileCloser() { ::close(fd); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 64;
  }
  std::string root = argv[1];
  httplib::Server server;
  server.new_task_queue = [] { return new httplib::ThreadPool(32); };
  server.Get(R"(/([A-Za-z0-9._-]+))", [&root](const httplib::Request& request, httplib::Response& response) {
    std::string path = root + "/" + request.matches[1].str();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
      if (fd >= 0) ::close(fd);
      response.status = 404;
      return;
    }
    // Built in place: a temporary FileCloser would close the descriptor as it dies.
    auto file = std::make_shared<FileCloser>(fd);
    auto buffer = std::make_shared<std::vector<char>>(256 * 1024);
    response.set_content_provider(
        static_cast<std::size_t>(info.st_size), "application/octet-stream",
        [file, buffer](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          std::size_t n = std::min(length, buffer->size());
          ssize_t got = ::pread(file->fd, buffer->data(), n, static_cast<off_t>(offset));
          if (got <= 0) return false;
          sink.write(buffer->data(), static_cast<std::size_t>(got));
          return true;
        });
  });
  int port = server.bind_to_any_port("127.0.0.1");
  std::printf("%d\n", port);
  std::fflush(stdout);
  server.listen_after_bind();
  return 0;
}
