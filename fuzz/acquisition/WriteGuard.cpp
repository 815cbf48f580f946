#include "WriteGuard.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// The canonical allowed directory while a guard lives, empty otherwise.
std::string& Allowed() {
  static std::string directory;
  return directory;
}

std::string Canonical(const std::string& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// Where a change to `path` lands: the file itself when it resolves (a link is followed, as open
// follows it), else the resolved folder plus the last name. Empty when the folder does not
// exist, so the call cannot change anything.
std::string Landing(const char* path) {
  std::string whole = path;
  if (!whole.empty() && whole[0] != '/') {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return {};
    whole = std::string(cwd) + "/" + whole;
  }
  if (std::string resolved = Canonical(whole); !resolved.empty()) return resolved;
  while (whole.size() > 1 && whole.back() == '/') whole.pop_back();
  std::size_t slash = whole.find_last_of('/');
  std::string name = whole.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return {};
  std::string folder = Canonical(slash == 0 ? "/" : whole.substr(0, slash));
  return folder.empty() ? std::string() : (folder == "/" ? "" : folder) + "/" + name;
}

void Check(const char* call, const char* path) {
  const std::string& allowed = Allowed();
  if (allowed.empty() || path == nullptr) return;
  std::string landing = Landing(path);
  if (landing.empty() || landing == allowed || landing.rfind(allowed + "/", 0) == 0) return;
  std::fprintf(stderr, "write guard: %s(\"%s\") changes %s, outside %s\n", call, path, landing.c_str(),
               allowed.c_str());
  std::abort();
}

template <class Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

bool Writes(int flags) {
  return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0;
}

mode_t ModeArgument(int flags, va_list arguments) {
  return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

}  // namespace

WriteGuard::WriteGuard(const std::string& allowedDirectory) {
  Allowed() = Canonical(allowedDirectory);
  if (Allowed().empty()) {
    std::fprintf(stderr, "write guard: no directory %s\n", allowedDirectory.c_str());
    std::abort();
  }
}

WriteGuard::~WriteGuard() {
  Allowed().clear();
}

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (Writes(flags)) Check("open", path);
  static auto next = Next<int (*)(const char*, int, ...)>("open");
  return next(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (Writes(flags)) Check("open64", path);
  static auto next = Next<int (*)(const char*, int, ...)>("open64");
  return next(path, flags, mode);
}

int creat(const char* path, mode_t mode) {
  Check("creat", path);
  static auto next = Next<int (*)(const char*, mode_t)>("creat");
  return next(path, mode);
}

int mkdir(const char* path, mode_t mode) {
  // Asking for a folder that already exists changes nothing (the call fails with EEXIST).
  struct stat info;
  if (::lstat(path, &info) != 0) Check("mkdir", path);
  static auto next = Next<int (*)(const char*, mode_t)>("mkdir");
  return next(path, mode);
}

int rename(const char* from, const char* to) {
  Check("rename", from);
  Check("rename", to);
  static auto next = Next<int (*)(const char*, const char*)>("rename");
  return next(from, to);
}

int unlink(const char* path) {
  Check("unlink", path);
  static auto next = Next<int (*)(const char*)>("unlink");
  return next(path);
}

int rmdir(const char* path) {
  Check("rmdir", path);
  static auto next = Next<int (*)(const char*)>("rmdir");
  return next(path);
}

}  // extern "C"
