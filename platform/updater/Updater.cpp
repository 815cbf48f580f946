#include "platform/updater/Updater.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <set>

#include "acquisition/UpdateCheck.h"
#include "platform/updater/CatalogueMerge.h"
#include "platform/updater/UpdatePublicKey.h"
#include "platform/updater/LauncherProcess.h"
#include "platform/updater/TargetPath.h"
#include "platform/urlmon/UrlFetch.h"
#include "shell/startup/CodePageText.h"

namespace fs = std::filesystem;

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool close() {
    if (fd_ < 0) return true;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd, data, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

// A missing file reads as no bytes; one that exists but cannot be read as nothing at all.
std::optional<ByteBuffer> ReadFileBytes(const fs::path& path) {
  ByteBuffer bytes;
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT ? std::optional<ByteBuffer>(bytes) : std::nullopt;
  char chunk[64 * 1024];
  ssize_t n;
  while ((n = ::read(fd.get(), chunk, sizeof chunk)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  }
  if (n < 0) return std::nullopt;
  return bytes;
}

bool SyncDirectory(const fs::path& directory) {
  FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

std::string Shown(const AnsiText& text) {
  return AnsiToUtf8(text);
}

}  // namespace

ManifestSignature::PublicKey BuiltInUpdateKey() {
  static const ManifestSignature::PublicKey key = *ManifestSignature::parsePublicKeyHex(kUpdatePublicKeyHex);
  return key;
}

Updater::Updater(fs::path runDirectory, std::ostream& out, std::ostream& err, UpdaterOptions options)
    : runDirectory_(std::move(runDirectory)), out_(out), err_(err), options_(options) {}

Updater::~Updater() {
  discardPending();
}

UpdaterExit Updater::run(const AnsiText& location) {
  const UpdaterExit prepared = prepare(location);
  LauncherProcess launcher(runDirectory_);
  if (!launcher.waitForExit(options_.launcherExitLimit)) {
    discardPending();
    err_ << "更新程序：启动器 " << launcher.executable().string()
         << " 在限定时间内没有退出，未替换任何文件\n";
    return kUpdaterLauncherStillRunning;
  }
  return restartLauncher(prepared == kUpdaterDone ? commit() : prepared);
}

UpdaterExit Updater::readSignedManifest(const AnsiText& location, AnsiText* text) {
  if (!IsManifestUrl(location)) {
    err_ << "更新程序：更新清单没有签名，未替换任何文件\n";
    return kUpdaterUnsigned;
  }
  UrlFetchOptions options;
  options.totalTimeoutSeconds = 60;
  ByteBuffer manifest, signature;
  if (!UrlFetch::getBytes(location, &manifest, options).ok || manifest.empty()) {
    err_ << "更新程序：无法读取更新清单 " << Shown(location) << "\n";
    return kUpdaterManifestUnreadable;
  }
  const std::string bytes(manifest.begin(), manifest.end());
  options.maximumBytes = 1024;
  if (!UrlFetch::getBytes(location + ".sig", &signature, options).ok ||
      !ManifestSignature::verifyHex(bytes, std::string(signature.begin(), signature.end()), options_.publicKey)) {
    err_ << "更新程序：更新清单的签名缺失或不正确（" << Shown(location) << ".sig），未替换任何文件\n";
    return kUpdaterUnsigned;
  }
  *text = AnsiText(bytes.c_str());  // program text ends at its first zero byte
  return kUpdaterDone;
}

UpdaterExit Updater::prepare(const AnsiText& location) {
  AnsiText text;
  if (UpdaterExit read = readSignedManifest(location, &text); read != kUpdaterDone) return read;
  std::vector<ManifestRecord> records;
  for (const AnsiText& record : SplitText(text, '#')) {
    if (auto parsed = ManifestRecord::fromContent(DecodeManifestRecord(record, kManifestKeySentence))) {
      records.push_back(std::move(*parsed));
    }
  }
  if (records.empty()) {
    err_ << "更新程序：更新清单中没有可用的记录\n";
    return kUpdaterManifestEmpty;
  }
  std::vector<const ManifestRecord*> differing;
  std::vector<fs::path> targets;
  if (UpdaterExit planned = plan(records, &differing, &targets); planned != kUpdaterDone) return planned;
  for (size_t i = 0; i < differing.size(); ++i) {
    if (UpdaterExit downloaded = download(*differing[i], targets[i]); downloaded != kUpdaterDone) {
      discardPending();
      return downloaded;
    }
  }
  return kUpdaterDone;
}

UpdaterExit Updater::plan(const std::vector<ManifestRecord>& records,
                          std::vector<const ManifestRecord*>* differing, std::vector<fs::path>* targets) {
  std::set<fs::path> seen;
  for (const ManifestRecord& record : records) {
    std::optional<fs::path> target = TargetPath::resolve(runDirectory_, record.path());
    if (!target) {
      err_ << "更新程序：拒绝运行目录之外的路径 \"" << Shown(record.path()) << "\"，未替换任何文件\n";
      return kUpdaterUnsafePath;
    }
    if (!seen.insert(*target).second) continue;  // the first record for a file decides
    const std::optional<ByteBuffer> local = ReadFileBytes(*target);
    if (!local) {
      // A file it cannot read is one it may not be able to replace either: left as it is.
      err_ << "更新程序：无法读取 \"" << Shown(record.path()) << "\"，不替换它\n";
      continue;
    }
    if (Md5Hex(*local, true) == record.md5()) continue;
    differing->push_back(&record);
    targets->push_back(*target);
  }
  return kUpdaterDone;
}

UpdaterExit Updater::download(const ManifestRecord& record, const fs::path& target) {
  const std::string url = record.downloadUrl();
  const std::string shownPath = Shown(record.path());
  if (url.empty()) {
    err_ << "更新程序：\"" << shownPath << "\" 没有下载地址\n";
    return kUpdaterDownloadFailed;
  }
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  std::string pattern =
      (target.parent_path() / ("." + target.filename().string() + ".update-XXXXXX")).string();
  FileDescriptor fd(::mkstemp(pattern.data()));
  if (fd.get() < 0) {
    err_ << "更新程序：无法在 " << target.parent_path().string() << " 中写入：" << std::strerror(errno)
         << "\n";
    return kUpdaterWriteFailed;
  }
  pending_.push_back({target, fs::path(pattern)});

  UrlFetchOptions options;
  options.totalTimeoutSeconds = options_.downloadTimeoutSeconds;
  options.maximumBytes = record.size().value_or(0);
  bool writeFailed = false;
  const UrlFetchResult fetched = UrlFetch::get(
      url,
      [&](const char* data, size_t length) {
        writeFailed = !WriteAll(fd.get(), data, length);
        return !writeFailed;
      },
      options);
  if (writeFailed || (fetched.ok && (::fsync(fd.get()) != 0 || !fd.close()))) {
    err_ << "更新程序：写入 \"" << shownPath << "\" 的临时文件失败：" << std::strerror(errno) << "\n";
    return kUpdaterWriteFailed;
  }
  if (!fetched.ok) {
    err_ << "更新程序：下载 \"" << shownPath << "\" 失败（" << url << "）：" << fetched.error << "\n";
    return fetched.tooLong ? kUpdaterMismatch : kUpdaterDownloadFailed;
  }
  const ByteBuffer bytes = ReadFileBytes(pattern).value_or(ByteBuffer());
  if (record.size() && bytes.size() != *record.size()) {
    err_ << "更新程序：\"" << shownPath << "\" 的大小为 " << bytes.size() << " 字节，清单要求 "
         << *record.size() << " 字节\n";
    return kUpdaterMismatch;
  }
  const AnsiText md5 = Md5Hex(bytes, true);
  if (md5 != record.md5()) {
    err_ << "更新程序：\"" << shownPath << "\" 的 MD5 为 " << md5 << "，清单要求 " << record.md5() << "\n";
    return kUpdaterMismatch;
  }
  struct stat existing {};
  ::chmod(pattern.c_str(), ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);
  out_ << "更新程序：已下载并校验 \"" << shownPath << "\"\n";
  return kUpdaterDone;
}

UpdaterExit Updater::commit() {
  std::vector<PendingFile> files = std::move(pending_);
  pending_.clear();
  for (size_t i = 0; i < files.size(); ++i) {
    std::error_code error;
    fs::rename(files[i].temporary, files[i].target, error);
    if (error) {
      err_ << "更新程序：无法替换 " << files[i].target.string() << "：" << error.message() << "\n";
      pending_.assign(files.begin() + static_cast<long>(i), files.end());
      discardPending();
      return kUpdaterWriteFailed;
    }
    SyncDirectory(files[i].target.parent_path());
  }
  out_ << "更新程序：已替换 " << files.size() << " 个文件\n";
  std::error_code error;
  const fs::path base = fs::canonical(runDirectory_, error);
  const bool newCatalogue = std::any_of(files.begin(), files.end(), [&](const PendingFile& file) {
    return file.target.lexically_relative(base) == fs::path(kPublishedCatalogue);
  });
  if (newCatalogue) {
    std::string error;
    if (!MergeCatalogue(runDirectory_, &error)) {
      err_ << "更新程序：无法更新目录数据库 CONFIG.db（原文件保持不变）：" << error << "\n";
      return kUpdaterWriteFailed;
    }
    out_ << "更新程序：已更新 CONFIG.db，收藏保持不变\n";
  }
  return kUpdaterDone;
}

UpdaterExit Updater::restartLauncher(UpdaterExit outcome) {
  LauncherProcess launcher(runDirectory_);
  std::string error;
  if (launcher.start(&error)) return outcome;
  err_ << "更新程序：无法重新启动启动器：" << error << "\n";
  return outcome == kUpdaterDone ? kUpdaterRestartFailed : outcome;
}

void Updater::discardPending() {
  for (const PendingFile& file : pending_) ::unlink(file.temporary.c_str());
  pending_.clear();
}
