#include "platform/http/HandleRegistry.h"

namespace {

thread_local std::uint32_t g_lastError = 0;

}  // namespace

HandleRegistry& HandleRegistry::Instance() {
  static HandleRegistry registry;
  return registry;
}

void* HandleRegistry::Add(std::unique_ptr<InternetObject> object) {
  void* handle = object.get();
  std::lock_guard<std::mutex> lock(mutex_);
  objects_.emplace(handle, std::move(object));
  return handle;
}

bool HandleRegistry::Remove(void* handle) {
  std::unique_ptr<InternetObject> object;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = objects_.find(handle);
    if (found == objects_.end()) return false;
    object = std::move(found->second);
    objects_.erase(found);
  }
  return true;
}

std::uint32_t QbHttpLastError() {
  return g_lastError;
}

void QbSetHttpLastError(std::uint32_t error) {
  g_lastError = error;
}
