#include "fault/EngineCommand.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

EngineCommand::EngineCommand(std::string url, std::string directory, std::string name)
    : url_(std::move(url)), directory_(std::move(directory)), name_(std::move(name)) {}

EngineOutcome EngineCommand::run(std::chrono::seconds limit) const {
  // Beside, not inside, the download directory, which may be the full one.
  std::string errorsFile = (std::filesystem::temp_directory_path() / "qb-fault-XXXXXX").string();
  int errorsFd = ::mkstemp(errorsFile.data());
  if (errorsFd < 0) return EngineOutcome{};
  pid_t child = ::fork();
  if (child == 0) {
    ::dup2(errorsFd, STDERR_FILENO);
    ::signal(SIGXFSZ, SIG_IGN);  // kept across exec, so an oversized write fails instead
    rlimit size{fileSizeLimit_, fileSizeLimit_};
    ::setrlimit(RLIMIT_FSIZE, &size);
    ::execl(XLDL_GET_PATH, "xldl_get", url_.c_str(), directory_.c_str(), name_.c_str(), "--quiet",
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(errorsFd);
  EngineOutcome outcome;
  if (child < 0) {
    ::unlink(errorsFile.c_str());
    return outcome;
  }
  auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (::waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      outcome.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!outcome.timedOut && WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
  if (!outcome.timedOut && WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  std::ifstream in(errorsFile);
  outcome.errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  ::unlink(errorsFile.c_str());
  return outcome;
}
