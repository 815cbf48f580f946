// A plain HTTP(S) GET that bypasses every cache: no-cache request headers, no proxy (the
// environment's proxy settings are ignored), a bounded time, at most a few redirects, and only the
// http and https schemes. A status of 400 or more is a failure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct UrlFetchOptions {
  long connectTimeoutSeconds = 10;
  long totalTimeoutSeconds = 60;
  // 0: no limit. A body longer than this fails the fetch.
  uint64_t maximumBytes = 0;
};

struct UrlFetchResult {
  bool ok = false;
  long status = 0;       // the last HTTP status, 0 when no answer came
  std::string error;     // what went wrong, empty when ok
  bool tooLong = false;  // the body passed UrlFetchOptions::maximumBytes
};

class UrlFetch {
 public:
  // Receives the body in pieces; returning false aborts the fetch.
  using Sink = std::function<bool(const char* data, size_t length)>;

  static UrlFetchResult get(const std::string& url, const Sink& sink, const UrlFetchOptions& options = {});
  // The whole body into `body`, which is left empty when the fetch fails.
  static UrlFetchResult getBytes(const std::string& url, std::vector<uint8_t>* body,
                                 const UrlFetchOptions& options = {});
};
