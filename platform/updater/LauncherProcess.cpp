#include "platform/updater/LauncherProcess.h"

#include <spawn.h>
#include <unistd.h>

#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {
constexpr const char* kLauncherName = "quillbay";
constexpr auto kPollInterval = std::chrono::milliseconds(100);

class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
 public:
  SpawnAttributes() { posix_spawnattr_init(&attributes_); }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  posix_spawnattr_t* get() { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};
}  // namespace

LauncherProcess::LauncherProcess(fs::path runDirectory)
    : runDirectory_(std::move(runDirectory)), executable_(runDirectory_ / kLauncherName) {}

bool LauncherProcess::isRunning() const {
  std::error_code error;
  const fs::path wanted = fs::canonical(executable_, error);
  if (error) return false;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code linkError;
    const fs::path exe = fs::read_symlink(entry.path() / "exe", linkError);
    if (!linkError && exe == wanted) return true;
  }
  return false;
}

bool LauncherProcess::waitForExit(std::chrono::milliseconds limit) const {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (isRunning()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

bool LauncherProcess::start(std::string* error) const {
  if (access(executable_.c_str(), X_OK) != 0) {
    *error = executable_.string() + ": " + std::strerror(errno);
    return false;
  }
  SpawnActions actions;
  posix_spawn_file_actions_addchdir_np(actions.get(), runDirectory_.c_str());
  SpawnAttributes attributes;
  posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSID);
  std::string program = executable_.string();
  std::vector<char*> argv{program.data(), nullptr};
  pid_t child = 0;
  const int rc = posix_spawn(&child, program.c_str(), actions.get(), attributes.get(), argv.data(), environ);
  if (rc != 0) {
    *error = program + ": " + std::strerror(rc);
    return false;
  }
  return true;
}
