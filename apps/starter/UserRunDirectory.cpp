#include "apps/starter/UserRunDirectory.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "platform/updater/CatalogueMerge.h"

namespace fs = std::filesystem;

namespace {

// What the launcher writes for itself or what belongs to the user; never taken from the package.
constexpr const char* kListingFile = ".package-files";
constexpr const char* kLockFile = ".lock";
constexpr const char* kToolkitFile = "XCGUI.dll";
constexpr const char* kCatalogue = "CONFIG.db";

class FileLock {
 public:
  explicit FileLock(const fs::path& path) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes beside the target and renames over it, so a start that is cut short never leaves a
// half-written file for the next one.
bool ReplaceFile(const fs::path& target, const std::string& content, std::string* error) {
  const fs::path partial = target.parent_path() / ("." + target.filename().string() + ".new");
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) {
      *error = partial.string() + "：无法写入";
      return false;
    }
  }
  std::error_code failure;
  fs::rename(partial, target, failure);
  if (failure) *error = target.string() + "：" + failure.message();
  return !failure;
}

bool CopyFile(const fs::path& source, const fs::path& target, std::string* error) {
  const fs::path partial = target.parent_path() / ("." + target.filename().string() + ".new");
  std::error_code failure;
  fs::copy_file(source, partial, fs::copy_options::overwrite_existing, failure);
  if (!failure) {
    // The user's copy is the user's own: writable by them, executable where the package's is.
    const bool executable = (fs::status(source).permissions() & fs::perms::owner_exec) != fs::perms::none;
    fs::permissions(partial, executable ? fs::perms(0755) : fs::perms(0644), failure);
  }
  if (!failure) fs::rename(partial, target, failure);
  if (failure) {
    *error = target.string() + "：" + failure.message();
    fs::remove(partial, failure);
    return false;
  }
  return true;
}

bool MakePrivateDirectory(const fs::path& directory, std::string* error) {
  std::error_code failure;
  if (!directory.parent_path().empty() && !fs::exists(directory.parent_path(), failure)) {
    if (!MakePrivateDirectory(directory.parent_path(), error)) return false;
  }
  if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = directory.string() + "：" + std::generic_category().message(errno);
    return false;
  }
  if (!fs::is_directory(directory, failure)) {
    *error = directory.string() + "：不是文件夹";
    return false;
  }
  return true;
}

}  // namespace

UserRunDirectory::UserRunDirectory(fs::path packageDirectory, fs::path userDirectory)
    : package_(std::move(packageDirectory)), user_(std::move(userDirectory)) {}

fs::path UserRunDirectory::ForCurrentUser() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && dataHome[0] == '/') return fs::path(dataHome) / "quillbay";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') {
    const passwd* entry = ::getpwuid(::getuid());
    home = entry != nullptr ? entry->pw_dir : nullptr;
  }
  if (home == nullptr || home[0] != '/') return {};
  return fs::path(home) / ".local" / "share" / "quillbay";
}

std::string UserRunDirectory::packageListing() const {
  std::vector<std::string> lines;
  std::error_code failure;
  for (fs::recursive_directory_iterator it(package_, failure), end; !failure && it != end; it.increment(failure)) {
    struct stat info {};
    if (!it->is_regular_file() || ::stat(it->path().c_str(), &info) != 0) continue;
    lines.push_back(it->path().lexically_relative(package_).string() + "\t" + std::to_string(info.st_size) + "\t" +
                    std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec));
  }
  std::sort(lines.begin(), lines.end());
  std::string listing;
  for (const std::string& line : lines) listing += line + "\n";
  return listing;
}

bool UserRunDirectory::copyPackageFiles(std::string* error) const {
  std::error_code failure;
  for (fs::recursive_directory_iterator it(package_, failure), end; !failure && it != end; it.increment(failure)) {
    const fs::path relative = it->path().lexically_relative(package_);
    const fs::path target = user_ / relative;
    if (it->is_directory()) {
      fs::create_directories(target, failure);
      if (failure) {
        *error = target.string() + "：" + failure.message();
        return false;
      }
    } else if (it->is_regular_file() && relative != kCatalogue) {
      // The catalogue holds the user's favourites: it is merged below, never copied over.
      if (!CopyFile(it->path(), target, error)) return false;
    }
  }
  if (failure) *error = package_.string() + "：" + failure.message();
  return !failure;
}

bool UserRunDirectory::prepare(std::string* error) {
  if (!MakePrivateDirectory(user_, error)) return false;
  FileLock lock(user_ / kLockFile);
  if (!lock.held()) {
    *error = (user_ / kLockFile).string() + "：无法加锁";
    return false;
  }
  const std::string listing = packageListing();
  if (listing.empty()) {
    *error = package_.string() + "：找不到程序文件";
    return false;
  }
  if (ReadFile(user_ / kListingFile) == listing && fs::exists(user_ / kCatalogue)) return true;

  if (!copyPackageFiles(error)) return false;
  // The new catalogue's rows with the user's favourite flags, as an update brings them.
  if (!MergeCatalogue(user_, error)) return false;
  // The toolkit file is written from the launcher's own bytes when missing and never replaced:
  // a new launcher must not load the old one's toolkit.
  std::error_code ignored;
  fs::remove(user_ / kToolkitFile, ignored);
  return ReplaceFile(user_ / kListingFile, listing, error);
}
