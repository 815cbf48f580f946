// One download: a thread running a libcurl multi loop with up to kMaxConnections byte-range
// connections into one file. The data goes to "<name>.part" with pwrite, a ResumeState beside it
// is saved every few seconds after the data is synced, and only a complete file of the announced
// length is synced and renamed to its final name.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/xldl/EngineStatus.h"
#include "platform/xldl/ResumeState.h"
#include "platform/xldl/TaskBlocks.h"

namespace xldl {

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;
struct HeaderListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListDeleter>;

class DownloadTask {
 public:
  static constexpr int kMaxConnections = 8;
  static constexpr int64_t kMinSegmentBytes = 256 * 1024;
  // Attempts in a row that move no byte before a segment gives up.
  static constexpr int kMaxFruitlessAttempts = 5;
  static constexpr int kCheckpointSeconds = 2;

  explicit DownloadTask(TaskParameters parameters);
  ~DownloadTask();
  DownloadTask(const DownloadTask&) = delete;
  DownloadTask& operator=(const DownloadTask&) = delete;

  // Starts the worker thread once; later calls do nothing and report false.
  bool start();
  // Asks the worker to stop, keeps the resume state and waits for it.
  void stop();
  TaskProgress progress() const;

 private:
  struct Connection;
  enum class Verdict { Done, Retry, Abort };

  void run();
  int32_t prepareFiles();
  int32_t transfer();
  int32_t finish();
  void planSegments(int64_t totalSize);
  void launch(std::size_t segment);
  Verdict judge(Connection& connection, CURLcode code, int32_t& failCode);
  void onConnectionDone(CURLMsg* message);
  void checkpoint();
  int pollTimeoutMs() const;
  void publish(int32_t stat, int32_t failCode);
  int64_t downloadedBytes() const;
  bool allDone() const;

  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
  bool acceptResponse(Connection& connection);
  // Whether an answer's validators, where both sides have one, name the file being fetched.
  bool ValidatorsAgree(const Connection& connection) const;
  int32_t restartFromZero();

  TaskParameters m_parameters;
  std::string m_finalPath, m_partPath, m_statePath;
  std::thread m_thread;
  std::atomic<bool> m_stopRequested{false};
  std::atomic<bool> m_started{false};

  // Worker-thread state.
  MultiHandle m_multi;
  int m_file = -1;
  int64_t m_totalSize = -1;  // -1 until the server has told
  bool m_rangesSupported = false;
  bool m_resumed = false;
  std::string m_etag, m_lastModified;  // the file's validators, from the state or the first answer
  std::vector<Segment> m_segments;
  std::vector<int> m_fruitlessAttempts;
  std::vector<std::chrono::steady_clock::time_point> m_retryAt;
  std::vector<std::unique_ptr<Connection>> m_connections;  // one slot per segment, null when idle
  int32_t m_failure = kFailNone;
  int32_t m_lastHttpStatus = 0;
  std::deque<std::pair<std::chrono::steady_clock::time_point, int64_t>> m_speedSamples;
  std::chrono::steady_clock::time_point m_lastCheckpoint;

  mutable std::mutex m_progressLock;
  TaskProgress m_progress;
};

}  // namespace xldl
