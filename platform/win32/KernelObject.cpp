#include "platform/win32/KernelObject.h"

#include <vector>

#include <algorithm>

#include <unistd.h>

#include <time.h>

#include <unordered_map>

namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<HANDLE, std::unique_ptr<KernelObject>> objects;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // outlives every static destructor that may close handles
  return *registry;
}

}  // namespace

HANDLE RegisterHandle(std::unique_ptr<KernelObject> object) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  HANDLE handle = object.get();
  registry.objects.emplace(handle, std::move(object));
  return handle;
}

KernelObject* LookupHandle(HANDLE handle) {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.objects.find(handle);
  return it == registry.objects.end() ? nullptr : it->second.get();
}

extern "C" BOOL CloseHandle(HANDLE handle) {
  std::unique_ptr<KernelObject> doomed;
  {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.objects.find(handle);
    if (it == registry.objects.end()) return FALSE;
    doomed = std::move(it->second);
    registry.objects.erase(it);
  }
  return TRUE;
}

std::mutex& WaitMutex() {
  static std::mutex* mutex = new std::mutex;
  return *mutex;
}

std::condition_variable& WaitCondition() {
  static std::condition_variable* condition = new std::condition_variable;
  return *condition;
}

namespace {
std::mutex& WakeLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}
std::vector<int>& WakeDescriptors() {
  static auto* fds = new std::vector<int>;
  return *fds;
}
}  // namespace

void WakeWaiters() {
  WaitCondition().notify_all();
  std::lock_guard lock(WakeLock());
  const uint64_t one = 1;
  for (int fd : WakeDescriptors()) [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
}

void AddWakeDescriptor(int fd) {
  std::lock_guard lock(WakeLock());
  WakeDescriptors().push_back(fd);
}

void RemoveWakeDescriptor(int fd) {
  std::lock_guard lock(WakeLock());
  auto& fds = WakeDescriptors();
  fds.erase(std::remove(fds.begin(), fds.end(), fd), fds.end());
}

int64_t MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
