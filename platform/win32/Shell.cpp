// Starting a program the way the shell's "open" verb does.
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/win32/Win32.h"

extern char** environ;

namespace {

bool IsExecutable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string ModuleDirectory() {
  char buffer[4096] = {};
  DWORD length = GetModuleDirectoryA(buffer, sizeof buffer);
  return QbNativePath(std::string(buffer, length < sizeof buffer ? length : 0).c_str());
}

// Where a bare name is found: the current directory, then beside the executable; a path with a
// separator is taken as it is; otherwise the name is left to the PATH search.
std::string Locate(const std::string& file, bool* searchPath) {
  *searchPath = false;
  if (file.find('/') != std::string::npos) return file;
  if (IsExecutable("./" + file)) return "./" + file;
  std::string beside = ModuleDirectory() + "/" + file;
  if (IsExecutable(beside)) return beside;
  *searchPath = true;
  return file;
}

}  // namespace

extern "C" intptr_t ShellExecuteA(HWND, const char* verb, const char* file, const char* parameters,
                                  const char* directory, int) {
  constexpr intptr_t kFileNotFound = 2;
  constexpr intptr_t kStarted = 42;
  if (file == nullptr || (verb != nullptr && std::string(verb) != "open")) return kFileNotFound;
  bool searchPath = false;
  std::string program = Locate(QbNativePath(file), &searchPath);
  std::vector<std::string> arguments{program};
  // A shell script that is not marked executable opens with the shell, as its file type says.
  if (!searchPath && !IsExecutable(program) && program.size() > 3 && program.ends_with(".sh") &&
      access(program.c_str(), R_OK) == 0) {
    arguments.insert(arguments.begin(), "/bin/sh");
    program = "/bin/sh";
  }
  if (parameters != nullptr && *parameters != '\0') arguments.emplace_back(parameters);
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  std::string workingDirectory = directory ? QbNativePath(directory) : std::string();
  if (!workingDirectory.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  pid_t child = 0;
  int rc = searchPath ? posix_spawnp(&child, program.c_str(), &actions, nullptr, argv.data(), environ)
                      : posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? kStarted : kFileNotFound;
}
