// A loopback file server for the engine benchmark: serves the files of one directory with byte
// ranges, reading with pread so its memory does not grow with the file. Prints its port, then
// serves until it is ended. With a rate, every answer is paced to that many bytes a second, as a
// mirror caps each connection: a token bucket without burst, refilled as time passes.
//   range_server DIRECTORY [BYTES_PER_SECOND]
#include <fcntl.h>
#include <httplib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct FileCloser {
  int fd;
  ~FileCloser() { ::close(fd); }
};

// One answer's pace: `rate` bytes a second from its first byte on, never ahead of that line.
class Pacer {
 public:
  explicit Pacer(double rate) : rate_(rate), start_(std::chrono::steady_clock::now()) {}
  // How many bytes may go now (at most `wanted`), after waiting until at least one may.
  std::size_t allow(std::size_t wanted) {
    if (rate_ <= 0) return wanted;
    for (;;) {
      const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
      const double earned = elapsed * rate_ - static_cast<double>(sent_);
      if (earned >= 1) {
        const std::size_t n = std::min(wanted, static_cast<std::size_t>(earned));
        sent_ += n;
        return n;
      }
      std::this_thread::sleep_for(
          std::chrono::microseconds(static_cast<long>(1e6 * (1 - earned) / rate_) + 100));
    }
  }

 private:
  double rate_;
  std::chrono::steady_clock::time_point start_;
  uint64_t sent_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY [BYTES_PER_SECOND]\n", argv[0]);
    return 64;
  }
  std::string root = argv[1];
  const double rate = argc > 2 ? std::strtod(argv[2], nullptr) : 0;
  httplib::Server server;
  server.new_task_queue = [] { return new httplib::ThreadPool(32); };
  server.Get(R"(/([A-Za-z0-9._-]+))",
             [&root, rate](const httplib::Request& request, httplib::Response& response) {
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
               auto pacer = std::make_shared<Pacer>(rate);
               response.set_content_provider(
                   static_cast<std::size_t>(info.st_size), "application/octet-stream",
                   [file, buffer, pacer](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                     std::size_t n = pacer->allow(std::min(length, buffer->size()));
                     ssize_t got = ::pread(file->fd, buffer->data(), n, static_cast<off_t>(offset));
                     if (got <= 0) return false;
                     sink.write(buffer->data(), static_cast<std::size_t>(got));
                     return true;
                   });
             });
  // Room for every connection a download opens at once: the library listens with a backlog of 5,
  // a full backlog drops the extra SYNs, and the kernel retries them only a second later.
  int listening = -1;
  server.set_socket_options([&listening](int fd) {
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listening = fd;
  });
  int port = server.bind_to_any_port("127.0.0.1");
  if (listening >= 0) ::listen(listening, 128);
  std::printf("%d\n", port);
  std::fflush(stdout);
  server.listen_after_bind();
  return 0;
}
