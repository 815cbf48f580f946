// Process snapshots and termination over /proc.
#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/KernelObject.h"

namespace {

class ProcessSnapshot final : public KernelObject {
 public:
  std::vector<PROCESSENTRY32> entries;
  size_t next = 0;
};

class ProcessObject final : public KernelObject {
 public:
  explicit ProcessObject(pid_t pid) : pid(pid) {}
  pid_t pid;
};

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The executable file name a process is known by: the last path segment of its argv[0], which
// is what a program started under a Windows-style name shows; the kernel's short name otherwise.
std::string ExecutableName(const std::string& pidDir) {
  std::string cmdline = ReadFileText(pidDir + "/cmdline");
  std::string argv0 = cmdline.substr(0, cmdline.find('\0'));
  if (!argv0.empty()) {
    size_t slash = argv0.find_last_of('/');
    return slash == std::string::npos ? argv0 : argv0.substr(slash + 1);
  }
  std::string comm = ReadFileText(pidDir + "/comm");
  while (!comm.empty() && comm.back() == '\n') comm.pop_back();
  return comm;
}

DWORD ParentOf(const std::string& pidDir) {
  std::string stat = ReadFileText(pidDir + "/stat");
  size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  char state = 0;
  int parent = 0;
  std::sscanf(stat.c_str() + close + 1, " %c %d", &state, &parent);
  return static_cast<DWORD>(parent);
}

bool FillEntry(ProcessSnapshot* snapshot, PROCESSENTRY32* entry) {
  if (snapshot == nullptr || entry == nullptr || snapshot->next >= snapshot->entries.size()) return false;
  *entry = snapshot->entries[snapshot->next++];
  return true;
}

}  // namespace

extern "C" HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD) {
  if ((flags & TH32CS_SNAPPROCESS) == 0) return INVALID_HANDLE_VALUE;
  auto snapshot = std::make_unique<ProcessSnapshot>();
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return INVALID_HANDLE_VALUE;
  while (dirent* item = readdir(proc)) {
    char* end = nullptr;
    long pid = std::strtol(item->d_name, &end, 10);
    if (pid <= 0 || *end != '\0') continue;
    std::string dir = std::string("/proc/") + item->d_name;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    entry.th32ProcessID = static_cast<DWORD>(pid);
    entry.th32ParentProcessID = ParentOf(dir);
    std::string name = ExecutableName(dir);
    if (name.empty()) continue;  // ended while we looked
    std::strncpy(entry.szExeFile, name.c_str(), MAX_PATH - 1);
    snapshot->entries.push_back(entry);
  }
  closedir(proc);
  return RegisterHandle(std::move(snapshot));
}

extern "C" BOOL Process32First(HANDLE snapshot, PROCESSENTRY32* entry) {
  auto* object = LookupHandleAs<ProcessSnapshot>(snapshot);
  if (object == nullptr) return FALSE;
  object->next = 0;
  return FillEntry(object, entry);
}

extern "C" BOOL Process32Next(HANDLE snapshot, PROCESSENTRY32* entry) {
  return FillEntry(LookupHandleAs<ProcessSnapshot>(snapshot), entry);
}

extern "C" HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
  pid_t pid = static_cast<pid_t>(processId);
  if (pid <= 0 || kill(pid, 0) != 0) return nullptr;
  return RegisterHandle(std::make_unique<ProcessObject>(pid));
}

extern "C" BOOL TerminateProcess(HANDLE process, UINT exitCode) {
  auto* object = LookupHandleAs<ProcessObject>(process);
  if (object == nullptr) return FALSE;
  if (object->pid == getpid()) _exit(static_cast<int>(exitCode));
  // Another process cannot be given an exit code here; it ends at once all the same.
  return kill(object->pid, SIGKILL) == 0 ? TRUE : FALSE;
}
