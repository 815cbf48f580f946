// The live handles of the WinHTTP and WinINet stand-ins. A handle is the address of an object
// the registry owns; every function looks its handle up (and checks its kind) before use, so a
// stale, foreign or wrongly typed handle is refused instead of dereferenced.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

struct InternetObject {
  virtual ~InternetObject() = default;
};

class HandleRegistry {
 public:
  static HandleRegistry& Instance();

  void* Add(std::unique_ptr<InternetObject> object);
  // The object behind `handle` when it is live and of type T, else nullptr.
  template <typename T>
  T* Find(void* handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = objects_.find(handle);
    return found == objects_.end() ? nullptr : dynamic_cast<T*>(found->second.get());
  }
  bool Remove(void* handle);

 private:
  std::mutex mutex_;
  std::unordered_map<void*, std::unique_ptr<InternetObject>> objects_;
};

// The error of the last failed WinHTTP or WinINet call on this thread (Windows error numbers).
std::uint32_t QbHttpLastError();
void QbSetHttpLastError(std::uint32_t error);

enum : std::uint32_t {
  QB_ERROR_INVALID_HANDLE = 6,
  QB_ERROR_INVALID_PARAMETER = 87,
  QB_ERROR_INSUFFICIENT_BUFFER = 122,
  QB_ERROR_INVALID_OPTION = 12009,
  QB_ERROR_TIMEOUT = 12002,
  QB_ERROR_CANNOT_CONNECT = 12029,
  QB_ERROR_CONNECTION_ERROR = 12030,
  QB_ERROR_UNRECOGNIZED_SCHEME = 12006,
  QB_ERROR_INCORRECT_HANDLE_STATE = 12019,
  QB_ERROR_HEADER_NOT_FOUND = 12150,
};
