// The launcher as the end-to-end tests run it: the same program, with the web services it calls
// read from service-hosts.txt beside the executable, one "name host" pair per line (ipecho1 to
// ipecho7, ipechofallback, geolocation, weather; unnamed services keep their live hosts), and
// the update manifest's URL from the line "manifest URL". The shipped launcher has no such file
// and reads none.
#include <unistd.h>

#include <fstream>
#include <map>
#include <string>

#include "acquisition/UpdateCheck.h"
#include "net/ServiceHosts.h"
#include "shell/startup/Launcher.h"

namespace {

std::string ExecutableDirectory() {
  char path[4096] = {};
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string file(path, length > 0 ? static_cast<size_t>(length) : 0);
  return file.substr(0, file.rfind('/'));
}

ServiceHosts ReadHosts(const std::string& file) {
  ServiceHosts hosts = LiveServiceHosts();
  std::map<std::string, AnsiText*> slots = {
      {"ipechofallback", &hosts.ipEchoFallback}, {"geolocation", &hosts.geolocation}, {"weather", &hosts.weather}};
  for (size_t k = 0; k < hosts.ipEcho.size(); ++k) slots["ipecho" + std::to_string(k + 1)] = &hosts.ipEcho[k];
  std::ifstream in(file);
  std::string name, host;
  while (in >> name >> host) {
    if (auto slot = slots.find(name); slot != slots.end()) *slot->second = host;
    if (name == "manifest") SetManifestUrlForTesting(host);
  }
  return hosts;
}

}  // namespace

int main() {
  // This build is no file of the site's manifest: without a "manifest" line its check goes to a
  // closed port, so a site served on this machine cannot take it for a launcher to update.
  SetManifestUrlForTesting("http://127.0.0.1:1/quillbay_resalse/updata.html");
  SetServiceHostsForTesting(ReadHosts(ExecutableDirectory() + "/service-hosts.txt"));
  return RunLauncher();
}
