#include "platform/urlmon/UrlFetch.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace {

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Transfer {
  const UrlFetch::Sink* sink;
  uint64_t maximumBytes;
  uint64_t received = 0;
  bool tooLong = false;
  bool sinkRefused = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t length = size * count;
  transfer->received += length;
  if (transfer->maximumBytes != 0 && transfer->received > transfer->maximumBytes) {
    transfer->tooLong = true;
    return 0;
  }
  if (!(*transfer->sink)(data, length)) {
    transfer->sinkRefused = true;
    return 0;
  }
  return length;
}

void InitialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

UrlFetchResult UrlFetch::get(const std::string& url, const Sink& sink, const UrlFetchOptions& options) {
  InitialiseCurlOnce();
  UrlFetchResult result;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) {
    result.error = "cannot create a transfer";
    return result;
  }
  std::unique_ptr<curl_slist, CurlDeleter> headers;
  for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
    curl_slist* grown = curl_slist_append(headers.get(), header);
    if (grown == nullptr) {
      result.error = "out of memory";
      return result;
    }
    headers.release();
    headers.reset(grown);
  }
  Transfer transfer{&sink, options.maximumBytes};
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(handle, CURLOPT_PROXY, "");
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  char errorText[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);

  const CURLcode code = curl_easy_perform(handle);
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
  result.tooLong = transfer.tooLong;
  if (transfer.tooLong) {
    result.error = "body longer than " + std::to_string(options.maximumBytes) + " bytes";
  } else if (transfer.sinkRefused) {
    result.error = "the receiver refused the body";
  } else if (code != CURLE_OK) {
    result.error = *errorText ? errorText : curl_easy_strerror(code);
  } else if (result.status >= 400 || result.status == 0) {
    result.error = "HTTP status " + std::to_string(result.status);
  } else {
    result.ok = true;
  }
  return result;
}

UrlFetchResult UrlFetch::getBytes(const std::string& url, std::vector<uint8_t>* body,
                                  const UrlFetchOptions& options) {
  body->clear();
  UrlFetchResult result = get(
      url,
      [body](const char* data, size_t length) {
        body->insert(body->end(), data, data + length);
        return true;
      },
      options);
  if (!result.ok) body->clear();
  return result;
}
