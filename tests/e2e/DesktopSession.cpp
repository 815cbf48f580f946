#include "e2e/DesktopSession.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/CommandOutput.h"

DesktopSession::DesktopSession(Options options) {
  if (const char* display = std::getenv("DISPLAY")) hadDisplay_ = true, previousDisplay_ = display;
  if (!startServer(options)) return;
  if (options.xftDpi > 0) {
    CommandOutput("xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER 'Xft.dpi:\t" +
                  std::to_string(options.xftDpi) + "\n'");
  }
  spawn({"openbox"});
  bool managed = false;
  for (int i = 0; i < 300 && !managed; ++i) {
    managed = CommandOutput("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos;
    if (!managed) usleep(50000);
  }
  if (!managed) return;
  if (options.compositor) {
    pid_t compositor = spawn({"xcompmgr"});
    usleep(300000);
    if (waitpid(compositor, nullptr, WNOHANG) != 0) return;  // it ended: no composite extension
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

pid_t DesktopSession::spawn(const std::vector<std::string>& command) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    if (FILE* quiet = std::freopen("/dev/null", "w", stderr)) (void)quiet;
    execvp(argv[0], argv.data());
    _exit(127);
  }
  if (pid > 0) children_.push_back(pid);
  return pid;
}

// The server picks a free display number and writes it to a pipe (-displayfd) once it listens.
bool DesktopSession::startServer(const Options& options) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const std::string screen = std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
  pid_t server = fork();
  if (server == 0) {
    close(fds[0]);
    if (FILE* quiet = std::freopen("/dev/null", "w", stderr)) (void)quiet;
    const std::string fd = std::to_string(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp", "-noreset",
           "+extension", "Composite", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (server < 0) return close(fds[0]), false;
  children_.push_back(server);
  char number[16] = {};
  ssize_t got = read(fds[0], number, sizeof number - 1);  // ends when the server is up or gone
  close(fds[0]);
  if (got <= 0) return false;
  setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
  return true;
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
