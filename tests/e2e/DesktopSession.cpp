#include "e2e/DesktopSession.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "support/CommandOutput.h"

DesktopSession::DesktopSession(Options options) {
  if (const char* display = std::getenv("DISPLAY")) hadDisplay_ = true, previousDisplay_ = display;
  if (!startServer(options)) {
    failure_ = "no Xvfb came up";
    return;
  }
  if (options.xftDpi > 0) {
    CommandOutput("xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER 'Xft.dpi:\t" +
                  std::to_string(options.xftDpi) + "\n'");
  }
  const std::string log = "/tmp/qb-desktop-openbox-" + std::to_string(getpid()) + ".log";
  pid_t manager = spawn({"openbox"}, log);
  bool managed = false;
  for (int i = 0; i < 300 && !managed; ++i) {
    managed = CommandOutput("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") !=
              std::string::npos;
    if (!managed) usleep(50000);
  }
  if (!managed) {
    int status = 0;
    failure_ =
        waitpid(manager, &status, WNOHANG) == manager
            ? "openbox ended with status " + std::to_string(status) + ": " + CommandOutput("cat " + log)
            : "openbox did not take the display " + std::string(std::getenv("DISPLAY"));
    return;
  }
  unlink(log.c_str());
  if (options.compositor) {
    pid_t compositor = spawn({"xcompmgr"});
    usleep(300000);
    if (waitpid(compositor, nullptr, WNOHANG) != 0) {
      failure_ = "xcompmgr ended (no composite extension?)";
      return;
    }
  }
  ready_ = true;
}

DesktopSession::~DesktopSession() {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    kill(*it, SIGTERM);
    waitpid(*it, nullptr, 0);
  }
  if (hadDisplay_)
    setenv("DISPLAY", previousDisplay_.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

pid_t DesktopSession::spawn(const std::vector<std::string>& command, const std::string& log) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    if (FILE* quiet = std::freopen(log.c_str(), "w", stderr)) (void)quiet;
    dup2(fileno(stderr), STDOUT_FILENO);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  if (pid > 0) children_.push_back(pid);
  return pid;
}

// A display number no server holds (no lock file), tried from one the process id picks, so
// tests running side by side do not meet; then the server is given a few seconds to answer.
bool DesktopSession::startServer(const Options& options) {
  const std::string screen = std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
  for (int attempt = 0; attempt < 20; ++attempt) {
    const int number = 100 + (getpid() + attempt) % 800;
    if (access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0) continue;
    const std::string display = ":" + std::to_string(number);
    pid_t server = spawn({"Xvfb", display, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"});
    if (server <= 0) return false;
    setenv("DISPLAY", display.c_str(), 1);
    for (int i = 0; i < 100; ++i) {
      if (waitpid(server, nullptr, WNOHANG) == server) break;  // lost the number to another server
      if (CommandOutput("xprop -root _XKB_RULES_NAMES >/dev/null 2>&1 && echo up") == "up") return true;
      usleep(50000);
    }
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    children_.erase(std::find(children_.begin(), children_.end(), server));
  }
  return false;
}

WindowGeometry GeometryOf(const std::string& window) {
  WindowGeometry g;
  std::string shell = CommandOutput("xdotool getwindowgeometry --shell " + window + " 2>/dev/null");
  auto value = [&](const std::string& name) {
    size_t at = shell.find(name + "=");
    return at == std::string::npos ? -1 : std::atoi(shell.c_str() + at + name.size() + 1);
  };
  g.x = value("X"), g.y = value("Y"), g.width = value("WIDTH"), g.height = value("HEIGHT");
  return g;
}
