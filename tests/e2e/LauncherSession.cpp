#include "e2e/LauncherSession.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/CommandOutput.h"

namespace fs = std::filesystem;

namespace {
// Single-quoted for the shell, with any quote inside the text kept.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}
}  // namespace

LauncherSession::LauncherSession(Options options) : options_(std::move(options)) {
  const fs::path build = QB_RUN_DIR;
  fs::copy_file(options_.program.empty() ? build / "quillbay" : fs::path(options_.program),
                runDir_.path() / "quillbay");
  fs::copy_file(build / "libwin32.so", runDir_.path() / "libwin32.so");
  for (const char* file : {"Guide.dll", "UpDater.exe"}) {
    if (fs::exists(build / file)) fs::copy_file(build / file, runDir_.path() / file);
  }
  for (const char* folder : {"布局文件", "资源文件"}) {
    if (options_.copyResources) {
      fs::copy(build / folder, runDir_.path() / folder, fs::copy_options::recursive);
    } else {
      fs::create_directory_symlink(build / folder, runDir_.path() / folder);
    }
  }
  if (options_.withCatalogue) fs::copy_file(build / "CONFIG.db", runDir_.path() / "CONFIG.db");
  if (options_.presetToolkit) std::ofstream(workDir_.file("XCGUI.dll")) << options_.presetToolkitFile;
}

LauncherSession::~LauncherSession() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool LauncherSession::start() {
  std::string program = runDir_.file("quillbay");
  pid_ = fork();
  if (pid_ == 0) {
    if (chdir(workDir_.path().c_str()) != 0) _exit(126);
    setenv("TMPDIR", workDir_.path().c_str(), 1);  // the engine is deployed into the session's own temp
    execl(program.c_str(), "quillbay", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid_ > 0;
}

std::string LauncherSession::openMainWindow() {
  if (!start()) return "";
  std::string notice = waitForWindow("信息：");
  if (notice.empty()) return "";
  screenshot("notice");
  return pressEnterUntilWindow(notice, "办公小工具箱");
}

std::string LauncherSession::waitForWindow(const std::string& title, int timeoutMs) const {
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    std::string ids = CommandOutput("xdotool search --onlyvisible --pid " + std::to_string(pid_) + " 2>/dev/null");
    size_t start = 0;
    while (start < ids.size()) {
      size_t end = ids.find('\n', start);
      std::string id = ids.substr(start, end == std::string::npos ? std::string::npos : end - start);
      start = end == std::string::npos ? ids.size() : end + 1;
      if (CommandOutput("xprop -id " + id + " _NET_WM_NAME") == "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"") {
        usleep(400000);  // mapped is not yet drawn and listening
        return id;
      }
    }
    usleep(100000);
  }
  return "";
}

void LauncherSession::click(int x, int y) const {
  CommandOutput("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 click 1");
  usleep(300000);
}

void LauncherSession::moveTo(int x, int y) const {
  CommandOutput("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
  usleep(300000);
}

void LauncherSession::key(const std::string& name) const {
  CommandOutput("xdotool key " + name);
  usleep(200000);
}

void LauncherSession::type(const std::string& utf8) const {
  CommandOutput("xdotool type --delay 80 " + Quote(utf8));
  usleep(200000);
}

// Real key events to the focused window: an event sent to the window itself would outlive it
// (the window goes on the key press) and the release would fail.
void LauncherSession::pressEnterIn(const std::string& window) const {
  CommandOutput("timeout 10 xdotool windowfocus --sync " + window + " key Return 2>/dev/null");  // never waits for ever
  usleep(200000);
}

std::string LauncherSession::screenshot(const std::string& name) const {
  std::string path = workDir_.file(name + ".png");
  CommandOutput("import -window root " + path);
  if (const char* keep = std::getenv("QB_E2E_SCREENSHOTS")) {  // the test runner may ask to keep them
    fs::copy_file(path, fs::path(keep) / (name + ".png"), fs::copy_options::overwrite_existing);
  }
  return path;
}

// Under load a key can reach a box before it listens; it is pressed again while the next step
// has not come (about 15 seconds at most).
std::string LauncherSession::pressEnterUntilWindow(const std::string& window, const std::string& title) const {
  for (int attempt = 0; attempt < 10; ++attempt) {
    pressEnterIn(window);
    std::string next = waitForWindow(title, 1500);
    if (!next.empty()) return next;
  }
  return "";
}

int LauncherSession::pressEnterUntilExit(const std::string& window) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    pressEnterIn(window);
    int code = waitForExit(1500);
    if (code != -1 || pid_ <= 0) return code;
  }
  return -1;
}

void LauncherSession::waitUntilStill(const std::string& region) const {
  std::string previous = screenshot("still-a");
  for (int i = 0; i < 30; ++i) {
    usleep(300000);
    std::string next = screenshot(i % 2 == 0 ? "still-b" : "still-a");
    if (ScreenDifference(previous, next, region) < 0.001) return;
    previous = next;
  }
}

void LauncherSession::settleCards() const {
  moveTo(kLeft + 800, kTop + 500);
  waitUntilStill(Area(700, 300, 0, 150));
}

void LauncherSession::search(const std::string& utf8) const {
  settleCards();  // clicks during the column's animation may go nowhere; narrow, the top bar moves left
  click(kLeft + 193, kTop + 29);  // the search button opens the box
  click(kLeft + 291, kTop + 29);  // into the box
  type(utf8);
  key("Return");
  settleCards();
}

bool LauncherSession::running() const { return pid_ > 0 && kill(pid_, 0) == 0; }

int LauncherSession::waitForExit(int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 50) {
    int status = 0;
    pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    usleep(50000);
  }
  return -1;
}

std::string LauncherSession::catalogue(const std::string& sql) const {
  return CommandOutput("sqlite3 " + runDir_.file("CONFIG.db") + " " + Quote(sql));
}

// Titles are read as _NET_WM_NAME (UTF-8), which every toolkit sets; xdotool's own name search
// reads the legacy name, which not every toolkit fills with UTF-8.
std::string WaitForWindowNamed(const std::string& text, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 200) {
    std::string ids = CommandOutput("xdotool search --onlyvisible --name '' 2>/dev/null");
    for (size_t start = 0; start < ids.size();) {
      size_t end = std::min(ids.find('\n', start), ids.size());
      std::string id = ids.substr(start, end - start);
      start = end + 1;
      if (CommandOutput("xprop -id " + id + " _NET_WM_NAME 2>/dev/null").find(text) != std::string::npos) return id;
    }
    usleep(200000);
  }
  return "";
}

std::string Area(int width, int height, int x, int y) {
  return std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(kLeft + x) + "+" +
         std::to_string(kTop + y);
}

double ScreenDifference(const std::string& image, const std::string& other, const std::string& region) {
  std::string output = CommandOutput("compare -metric AE -fuzz 8% " + Quote(image + "[" + region + "]") + " " +
                                     Quote(other + "[" + region + "]") + " null: 2>&1");
  int width = 0, height = 0;
  std::sscanf(region.c_str(), "%dx%d", &width, &height);
  return width > 0 && height > 0 ? std::atof(output.c_str()) / (double(width) * height) : 0;
}
