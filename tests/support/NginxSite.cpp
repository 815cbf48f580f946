#include "support/NginxSite.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "support/CommandOutput.h"

namespace {

// A port nothing listens on now; nginx binds it a moment later.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

std::string Script(const std::string& root, int port, const std::string& state) {
  return "timeout 30 bash " QB_SOURCE_DIR "/scripts/serve-dist.sh --root '" + root + "' --port " +
         std::to_string(port) + " --state '" + state + "'";
}

}  // namespace

NginxSite::NginxSite(const std::string& root) : root_(root), port_(FreePort()) {
  std::string said = CommandOutput(Script(root_, port_, state_.path().string()) + " 2>&1");
  started_ = said.find("Distribution site:") != std::string::npos;
}

NginxSite::~NginxSite() {
  CommandOutput(Script(root_, port_, state_.path().string()) + " stop 2>&1");
}

int NginxSite::requestsFor(const std::string& path) const {
  std::ifstream log(state_.file("access.log"));
  std::string line;
  int count = 0;
  while (std::getline(log, line)) {
    if (line.find("\"GET " + path + " ") != std::string::npos) ++count;
  }
  return count;
}
