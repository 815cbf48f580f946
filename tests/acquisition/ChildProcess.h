// A child process known by a Windows-style program name (its argv[0]) that sleeps until ended.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

extern char** environ;

class ChildProcess {
 public:
  explicit ChildProcess(const std::string& name) {
    std::string program = "/bin/sleep";
    std::string seconds = "120";
    char* argv[] = {const_cast<char*>(name.c_str()), seconds.data(), nullptr};
    if (posix_spawn(&m_pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) m_pid = -1;
    waitUntilKnownAs(name);
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
  // The spawning parent may run on before the kernel has put the new argv in place; wait (about
  // two seconds at most) until the process is known by its name.
  void waitUntilKnownAs(const std::string& name) const {
    std::string path = "/proc/" + std::to_string(m_pid) + "/cmdline";
    for (int i = 0; m_pid > 0 && i < 200; ++i) {
      std::ifstream in(path, std::ios::binary);
      std::string argv0;
      std::getline(in, argv0, '\0');
      if (argv0 == name) return;
      ::usleep(10000);
    }
  }

  pid_t m_pid = -1;
  bool m_reaped = false;
  bool m_signalled = false;
};
