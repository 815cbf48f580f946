#include "platform/xldl/DownloadTask.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace xldl {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int64_t kOpenEnd = std::numeric_limits<int64_t>::max();
// Each connection reads this much per callback at most, so memory stays flat in the file size.
constexpr long kReceiveBuffer = 256 * 1024;

bool FileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

bool MakeDirectories(const std::string& path) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    std::string prefix = path.substr(0, at);
    if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void SyncDirectory(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool WriteAt(int fd, const char* data, std::size_t length, int64_t offset) {
  while (length > 0) {
    ssize_t n = ::pwrite(fd, data, length, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

// "bytes 100-199/1000" -> first byte and total (-1 for "*").
bool ParseContentRange(const std::string& value, int64_t& first, int64_t& total) {
  long long a = 0, b = 0, n = 0;
  if (std::sscanf(value.c_str(), "bytes %lld-%lld/%lld", &a, &b, &n) == 3 && a <= b && b < n) {
    first = a;
    total = n;
    return true;
  }
  if (std::sscanf(value.c_str(), "bytes %lld-%lld/*", &a, &b) == 2 && a <= b) {
    first = a;
    total = -1;
    return true;
  }
  return false;
}

// "name.ext" -> "name(k).ext", for a free name when renaming is allowed.
std::string NumberedName(const std::string& path, int k) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  return path.substr(0, dot) + "(" + std::to_string(k) + ")" + path.substr(dot);
}

// Reads "Name: value" into `value` when `line` is that header (`name` lower case, with colon).
void HeaderValue(const std::string& line, const char* name, std::string& value) {
  const std::size_t length = std::strlen(name);
  if (line.size() <= length || strncasecmp(line.c_str(), name, length) != 0) return;
  value = line.substr(length);
  value.erase(0, value.find_first_not_of(" \t"));
  value.erase(value.find_last_not_of("\r\n \t") + 1);
}

// If-Range takes a strong ETag, else the date; a weak ETag may not be used for ranges.
std::string IfRangeValidator(const std::string& etag, const std::string& lastModified) {
  if (!etag.empty() && etag.rfind("W/", 0) != 0) return etag;
  return lastModified;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         strncasecmp(text.c_str() + text.size() - suffix.size(), suffix.c_str(), suffix.size()) == 0;
}

// A page that says "not found" or "log in" with status 200: HTML, where the file is not one.
bool IsErrorPage(const std::string& contentType, const std::string& fileName) {
  if (strncasecmp(contentType.c_str(), "text/html", 9) != 0) return false;
  return !EndsWithNoCase(fileName, ".html") && !EndsWithNoCase(fileName, ".htm");
}

}  // namespace

struct DownloadTask::Connection {
  DownloadTask* task = nullptr;
  std::size_t segment = 0;
  HeaderList requestHeaders;  // outlives the handle that points at it
  EasyHandle easy;
  int64_t requestStart = 0;
  int64_t cursorAtLaunch = 0;
  int64_t position = -1;  // offset of the next body byte; -1 until the response is accepted
  std::string contentRange;
  std::string contentType;
  std::string etag;
  std::string lastModified;
  int32_t failure = kFailNone;
};

DownloadTask::DownloadTask(TaskParameters parameters) : m_parameters(std::move(parameters)) {
  m_progress.stat = kTaskCreated;
  m_progress.fileName = m_parameters.fileName;
}

DownloadTask::~DownloadTask() {
  stop();
}

bool DownloadTask::start() {
  if (m_started.exchange(true)) return false;
  m_thread = std::thread(&DownloadTask::run, this);
  return true;
}

void DownloadTask::stop() {
  m_stopRequested = true;
  if (m_thread.joinable()) m_thread.join();
}

TaskProgress DownloadTask::progress() const {
  std::lock_guard<std::mutex> lock(m_progressLock);
  return m_progress;
}

void DownloadTask::run() {
  publish(kTaskConnecting, kFailNone);
  int32_t failure = prepareFiles();
  if (failure == kFailNone) failure = transfer();
  // The file on the server is not the one the bytes on disk came from (its validators or length
  // changed, or it refused a range the old file had): start over once, data and state together.
  const bool sourceChanged = failure == kFailSourceChanged || failure == kFailLengthChanged ||
                             (failure == kFailRangeRefused && m_resumed);
  if (sourceChanged && !m_stopRequested) failure = restartFromZero();
  if (failure == kFailNone && m_stopRequested && !allDone()) {
    checkpoint();
    publish(kTaskStopped, kFailNone);
  } else if (failure != kFailNone) {
    // Keep what arrived for a later task to resume; a failure before any byte leaves nothing.
    if (m_file >= 0 && downloadedBytes() > 0) {
      checkpoint();
    } else if (m_file >= 0) {
      ::unlink(m_partPath.c_str());
      ::unlink(m_statePath.c_str());
    }
    publish(kTaskFailed, failure);
  } else {
    failure = finish();
    publish(failure == kFailNone ? kTaskComplete : kTaskFailed, failure);
  }
  if (m_file >= 0) ::close(m_file);
  m_file = -1;
}

int32_t DownloadTask::restartFromZero() {
  m_resumed = false;
  m_failure = kFailNone;
  m_totalSize = -1;
  m_rangesSupported = false;
  m_etag.clear();
  m_lastModified.clear();
  m_segments = {Segment{0, kOpenEnd, 0}};
  m_speedSamples.clear();
  ::unlink(m_statePath.c_str());
  {
    // What was counted belonged to the old file; the new one's progress starts at zero.
    std::lock_guard<std::mutex> lock(m_progressLock);
    m_progress.totalDownload = 0;
    m_progress.percent = 0;
  }
  if (::ftruncate(m_file, 0) != 0) return kFailFileIo;
  return transfer();
}

int32_t DownloadTask::prepareFiles() {
  const std::string& name = m_parameters.fileName;
  if (m_parameters.url.empty() || name.empty() || name == "." || name == ".." ||
      name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
      m_parameters.savePath.empty())
    return kFailBadParameters;
  if (!MakeDirectories(m_parameters.savePath)) return kFailFileIo;
  m_finalPath = m_parameters.savePath + "/" + name;
  bool partialExists = FileExists(m_finalPath + ".part.state");
  if (!m_parameters.disableAutoRename && !partialExists) {
    for (int k = 1; FileExists(m_finalPath) && k < 1000; ++k)
      m_finalPath = NumberedName(m_parameters.savePath + "/" + name, k);
  }
  m_partPath = m_finalPath + ".part";
  m_statePath = m_partPath + ".state";

  std::optional<ResumeState> state;
  if (m_parameters.resume) state = ResumeState::load(m_statePath);
  struct stat info;
  if (state && (state->url != m_parameters.url || ::stat(m_partPath.c_str(), &info) != 0 ||
                info.st_size != state->totalSize))
    state.reset();
  m_file = ::open(m_partPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | (state ? 0 : O_TRUNC), 0644);
  if (m_file < 0) return kFailFileIo;
  if (state) {
    m_resumed = true;
    m_totalSize = state->totalSize;
    m_segments = state->segments;
    m_rangesSupported = true;
    m_etag = state->etag;
    m_lastModified = state->lastModified;
  } else {
    ::unlink(m_statePath.c_str());
    m_segments = {Segment{0, kOpenEnd, 0}};
  }
  return kFailNone;
}

void DownloadTask::planSegments(int64_t totalSize) {
  Segment& first = m_segments[0];
  if (totalSize < 0 || !m_rangesSupported) {
    first.end = totalSize < 0 ? kOpenEnd : totalSize;
    return;
  }
  int64_t count = std::clamp<int64_t>(totalSize / kMinSegmentBytes, 1, kMaxConnections);
  int64_t size = totalSize / count;
  first.end = count == 1 ? totalSize : size;
  for (int64_t i = 1; i < count; ++i) {
    int64_t begin = i * size;
    m_segments.push_back(Segment{begin, i == count - 1 ? totalSize : begin + size, begin});
  }
}

void DownloadTask::launch(std::size_t index) {
  Segment& segment = m_segments[index];
  auto connection = std::make_unique<Connection>();
  connection->task = this;
  connection->segment = index;
  connection->requestStart = segment.cursor;
  connection->cursorAtLaunch = segment.cursor;
  connection->easy.reset(curl_easy_init());
  CURL* easy = connection->easy.get();
  if (!easy) {
    m_failure = kFailNetwork;
    return;
  }
  std::string range = std::to_string(segment.cursor) + "-";
  if (segment.end != kOpenEnd) range += std::to_string(segment.end - 1);
  curl_easy_setopt(easy, CURLOPT_URL, m_parameters.url.c_str());
  curl_easy_setopt(easy, CURLOPT_RANGE, range.c_str());
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 20L);
  // A connection that moves no byte for 30 s counts as dropped and is retried.
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, 30L);
  curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, "xldl/1.0");
  if (!m_parameters.refUrl.empty()) curl_easy_setopt(easy, CURLOPT_REFERER, m_parameters.refUrl.c_str());
  if (!m_parameters.cookies.empty()) curl_easy_setopt(easy, CURLOPT_COOKIE, m_parameters.cookies.c_str());
  // A range of a file that changed would stitch two versions together; with If-Range the server
  // sends the whole new file instead, which starts the download over.
  const std::string validator = IfRangeValidator(m_etag, m_lastModified);
  if (segment.cursor > 0 && !validator.empty()) {
    connection->requestHeaders.reset(curl_slist_append(nullptr, ("If-Range: " + validator).c_str()));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, connection->requestHeaders.get());
  }
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &DownloadTask::onHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, connection.get());
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &DownloadTask::onBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, connection.get());
  curl_easy_setopt(easy, CURLOPT_PRIVATE, connection.get());
  if (curl_multi_add_handle(m_multi.get(), easy) != CURLM_OK) {
    m_failure = kFailNetwork;
    return;
  }
  m_connections[index] = std::move(connection);
}

std::size_t DownloadTask::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
  auto& connection = *static_cast<Connection*>(self);
  std::string line(data, size * count);
  if (line.rfind("HTTP/", 0) == 0) {
    // A redirect's headers are not the file's.
    connection.contentRange.clear();
    connection.contentType.clear();
    connection.etag.clear();
    connection.lastModified.clear();
  }
  HeaderValue(line, "content-range:", connection.contentRange);
  HeaderValue(line, "content-type:", connection.contentType);
  HeaderValue(line, "etag:", connection.etag);
  HeaderValue(line, "last-modified:", connection.lastModified);
  return size * count;
}

bool DownloadTask::ValidatorsAgree(const Connection& connection) const {
  if (!m_etag.empty() && !connection.etag.empty()) return m_etag == connection.etag;
  if (!m_lastModified.empty() && !connection.lastModified.empty())
    return m_lastModified == connection.lastModified;
  return true;
}

bool DownloadTask::acceptResponse(Connection& connection) {
  long status = 0;
  curl_off_t length = -1;
  curl_easy_getinfo(connection.easy.get(), CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(connection.easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  m_lastHttpStatus = static_cast<int32_t>(status);
  int64_t first = 0, total = -1;
  if (status == 206) {
    if (!ParseContentRange(connection.contentRange, first, total) || first != connection.requestStart ||
        (total < 0 && m_totalSize < 0)) {
      connection.failure = kFailLengthChanged;
      return false;
    }
    if (total < 0) total = m_totalSize;
  } else if (status == 200) {
    // The whole file from byte 0. Asked for a later range of a file we hold part of, the server
    // says the file changed (If-Range) or cannot serve ranges any more: the bytes on disk may
    // not belong to this file.
    if (m_resumed && connection.requestStart > 0) {
      connection.failure = kFailSourceChanged;
      return false;
    }
    total = length;  // earlier bytes are skipped by the writer
  } else {
    connection.failure = kFailHttpStatus;
    return false;
  }
  if (IsErrorPage(connection.contentType, m_parameters.fileName)) {
    connection.failure = kFailErrorPage;
    return false;
  }
  if (!ValidatorsAgree(connection)) {
    connection.failure = kFailSourceChanged;
    return false;
  }
  if (m_totalSize < 0) {
    m_totalSize = total;
    m_rangesSupported = status == 206;
    m_etag = connection.etag;
    m_lastModified = connection.lastModified;
    if (total >= 0 && ::ftruncate(m_file, total) != 0) {
      connection.failure = kFailFileIo;
      return false;
    }
    planSegments(total);
    m_connections.resize(m_segments.size());
    m_fruitlessAttempts.resize(m_segments.size(), 0);
    m_retryAt.resize(m_segments.size(), Clock::now());
  } else if (total != m_totalSize) {
    connection.failure = kFailLengthChanged;
    return false;
  }
  connection.position = first;
  return true;
}

std::size_t DownloadTask::onBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto& connection = *static_cast<Connection*>(self);
  DownloadTask& task = *connection.task;
  std::size_t length = size * count;
  if (connection.position < 0 && !task.acceptResponse(connection)) return 0;
  Segment& segment = task.m_segments[connection.segment];
  int64_t at = connection.position;
  std::size_t skip =
      at < segment.cursor ? static_cast<std::size_t>(std::min<int64_t>(length, segment.cursor - at)) : 0;
  at += static_cast<int64_t>(skip);
  std::size_t take = static_cast<std::size_t>(std::min<int64_t>(length - skip, segment.end - at));
  if (take > 0 && !WriteAt(task.m_file, data + skip, take, at)) {
    connection.failure = kFailFileIo;
    return 0;
  }
  segment.cursor = at + static_cast<int64_t>(take);
  connection.position += static_cast<int64_t>(length);
  // Past the segment's end the connection has done its part; stopping it here is not a failure.
  return skip + take == length ? length : 0;
}

DownloadTask::Verdict DownloadTask::judge(Connection& connection, CURLcode code, int32_t& failCode) {
  Segment& segment = m_segments[connection.segment];
  if (connection.failure != kFailNone) {
    failCode = connection.failure;
    return Verdict::Abort;
  }
  if (segment.done()) return Verdict::Done;
  if (code == CURLE_OK && segment.end == kOpenEnd) {
    // No length was announced: a cleanly ended body is the whole file.
    segment.end = segment.cursor;
    m_totalSize = segment.cursor;
    return Verdict::Done;
  }
  long status = 0;
  curl_easy_getinfo(connection.easy.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status >= 400) m_lastHttpStatus = static_cast<int32_t>(status);
  int32_t retryCode = kFailNetwork;
  switch (code) {
    case CURLE_HTTP_RETURNED_ERROR:
      failCode = status == 416 ? kFailRangeRefused : kFailHttpStatus;
      if (status < 500 && status != 408 && status != 429) return Verdict::Abort;
      retryCode = kFailHttpStatus;
      break;
    case CURLE_TOO_MANY_REDIRECTS:
      failCode = kFailTooManyRedirects;
      return Verdict::Abort;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      failCode = kFailBadParameters;
      return Verdict::Abort;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
      failCode = kFailTls;
      return Verdict::Abort;
    case CURLE_OK:
    case CURLE_PARTIAL_FILE:
      retryCode = kFailShortBody;
      break;
    default:
      break;
  }
  int& fruitless = m_fruitlessAttempts[connection.segment];
  fruitless = segment.cursor > connection.cursorAtLaunch ? 0 : fruitless + 1;
  if (fruitless >= kMaxFruitlessAttempts) {
    failCode = retryCode;
    return Verdict::Abort;
  }
  m_retryAt[connection.segment] = Clock::now() + std::chrono::milliseconds(100 * fruitless);
  return Verdict::Retry;
}

void DownloadTask::onConnectionDone(CURLMsg* message) {
  Connection* connection = nullptr;
  curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &connection);
  if (!connection) return;
  // An empty body never reaches the writer, so its answer is judged here.
  if (message->data.result == CURLE_OK && connection->position < 0) acceptResponse(*connection);
  int32_t failCode = kFailNone;
  Verdict verdict = judge(*connection, message->data.result, failCode);
  curl_multi_remove_handle(m_multi.get(), connection->easy.get());
  m_connections[connection->segment].reset();
  if (verdict == Verdict::Abort) m_failure = failCode;
}

bool DownloadTask::allDone() const {
  return m_totalSize >= 0 &&
         std::all_of(m_segments.begin(), m_segments.end(), [](const Segment& s) { return s.done(); });
}

int64_t DownloadTask::downloadedBytes() const {
  int64_t sum = 0;
  for (const Segment& s : m_segments) sum += s.cursor - s.begin;
  return sum;
}

int32_t DownloadTask::transfer() {
  m_multi.reset(curl_multi_init());
  if (!m_multi) return kFailNetwork;
  m_connections.clear();
  m_connections.resize(m_segments.size());
  m_fruitlessAttempts.assign(m_segments.size(), 0);
  m_retryAt.assign(m_segments.size(), Clock::now());
  m_lastCheckpoint = Clock::now();
  while (!m_stopRequested && m_failure == kFailNone && !allDone()) {
    auto now = Clock::now();
    for (std::size_t i = 0; i < m_segments.size() && m_failure == kFailNone; ++i) {
      if (!m_segments[i].done() && !m_connections[i] && now >= m_retryAt[i]) launch(i);
    }
    int running = 0;
    curl_multi_perform(m_multi.get(), &running);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi.get(), &queued)) {
      if (message->msg == CURLMSG_DONE) onConnectionDone(message);
    }
    if (m_failure != kFailNone || allDone()) break;
    curl_multi_poll(m_multi.get(), nullptr, 0, pollTimeoutMs(), nullptr);
    publish(kTaskDownloading, kFailNone);
    if (Clock::now() - m_lastCheckpoint >= std::chrono::seconds(kCheckpointSeconds)) checkpoint();
  }
  for (auto& connection : m_connections) {
    if (connection) curl_multi_remove_handle(m_multi.get(), connection->easy.get());
    connection.reset();
  }
  m_multi.reset();
  return m_failure;
}

// A segment waiting to be fetched must not wait for traffic on the others: the first answer
// plans the segments while no other connection is open yet.
int DownloadTask::pollTimeoutMs() const {
  const auto now = Clock::now();
  long long wait = 100;
  for (std::size_t i = 0; i < m_segments.size() && i < m_connections.size(); ++i) {
    if (m_segments[i].done() || m_connections[i]) continue;
    const auto due = std::chrono::duration_cast<std::chrono::milliseconds>(m_retryAt[i] - now).count();
    wait = std::min<long long>(wait, std::max<long long>(0, due));
  }
  return static_cast<int>(wait);
}

void DownloadTask::checkpoint() {
  m_lastCheckpoint = Clock::now();
  if (m_totalSize <= 0 || m_segments.empty() || m_segments.back().end == kOpenEnd) return;
  // The cursors are taken before the sync, so the state never claims bytes that are not on disk.
  ResumeState state{m_parameters.url, m_etag, m_lastModified, m_totalSize, m_segments};
  if (::fdatasync(m_file) == 0) state.save(m_statePath);
}

int32_t DownloadTask::finish() {
  struct stat info;
  if (::fdatasync(m_file) != 0 || ::fstat(m_file, &info) != 0) return kFailFileIo;
  if (info.st_size != m_totalSize || downloadedBytes() != m_totalSize) return kFailShortBody;
  ::close(m_file);
  m_file = -1;
  if (std::rename(m_partPath.c_str(), m_finalPath.c_str()) != 0) return kFailFileIo;
  SyncDirectory(m_parameters.savePath);
  ::unlink(m_statePath.c_str());
  return kFailNone;
}

void DownloadTask::publish(int32_t stat, int32_t failCode) {
  auto now = Clock::now();
  int64_t downloaded = downloadedBytes();
  m_speedSamples.emplace_back(now, downloaded);
  while (m_speedSamples.size() > 2 && now - m_speedSamples.front().first > std::chrono::seconds(3))
    m_speedSamples.pop_front();
  double seconds = std::chrono::duration<double>(now - m_speedSamples.front().first).count();
  int64_t speed =
      seconds >= 0.5 ? static_cast<int64_t>((downloaded - m_speedSamples.front().second) / seconds) : 0;
  int using_ = static_cast<int>(
      std::count_if(m_connections.begin(), m_connections.end(), [](const auto& c) { return c != nullptr; }));
  std::string shownName =
      m_finalPath.empty() ? m_parameters.fileName : m_finalPath.substr(m_finalPath.rfind('/') + 1);

  std::lock_guard<std::mutex> lock(m_progressLock);
  m_progress.stat = stat;
  m_progress.failCode = failCode;
  m_progress.fileName = shownName;
  m_progress.totalSize = m_totalSize > 0 ? m_totalSize : 0;
  // Progress never goes backwards, even if a restart from zero follows a changed file.
  m_progress.totalDownload = std::max(m_progress.totalDownload, downloaded);
  if (m_totalSize > 0) m_progress.totalDownload = std::min(m_progress.totalDownload, m_totalSize);
  if (stat == kTaskComplete) m_progress.totalDownload = m_progress.totalSize;
  m_progress.percent = stat == kTaskComplete ? 1.0f
                       : m_totalSize > 0 ? static_cast<float>(static_cast<double>(m_progress.totalDownload) /
                                                              static_cast<double>(m_totalSize))
                                         : 0.0f;
  // Sources are the connections to the origin: planned, and open right now.
  m_progress.sourcesTotal = m_totalSize >= 0 ? static_cast<int32_t>(m_segments.size()) : 1;
  m_progress.sourcesUsing = stat == kTaskDownloading || stat == kTaskConnecting ? using_ : 0;
  m_progress.speed = stat == kTaskDownloading ? static_cast<int32_t>(std::min<int64_t>(speed, INT32_MAX)) : 0;
  m_progress.originUsable = m_lastHttpStatus == 200 || m_lastHttpStatus == 206;
  m_progress.creatingFile = stat == kTaskConnecting && m_file < 0 ? 1 : 0;
  m_progress.httpStatus = m_lastHttpStatus;
}

}  // namespace xldl
