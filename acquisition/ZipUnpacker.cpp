#include "acquisition/ZipUnpacker.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "acquisition/Directories.h"
#include "platform/win32/Win32.h"

namespace fs = std::filesystem;

namespace {

constexpr unsigned long kUtf8NamesFlag = 1u << 11;

struct ZipCloser {
  void operator()(void* zip) const { unzClose(zip); }
};
using ZipFile = std::unique_ptr<void, ZipCloser>;

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

std::string Utf8FromCodePage936(const AnsiText& text) {
  int units = MultiByteToWideChar(CP_GBK, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (units <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(CP_GBK, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

bool MakeDirectories(const std::string& root, const std::string& relative) {
  for (std::size_t at = 0; at <= relative.size(); ++at) {
    if (at != relative.size() && relative[at] != '/') continue;
    std::string path = root + "/" + relative.substr(0, at);
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  }
  return true;
}

struct Member {
  std::string path;  // relative, POSIX, UTF-8
  bool directory;
};

// Lists every member, or nothing (and false) when any member is unsafe or unreadable.
bool ListMembers(void* zip, std::vector<Member>& members) {
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    // Room for the whole name and its terminator: minizip leaves a name that fills the buffer
    // unterminated, and a name cut short could hide a ".." further on.
    std::vector<char> name(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                                0) != UNZ_OK)
      return false;
    AnsiText memberName(name.data());
    std::string path = SafeMemberPath(memberName, (info.flag & kUtf8NamesFlag) != 0);
    if (path.empty()) return false;
    bool directory = memberName.back() == '/' || memberName.back() == '\\';
    members.push_back(Member{path, directory});
  }
  return true;
}

bool ExtractCurrent(void* zip, const std::string& target) {
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
  std::string temporary = target + ".unpacking";
  // Created new, never through a link standing at that name.
  ::unlink(temporary.c_str());
  FdCloser file{::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0755)};
  bool ok = file.fd >= 0;
  std::vector<char> buffer(64 * 1024);
  while (ok) {
    int n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (n == 0) break;
    if (n < 0) {
      ok = false;
      break;
    }
    for (int written = 0; ok && written < n;) {
      ssize_t w = ::write(file.fd, buffer.data() + written, static_cast<std::size_t>(n - written));
      ok = w > 0;
      written += static_cast<int>(w);
    }
  }
  // A member whose data fails its CRC check is reported here.
  ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
  ok = file.fd >= 0 && ::close(file.fd) == 0 && ok;
  file.fd = -1;
  if (ok && ::rename(temporary.c_str(), target.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace

std::string SafeMemberPath(const AnsiText& memberName, bool namesAreUtf8) {
  std::string name = namesAreUtf8 ? memberName : Utf8FromCodePage936(memberName);
  if (name.empty() || name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':')) return {};
  std::string path;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    std::string segment = name.substr(start, end - start);
    if (segment == "..") return {};
    if (!segment.empty() && segment != ".") path += (path.empty() ? "" : "/") + segment;
    start = end + 1;
  }
  return path;
}

int UnpackZip(const AnsiText& archivePath, const AnsiText& targetDirectory) {
  ZipFile zip(unzOpen64(QbNativePath(archivePath.c_str()).c_str()));
  if (!zip) return 0;
  std::vector<Member> members;
  if (!ListMembers(zip.get(), members)) return 0;
  std::string root = QbNativePath(targetDirectory.c_str());
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  if (!EnsureDirectory(targetDirectory)) return 0;
  std::size_t index = 0;
  for (int status = unzGoToFirstFile(zip.get()); status == UNZ_OK;
       status = unzGoToNextFile(zip.get()), ++index) {
    const Member& member = members[index];
    std::size_t slash = member.path.find_last_of('/');
    std::string folder = member.directory             ? member.path
                         : slash == std::string::npos ? ""
                                                      : member.path.substr(0, slash);
    if (!MakeDirectories(root, folder)) return 0;
    if (!member.directory && !ExtractCurrent(zip.get(), root + "/" + member.path)) return 0;
  }
  return 1;
}

namespace {

// Files the user keeps in a tool's folder (results saved there, settings) that the new archive
// does not name go into the staging folder too, as hard links where the file system allows and
// as copies elsewhere, so the swap that follows replaces only the archive's own members.
bool CarryOverUserFiles(const fs::path& installed, const fs::path& staging) {
  std::error_code error;
  for (fs::recursive_directory_iterator it(installed, error), end; !error && it != end; it.increment(error)) {
    const fs::path relative = it->path().lexically_relative(installed);
    const fs::path staged = staging / relative;
    const fs::file_status status = it->symlink_status(error);
    if (error) return false;
    std::error_code probe;  // a name the archive does not hold reports "not found" here
    const fs::file_status inArchive = fs::symlink_status(staged, probe);
    if (fs::exists(inArchive)) {
      // The archive's member of that name wins; a folder of the archive is merged into.
      if (fs::is_directory(status) && !fs::is_directory(inArchive)) it.disable_recursion_pending();
      continue;
    }
    if (fs::is_directory(status)) {
      fs::create_directory(staged, error);
    } else if (fs::is_symlink(status)) {
      fs::copy_symlink(it->path(), staged, error);
    } else if (::link(it->path().c_str(), staged.c_str()) != 0) {
      fs::copy_file(it->path(), staged, error);
    }
    if (error) return false;
  }
  return !error;
}

}  // namespace

int InstallZip(const AnsiText& archivePath, const AnsiText& installDirectory) {
  std::string target = QbNativePath(installDirectory.c_str());
  while (target.size() > 1 && target.back() == '/') target.pop_back();
  const std::string staging = target + ".installing";
  const std::string previous = target + ".replaced";
  std::error_code ignored;
  const fs::file_status old = fs::symlink_status(target, ignored);
  const bool hadOld = fs::exists(old);
  // Only a folder is a tool: a file or a link standing at that name is not made way for.
  if (hadOld && !fs::is_directory(old)) return 0;
  fs::remove_all(staging, ignored);
  fs::remove_all(previous, ignored);
  if (UnpackZip(archivePath, installDirectory + ".installing") != 1 ||
      (hadOld && !CarryOverUserFiles(target, staging))) {
    fs::remove_all(staging, ignored);
    return 0;
  }
  // The old folder makes way, and comes back if the new one cannot take its place.
  if (hadOld && ::rename(target.c_str(), previous.c_str()) != 0) {
    fs::remove_all(staging, ignored);
    return 0;
  }
  if (::rename(staging.c_str(), target.c_str()) != 0) {
    if (hadOld) ::rename(previous.c_str(), target.c_str());
    fs::remove_all(staging, ignored);
    return 0;
  }
  fs::remove_all(previous, ignored);
  return 1;
}
