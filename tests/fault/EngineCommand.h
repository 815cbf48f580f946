// The download engine as the launcher uses it, through its C interface, driven by the command-line
// tool xldl_get in a child process: so that a fault can be set on that process alone (a limit on
// the size of the files it writes) and a hang ends at a time limit instead of holding the suite.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <string>

struct EngineOutcome {
  bool timedOut = false;  // killed at the time limit
  int exitCode = -1;      // 0 complete, 2 failed; -1 when ended by a signal or the time limit
  int signal = 0;         // the signal that ended it, if one did
  std::string errors;     // what it wrote on stderr ("failed: stat=5 fail_code=... http=...")
  bool completed() const { return !timedOut && exitCode == 0; }
  bool failed() const { return !timedOut && exitCode == 2; }
};

class EngineCommand {
 public:
  // Downloads `url` into `directory`/`name`.
  EngineCommand(std::string url, std::string directory, std::string name);

  // Files the engine writes may not grow past `bytes`; writing past it fails with EFBIG (the
  // signal the kernel would send instead is ignored), as a full disk fails a write.
  void limitFileSize(rlim_t bytes) { fileSizeLimit_ = bytes; }
  EngineOutcome run(std::chrono::seconds limit) const;

 private:
  std::string url_, directory_, name_;
  rlim_t fileSizeLimit_ = RLIM_INFINITY;
};
