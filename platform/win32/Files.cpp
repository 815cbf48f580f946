// Files, directories and the temporary directory; every path goes through QbNativePath.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32/KernelObject.h"

namespace {

class FileObject final : public KernelObject {
 public:
  explicit FileObject(int fd) : fd(fd) {}
  ~FileObject() override { ::close(fd); }
  int fd;
};

class FindObject final : public KernelObject {
 public:
  std::vector<WIN32_FIND_DATAA> entries;
  size_t next = 0;
};

std::string Utf8ToAnsi(const std::string& utf8) {
  int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::u16string wide(units, u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
  int bytes = WideCharToMultiByte(CP_GBK, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string ansi(bytes, '\0');
  WideCharToMultiByte(CP_GBK, 0, wide.data(), units, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}

bool NextEntry(FindObject* find, WIN32_FIND_DATAA* data) {
  if (find == nullptr || data == nullptr || find->next >= find->entries.size()) return false;
  *data = find->entries[find->next++];
  return true;
}

}  // namespace

std::string QbNativePath(const char* ansiPath) {
  if (ansiPath == nullptr || *ansiPath == '\0') return std::string();
  int units = MultiByteToWideChar(CP_GBK, 0, ansiPath, -1, nullptr, 0);
  std::u16string wide(units, u'\0');
  MultiByteToWideChar(CP_GBK, 0, ansiPath, -1, wide.data(), units);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), bytes, nullptr, nullptr);
  if (!utf8.empty() && utf8.back() == '\0') utf8.pop_back();
  std::string path;
  for (char c : utf8) {
    if (c == '\\') c = '/';
    if (c == '/' && !path.empty() && path.back() == '/') continue;
    path += c;
  }
  return path;
}

extern "C" HANDLE CreateFileA(const char* path, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
  int flags = O_CLOEXEC;
  if ((access & GENERIC_READ) && (access & GENERIC_WRITE)) flags |= O_RDWR;
  else if (access & GENERIC_WRITE) flags |= O_WRONLY;
  else flags |= O_RDONLY;
  if (disposition == CREATE_ALWAYS) flags |= O_CREAT | O_TRUNC;
  else if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
  int fd = ::open(QbNativePath(path).c_str(), flags, 0644);
  if (fd < 0) return INVALID_HANDLE_VALUE;
  return RegisterHandle(std::make_unique<FileObject>(fd));
}

extern "C" BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* written, void*) {
  auto* object = LookupHandleAs<FileObject>(file);
  if (written) *written = 0;
  if (object == nullptr) return FALSE;
  const char* bytes = static_cast<const char*>(data);
  DWORD done = 0;
  while (done < length) {
    ssize_t n = ::write(object->fd, bytes + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<DWORD>(n);
  }
  if (written) *written = done;
  return done == length ? TRUE : FALSE;
}

extern "C" BOOL ReadFile(HANDLE file, void* data, DWORD length, DWORD* read, void*) {
  auto* object = LookupHandleAs<FileObject>(file);
  if (read) *read = 0;
  if (object == nullptr) return FALSE;
  ssize_t n;
  do {
    n = ::read(object->fd, data, length);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return FALSE;
  if (read) *read = static_cast<DWORD>(n);
  return TRUE;
}

extern "C" HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data) {
  std::string native = QbNativePath(pattern);
  size_t slash = native.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
  std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
  if (name.empty()) return INVALID_HANDLE_VALUE;
  auto find = std::make_unique<FindObject>();
  if (DIR* handle = opendir(dir.c_str())) {
    while (dirent* item = readdir(handle)) {
      if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0) continue;
      if (fnmatch(name.c_str(), item->d_name, FNM_PERIOD) != 0) continue;
      struct stat info {};
      if (stat((dir + "/" + item->d_name).c_str(), &info) != 0) continue;
      WIN32_FIND_DATAA entry{};
      entry.dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
      entry.nFileSize = static_cast<uint64_t>(info.st_size);
      std::strncpy(entry.cFileName, Utf8ToAnsi(item->d_name).c_str(), MAX_PATH - 1);
      find->entries.push_back(entry);
    }
    closedir(handle);
  }
  if (find->entries.empty()) return INVALID_HANDLE_VALUE;
  NextEntry(find.get(), data);
  return RegisterHandle(std::move(find));
}

extern "C" BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) {
  return NextEntry(LookupHandleAs<FindObject>(find), data) ? TRUE : FALSE;
}

extern "C" BOOL FindClose(HANDLE find) {
  if (LookupHandleAs<FindObject>(find) == nullptr) return FALSE;
  return CloseHandle(find);
}

extern "C" BOOL DeleteFileA(const char* path) { return ::unlink(QbNativePath(path).c_str()) == 0 ? TRUE : FALSE; }

extern "C" BOOL PathIsDirectoryA(const char* path) {
  struct stat info {};
  if (stat(QbNativePath(path).c_str(), &info) != 0) return FALSE;
  return S_ISDIR(info.st_mode) ? static_cast<BOOL>(FILE_ATTRIBUTE_DIRECTORY) : FALSE;
}

extern "C" BOOL MakeSureDirectoryPathExists(const char* path) {
  std::string native = QbNativePath(path);
  size_t last = native.find_last_of('/');
  if (last == std::string::npos) return TRUE;
  for (size_t pos = native.find('/', 1); pos != std::string::npos && pos <= last; pos = native.find('/', pos + 1)) {
    std::string prefix = native.substr(0, pos);
    if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return FALSE;
    struct stat info {};
    if (stat(prefix.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return FALSE;
  }
  return TRUE;
}

namespace {
DWORD CopyAnsiOut(const std::string& text, char* buffer, DWORD capacity) {
  if (buffer == nullptr || capacity <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}
}  // namespace

extern "C" DWORD GetTempPathA(DWORD capacity, char* buffer) {
  const char* tmp = std::getenv("TMPDIR");
  std::string dir = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  if (dir.back() != '/') dir += '/';
  return CopyAnsiOut(Utf8ToAnsi(dir), buffer, capacity);
}

extern "C" DWORD GetModuleDirectoryA(char* buffer, DWORD capacity) {
  char exe[4096];
  ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return 0;
  std::string path(exe, static_cast<size_t>(n));
  path = path.substr(0, path.find_last_of('/'));
  return CopyAnsiOut(Utf8ToAnsi(path), buffer, capacity);
}

QbPrivateDirectoryResult QbEnsurePrivateDirectory(const char* ansiPath) {
  std::string path = QbNativePath(ansiPath);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  // Parents may be shared (a temporary directory); only the last folder must be private.
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return kQbPrivateDirectoryNotMade;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return kQbPrivateDirectoryNotMade;
  if (!S_ISDIR(info.st_mode)) return kQbPrivateDirectoryNotReal;
  if (info.st_uid != ::getuid()) return kQbPrivateDirectoryNotOurs;
  if ((info.st_mode & 077) != 0) return kQbPrivateDirectoryOpen;
  struct statvfs mount {};
  if (::statvfs(path.c_str(), &mount) == 0 && (mount.f_flag & ST_NOEXEC) != 0) return kQbPrivateDirectoryNoExec;
  return kQbPrivateDirectoryOk;
}

std::string QbRuntimeDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime != '/') return std::string();
  std::string dir = runtime;
  if (dir.back() != '/') dir += '/';
  return Utf8ToAnsi(dir);
}

std::string QbUserCacheDirectory() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  std::string dir;
  if (cache != nullptr && *cache == '/') {
    dir = cache;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
    dir = std::string(home) + "/.cache";
  } else {
    return std::string();
  }
  if (dir.back() != '/') dir += '/';
  return Utf8ToAnsi(dir);
}

unsigned QbCurrentUserId() { return static_cast<unsigned>(::getuid()); }
