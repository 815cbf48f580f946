// A child process known by a Windows-style program name (its argv[0]) that sleeps until ended.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

extern char** environ;

class ChildProcess {
 public:
  explicit ChildProcess(const std::string& name) {
    std::string program = "/bin/sleep";
    std::string seconds = "120";
    char* argv[] = {const_cast<char*>(name.c_str()), seconds.data(), nullptr};
    if (posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) m_pid = -1;
  }
  ~ChildProcess() {
    if (m_pid > 0 && !m_reaped) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  int pid() const { return m_pid; }
  bool running() const { return m_pid > 0 && !m_reaped && ::kill(m_pid, 0) == 0; }
  // True when the process has been ended by a signal (waits for it up to a few seconds).
  bool endedBySignal() {
    if (m_reaped) return m_signalled;
    for (int i = 0; i < 300; ++i) {
      int status = 0;
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        m_signalled = WIFSIGNALED(status);
        return m_signalled;
      }
      ::usleep(10000);
    }
    return false;
  }

 private:
  pid_t m_pid = -1;
  bool m_reaped = false;
  bool m_signalled = false;
};
