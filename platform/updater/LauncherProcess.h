// The launcher beside the updater: the executable "quillbay" in the run directory.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

class LauncherProcess {
 public:
  explicit LauncherProcess(std::filesystem::path runDirectory);

  const std::filesystem::path& executable() const { return executable_; }
  // True once no process runs this executable (a finished process that is not yet reaped counts
  // as gone); false when one still runs after `limit`.
  bool waitForExit(std::chrono::milliseconds limit) const;
  // Starts the launcher in its run directory, in a session of its own, without waiting for it.
  // False with `error` set when it cannot be started.
  bool start(std::string* error) const;

 private:
  bool isRunning() const;

  std::filesystem::path runDirectory_;
  std::filesystem::path executable_;
};
