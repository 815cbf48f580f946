#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "platform/win32/Win32.h"

namespace {

// Starts `sleep 30` under the given program name, as a Windows program would be known by.
pid_t StartNamedSleeper(const char* name) {
  pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sleep", name, "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

DWORD FindByName(const char* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, name) == 0) {
      found = entry.th32ProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  return found;
}

TEST(ProcessesTest, SnapshotListsAProcessByItsProgramName) {
  pid_t child = StartNamedSleeper("QbSnapshotProbe.exe");
  for (int i = 0; i < 200 && FindByName("qbsnapshotprobe.EXE") == 0; ++i) Sleep(5);
  EXPECT_EQ(FindByName("qbsnapshotprobe.EXE"), static_cast<DWORD>(child));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

TEST(ProcessesTest, TerminateEndsAnotherProcess) {
  pid_t child = StartNamedSleeper("sleeper");
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, static_cast<DWORD>(child));
  ASSERT_NE(process, nullptr);
  EXPECT_TRUE(TerminateProcess(process, 0));
  CloseHandle(process);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
}

TEST(ProcessesTest, OpeningAProcessThatDoesNotExistFails) {
  pid_t child = StartNamedSleeper("sleeper");
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(OpenProcess(PROCESS_ALL_ACCESS, FALSE, static_cast<DWORD>(child)), nullptr);
}

}  // namespace
